// The speech voice automation object: Volume, Rate, Pause, Resume and Speak
// through IDispatch, described by type information built at creation.
#include <atomic>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "synthesizer.h"
#include "voice_engine.h"
#include "voice_factory.h"

namespace {

enum : DISPID {
  kDispidVolume = 1,
  kDispidRate,
  kDispidPause,
  kDispidResume,
  kDispidSpeak,
};

// Speak's flags; the other bits have no effect.
constexpr LONG kSpeakAsync = 1;
constexpr LONG kSpeakPurgeBeforeSpeak = 2;

HRESULT BuildTypeInfo(ITypeInfo** info) {
  static PARAMDATA volume_value[] = {{u"Volume", VT_I4}};
  static PARAMDATA rate_value[] = {{u"Rate", VT_I4}};
  static PARAMDATA speak_parameters[] = {{u"Text", VT_BSTR}, {u"Flags", VT_I4}};
  static METHODDATA members[] = {
      {u"Volume", nullptr, kDispidVolume, 0, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
      {u"Volume", volume_value, kDispidVolume, 1, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_EMPTY},
      {u"Rate", nullptr, kDispidRate, 2, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
      {u"Rate", rate_value, kDispidRate, 3, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_EMPTY},
      {u"Pause", nullptr, kDispidPause, 4, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
      {u"Resume", nullptr, kDispidResume, 5, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
      // Flags is optional (0 when left out); both parameters are declared.
      {u"Speak", speak_parameters, kDispidSpeak, 6, CC_STDCALL, 2, DISPATCH_METHOD, VT_I4},
  };
  INTERFACEDATA data{members, static_cast<UINT>(std::size(members))};
  return CreateDispTypeInfo(&data, LOCALE_USER_DEFAULT, info);
}

// A whole number argument, converted as automation converts. A value too
// large for 32 bits reports DISP_E_OVERFLOW.
HRESULT ToLong(const VARIANT& argument, LONG& value) {
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT hr = VariantChangeType(&converted, &argument, 0, VT_I4);
  if (hr == DISP_E_OVERFLOW) {
    return hr;
  }
  if (FAILED(hr)) {
    return DISP_E_TYPEMISMATCH;
  }
  value = converted.lVal;
  return S_OK;
}

void SetResult(VARIANT* result, LONG value) {
  if (result != nullptr) {
    VariantInit(result);
    result->vt = VT_I4;
    result->lVal = value;
  }
}

class SpeechVoiceObject final : public IDispatch {
 public:
  SpeechVoiceObject(ITypeInfo* type_info, std::unique_ptr<VoiceEngine> engine)
      : type_info_(type_info), engine_(std::move(engine)) {}

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }

  ULONG AddRef() override { return ++references_; }

  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 1;
    return S_OK;
  }

  HRESULT GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) {
      return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
      return DISP_E_BADINDEX;
    }
    type_info_->AddRef();
    *info = type_info_;
    return S_OK;
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return type_info_->GetIDsOfNames(names, count, ids);
  }

  HRESULT Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT* argument_error) override {
    if (params == nullptr || (params->cArgs > 0 && params->rgvarg == nullptr) ||
        (params->cNamedArgs > 0 && params->rgdispidNamedArgs == nullptr)) {
      return E_INVALIDARG;
    }
    switch (member) {
      case kDispidVolume:
        return InvokeProperty(
            flags, *params, result, argument_error, [this] { return engine_->Volume(); },
            [this](LONG value) { return engine_->SetVolume(value); });
      case kDispidRate:
        return InvokeProperty(
            flags, *params, result, argument_error, [this] { return engine_->Rate(); },
            [this](LONG value) { return engine_->SetRate(value); });
      case kDispidPause:
        return InvokeMethodWithoutParameters(flags, *params, [this] { engine_->Pause(); });
      case kDispidResume:
        return InvokeMethodWithoutParameters(flags, *params, [this] { engine_->Resume(); });
      case kDispidSpeak:
        return InvokeSpeak(flags, *params, result, argument_error);
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  ~SpeechVoiceObject() {
    // The engine stops speaking and joins its threads here.
    engine_.reset();
    type_info_->Release();
  }

  template <class Get, class Put>
  static HRESULT InvokeProperty(WORD flags, const DISPPARAMS& params, VARIANT* result,
                                UINT* argument_error, Get get, Put put) {
    if ((flags & DISPATCH_PROPERTYPUT) != 0) {
      if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
        return DISP_E_PARAMNOTFOUND;
      }
      if (params.cArgs != 1) {
        return DISP_E_BADPARAMCOUNT;
      }
      LONG value = 0;
      const HRESULT hr = ToLong(params.rgvarg[0], value);
      if (hr == DISP_E_OVERFLOW) {
        return E_INVALIDARG;  // far outside the range, but a number all the same
      }
      if (FAILED(hr)) {
        SetArgumentError(argument_error, 0);
        return hr;
      }
      return put(value) ? S_OK : E_INVALIDARG;
    }
    if ((flags & DISPATCH_PROPERTYGET) != 0) {
      if (params.cNamedArgs != 0) {
        return DISP_E_NONAMEDARGS;
      }
      if (params.cArgs != 0) {
        return DISP_E_BADPARAMCOUNT;
      }
      SetResult(result, get());
      return S_OK;
    }
    return DISP_E_MEMBERNOTFOUND;
  }

  template <class Action>
  static HRESULT InvokeMethodWithoutParameters(WORD flags, const DISPPARAMS& params,
                                               Action action) {
    if ((flags & DISPATCH_METHOD) == 0) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (params.cNamedArgs != 0) {
      return DISP_E_NONAMEDARGS;
    }
    if (params.cArgs != 0) {
      return DISP_E_BADPARAMCOUNT;
    }
    action();
    return S_OK;
  }

  HRESULT InvokeSpeak(WORD flags, const DISPPARAMS& params, VARIANT* result, UINT* argument_error) {
    if ((flags & DISPATCH_METHOD) == 0) {
      return DISP_E_MEMBERNOTFOUND;
    }
    if (params.cNamedArgs != 0) {
      return DISP_E_NONAMEDARGS;
    }
    if (params.cArgs < 1 || params.cArgs > 2) {
      return DISP_E_BADPARAMCOUNT;
    }
    // Arguments arrive last to first: Text is the last one in rgvarg.
    const UINT text_index = params.cArgs - 1;
    const VARIANT& text = params.rgvarg[text_index];
    if (text.vt != VT_BSTR) {
      SetArgumentError(argument_error, text_index);
      return DISP_E_TYPEMISMATCH;
    }
    LONG speak_flags = 0;
    if (params.cArgs == 2 && !IsMissing(params.rgvarg[0]) &&
        FAILED(ToLong(params.rgvarg[0], speak_flags))) {
      SetArgumentError(argument_error, 0);
      return DISP_E_TYPEMISMATCH;
    }
    std::int32_t stream = 0;
    try {
      // The only work done on the caller's thread is this copy.
      stream = engine_->Speak(std::u16string(text.bstrVal, SysStringLen(text.bstrVal)),
                              (speak_flags & kSpeakPurgeBeforeSpeak) != 0);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    if ((speak_flags & kSpeakAsync) == 0) {
      engine_->WaitUntilDone(stream);
    }
    SetResult(result, stream);
    return S_OK;
  }

  // An optional argument left out is passed as VT_ERROR DISP_E_PARAMNOTFOUND.
  static bool IsMissing(const VARIANT& argument) {
    return argument.vt == VT_ERROR && argument.scode == DISP_E_PARAMNOTFOUND;
  }

  static void SetArgumentError(UINT* argument_error, UINT index) {
    if (argument_error != nullptr) {
      *argument_error = index;
    }
  }

  std::atomic<ULONG> references_{1};
  ITypeInfo* type_info_;
  std::unique_ptr<VoiceEngine> engine_;
};

}  // namespace

VoiceOptions DefaultVoiceOptions() {
  return {synthesizer::DefaultDataPath(), nullptr, {}};
}

HRESULT CreateSpeechVoice(const VoiceOptions& options, REFIID riid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!synthesizer::HasMandarinData(options.data_path)) {
    return E_FAIL;
  }
  const int sample_rate = synthesizer::Load(options.data_path);
  if (sample_rate <= 0) {
    return E_FAIL;
  }
  ITypeInfo* type_info = nullptr;
  if (const HRESULT hr = BuildTypeInfo(&type_info); FAILED(hr)) {
    return hr;
  }
  SpeechVoiceObject* voice = nullptr;
  try {
    auto engine = std::make_unique<VoiceEngine>(
        sample_rate, options.sink ? options.sink : MakeDeviceSink(), options.synthesis_tap);
    voice = new SpeechVoiceObject(type_info, std::move(engine));
  } catch (const std::bad_alloc&) {
    type_info->Release();
    return E_OUTOFMEMORY;
  } catch (const std::system_error&) {
    type_info->Release();
    return E_FAIL;
  }
  const HRESULT hr = voice->QueryInterface(riid, object);
  voice->Release();
  return hr;
}
