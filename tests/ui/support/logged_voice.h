// The recording stand-in for the engine's voice, telling its story in the
// same call log as the fake toolkit, so a test sees the order of what the
// window and the voice did:
//   "create SpVoice", "get Volume", "put Volume 37", "get Rate",
//   "put Rate -3", "Pause", "Resume", "Speak <text> <flags>",
//   "release SpVoice (apartment open)" or "... (apartment closed)".
#pragma once

#include <cstdint>
#include <optional>

#include "call_log.h"
#include "recording_voice.h"

class LoggedVoiceClass {
 public:
  explicit LoggedVoiceClass(CallLog& call_log);
  LoggedVoiceClass(const LoggedVoiceClass&) = delete;
  LoggedVoiceClass& operator=(const LoggedVoiceClass&) = delete;

  // Registers the class for the calling thread; on Windows its apartment
  // must already be joined.
  bool Register();
  void Revoke() { registration_.reset(); }

  // Objects created and not yet finally released.
  int live_objects() const { return recording_.objects_alive; }

  // What the engine reports before anything is written.
  std::int32_t volume = 100;
  std::int32_t rate = 0;

  CallLog& log;

 private:
  void Describe(const RecordedCall& call);

  RecordingLog recording_;
  std::optional<RecordingVoiceClass> registration_;
};
