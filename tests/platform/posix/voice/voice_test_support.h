// Calling the speech voice the way the program's ComObject does, and
// measuring the audio it delivers.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <utility>
#include <string>
#include <vector>

#include "automation.h"
#include "capture_sink.h"
#include "speech/speech_voice.h"

namespace voice_test {

using Pace = PacedSink::Pace;
using Samples = std::vector<std::int16_t>;

constexpr int kSampleRate = 22050;  // espeak-ng's

// Records what the voice's synthesis produced, stream by stream.
class SynthesisRecord {
 public:
  void Add(std::int32_t stream, std::span<const std::int16_t> samples);
  // One stream's samples, or every stream's in the order produced.
  Samples Of(std::int32_t stream) const;
  Samples All() const;
  std::vector<std::int32_t> StreamOrder() const;

 private:
  mutable std::mutex mutex_;
  std::vector<std::pair<std::int32_t, Samples>> streams_;
};

// A voice created through the registered class and the program's own
// SpeechVoice, with its audio captured and its synthesis recorded.
struct CapturedVoice {
  explicit CapturedVoice(Pace pace = Pace::kAsFastAsPossible);

  std::shared_ptr<CaptureSink> sink;
  std::shared_ptr<SynthesisRecord> synthesized;
  SpeechVoice voice;  // destroyed before the sink it delivers to
  bool created = false;
};

// Speaks text to the end on a fresh voice and returns its audio.
Samples SpeakToEnd(const std::string& text, int volume = 100, int rate = 0);

double Rms(const Samples& samples);
double Seconds(std::size_t sample_count);

// Releases an interface pointer when it goes out of scope.
struct Released {
  void operator()(IUnknown* object) const { object->Release(); }
};
using DispatchPtr = std::unique_ptr<IDispatch, Released>;

// A voice created directly, for calls at the level of IDispatch.
DispatchPtr CreateVoice(std::shared_ptr<AudioSink> sink);

// A late-bound call by name, as ComObject makes it: the member is looked up
// in the type information with the invoke kind it needs, the arguments go
// last to first, and a property write names DISPID_PROPERTYPUT. The
// arguments are cleared afterwards.
HRESULT CallByName(IDispatch* dispatch, const std::u16string& name, INVOKEKIND kind,
                   std::vector<VARIANT> arguments, VARIANT* result = nullptr);
VARIANT Long(LONG value);
VARIANT Double(double value);
VARIANT Text(const std::u16string& text);

}  // namespace voice_test
