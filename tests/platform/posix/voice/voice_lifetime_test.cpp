// Starting, stopping and running without a sound card.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "voice_factory.h"
#include "voice_test_support.h"

namespace {

using namespace voice_test;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::u16string LongText() {
  std::u16string text;
  for (int i = 0; i < 200; ++i) {
    text += u"这是一段很长的文字，用来测试语音引擎。";
  }
  return text;
}

TEST(VoiceLifetimeTest, ReleasingWhileSpeakingOrPausedReturnsPromptly) {
  for (const bool paused : {false, true}) {
    auto sink = std::make_shared<CaptureSink>(Pace::kRealTime);
    DispatchPtr voice = CreateVoice(sink);
    ASSERT_EQ(CallByName(voice.get(), u"Speak", INVOKE_FUNC, {Text(LongText()), Long(1)}), S_OK);
    std::this_thread::sleep_for(300ms);
    if (paused) {
      ASSERT_EQ(CallByName(voice.get(), u"Pause", INVOKE_FUNC, {}), S_OK);
    }
    EXPECT_GT(sink->SpeechCount(), 0u);
    const auto start = Clock::now();
    voice.reset();
    // The aim is 100 ms; this bound only catches a hang.
    EXPECT_LT(Clock::now() - start, 1s) << (paused ? "paused" : "speaking");
    const std::size_t after = sink->SpeechCount();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(sink->SpeechCount(), after) << "audio after release";
  }
}

TEST(VoiceLifetimeTest, HugeTextIsQueuedWithoutWaitingForSynthesis) {
  std::u16string text;
  while (text.size() < 5'000'000) {  // 10 MB of UTF-16
    text += u"这是一段很长的文字，用来测试语音引擎。Some Latin text, too. ";
  }
  auto sink = std::make_shared<CaptureSink>(Pace::kRealTime);
  DispatchPtr voice = CreateVoice(sink);
  const auto start = Clock::now();
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(CallByName(voice.get(), u"Speak", INVOKE_FUNC, {Text(text), Long(1)}, &result), S_OK);
  EXPECT_LT(Clock::now() - start, 1s);  // a copy; the figure is in the benchmark
  EXPECT_EQ(result.lVal, 1);
  std::this_thread::sleep_for(200ms);
  EXPECT_GT(sink->SpeechCount(), 0u);
}

// Runs the body with SDL's audio driver chosen by the environment.
class ScopedAudioDriver {
 public:
  explicit ScopedAudioDriver(const char* driver) { setenv("SDL_AUDIODRIVER", driver, 1); }
  ~ScopedAudioDriver() { unsetenv("SDL_AUDIODRIVER"); }
  ScopedAudioDriver(const ScopedAudioDriver&) = delete;
  ScopedAudioDriver& operator=(const ScopedAudioDriver&) = delete;
};

TEST(VoiceLifetimeTest, WithoutASoundCardTheVoiceKeepsRealTime) {
  const std::string text = "你好，世界。";
  const double length = Seconds(SpeakToEnd(text).size());
  ScopedAudioDriver no_device("no-such-driver");
  DispatchPtr voice = CreateVoice(nullptr);  // the sound card, as the program asks
  const auto start = Clock::now();
  ASSERT_EQ(CallByName(voice.get(), u"Speak", INVOKE_FUNC, {Text(u"你好，世界。"), Long(0)}), S_OK);
  const double took = std::chrono::duration<double>(Clock::now() - start).count();
  EXPECT_GE(took, 0.9 * length);
  EXPECT_LT(took, length + 2.0);
}

TEST(VoiceLifetimeTest, TheSoundCardPathDeliversTheSpeech) {
  // SDL's disk driver stands in for a sound card: it takes the audio at
  // real-time pace and writes it to a file.
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("qingli-voice-" + std::to_string(getpid()) + ".raw");
  setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
  {
    ScopedAudioDriver disk("disk");
    DispatchPtr voice = CreateVoice(nullptr);
    ASSERT_EQ(CallByName(voice.get(), u"Speak", INVOKE_FUNC, {Text(u"你好。"), Long(0)}), S_OK);
  }
  unsetenv("SDL_DISKAUDIOFILE");
  std::ifstream in(file, std::ios::binary);
  Samples written;
  std::int16_t sample = 0;
  while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) {
    written.push_back(sample);
  }
  std::filesystem::remove(file);
  EXPECT_GT(Rms(written), 100.0);
}

}  // namespace
