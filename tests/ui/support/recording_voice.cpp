#include "recording_voice.h"

#include <iterator>
#include <string>
#include <string_view>

#include "text/utf.h"
#include "voice_type_info.h"

#ifndef STDMETHODCALLTYPE
#define STDMETHODCALLTYPE
#endif

namespace {

constexpr std::u16string_view kSpVoiceClassId = u"{96749377-3391-11D2-9EE3-00C04F797396}";

enum : DISPID {
  kVolume = kDispidVolume,
  kRate = kDispidRate,
  kPause = kDispidPause,
  kResume = kDispidResume,
  kSpeak = kDispidSpeak
};

// Whether the calling thread is still in a COM apartment: joining again
// then only nests.
bool ApartmentOpen() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) {
    CoUninitialize();
  }
  return hr == S_FALSE;
}

std::string Utf8(BSTR text) {
  const auto* units = reinterpret_cast<const char16_t*>(text);
  return NarrowUtf16(std::u16string_view(units, text == nullptr ? 0 : SysStringLen(text)))
      .value_or("<bad text>");
}

class RecordingVoice final : public IDispatch {
 public:
  explicit RecordingVoice(RecordingVoiceClass& owner) : owner_(owner) {
    ++owner_.live_objects;
    owner_.log.push_back("create SpVoice");
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
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) {
      owner_.log.push_back(ApartmentOpen() ? "release SpVoice (apartment open)"
                                           : "release SpVoice (apartment closed)");
      --owner_.live_objects;
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (index != 0) {
      return DISP_E_BADINDEX;
    }
    return CreateVoiceTypeInfo(info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO*, UINT*) override {
    switch (member) {
      case kVolume:
        return Property("Volume", owner_.volume, flags, params, result);
      case kRate:
        return Property("Rate", owner_.rate, flags, params, result);
      case kPause:
        owner_.log.push_back("Pause");
        return S_OK;
      case kResume:
        owner_.log.push_back("Resume");
        return S_OK;
      case kSpeak:
        return Speak(params, result);
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  ~RecordingVoice() = default;

  HRESULT Property(const char* name, std::int32_t& value, WORD flags, DISPPARAMS* params,
                   VARIANT* result) {
    if ((flags & DISPATCH_PROPERTYPUT) != 0) {
      if (params->cArgs != 1 || params->rgvarg[0].vt != VT_I4) {
        owner_.log.push_back(std::string("put ") + name + " with a bad argument");
        return DISP_E_TYPEMISMATCH;
      }
      value = params->rgvarg[0].lVal;
      owner_.log.push_back(std::string("put ") + name + " " + std::to_string(value));
      return S_OK;
    }
    owner_.log.push_back(std::string("get ") + name);
    if (result != nullptr) {
      result->vt = VT_I4;
      result->lVal = value;
    }
    return S_OK;
  }

  HRESULT Speak(DISPPARAMS* params, VARIANT* result) {
    // Arguments arrive last to first.
    if (params->cArgs != 2 || params->rgvarg[1].vt != VT_BSTR || params->rgvarg[0].vt != VT_I4) {
      owner_.log.push_back("Speak with bad arguments");
      return DISP_E_TYPEMISMATCH;
    }
    owner_.log.push_back("Speak " + Utf8(params->rgvarg[1].bstrVal) + " " +
                         std::to_string(params->rgvarg[0].lVal));
    if (result != nullptr) {
      result->vt = VT_I4;
      result->lVal = ++stream_number_;
    }
    return S_OK;
  }

  RecordingVoiceClass& owner_;
  ULONG references_ = 1;
  LONG stream_number_ = 0;
};

class RecordingVoiceFactory final : public IClassFactory {
 public:
  explicit RecordingVoiceFactory(RecordingVoiceClass& owner) : owner_(owner) {}

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
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    auto* voice = new RecordingVoice(owner_);
    const HRESULT hr = voice->QueryInterface(riid, object);
    voice->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  ~RecordingVoiceFactory() = default;

  RecordingVoiceClass& owner_;
  ULONG references_ = 1;
};

}  // namespace

RecordingVoiceClass::RecordingVoiceClass(CallLog& call_log) : log(call_log) {}

RecordingVoiceClass::~RecordingVoiceClass() {
  Revoke();
}

bool RecordingVoiceClass::Register() {
  std::u16string id(kSpVoiceClassId);
  CLSID clsid{};
  if (FAILED(CLSIDFromString(reinterpret_cast<LPOLESTR>(id.data()), &clsid))) {
    return false;
  }
  auto* factory = new RecordingVoiceFactory(*this);
  const HRESULT hr =
      CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  if (FAILED(hr)) {
    factory->Release();
    return false;
  }
  factory_ = factory;
  return true;
}

void RecordingVoiceClass::Revoke() {
  if (factory_ != nullptr) {
    CoRevokeClassObject(cookie_);
    factory_->Release();
    factory_ = nullptr;
  }
}
