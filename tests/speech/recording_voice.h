// A stand-in for the speech engine's voice object that records every
// automation call it receives and answers as a test tells it to.
//
// It offers the engine's members with the engine's shapes (Volume and Rate
// as properties, Pause and Resume as methods without parameters, Speak as a
// method with two), described by type information built with
// CreateDispTypeInfo, so the program reaches it exactly as it reaches the
// real voice. RecordingVoiceClass registers it for the running process under
// the voice's class identifier.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "automation.h"
#include "voice_type_info.h"

// One argument as it arrived, in rgvarg order (last argument first).
struct RecordedArgument {
  VARTYPE type;
  long number;          // for VT_I4
  std::u16string text;  // for VT_BSTR, its full length
  bool operator==(const RecordedArgument&) const = default;
};

struct RecordedCall {
  DISPID member;
  WORD flags;
  LCID locale;
  std::vector<RecordedArgument> arguments;
  std::vector<DISPID> named_arguments;
};

// What all recording voices of a test share: the calls made, the answers to
// give and the object counts.
struct RecordingLog {
  std::vector<RecordedCall> calls;

  // Answers. The result of a Volume or Rate read, and of Speak.
  VARIANT volume_answer{};
  VARIANT rate_answer{};
  VARIANT speak_answer{};
  // When failing, Invoke returns this without recording.
  HRESULT invoke_result = S_OK;
  // When failing, the class factory refuses to create the object.
  HRESULT create_result = S_OK;
  // When false, the object reports no type information.
  bool offers_type_info = true;

  int objects_created = 0;
  int objects_alive = 0;
  long references = 0;  // held on all live objects together
  // Run when an object is created, after each call has been recorded, and
  // when an object is destroyed.
  std::function<void()> on_created;
  std::function<void(const RecordedCall&)> on_call;
  std::function<void()> on_destroyed;

  RecordingLog();
  ~RecordingLog();
  RecordingLog(const RecordingLog&) = delete;
  RecordingLog& operator=(const RecordingLog&) = delete;

  // The answers are copied in; a text answer is given as UTF-16.
  void AnswerVolume(const VARIANT& value);
  void AnswerRate(const VARIANT& value);
  void AnswerSpeak(const VARIANT& value);
};

// Registers the recording voice for this process under the speech voice's
// class identifier for as long as it lives. The calling thread must have
// joined an apartment.
class RecordingVoiceClass {
 public:
  explicit RecordingVoiceClass(RecordingLog& log);
  ~RecordingVoiceClass();
  RecordingVoiceClass(const RecordingVoiceClass&) = delete;
  RecordingVoiceClass& operator=(const RecordingVoiceClass&) = delete;

  bool registered() const { return registered_; }

 private:
  IClassFactory* factory_ = nullptr;
  DWORD cookie_ = 0;
  bool registered_ = false;
};

// Variant helpers for answers.
VARIANT MakeI4(long value);
VARIANT MakeR8(double value);
VARIANT MakeBool(bool value);
VARIANT MakeText(const std::u16string& text);  // the caller clears it
