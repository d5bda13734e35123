#include "speech/speech_voice.h"

#include "automation.h"
#include "numeric/truncate.h"

namespace {

// The class identifier of the speech engine's voice automation object.
constexpr std::string_view kSpVoiceClassId = "{96749377-3391-11D2-9EE3-00C04F797396}";

}  // namespace

SpeechVoice::SpeechVoice() {
  // The thread is normally in its apartment already, so this only adds to
  // its count. Only a successful call is undone at destruction, so a failed
  // one never takes back someone else's initialisation.
  apartment_joined_ = SUCCEEDED(CoInitialize(nullptr));
}

SpeechVoice::~SpeechVoice() {
  // The engine's object must be released while the apartment is still open.
  voice_.Reset();
  if (apartment_joined_) {
    CoUninitialize();
  }
}

bool SpeechVoice::Create() {
  if (voice_.HasObject()) {
    return false;
  }
  return voice_.Instantiate(kSpVoiceClassId);
}

std::int32_t SpeechVoice::GetVolume() {
  return TruncateToInt32(voice_.GetNumber("Volume"));
}

bool SpeechVoice::SetVolume(std::int32_t volume) {
  return voice_.PutProperty("Volume", volume);
}

std::int32_t SpeechVoice::GetRate() {
  return TruncateToInt32(voice_.GetNumber("Rate"));
}

bool SpeechVoice::SetRate(std::int32_t rate) {
  return voice_.PutProperty("Rate", rate);
}

void SpeechVoice::Pause() {
  voice_.Call("Pause");
}

void SpeechVoice::Resume() {
  voice_.Call("Resume");
}

std::int32_t SpeechVoice::Speak(std::string_view text, std::int32_t flags) {
  if (!voice_.HasObject()) {
    return -1;
  }
  return TruncateToInt32(voice_.CallNumber("Speak", {text, flags}));
}
