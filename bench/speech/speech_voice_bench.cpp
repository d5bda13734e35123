// The cost of the voice's late-bound calls, measured against a recording
// voice object so that only the program's side and the automation runtime
// are timed.
#include <benchmark/benchmark.h>

#include <string>

#include "automation.h"
#include "recording_voice.h"
#include "speech/speech_voice.h"

namespace {

struct Setup {
  Setup() : voice_class(log) {
    CoInitialize(nullptr);
    voice.Create();
  }
  ~Setup() { CoUninitialize(); }

  RecordingLog log;
  RecordingVoiceClass voice_class;
  SpeechVoice voice;
};

void BM_PropertyWrite(benchmark::State& state) {
  Setup setup;
  std::int32_t volume = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(setup.voice.SetVolume(volume));
    volume = (volume + 1) % 101;
    if (setup.log.calls.size() > 4096) {
      setup.log.calls.clear();
    }
  }
}
BENCHMARK(BM_PropertyWrite);

void BM_Speak(benchmark::State& state) {
  Setup setup;
  // Chinese text, three bytes a character, cut to the wanted size.
  std::string text;
  const std::string sentence = "青栎工坊把这段文字读出来。";
  while (text.size() < static_cast<std::size_t>(state.range(0))) {
    text += sentence;
  }
  text.resize(static_cast<std::size_t>(state.range(0)) / 3 * 3);
  for (auto _ : state) {
    benchmark::DoNotOptimize(setup.voice.Speak(text, SpeechVoice::kSpeakAsync));
    state.PauseTiming();
    setup.log.calls.clear();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(BM_Speak)->Arg(1 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
