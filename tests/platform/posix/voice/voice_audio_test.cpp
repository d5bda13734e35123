// The voice's audio itself, captured where a sound card would take it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <thread>

#include "voice_test_support.h"

namespace {

using namespace voice_test;
using namespace std::chrono_literals;

const std::string kSentence = "今天天气很好，我们一起去公园散步。";
// For the tests that run at real-time pace: about two seconds.
const std::string kShort = "你好，世界。";

// Waits until the sink has taken at least count speech samples.
bool WaitForSpeech(const CaptureSink& sink, std::size_t count,
                   std::chrono::milliseconds limit = 10s) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (sink.SpeechCount() < count) {
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

TEST(VoiceAudioTest, ChineseTextIsSpokenAudibly) {
  const Samples speech = SpeakToEnd(kSentence);
  EXPECT_GT(Seconds(speech.size()), 1.0);
  EXPECT_GT(Rms(speech), 500.0);
  const auto [low, high] = std::minmax_element(speech.begin(), speech.end());
  EXPECT_GT(*high - *low, 8000);
}

TEST(VoiceAudioTest, VolumeIsALinearGain) {
  for (const int volume : {100, 50, 0}) {
    CapturedVoice captured;
    ASSERT_TRUE(captured.voice.SetVolume(volume));
    captured.voice.Speak(kSentence, 0);
    const Samples produced = captured.synthesized->All();
    const Samples heard = captured.sink->Speech();
    // Volume changes loudness only, never timing.
    ASSERT_EQ(heard.size(), produced.size()) << "volume " << volume;
    ASSERT_GT(Rms(produced), 0.0);
    EXPECT_NEAR(Rms(heard) / Rms(produced), volume / 100.0, 0.05) << "volume " << volume;
    for (std::size_t i = 0; i < heard.size(); ++i) {
      ASSERT_NEAR(heard[i], produced[i] * volume / 100.0, 1.0)
          << "volume " << volume << " at " << i;
    }
  }
}

TEST(VoiceAudioTest, RateScalesTheDuration) {
  const double normal = Seconds(SpeakToEnd(kSentence, 100, 0).size());
  const double fastest = Seconds(SpeakToEnd(kSentence, 100, 10).size());
  const double slowest = Seconds(SpeakToEnd(kSentence, 100, -10).size());
  EXPECT_LE(fastest, 0.4 * normal);
  EXPECT_GE(slowest, 2.5 * normal);
  const double slower = Seconds(SpeakToEnd(kSentence, 100, -5).size());
  EXPECT_GT(slower, 1.3 * normal);
  EXPECT_LT(slower, 2.0 * normal);
}

// espeak-ng never synthesises a text twice quite alike, so the reference for
// what should be heard is what this voice's synthesis produced.
TEST(VoiceAudioTest, PauseAndResumeLoseAndRepeatNothing) {
  CapturedVoice captured(Pace::kRealTime);
  captured.voice.Speak(kShort, SpeechVoice::kSpeakAsync);
  ASSERT_TRUE(WaitForSpeech(*captured.sink, kSampleRate / 2));
  captured.voice.Pause();
  std::this_thread::sleep_for(50ms);  // a block taken just before Pause lands
  const std::size_t at_pause = captured.sink->SpeechCount();
  std::this_thread::sleep_for(300ms);
  EXPECT_EQ(captured.sink->SpeechCount(), at_pause) << "speech went on while paused";
  EXPECT_LT(at_pause, captured.synthesized->Of(1).size()) << "the pause missed the middle";
  captured.voice.Resume();
  captured.voice.Speak("", 0);  // returns once everything before it is spoken
  EXPECT_EQ(captured.sink->Speech(), captured.synthesized->Of(1));
}

TEST(VoiceAudioTest, PauseHoldsLaterSpeechUntilResumeAndDoesNotNest) {
  CapturedVoice captured;
  captured.voice.Resume();  // not paused: nothing changes
  captured.voice.Pause();
  captured.voice.Pause();
  captured.voice.Speak(kSentence, SpeechVoice::kSpeakAsync);
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(captured.sink->SpeechCount(), 0u);
  captured.voice.Resume();  // one Resume undoes any number of Pauses
  captured.voice.Speak("", 0);
  EXPECT_GT(Rms(captured.sink->Speech()), 500.0);
  EXPECT_EQ(captured.sink->Speech(), captured.synthesized->All());
}

TEST(VoiceAudioTest, PurgeDropsQueuedAndCurrentSpeechAndReleasesWaiters) {
  const std::string last = "最后一句。";
  CapturedVoice captured;
  captured.voice.Pause();  // so nothing is played before the purge
  EXPECT_EQ(captured.voice.Speak(kSentence, SpeechVoice::kSpeakAsync), 1);
  EXPECT_EQ(captured.voice.Speak("第二句话。", SpeechVoice::kSpeakAsync), 2);
  // A synchronous Speak returns when its text is dropped, too.
  auto waiter =
      std::async(std::launch::async, [&] { return captured.voice.Speak("第三句话。", 0); });
  ASSERT_EQ(waiter.wait_for(200ms), std::future_status::timeout) << "paused: it must wait";
  EXPECT_EQ(captured.voice.Speak(last, SpeechVoice::kSpeakAsync | 2), 4);
  ASSERT_EQ(waiter.wait_for(5s), std::future_status::ready);
  EXPECT_EQ(waiter.get(), 3);
  captured.voice.Resume();
  EXPECT_EQ(captured.voice.Speak("", 0), 5);
  const Samples heard = captured.sink->Speech();
  EXPECT_GT(Rms(heard), 500.0);
  EXPECT_EQ(heard, captured.synthesized->Of(4));
}

TEST(VoiceAudioTest, StreamsAreSpokenInOrderAndNumberedPerVoice) {
  const std::string first = "第一。";
  const std::string second = "second.";
  CapturedVoice one;
  CapturedVoice other;
  EXPECT_EQ(one.voice.Speak(first, SpeechVoice::kSpeakAsync), 1);
  EXPECT_EQ(other.voice.Speak("", 0), 1);
  EXPECT_EQ(one.voice.Speak("", SpeechVoice::kSpeakAsync), 2);  // empty: no sound
  EXPECT_EQ(one.voice.Speak(second, 0), 3);
  EXPECT_EQ(one.synthesized->StreamOrder(), (std::vector<std::int32_t>{1, 3}));
  Samples expected = one.synthesized->Of(1);
  const Samples tail = one.synthesized->Of(3);
  EXPECT_GT(Rms(tail), 500.0);
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(one.sink->Speech(), expected);
  EXPECT_EQ(other.sink->SpeechCount(), 0u);
}

TEST(VoiceAudioTest, SynchronousSpeakReturnsAfterItsAudioAndAsynchronousAtOnce) {
  CapturedVoice captured(Pace::kRealTime);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(captured.voice.Speak(kShort, 0), 1);
  const double waited =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::size_t length = captured.synthesized->Of(1).size();
  EXPECT_GT(length, 0u);
  EXPECT_EQ(captured.sink->SpeechCount(), length);
  EXPECT_GE(waited, 0.9 * Seconds(length));

  start = std::chrono::steady_clock::now();
  EXPECT_EQ(captured.voice.Speak(kShort, SpeechVoice::kSpeakAsync), 2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms);
  EXPECT_LT(captured.sink->SpeechCount(), 2 * length);
}

TEST(VoiceAudioTest, VolumeActsOnSpeechInProgressWithinOneBuffer) {
  CapturedVoice captured(Pace::kRealTime);
  captured.voice.Speak(kShort, SpeechVoice::kSpeakAsync);
  ASSERT_TRUE(WaitForSpeech(*captured.sink, kSampleRate / 2));
  captured.voice.SetVolume(0);
  const std::size_t at_change = captured.sink->SpeechCount();
  captured.voice.Speak("", 0);
  const Samples speech = captured.sink->Speech();
  // Allow one 50 ms buffer for the change to reach the output.
  const std::size_t silent_from = at_change + kSampleRate / 20;
  ASSERT_GT(speech.size(), silent_from + kSampleRate / 2);
  EXPECT_TRUE(std::all_of(speech.begin() + static_cast<std::ptrdiff_t>(silent_from), speech.end(),
                          [](std::int16_t s) { return s == 0; }));
}

TEST(VoiceAudioTest, RateChangeIsHeardOnSpeechInProgressWithinHalfASecond) {
  const std::size_t normal = SpeakToEnd(kShort).size();
  CapturedVoice captured(Pace::kRealTime);
  captured.voice.Speak(kShort, SpeechVoice::kSpeakAsync);
  ASSERT_TRUE(WaitForSpeech(*captured.sink, kSampleRate / 2));
  captured.voice.SetRate(10);
  const std::size_t at_change = captured.sink->SpeechCount();
  captured.voice.Speak("", 0);
  // At most half a second more at the old speed, the rest three times as
  // fast (with some room for where the stretch lands between syllables).
  const double late = 0.5 * kSampleRate;
  const double bound = at_change + late + (normal - at_change - late) / 3 * 1.2;
  EXPECT_LE(static_cast<double>(captured.sink->SpeechCount()), bound);
}

TEST(VoiceAudioTest, AwkwardTextIsSpokenOrSkippedWithoutHarm) {
  enum class Expect { kNothing, kSpeech, kEither };
  struct Case {
    const char* what;
    std::string text;
    Expect expect;
  };
  std::string chinese_run;
  for (int i = 0; i < 300; ++i) {
    chinese_run += "好";
  }
  const Case cases[] = {
      {"empty", "", Expect::kNothing},
      {"blanks and control characters only", std::string(" \t\r\n\0\x01\x1b\x7f", 8),
       Expect::kNothing},
      {"control characters inside text", std::string("你\0好\x07世\x1b界", 16), Expect::kSpeech},
      {"invalid UTF-8 becomes replacement characters", "ab\xff\xfe\xed\xa0\x80 cd",
       Expect::kSpeech},
      {"Latin letters and digits", "ABC 123 xyz 4.5", Expect::kSpeech},
      {"a long run of letters without punctuation", std::string(3000, 'a'), Expect::kSpeech},
      {"a long run of Chinese without punctuation", chinese_run, Expect::kSpeech},
      {"markup is read as text", "<speak><break time='3s'/>好</speak>", Expect::kSpeech},
      {"emoji", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80", Expect::kEither},
  };
  for (const Case& c : cases) {
    const Samples speech = SpeakToEnd(c.text);
    if (c.expect == Expect::kNothing) {
      EXPECT_TRUE(speech.empty()) << c.what;
    } else if (c.expect == Expect::kSpeech) {
      EXPECT_GT(Rms(speech), 100.0) << c.what;
    }
  }
  // Every piece of a long run is spoken: 300 syllables take well over 30 s.
  EXPECT_GT(Seconds(SpeakToEnd(chinese_run).size()), 30.0);
}

}  // namespace
