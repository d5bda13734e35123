#include "logged_voice.h"

#include <string>

#include "text/utf.h"

namespace {

// Whether the calling thread is still in a COM apartment: joining again
// then only nests.
bool ApartmentOpen() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) {
    CoUninitialize();
  }
  return hr == S_FALSE;
}

const char* MemberName(DISPID member) {
  switch (member) {
    case kDispidVolume:
      return "Volume";
    case kDispidRate:
      return "Rate";
    case kDispidPause:
      return "Pause";
    case kDispidResume:
      return "Resume";
    case kDispidSpeak:
      return "Speak";
    default:
      return "?";
  }
}

}  // namespace

LoggedVoiceClass::LoggedVoiceClass(CallLog& call_log) : log(call_log) {
  recording_.on_created = [this] { log.push_back("create SpVoice"); };
  recording_.on_call = [this](const RecordedCall& call) { Describe(call); };
  recording_.on_destroyed = [this] {
    log.push_back(ApartmentOpen() ? "release SpVoice (apartment open)"
                                  : "release SpVoice (apartment closed)");
  };
}

bool LoggedVoiceClass::Register() {
  recording_.AnswerVolume(MakeI4(volume));
  recording_.AnswerRate(MakeI4(rate));
  registration_.emplace(recording_);
  if (!registration_->registered()) {
    registration_.reset();
    return false;
  }
  return true;
}

void LoggedVoiceClass::Describe(const RecordedCall& call) {
  const std::string name = MemberName(call.member);
  const auto& arguments = call.arguments;  // last first
  if (call.flags == DISPATCH_PROPERTYGET) {
    log.push_back("get " + name);
  } else if (call.flags == DISPATCH_PROPERTYPUT) {
    if (arguments.size() != 1 || arguments[0].type != VT_I4) {
      log.push_back("put " + name + " with a bad argument");
      return;
    }
    log.push_back("put " + name + " " + std::to_string(arguments[0].number));
    // The engine reads back what was written.
    const VARIANT written = MakeI4(arguments[0].number);
    call.member == kDispidVolume ? recording_.AnswerVolume(written)
                                 : recording_.AnswerRate(written);
  } else if (call.member == kDispidSpeak) {
    if (arguments.size() != 2 || arguments[1].type != VT_BSTR || arguments[0].type != VT_I4) {
      log.push_back("Speak with bad arguments");
      return;
    }
    log.push_back("Speak " + NarrowUtf16(arguments[1].text).value_or("<bad text>") + " " +
                  std::to_string(arguments[0].number));
  } else {
    log.push_back(name);
  }
}
