// Creating the speech voice automation object with a chosen data directory
// and audio sink: the program uses the defaults, tests and benchmarks their
// own.
#pragma once

#include <memory>
#include <string>

#include "audio_sink.h"
#include "voice_engine.h"
#include "automation.h"
#include "voice_registration.h"

struct VoiceOptions {
  // The espeak-ng data directory; creation fails when it lacks the
  // Mandarin voice.
  std::string data_path;
  // Null for the sound card (or a real-time null sink when there is none).
  // A sink serves one voice at a time.
  std::shared_ptr<AudioSink> sink;
  // See VoiceEngine::SynthesisTap; empty for the program.
  VoiceEngine::SynthesisTap synthesis_tap;
};

// The options the program's voice is created with.
VoiceOptions DefaultVoiceOptions();

// Creates a voice and hands out its interface riid.
HRESULT CreateSpeechVoice(const VoiceOptions& options, REFIID riid, void** object);

// Serves the speech voice class identifier with voices made from options,
// until RevokeSpeechVoiceClass.
bool RegisterSpeechVoiceClass(VoiceOptions options);
