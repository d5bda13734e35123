// Prints the speech voice's figures, each the median (and worst) of a few
// runs, measured through IDispatch as the program calls it:
//
//   Speak call time (asynchronous) for 1 KB, 1 MB and 10 MB of text, next to
//     the time of copying that text once;
//   from Speak returning to the first sample handed to the sink;
//   from Pause to the last sample handed to the sink;
//   synthesis speed as a multiple of real time;
//   release while speaking;
//   resident memory while speaking 10 MB of text, above idle;
//   and, when SDL opens a sound card, the latencies and release through it.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "capture_sink.h"
#include "voice_factory.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr int kSampleRate = 22050;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

struct Figures {
  std::vector<double> values;
  void Add(double v) { values.push_back(v); }
  double Median() {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
  }
  double Worst() { return values.empty() ? 0 : *std::max_element(values.begin(), values.end()); }
};

struct Releaser {
  void operator()(IDispatch* d) const { d->Release(); }
};
using Voice = std::unique_ptr<IDispatch, Releaser>;

Voice MakeVoice(std::shared_ptr<AudioSink> sink) {
  VoiceOptions options = DefaultVoiceOptions();
  options.sink = std::move(sink);
  IDispatch* dispatch = nullptr;
  if (FAILED(CreateSpeechVoice(options, IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
    std::fprintf(stderr, "voice_bench: cannot create the voice\n");
    std::exit(1);
  }
  return Voice(dispatch);
}

HRESULT Invoke(IDispatch* voice, const char16_t* name, std::vector<VARIANT> reversed) {
  std::u16string writable = name;
  LPOLESTR names[] = {writable.data()};
  DISPID id = DISPID_UNKNOWN;
  voice->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  VARIANT result;
  VariantInit(&result);
  return voice->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result,
                       nullptr, nullptr);
}

// Speak(text, flags) with a BSTR the caller owns; returns the call's time.
Clock::duration TimeSpeak(IDispatch* voice, BSTR text, LONG flags) {
  VARIANT arguments[2];
  VariantInit(&arguments[0]);
  arguments[0].vt = VT_I4;
  arguments[0].lVal = flags;
  VariantInit(&arguments[1]);
  arguments[1].vt = VT_BSTR;
  arguments[1].bstrVal = text;
  const auto start = Clock::now();
  Invoke(voice, u"Speak", {arguments[0], arguments[1]});
  return Clock::now() - start;
}

std::u16string TextOfBytes(std::size_t utf8_bytes) {
  // Mostly Chinese with some Latin, as typed into the window.
  const std::u16string sentence = u"这是一段很长的文字，用来测试语音引擎。Some Latin text, 123. ";
  const std::size_t sentence_utf8 = 18 * 3 + 21;
  std::u16string text;
  for (std::size_t bytes = 0; bytes < utf8_bytes; bytes += sentence_utf8) {
    text += sentence;
  }
  return text;
}

// Wraps the sound card sink and notes when speech samples go to it.
class TimedDeviceSink final : public AudioSink, private AudioSource {
 public:
  bool Start(AudioSource& source, int sample_rate) override {
    source_ = &source;
    opened_ = device_->Start(*this, sample_rate);
    return opened_;
  }
  void Stop() override { device_->Stop(); }
  bool Opened() const { return opened_; }
  Clock::time_point First() const { return Clock::time_point(Clock::duration(first_.load())); }
  Clock::time_point Last() const { return Clock::time_point(Clock::duration(last_.load())); }
  bool Spoke() const { return first_.load() != 0; }

 private:
  std::size_t Fill(std::span<std::int16_t> out) override {
    const std::size_t speech = source_->Fill(out);
    if (speech > 0) {
      const auto now = Clock::now().time_since_epoch().count();
      Clock::rep expected = 0;
      first_.compare_exchange_strong(expected, now);
      last_ = now;
    }
    return speech;
  }

  std::shared_ptr<AudioSink> device_ = MakeDeviceSink();
  AudioSource* source_ = nullptr;
  bool opened_ = false;
  std::atomic<Clock::rep> first_{0};
  std::atomic<Clock::rep> last_{0};
};

long ResidentKilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) {
      return std::stol(line.substr(std::string(field).size()));
    }
  }
  return 0;
}

void SpeakCallTime() {
  std::printf("Speak call time, asynchronous (median / worst of 5), and one copy of the text:\n");
  for (const auto& [label, bytes] : {std::pair{"1 KB", std::size_t{1} << 10},
                                     {"1 MB", std::size_t{1} << 20},
                                     {"10 MB", std::size_t{10} << 20}}) {
    const std::u16string text = TextOfBytes(bytes);
    BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    Figures call;
    Figures copy;
    Figures release;
    for (int run = 0; run < 5; ++run) {
      Voice voice = MakeVoice(MakeNullSink());
      call.Add(Milliseconds(TimeSpeak(voice.get(), bstr, 1)));
      const auto copy_start = Clock::now();
      std::u16string copied(bstr, SysStringLen(bstr));
      copy.Add(Milliseconds(Clock::now() - copy_start));
      std::this_thread::sleep_for(100ms);
      const auto release_start = Clock::now();
      voice.reset();
      release.Add(Milliseconds(Clock::now() - release_start));
    }
    std::printf("  %-5s (%zu UTF-16 units): Speak %.3f / %.3f ms, copy %.3f / %.3f ms\n", label,
                text.size(), call.Median(), call.Worst(), copy.Median(), copy.Worst());
    std::printf("         release while speaking: %.2f / %.2f ms\n", release.Median(),
                release.Worst());
    SysFreeString(bstr);
  }
}

void FirstSampleLatency() {
  const std::u16string text = u"你好，世界。";
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  Figures latency;
  for (int run = 0; run < 10; ++run) {
    auto sink = std::make_shared<CaptureSink>(PacedSink::Pace::kAsFastAsPossible);
    Voice voice = MakeVoice(sink);
    TimeSpeak(voice.get(), bstr, 1);
    const auto returned = Clock::now();
    while (!sink->FirstSpeechTime()) {
      std::this_thread::sleep_for(100us);
    }
    latency.Add(Milliseconds(*sink->FirstSpeechTime() - returned));
  }
  SysFreeString(bstr);
  std::printf("Speak returning to the first sample handed to the sink: %.2f / %.2f ms\n",
              latency.Median(), latency.Worst());
  std::printf(
      "  (a sink that asks whenever it has room; a sound card adds up to one period,\n"
      "   23 ms with the 512-sample buffer SDL is opened with)\n");
}

void PauseLatency() {
  const std::u16string text = TextOfBytes(2000);
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  Figures latency;
  for (int run = 0; run < 5; ++run) {
    auto sink = std::make_shared<CaptureSink>(PacedSink::Pace::kRealTime);
    Voice voice = MakeVoice(sink);
    TimeSpeak(voice.get(), bstr, 1);
    std::this_thread::sleep_for(400ms);
    const auto paused = Clock::now();
    Invoke(voice.get(), u"Pause", {});
    std::this_thread::sleep_for(200ms);
    latency.Add(Milliseconds(*sink->LastSpeechTime() - paused));
  }
  SysFreeString(bstr);
  std::printf("Pause to the last sample handed to the sink: %.2f / %.2f ms\n", latency.Median(),
              latency.Worst());
  std::printf(
      "  (a real-time sink pulling every 10 ms; below zero, the last sample went out\n"
      "   before Pause was called and none after it)\n");
}

void SynthesisSpeed() {
  const std::u16string text = TextOfBytes(20000);
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  auto sink = std::make_shared<CaptureSink>(PacedSink::Pace::kAsFastAsPossible);
  Voice voice = MakeVoice(sink);
  const auto start = Clock::now();
  TimeSpeak(voice.get(), bstr, 0);
  const double wall = std::chrono::duration<double>(Clock::now() - start).count();
  const double audio = static_cast<double>(sink->SpeechCount()) / kSampleRate;
  SysFreeString(bstr);
  std::printf("Synthesis speed: %.0f s of audio in %.2f s, %.0f times real time\n", audio, wall,
              audio / wall);
}

void MemoryWhileSpeaking() {
  const std::u16string text = TextOfBytes(std::size_t{10} << 20);
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  Voice voice = MakeVoice(std::make_shared<CaptureSink>(PacedSink::Pace::kRealTime));
  std::this_thread::sleep_for(200ms);
  const long idle = ResidentKilobytes("VmRSS:");
  TimeSpeak(voice.get(), bstr, 1);
  long peak = idle;
  for (int i = 0; i < 600; ++i) {
    peak = std::max(peak, ResidentKilobytes("VmRSS:"));
    std::this_thread::sleep_for(5ms);
  }
  SysFreeString(bstr);
  std::printf(
      "Resident memory while speaking 10 MB of text (%.1f MB as UTF-16): idle %.1f MB,\n"
      "  peak over 3 s %.1f MB, %.1f MB above idle (the caller's own BSTR is counted in\n"
      "  idle; the voice keeps one UTF-16 copy of the text while speaking it)\n",
      text.size() * 2 / 1048576.0, idle / 1024.0, peak / 1024.0, (peak - idle) / 1024.0);
}

void ThroughTheSoundCard() {
  const std::u16string text = TextOfBytes(2000);
  BSTR bstr = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  Figures first;
  Figures pause;
  Figures release;
  for (int run = 0; run < 5; ++run) {
    auto sink = std::make_shared<TimedDeviceSink>();
    Voice voice = MakeVoice(sink);
    if (!sink->Opened()) {
      std::printf("Through the sound card: no device opened, skipped\n");
      SysFreeString(bstr);
      return;
    }
    std::this_thread::sleep_for(100ms);  // the device is running, asking for audio
    TimeSpeak(voice.get(), bstr, 1);
    const auto returned = Clock::now();
    while (!sink->Spoke() && Clock::now() - returned < 5s) {
      std::this_thread::sleep_for(100us);
    }
    if (!sink->Spoke()) {
      std::printf("Through the sound card: no speech reached the device in 5 s\n");
      SysFreeString(bstr);
      return;
    }
    first.Add(Milliseconds(sink->First() - returned));
    std::this_thread::sleep_for(300ms);
    const auto paused = Clock::now();
    Invoke(voice.get(), u"Pause", {});
    std::this_thread::sleep_for(3s);  // a server with a long buffer asks rarely
    pause.Add(Milliseconds(sink->Last() - paused));
    Invoke(voice.get(), u"Resume", {});
    std::this_thread::sleep_for(100ms);
    const auto release_start = Clock::now();
    voice.reset();
    release.Add(Milliseconds(Clock::now() - release_start));
  }
  SysFreeString(bstr);
  std::printf(
      "Through the sound card (SDL): Speak to the first sample handed to SDL's callback\n"
      "  %.2f / %.2f ms, Pause to the last sample %.2f / %.2f ms, release while speaking\n"
      "  %.2f / %.2f ms (these include how often the sound server asks for audio)\n",
      first.Median(), first.Worst(), pause.Median(), pause.Worst(), release.Median(),
      release.Worst());
}

}  // namespace

int main() {
  const auto start = Clock::now();
  { Voice first = MakeVoice(MakeNullSink()); }
  std::printf("First voice created (espeak-ng loaded) in %.1f ms\n",
              Milliseconds(Clock::now() - start));
  const auto again = Clock::now();
  { Voice second = MakeVoice(MakeNullSink()); }
  std::printf("Next voice created and released in %.1f ms\n", Milliseconds(Clock::now() - again));
  MemoryWhileSpeaking();
  SpeakCallTime();
  FirstSampleLatency();
  PauseLatency();
  SynthesisSpeed();
  ThroughTheSoundCard();
  return 0;
}
