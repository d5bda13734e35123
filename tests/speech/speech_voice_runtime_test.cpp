// What only our own runtime lets a test see: the apartment count at the
// moment the engine object goes, and every string handed out freed again.
#include <gtest/gtest.h>

#include "automation.h"
#include "recording_voice.h"
#include "runtime_stats.h"
#include "speech/speech_voice.h"

namespace {

using automation_runtime::GetBstrCounts;
using automation_runtime::ThreadInitialisationCount;

TEST(SpeechVoiceApartment, TheEngineObjectIsReleasedBeforeTheApartmentIsLeft) {
  ASSERT_EQ(OleInitialize(nullptr), S_OK);
  RecordingLog log;
  RecordingVoiceClass voice_class(log);
  int count_at_release = -1;
  log.on_destroyed = [&] { count_at_release = ThreadInitialisationCount(); };

  auto* voice = new SpeechVoice;
  EXPECT_EQ(ThreadInitialisationCount(), 2);
  ASSERT_TRUE(voice->Create());
  delete voice;
  EXPECT_EQ(count_at_release, 2);
  EXPECT_EQ(ThreadInitialisationCount(), 1);
  OleUninitialize();
  EXPECT_EQ(ThreadInitialisationCount(), 0);
}

TEST(SpeechVoiceApartment, AnEmptyVoiceOnlyLeavesItsApartment) {
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  {
    SpeechVoice voice;
    EXPECT_EQ(ThreadInitialisationCount(), 2);
  }
  EXPECT_EQ(ThreadInitialisationCount(), 1);
  CoUninitialize();
}

TEST(SpeechVoiceStrings, EveryStringHandedOutIsFreed) {
  const auto before = GetBstrCounts();
  {
    CoInitialize(nullptr);
    RecordingLog log;
    RecordingVoiceClass voice_class(log);
    VARIANT twelve = MakeText(u"12");
    log.AnswerVolume(twelve);
    VariantClear(&twelve);
    {
      SpeechVoice voice;
      ASSERT_TRUE(voice.Create());
      voice.Speak("朗读这一段文字", 1);
      voice.Speak("", 1);
      EXPECT_EQ(voice.GetVolume(), 12);
      log.invoke_result = E_FAIL;
      voice.Speak("失败的调用", 1);
    }
    CoUninitialize();
  }
  const auto after = GetBstrCounts();
  EXPECT_GT(after.allocated - before.allocated, 3);
  EXPECT_EQ(after.allocated - before.allocated, after.freed - before.freed);
}

}  // namespace
