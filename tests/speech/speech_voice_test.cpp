#include "speech/speech_voice.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "automation.h"
#include "recording_voice.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The program's thread joins its apartment before the voice exists.
struct Apartment {
  Apartment() { CoInitialize(nullptr); }
  ~Apartment() { CoUninitialize(); }
};

class SpeechVoiceTest : public ::testing::Test {
 protected:
  Apartment apartment_;
  RecordingLog log_;
  RecordingVoiceClass voice_class_{log_};
  std::unique_ptr<SpeechVoice> voice_ = std::make_unique<SpeechVoice>();

  void SetUp() override { ASSERT_TRUE(voice_class_.registered()); }
};

RecordedArgument I4(long value) {
  return {VT_I4, value, {}};
}
RecordedArgument Text(std::u16string text) {
  return {VT_BSTR, 0, std::move(text)};
}

struct OperationCase {
  const char* name;
  std::function<void(SpeechVoice&)> operation;
  DISPID member;
  WORD flags;
  std::vector<RecordedArgument> arguments;  // as they arrive: last first
  std::vector<DISPID> named_arguments;
};

TEST_F(SpeechVoiceTest, EachOperationSendsItsMemberFlagsAndArguments) {
  const OperationCase cases[] = {
      {"GetVolume",
       [](SpeechVoice& v) { v.GetVolume(); },
       kDispidVolume,
       DISPATCH_PROPERTYGET,
       {},
       {}},
      {"SetVolume",
       [](SpeechVoice& v) { v.SetVolume(42); },
       kDispidVolume,
       DISPATCH_PROPERTYPUT,
       {I4(42)},
       {DISPID_PROPERTYPUT}},
      {"GetRate", [](SpeechVoice& v) { v.GetRate(); }, kDispidRate, DISPATCH_PROPERTYGET, {}, {}},
      {"SetRate",
       [](SpeechVoice& v) { v.SetRate(-7); },
       kDispidRate,
       DISPATCH_PROPERTYPUT,
       {I4(-7)},
       {DISPID_PROPERTYPUT}},
      {"Pause", [](SpeechVoice& v) { v.Pause(); }, kDispidPause, DISPATCH_METHOD, {}, {}},
      {"Resume", [](SpeechVoice& v) { v.Resume(); }, kDispidResume, DISPATCH_METHOD, {}, {}},
      {"Speak",
       [](SpeechVoice& v) { v.Speak("读这一句。", 1); },
       kDispidSpeak,
       DISPATCH_METHOD,
       {I4(1), Text(u"读这一句。")},
       {}},
  };
  ASSERT_TRUE(voice_->Create());
  for (const OperationCase& c : cases) {
    SCOPED_TRACE(c.name);
    log_.calls.clear();
    c.operation(*voice_);
    ASSERT_EQ(log_.calls.size(), 1u);
    const RecordedCall& call = log_.calls[0];
    EXPECT_EQ(call.member, c.member);
    EXPECT_EQ(call.flags, c.flags);
    EXPECT_EQ(call.locale, GetUserDefaultLCID());
    EXPECT_EQ(call.arguments, c.arguments);
    EXPECT_EQ(call.named_arguments, c.named_arguments);
    // The dispatch interface and type information of the call are gone.
    EXPECT_EQ(log_.references, 1);
  }
}

TEST_F(SpeechVoiceTest, NumericResultsAreTruncatedTowardZero) {
  struct Case {
    const char* name;
    VARIANT answer;
    std::int32_t expected;
  };
  const Case cases[] = {
      {"whole number", MakeI4(73), 73},
      {"negative fraction", MakeR8(-3.7), -3},
      {"just below a whole number", MakeR8(99.99), 99},
      {"empty", VARIANT{}, 0},
      {"true", MakeBool(true), -1},
      {"numeric text", MakeText(u" 42.5 "), 42},
      {"text that is no number", MakeText(u"loud"), 0},
      {"beyond the 32-bit range", MakeR8(1e12), std::numeric_limits<std::int32_t>::max()},
      {"below the 32-bit range", MakeR8(-1e12), std::numeric_limits<std::int32_t>::min()},
      {"not a number", MakeR8(std::nan("")), 0},
  };
  ASSERT_TRUE(voice_->Create());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.AnswerVolume(c.answer);
    log_.AnswerRate(c.answer);
    log_.AnswerSpeak(c.answer);
    EXPECT_EQ(voice_->GetVolume(), c.expected);
    EXPECT_EQ(voice_->GetRate(), c.expected);
    EXPECT_EQ(voice_->Speak("一", 1), c.expected);
    VARIANT answer = c.answer;
    VariantClear(&answer);
  }
}

TEST_F(SpeechVoiceTest, CreateTwiceKeepsTheFirstVoice) {
  EXPECT_TRUE(voice_->Create());
  EXPECT_FALSE(voice_->Create());
  EXPECT_EQ(log_.objects_created, 1);
  EXPECT_EQ(log_.objects_alive, 1);
}

// Every operation of a voice that holds no engine object.
void ExpectInert(SpeechVoice& voice, const RecordingLog& log) {
  EXPECT_EQ(voice.GetVolume(), 0);
  EXPECT_EQ(voice.GetRate(), 0);
  EXPECT_FALSE(voice.SetVolume(50));
  EXPECT_FALSE(voice.SetRate(3));
  voice.Pause();
  voice.Resume();
  EXPECT_EQ(voice.Speak("你好", 1), -1);
  EXPECT_THAT(log.calls, IsEmpty());
}

TEST_F(SpeechVoiceTest, BeforeCreateNothingReachesTheEngine) {
  ExpectInert(*voice_, log_);
  EXPECT_EQ(log_.objects_created, 0);
}

TEST_F(SpeechVoiceTest, RefusedCreateLeavesTheVoiceEmpty) {
  log_.create_result = E_OUTOFMEMORY;
  EXPECT_FALSE(voice_->Create());
  ExpectInert(*voice_, log_);
}

#ifndef _WIN32
// Wine provides a voice class of its own, so only here is it truly absent.
TEST(SpeechVoiceWithoutEngine, CreateFailsWhenTheClassIsNotRegistered) {
  Apartment apartment;
  RecordingLog log;
  SpeechVoice voice;
  EXPECT_FALSE(voice.Create());
  ExpectInert(voice, log);
}
#endif

TEST_F(SpeechVoiceTest, SpeakHandsOverTheTextExactly) {
  struct Case {
    const char* name;
    std::string text;
    std::u16string expected;
  };
  const Case cases[] = {
      {"empty", "", u""},
      {"outside GBK", "😀 Ünïcødé ㊣ 𠀀", u"😀 Ünïcødé ㊣ 𠀀"},
      {"embedded U+0000", std::string("前\0后", 7), std::u16string(u"前\0后", 3)},
      {"invalid UTF-8",
       "a\xFF"
       "b\xE4\xBD",
       u"a\uFFFDb\uFFFD"},
      {"line breaks", "第一行\r\n第二行\n", u"第一行\r\n第二行\n"},
  };
  ASSERT_TRUE(voice_->Create());
  log_.AnswerSpeak(MakeI4(5));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log_.calls.clear();
    EXPECT_EQ(voice_->Speak(c.text, 1), 5);
    ASSERT_EQ(log_.calls.size(), 1u);
    EXPECT_THAT(log_.calls[0].arguments, ElementsAre(I4(1), Text(c.expected)));
  }
}

TEST_F(SpeechVoiceTest, AFailingCallLeavesTheObjectHeld) {
  ASSERT_TRUE(voice_->Create());
  log_.AnswerVolume(MakeI4(80));
  log_.invoke_result = E_FAIL;
  EXPECT_FALSE(voice_->SetVolume(10));
  EXPECT_EQ(voice_->GetVolume(), 0);
  EXPECT_EQ(voice_->Speak("你好", 1), 0);
  EXPECT_EQ(log_.objects_alive, 1);
  EXPECT_EQ(log_.references, 1);

  log_.invoke_result = S_OK;
  EXPECT_TRUE(voice_->SetVolume(10));
  EXPECT_EQ(voice_->GetVolume(), 80);
}

TEST_F(SpeechVoiceTest, DestructionReleasesTheEngineObject) {
  ASSERT_TRUE(voice_->Create());
  voice_->Speak("你好", 1);
  voice_.reset();
  EXPECT_EQ(log_.objects_alive, 0);
  EXPECT_EQ(log_.references, 0);
}

// Calls that do not fit the member as its type information declares it
// never reach the object.
TEST_F(SpeechVoiceTest, CallsThatDoNotFitTheMemberAreNotInvoked) {
  struct Case {
    const char* name;
    std::function<bool(ComObject&)> call;
  };
  const Case cases[] = {
      {"unknown member", [](ComObject& o) { return o.GetNumber("Pitch") != 0; }},
      {"method read as a property", [](ComObject& o) { return o.GetNumber("Pause") != 0; }},
      {"method written as a property", [](ComObject& o) { return o.PutProperty("Speak", 1); }},
      {"property called as a method",
       [](ComObject& o) {
         o.Call("Volume");
         return false;
       }},
      {"more arguments than declared",
       [](ComObject& o) {
         return o.CallNumber("Speak", {"一", 1, 2}) != 0;
       }},
      {"arguments to a method that takes none",
       [](ComObject& o) { return o.CallNumber("Pause", {1}) != 0; }},
  };
  log_.AnswerVolume(MakeI4(9));
  ComObject object;
  ASSERT_TRUE(object.Instantiate("{96749377-3391-11D2-9EE3-00C04F797396}"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_FALSE(c.call(object));
  }
  EXPECT_THAT(log_.calls, IsEmpty());
  EXPECT_TRUE(object.HasObject());

  SCOPED_TRACE("an object without type information");
  log_.offers_type_info = false;
  EXPECT_EQ(object.GetNumber("Volume"), 0);
  EXPECT_FALSE(object.PutProperty("Volume", 1));
  EXPECT_THAT(log_.calls, IsEmpty());
}

TEST_F(SpeechVoiceTest, InstantiateKeepsTheHolderOnFailure) {
  ComObject object;
  EXPECT_FALSE(object.Instantiate("not a class identifier"));
  EXPECT_FALSE(object.Instantiate("{00000000-0000-0000-0000-000000000001}"));
  EXPECT_FALSE(object.HasObject());

  ASSERT_TRUE(object.Instantiate("{96749377-3391-11D2-9EE3-00C04F797396}"));
  EXPECT_FALSE(object.Instantiate("{00000000-0000-0000-0000-000000000001}"));
  EXPECT_TRUE(object.HasObject());

  // A second instance replaces the first, which is released.
  ASSERT_TRUE(object.Instantiate("{96749377-3391-11D2-9EE3-00C04F797396}"));
  EXPECT_EQ(log_.objects_created, 2);
  EXPECT_EQ(log_.objects_alive, 1);
  object.Reset();
  EXPECT_FALSE(object.HasObject());
  EXPECT_EQ(log_.objects_alive, 0);
}

}  // namespace
