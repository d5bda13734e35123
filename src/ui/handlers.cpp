#include "ui/handlers.h"

#include <string>

#include "app/global_voice.h"
#include "numeric/truncate.h"
#include "speech/speech_voice.h"
#include "ui/main_window.h"

namespace {

// The speed slider runs 0 to 20 for the engine's rates -10 to +10.
constexpr double kRateOffset = 10.0;

}  // namespace

void OnWindowCreated(Controls& controls) {
  // A voice that cannot be created stays empty and is never tried again; its
  // volume and rate then read as 0, so the sliders open at 0 and 10.
  g_voice->Create();
  const std::int32_t volume = g_voice->GetVolume();
  controls.SetSliderPosition(kVolumeSlider, volume);
  const std::int32_t rate = g_voice->GetRate();
  controls.SetSliderPosition(kSpeedSlider, TruncateToInt32(rate + kRateOffset));
}

void OnVolumeChanged(Controls& controls) {
  g_voice->SetVolume(controls.GetSliderPosition(kVolumeSlider));
}

void OnSpeedChanged(Controls& controls) {
  const std::int32_t position = controls.GetSliderPosition(kSpeedSlider);
  g_voice->SetRate(TruncateToInt32(position - kRateOffset));
}

void OnReadAloudClicked(Controls& controls) {
  const std::string text = controls.GetEditText(kEditBox1);
  g_voice->Speak(text, SpeechVoice::kSpeakAsync);
}

void OnPauseResumeClicked(Controls& controls) {
  // Only the exact bytes of the pause caption pause; any other caption
  // resumes. The caption changes before the voice is called.
  const bool pausing = controls.GetCaption(kPauseResumeButton) == kPauseCaption;
  if (pausing) {
    controls.SetCaption(kPauseResumeButton, kResumeCaption);
    g_voice->Pause();
  } else {
    controls.SetCaption(kPauseResumeButton, kPauseCaption);
    g_voice->Resume();
  }
}
