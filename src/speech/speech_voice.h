// The program's one link to the speech engine's voice object.
#pragma once

#include <cstdint>
#include <string_view>

#include "speech/com_object.h"

class SpeechVoice {
 public:
  // The engine's speak flag that returns at once while the text is spoken
  // in the background.
  static constexpr std::int32_t kSpeakAsync = 1;

  // Joins the calling thread to a COM apartment; the holder starts empty.
  SpeechVoice();
  // Releases the engine's voice, then leaves the apartment.
  ~SpeechVoice();
  SpeechVoice(const SpeechVoice&) = delete;
  SpeechVoice& operator=(const SpeechVoice&) = delete;

  bool Create();
  std::int32_t GetVolume();
  bool SetVolume(std::int32_t volume);
  std::int32_t GetRate();
  bool SetRate(std::int32_t rate);
  void Pause();
  void Resume();
  // The engine's stream number for the text; -1 when no engine voice is
  // held, 0 when the call failed.
  std::int32_t Speak(std::string_view text, std::int32_t flags);

 private:
  ComObject voice_;
  bool apartment_joined_ = false;
};
