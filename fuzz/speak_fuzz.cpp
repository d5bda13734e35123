// The voice's text path: Speak through IDispatch::Invoke, as the program's
// ComObject calls it, with any UTF-16 text (unpaired surrogates, zeros,
// control characters, markup-like text), into a sink that takes the audio as
// fast as the voice produces it. After each input the voice must still
// answer: Volume reads back what was set, and a purge returns promptly.
//
// Input: the first byte chooses the call (bit 0: synchronous, bit 1: purge
// before speaking) and the rate (the byte's upper bits); the rest is the text
// as little-endian UTF-16. A synchronous call speaks at most kMaxSyncUnits of
// it to the end, so one input never takes long; an asynchronous call hands
// over the whole text and the purge afterwards drops it mid-synthesis.
//
// One voice serves every input: espeak-ng loads once per process.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <thread>

#include "automation.h"
#include "paced_sink.h"
#include "voice_factory.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxSyncUnits = 160;
// Generous: a synchronous input of kMaxSyncUnits speaks in well under a
// second here. Past this the voice is taken to be hung.
constexpr auto kHangBound = std::chrono::seconds(30);

constexpr LONG kSpeakAsync = 1;
constexpr LONG kSpeakPurgeBeforeSpeak = 2;

class DiscardSink final : public PacedSink {
 public:
  DiscardSink() : PacedSink(Pace::kAsFastAsPossible) {}
  ~DiscardSink() override { Stop(); }

 private:
  void Deliver(std::span<const std::int16_t>, std::size_t) override {}
};

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "speak_fuzz: %s\n", what);
  std::abort();
}

// Aborts, so that libFuzzer keeps the input, when one input runs past the
// hang bound.
class Watchdog {
 public:
  Watchdog() {
    std::thread([this] {
      for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        const std::int64_t started = started_.load();
        if (started != 0 && Clock::now().time_since_epoch().count() - started >
                                std::chrono::duration_cast<Clock::duration>(kHangBound).count()) {
          Fail("the voice did not answer within the hang bound");
        }
      }
    }).detach();
  }
  void Begin() { started_ = Clock::now().time_since_epoch().count(); }
  void End() { started_ = 0; }

 private:
  std::atomic<std::int64_t> started_{0};
};

struct Voice {
  Voice() {
    CoInitialize(nullptr);
    VoiceOptions options = DefaultVoiceOptions();
    options.sink = std::make_shared<DiscardSink>();
    if (FAILED(CreateSpeechVoice(options, IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      Fail("no voice: is espeak-ng-data (with the Mandarin voice) installed?");
    }
    for (auto [name, id] :
         {std::pair{u"Speak", &speak}, std::pair{u"Volume", &volume}, std::pair{u"Rate", &rate}}) {
      std::u16string writable = name;
      LPOLESTR names[] = {writable.data()};
      if (FAILED(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id))) {
        Fail("a member of the voice is missing");
      }
    }
  }
  // The voice stops speaking and joins its threads before the process's
  // statics go.
  ~Voice() {
    dispatch->Release();
    CoUninitialize();
  }

  HRESULT Speak(const OLECHAR* text, UINT length, LONG flags, LONG& stream) {
    VARIANT arguments[2];  // last to first
    VariantInit(&arguments[0]);
    arguments[0].vt = VT_I4;
    arguments[0].lVal = flags;
    VariantInit(&arguments[1]);
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = SysAllocStringLen(text, length);
    if (arguments[1].bstrVal == nullptr) {
      Fail("SysAllocStringLen failed");
    }
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = dispatch->Invoke(speak, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &parameters, &result, nullptr, nullptr);
    stream = result.vt == VT_I4 ? result.lVal : 0;
    VariantClear(&arguments[1]);
    VariantClear(&result);
    return hr;
  }

  HRESULT Put(DISPID member, LONG value) {
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = value;
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{&argument, &named, 1, 1};
    return dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                            &parameters, nullptr, nullptr, nullptr);
  }

  LONG Get(DISPID member) {
    DISPPARAMS parameters{nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    if (FAILED(dispatch->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                &parameters, &result, nullptr, nullptr)) ||
        result.vt != VT_I4) {
      Fail("a property read failed");
    }
    return result.lVal;
  }

  IDispatch* dispatch = nullptr;
  DISPID speak = DISPID_UNKNOWN;
  DISPID volume = DISPID_UNKNOWN;
  DISPID rate = DISPID_UNKNOWN;
  LONG last_stream = 0;
  LONG turn = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Watchdog watchdog;
  static Voice voice;
  if (size == 0) {
    return 0;
  }
  const std::uint8_t mode = data[0];
  std::u16string text;
  for (std::size_t i = 1; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  const bool synchronous = (mode & 1) != 0;
  const LONG flags =
      (synchronous ? 0 : kSpeakAsync) | ((mode & 2) != 0 ? kSpeakPurgeBeforeSpeak : 0);
  if (synchronous && text.size() > kMaxSyncUnits) {
    text.resize(kMaxSyncUnits);
  }

  watchdog.Begin();
  if (voice.Put(voice.rate, static_cast<LONG>(mode >> 2) % 21 - 10) != S_OK) {
    Fail("a rate in range was refused");
  }
  LONG stream = 0;
  if (voice.Speak(text.data(), static_cast<UINT>(text.size()), flags, stream) != S_OK) {
    Fail("Speak failed");
  }
  if (stream <= voice.last_stream) {
    Fail("Speak's stream numbers did not go up");
  }
  voice.last_stream = stream;

  // Still answering: a property write and read, then a purge that returns
  // once everything queued is dropped.
  const LONG volume = ++voice.turn % 101;
  if (voice.Put(voice.volume, volume) != S_OK || voice.Get(voice.volume) != volume) {
    Fail("Volume did not read back what was set");
  }
  if (voice.Speak(u"", 0, kSpeakPurgeBeforeSpeak, stream) != S_OK ||
      stream != voice.last_stream + 1) {
    Fail("the purge failed");
  }
  voice.last_stream = stream;
  watchdog.End();
  return 0;
}
