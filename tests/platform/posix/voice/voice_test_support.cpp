#include "voice_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

#include "voice_factory.h"

namespace voice_test {

void SynthesisRecord::Add(std::int32_t stream, std::span<const std::int16_t> samples) {
  std::lock_guard lock(mutex_);
  if (streams_.empty() || streams_.back().first != stream) {
    streams_.push_back({stream, {}});
  }
  streams_.back().second.insert(streams_.back().second.end(), samples.begin(), samples.end());
}

Samples SynthesisRecord::Of(std::int32_t stream) const {
  std::lock_guard lock(mutex_);
  Samples samples;
  for (const auto& [number, part] : streams_) {
    if (number == stream) {
      samples.insert(samples.end(), part.begin(), part.end());
    }
  }
  return samples;
}

Samples SynthesisRecord::All() const {
  std::lock_guard lock(mutex_);
  Samples samples;
  for (const auto& entry : streams_) {
    samples.insert(samples.end(), entry.second.begin(), entry.second.end());
  }
  return samples;
}

std::vector<std::int32_t> SynthesisRecord::StreamOrder() const {
  std::lock_guard lock(mutex_);
  std::vector<std::int32_t> order;
  for (const auto& entry : streams_) {
    order.push_back(entry.first);
  }
  return order;
}

CapturedVoice::CapturedVoice(Pace pace)
    : sink(std::make_shared<CaptureSink>(pace)), synthesized(std::make_shared<SynthesisRecord>()) {
  // The class is served only while this voice is created, so no test leaves
  // a registration behind.
  VoiceOptions options = DefaultVoiceOptions();
  options.sink = sink;
  options.synthesis_tap = [record = synthesized](std::int32_t stream,
                                                 std::span<const std::int16_t> samples) {
    record->Add(stream, samples);
  };
  EXPECT_TRUE(RegisterSpeechVoiceClass(std::move(options)));
  created = voice.Create();
  RevokeSpeechVoiceClass();
  EXPECT_TRUE(created);
}

Samples SpeakToEnd(const std::string& text, int volume, int rate) {
  CapturedVoice captured;
  EXPECT_TRUE(captured.voice.SetVolume(volume));
  EXPECT_TRUE(captured.voice.SetRate(rate));
  EXPECT_GT(captured.voice.Speak(text, 0), 0);
  return captured.sink->Speech();
}

double Rms(const Samples& samples) {
  if (samples.empty()) {
    return 0;
  }
  double sum = 0;
  for (const std::int16_t sample : samples) {
    sum += static_cast<double>(sample) * sample;
  }
  return std::sqrt(sum / static_cast<double>(samples.size()));
}

double Seconds(std::size_t sample_count) {
  return static_cast<double>(sample_count) / kSampleRate;
}

DispatchPtr CreateVoice(std::shared_ptr<AudioSink> sink) {
  VoiceOptions options = DefaultVoiceOptions();
  options.sink = std::move(sink);
  IDispatch* dispatch = nullptr;
  EXPECT_EQ(CreateSpeechVoice(options, IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  return DispatchPtr(dispatch);
}

HRESULT CallByName(IDispatch* dispatch, const std::u16string& name, INVOKEKIND kind,
                   std::vector<VARIANT> arguments, VARIANT* result) {
  ITypeInfo* info = nullptr;
  HRESULT hr = dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info);
  if (FAILED(hr)) {
    return hr;
  }
  std::u16string writable = name;
  LPOLESTR names[] = {writable.data()};
  MEMBERID id = DISPID_UNKNOWN;
  hr = info->GetIDsOfNames(names, 1, &id);
  TYPEATTR* attributes = nullptr;
  bool found = false;
  if (SUCCEEDED(hr) && SUCCEEDED(info->GetTypeAttr(&attributes))) {
    for (UINT i = 0; i < attributes->cFuncs && !found; ++i) {
      FUNCDESC* function = nullptr;
      if (SUCCEEDED(info->GetFuncDesc(i, &function))) {
        found = function->memid == id && function->invkind == kind &&
                static_cast<std::size_t>(function->cParams) >= arguments.size();
        info->ReleaseFuncDesc(function);
      }
    }
    info->ReleaseTypeAttr(attributes);
  }
  info->Release();
  if (found) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (kind == INVOKE_PROPERTYPUT) {
      parameters.rgdispidNamedArgs = &put;
      parameters.cNamedArgs = 1;
    }
    hr = dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(kind), &parameters,
                          result, nullptr, nullptr);
  } else if (SUCCEEDED(hr)) {
    hr = DISP_E_MEMBERNOTFOUND;
  }
  for (VARIANT& argument : arguments) {
    VariantClear(&argument);
  }
  return hr;
}

VARIANT Long(LONG value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT Double(double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  return v;
}

VARIANT Text(const std::u16string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}

}  // namespace voice_test
