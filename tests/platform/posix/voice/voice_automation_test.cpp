// The voice's automation contract: members, arguments, ranges, and creation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

#include "voice_factory.h"
#include "voice_registration.h"
#include "voice_test_support.h"

namespace {

using namespace voice_test;

LONG GetLong(IDispatch* voice, const std::u16string& name) {
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(CallByName(voice, name, INVOKE_PROPERTYGET, {}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  return result.lVal;
}

TEST(VoiceAutomationTest, StartsAtFullVolumeAndNormalRate) {
  DispatchPtr voice = CreateVoice(std::make_shared<CaptureSink>(Pace::kAsFastAsPossible));
  EXPECT_EQ(GetLong(voice.get(), u"Volume"), 100);
  EXPECT_EQ(GetLong(voice.get(), u"rate"), 0);  // names compare without case
}

TEST(VoiceAutomationTest, VolumeAndRateTakeValuesInRangeAndRefuseOthers) {
  struct Case {
    const char16_t* member;
    VARIANT value;
    HRESULT expected;
    LONG after;  // the property's value afterwards; it starts at 7
  };
  const Case cases[] = {
      {u"Volume", Long(0), S_OK, 0},
      {u"Volume", Long(100), S_OK, 100},
      {u"Volume", Long(-1), E_INVALIDARG, 7},
      {u"Volume", Long(101), E_INVALIDARG, 7},
      {u"Volume", Double(49.5), S_OK, 50},  // converted as automation converts
      {u"Volume", Double(1e12), E_INVALIDARG, 7},
      {u"Volume", Text(u"64"), S_OK, 64},
      {u"Volume", Text(u"loud"), DISP_E_TYPEMISMATCH, 7},
      {u"Rate", Long(-10), S_OK, -10},
      {u"Rate", Long(10), S_OK, 10},
      {u"Rate", Long(-11), E_INVALIDARG, 7},
      {u"Rate", Long(11), E_INVALIDARG, 7},
      {u"Rate", Double(-3.2), S_OK, -3},
  };
  DispatchPtr voice = CreateVoice(std::make_shared<CaptureSink>(Pace::kAsFastAsPossible));
  for (const Case& c : cases) {
    ASSERT_EQ(CallByName(voice.get(), c.member, INVOKE_PROPERTYPUT, {Long(7)}), S_OK);
    EXPECT_EQ(CallByName(voice.get(), c.member, INVOKE_PROPERTYPUT, {c.value}), c.expected)
        << std::string(c.member, c.member + std::char_traits<char16_t>::length(c.member));
    EXPECT_EQ(GetLong(voice.get(), c.member), c.after);
  }
}

TEST(VoiceAutomationTest, TypeInformationDescribesEachMemberTheWayItIsCalled) {
  DispatchPtr voice = CreateVoice(std::make_shared<CaptureSink>(Pace::kAsFastAsPossible));
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(CallByName(voice.get(), u"Pause", INVOKE_FUNC, {}), S_OK);
  EXPECT_EQ(CallByName(voice.get(), u"Resume", INVOKE_FUNC, {}), S_OK);
  EXPECT_EQ(CallByName(voice.get(), u"Speak", INVOKE_FUNC, {Text(u""), Long(0)}, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 1);
  // Flags may be left out.
  EXPECT_EQ(CallByName(voice.get(), u"Speak", INVOKE_FUNC, {Text(u"")}, &result), S_OK);
  EXPECT_EQ(result.lVal, 2);
  // Only the kinds declared exist: no method Volume, no property Speak, and
  // no unknown names.
  EXPECT_EQ(CallByName(voice.get(), u"Volume", INVOKE_FUNC, {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(CallByName(voice.get(), u"Speak", INVOKE_PROPERTYGET, {}), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(CallByName(voice.get(), u"Skip", INVOKE_FUNC, {}), DISP_E_UNKNOWNNAME);
}

TEST(VoiceAutomationTest, InvokeChecksItsArguments) {
  DispatchPtr voice = CreateVoice(std::make_shared<CaptureSink>(Pace::kAsFastAsPossible));
  IDispatch* dispatch = voice.get();
  DISPID speak = DISPID_UNKNOWN;
  DISPID volume = DISPID_UNKNOWN;
  DISPID pause = DISPID_UNKNOWN;
  std::u16string names[] = {u"Speak", u"Volume", u"Pause"};
  DISPID* ids[] = {&speak, &volume, &pause};
  for (int i = 0; i < 3; ++i) {
    LPOLESTR name = names[i].data();
    ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, ids[i]), S_OK);
  }
  auto invoke = [&](DISPID member, WORD kind, std::vector<VARIANT> reversed, bool named_put) {
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), named_put ? &put : nullptr,
                      static_cast<UINT>(reversed.size()), named_put ? 1u : 0u};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, kind, &params,
                                        &result, nullptr, nullptr);
    for (VARIANT& v : reversed) {
      VariantClear(&v);
    }
    return hr;
  };
  struct Case {
    const char* what;
    HRESULT actual;
    HRESULT expected;
  };
  const Case cases[] = {
      {"Speak without arguments", invoke(speak, DISPATCH_METHOD, {}, false), DISP_E_BADPARAMCOUNT},
      {"Speak with three", invoke(speak, DISPATCH_METHOD, {Long(0), Long(0), Text(u"a")}, false),
       DISP_E_BADPARAMCOUNT},
      {"Speak with a number for the text",
       invoke(speak, DISPATCH_METHOD, {Long(1), Long(5)}, false), DISP_E_TYPEMISMATCH},
      {"Speak with words for the flags",
       invoke(speak, DISPATCH_METHOD, {Text(u"async"), Text(u"")}, false), DISP_E_TYPEMISMATCH},
      {"Speak with the flags as digits",
       invoke(speak, DISPATCH_METHOD, {Text(u"1"), Text(u"")}, false), S_OK},
      {"Volume put without the named argument",
       invoke(volume, DISPATCH_PROPERTYPUT, {Long(5)}, false), DISP_E_PARAMNOTFOUND},
      {"Volume put with two values", invoke(volume, DISPATCH_PROPERTYPUT, {Long(5), Long(6)}, true),
       DISP_E_BADPARAMCOUNT},
      {"Volume get with a value", invoke(volume, DISPATCH_PROPERTYGET, {Long(5)}, false),
       DISP_E_BADPARAMCOUNT},
      {"Pause with a value", invoke(pause, DISPATCH_METHOD, {Long(5)}, false),
       DISP_E_BADPARAMCOUNT},
      {"unknown member", invoke(999, DISPATCH_METHOD, {}, false), DISP_E_MEMBERNOTFOUND},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.actual, c.expected) << c.what;
  }
  EXPECT_EQ(
      dispatch->Invoke(speak, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr),
      E_INVALIDARG);
}

// A data directory made of links to the installed one, less some files.
std::filesystem::path DataWithout(const std::filesystem::path& base,
                                  const std::vector<std::string>& left_out) {
  const std::filesystem::path installed = DefaultVoiceOptions().data_path;
  std::filesystem::create_directories(base);
  for (const auto& entry : std::filesystem::recursive_directory_iterator(installed)) {
    const std::filesystem::path relative = std::filesystem::relative(entry.path(), installed);
    if (std::find(left_out.begin(), left_out.end(), relative.string()) != left_out.end()) {
      continue;
    }
    if (entry.is_directory()) {
      std::filesystem::create_directories(base / relative);
    } else {
      std::filesystem::create_symlink(entry.path(), base / relative);
    }
  }
  return base;
}

TEST(VoiceAutomationTest, CreationFailsWithoutTheMandarinVoice) {
  const std::filesystem::path scratch =
      std::filesystem::temp_directory_path() / ("qingli-voice-data-" + std::to_string(getpid()));
  std::filesystem::remove_all(scratch);
  struct Case {
    const char* what;
    std::string data_path;
  };
  const Case cases[] = {
      {"empty path", ""},
      {"absent directory", (scratch / "absent").string()},
      {"no Mandarin dictionary", DataWithout(scratch / "no-dict", {"cmn_dict"}).string()},
      {"no Mandarin voice", DataWithout(scratch / "no-voice", {"lang/sit/cmn"}).string()},
      {"no phoneme data", DataWithout(scratch / "no-phonemes", {"phondata"}).string()},
  };
  for (const Case& c : cases) {
    IDispatch* voice = nullptr;
    EXPECT_TRUE(FAILED(CreateSpeechVoice({c.data_path, nullptr, {}}, IID_IDispatch,
                                         reinterpret_cast<void**>(&voice))))
        << c.what;
    EXPECT_EQ(voice, nullptr) << c.what;
  }
  // The program sees this as having no speech engine.
  ASSERT_TRUE(RegisterSpeechVoiceClass(VoiceOptions{"", nullptr, {}}));
  SpeechVoice program_voice;
  EXPECT_FALSE(program_voice.Create());
  RevokeSpeechVoiceClass();
  // The links left out are the only difference: the full set works.
  const VoiceOptions complete{DataWithout(scratch / "complete", {}).string(), nullptr, {}};
  IDispatch* voice = nullptr;
  EXPECT_EQ(CreateSpeechVoice(
                {complete.data_path, std::make_shared<CaptureSink>(Pace::kAsFastAsPossible), {}},
                IID_IDispatch, reinterpret_cast<void**>(&voice)),
            S_OK);
  if (voice != nullptr) {
    voice->Release();
  }
  std::filesystem::remove_all(scratch);
}

TEST(VoiceAutomationTest, RegistrationServesTheSpeechVoiceClassUntilRevoked) {
  CoInitialize(nullptr);
  ASSERT_TRUE(RegisterSpeechVoiceClass());
  EXPECT_FALSE(RegisterSpeechVoiceClass()) << "registered twice";
  {
    SpeechVoice voice;
    EXPECT_TRUE(voice.Create());
    EXPECT_EQ(voice.GetVolume(), 100);
  }
  RevokeSpeechVoiceClass();
  SpeechVoice voice;
  EXPECT_FALSE(voice.Create());
  CoUninitialize();
}

}  // namespace
