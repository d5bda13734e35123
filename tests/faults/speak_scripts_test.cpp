// Texts in scripts espeak-ng reads with another language's rules, spoken
// through the voice's automation interface: found by fuzz/speak_fuzz.cpp,
// where a lone U+0D00 made espeak-ng read a dictionary it had just freed
// (AddressSanitizer sees it; the linux-asan build runs this test). Each
// must be spoken to the end, the Chinese around it still heard, and the
// voice must answer afterwards.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "automation.h"
#include "capture_sink.h"
#include "text_pieces.h"
#include "voice_factory.h"

namespace {

struct Released {
  void operator()(IDispatch* object) const { object->Release(); }
};

DISPID MemberId(IDispatch* voice, const char16_t* name) {
  std::u16string writable = name;
  LPOLESTR names[] = {writable.data()};
  DISPID id = DISPID_UNKNOWN;
  EXPECT_EQ(voice->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  return id;
}

// Speaks text synchronously, as the program's ComObject calls Speak.
HRESULT SpeakToEnd(IDispatch* voice, const std::u16string& text) {
  VARIANT arguments[2];  // last to first
  VariantInit(&arguments[0]);
  arguments[0].vt = VT_I4;
  arguments[0].lVal = 0;
  VariantInit(&arguments[1]);
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  DISPPARAMS parameters{arguments, nullptr, 2, 0};
  const HRESULT hr = voice->Invoke(MemberId(voice, u"Speak"), IID_NULL, LOCALE_USER_DEFAULT,
                                   DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
  VariantClear(&arguments[1]);
  return hr;
}

TEST(SpeakScriptsFault, OtherScriptsAreReadAsSpaces) {
  EXPECT_EQ(PrepareForSynthesis(u"你\u0D00好"), "你 好");
  EXPECT_EQ(PrepareForSynthesis(u"“朗读”……，。！Ａ1a-"), "“朗读”……，。！Ａ1a-");
  EXPECT_EQ(PrepareForSynthesis(u"\u0D00\u09E6\u0384"), "");
  EXPECT_EQ(PrepareForSynthesis(u"\u294E\u2659\uA959\u00E9\uAC00\U00020000"), "");
}

TEST(SpeakScriptsFault, TextsInOtherScriptsAreSpokenToTheEndAndTheVoiceAnswers) {
  const struct {
    const char* what;
    std::u16string text;
  } cases[] = {
      {"Malayalam sign alone", u"\u0D00"},
      {"Malayalam candrabindu between Chinese", u"你好\u0D01世界"},
      {"Bengali digits", u"\u09E6\u09E7\u09E8"},
      {"Greek tonos", u"\u0384"},
      {"Tamil digit", u"\u0BE6"},
      {"old Hangul jamo", u"\u1180"},
      {"Georgian capital", u"\u10C7"},
      {"three symbols together", u"\u294E\u2659\uA959"},
      {"Hangul syllables and Latin-1 letters", u"앟붕 Ünïcødé"},
      {"the input the fuzzer found",
       std::u16string(u"你好\0世界\u7209\u0D00\u0A00\u0700\u1B00\u5B00\u3000\u6D00\uD300\u5F7E",
                      15)},
  };
  auto sink = std::make_shared<CaptureSink>(CaptureSink::Pace::kAsFastAsPossible);
  VoiceOptions options = DefaultVoiceOptions();
  options.sink = sink;
  IDispatch* created = nullptr;
  ASSERT_EQ(CreateSpeechVoice(options, IID_IDispatch, reinterpret_cast<void**>(&created)), S_OK);
  std::unique_ptr<IDispatch, Released> voice(created);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SpeakToEnd(voice.get(), c.text), S_OK);
  }
  // Still answering, and the Chinese in a mixed text is still heard.
  sink->Clear();
  EXPECT_EQ(SpeakToEnd(voice.get(), u"你好\u0D00世界"), S_OK);
  EXPECT_GT(sink->SpeechCount(), 22050u / 2) << "less than half a second of speech";
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  VARIANT volume;
  VariantInit(&volume);
  EXPECT_EQ(voice->Invoke(MemberId(voice.get(), u"Volume"), IID_NULL, LOCALE_USER_DEFAULT,
                          DISPATCH_PROPERTYGET, &none, &volume, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(volume.lVal, 100);
}

}  // namespace
