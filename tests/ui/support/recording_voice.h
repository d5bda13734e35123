// A stand-in for the speech engine's voice object. While registered, it is
// what CoCreateInstance hands out for the engine's class identifier, so the
// program's real SpeechVoice talks to it, and it writes every call that
// reaches it into a call log:
//   "create SpVoice", "get Volume", "put Volume 37", "get Rate",
//   "put Rate -3", "Pause", "Resume", "Speak <text> <flags>",
//   "release SpVoice (apartment open)" or "... (apartment closed)".
#pragma once

#include <cstdint>

#include "automation.h"
#include "call_log.h"

class RecordingVoiceClass {
 public:
  explicit RecordingVoiceClass(CallLog& log);
  ~RecordingVoiceClass();
  RecordingVoiceClass(const RecordingVoiceClass&) = delete;
  RecordingVoiceClass& operator=(const RecordingVoiceClass&) = delete;

  // Registers the class in the calling thread's apartment; on Windows that
  // apartment must already be joined.
  bool Register();
  void Revoke();

  // What the engine reports before anything is written.
  std::int32_t volume = 100;
  std::int32_t rate = 0;

  CallLog& log;
  // Objects created and not yet finally released.
  int live_objects = 0;

 private:
  IUnknown* factory_ = nullptr;
  DWORD cookie_ = 0;
};
