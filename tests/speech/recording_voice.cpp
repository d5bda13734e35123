#include "recording_voice.h"

#include <atomic>

namespace {

const CLSID kSpVoiceClsid = {
    0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};

RecordedArgument Record(const VARIANT& value) {
  RecordedArgument argument{value.vt, 0, {}};
  if (value.vt == VT_I4) {
    argument.number = value.lVal;
  } else if (value.vt == VT_BSTR) {
    const auto* text = reinterpret_cast<const char16_t*>(value.bstrVal);
    argument.text.assign(text, SysStringLen(value.bstrVal));
  }
  return argument;
}

class RecordingVoice final : public IDispatch {
 public:
  explicit RecordingVoice(RecordingLog& log) : log_(log) {
    ++log_.objects_created;
    ++log_.objects_alive;
    ++log_.references;
    if (log_.on_created) {
      log_.on_created();
    }
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IDispatch)) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    ++log_.references;
    return ++references_;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    --log_.references;
    const ULONG left = --references_;
    if (left == 0) {
      --log_.objects_alive;
      if (log_.on_destroyed) {
        log_.on_destroyed();
      }
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = log_.offers_type_info ? 1 : 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) {
      return E_POINTER;
    }
    *info = nullptr;
    if (!log_.offers_type_info || index != 0) {
      return DISP_E_BADINDEX;
    }
    return CreateVoiceTypeInfo(info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    // Names are found through the type information only.
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    if (FAILED(log_.invoke_result)) {
      return log_.invoke_result;
    }
    RecordedCall call{member, flags, locale, {}, {}};
    if (params != nullptr) {
      for (UINT i = 0; i < params->cArgs; ++i) {
        call.arguments.push_back(Record(params->rgvarg[i]));
      }
      for (UINT i = 0; i < params->cNamedArgs; ++i) {
        call.named_arguments.push_back(params->rgdispidNamedArgs[i]);
      }
    }
    log_.calls.push_back(call);
    if (log_.on_call) {
      log_.on_call(call);
    }
    const VARIANT* answer = nullptr;
    if (flags == DISPATCH_PROPERTYGET && member == kDispidVolume) {
      answer = &log_.volume_answer;
    } else if (flags == DISPATCH_PROPERTYGET && member == kDispidRate) {
      answer = &log_.rate_answer;
    } else if (member == kDispidSpeak) {
      answer = &log_.speak_answer;
    }
    if (answer != nullptr && result != nullptr) {
      // A copy, so the program's VariantClear frees only its own.
      VariantInit(result);
      if (answer->vt == VT_BSTR) {
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocStringLen(answer->bstrVal, SysStringLen(answer->bstrVal));
      } else {
        *result = *answer;
      }
    }
    return S_OK;
  }

 private:
  ~RecordingVoice() = default;

  RecordingLog& log_;
  std::atomic<ULONG> references_{1};
};

class RecordingVoiceFactory final : public IClassFactory {
 public:
  explicit RecordingVoiceFactory(RecordingLog& log) : log_(log) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    if (FAILED(log_.create_result)) {
      return log_.create_result;
    }
    auto* voice = new RecordingVoice(log_);
    const HRESULT hr = voice->QueryInterface(riid, object);
    voice->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ~RecordingVoiceFactory() = default;

  RecordingLog& log_;
  std::atomic<ULONG> references_{1};
};

void SetAnswer(VARIANT& slot, const VARIANT& value) {
  VariantClear(&slot);
  if (value.vt == VT_BSTR) {
    slot.vt = VT_BSTR;
    slot.bstrVal = SysAllocStringLen(value.bstrVal, SysStringLen(value.bstrVal));
  } else {
    slot = value;
  }
}

}  // namespace

RecordingLog::RecordingLog() {
  VariantInit(&volume_answer);
  VariantInit(&rate_answer);
  VariantInit(&speak_answer);
}

RecordingLog::~RecordingLog() {
  VariantClear(&volume_answer);
  VariantClear(&rate_answer);
  VariantClear(&speak_answer);
}

void RecordingLog::AnswerVolume(const VARIANT& value) {
  SetAnswer(volume_answer, value);
}
void RecordingLog::AnswerRate(const VARIANT& value) {
  SetAnswer(rate_answer, value);
}
void RecordingLog::AnswerSpeak(const VARIANT& value) {
  SetAnswer(speak_answer, value);
}

RecordingVoiceClass::RecordingVoiceClass(RecordingLog& log)
    : factory_(new RecordingVoiceFactory(log)) {
  registered_ = SUCCEEDED(CoRegisterClassObject(kSpVoiceClsid, factory_, CLSCTX_INPROC_SERVER,
                                                REGCLS_MULTIPLEUSE, &cookie_));
}

RecordingVoiceClass::~RecordingVoiceClass() {
  if (registered_) {
    CoRevokeClassObject(cookie_);
  }
  factory_->Release();
}

VARIANT MakeI4(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = static_cast<LONG>(value);
  return v;
}

VARIANT MakeR8(double value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_R8;
  v.dblVal = value;
  return v;
}

VARIANT MakeBool(bool value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

VARIANT MakeText(const std::u16string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                                static_cast<UINT>(text.size()));
  return v;
}
