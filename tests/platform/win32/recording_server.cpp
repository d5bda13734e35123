// An in-process automation server that stands in for the speech engine's
// voice in the window tests. Registered in a test's own Wine prefix under the
// voice's class identifier, it is what the program creates at opening. It
// writes one line per call it receives to the file named by the environment
// variable QINGLI_VOICE_LOG, so a probe in another process can follow what
// the program asked of it, and it answers Volume 73 and Rate -4.
//
// Line formats:
//   created | destroyed
//   GetTypeInfoCount | GetTypeInfo <index> | GetIDsOfNames
//   Invoke <member> flags=<n> locale=<hex> args=[<arg>,...] named=[<dispid>,...]
// where an argument is I4:<value>, BSTR:<UTF-16 code units in hex, space
// separated> or VT<type>, in the order the call delivered them.
#include <atomic>
#include <cstdio>
#include <string>

#include "automation.h"
#include "voice_type_info.h"

namespace {

const CLSID kSpVoiceClsid = {
    0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};

constexpr LONG kVolumeAnswer = 73;
constexpr LONG kRateAnswer = -4;

std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

void Log(const std::string& line) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetEnvironmentVariableW(L"QINGLI_VOICE_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return;
  }
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string Format(const char* format, long long value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string MemberName(DISPID member) {
  switch (member) {
    case kDispidVolume:
      return "Volume";
    case kDispidRate:
      return "Rate";
    case kDispidPause:
      return "Pause";
    case kDispidResume:
      return "Resume";
    case kDispidSpeak:
      return "Speak";
    default:
      return Format("%lld", member);
  }
}

std::string DescribeArgument(const VARIANT& value) {
  if (value.vt == VT_I4) {
    return Format("I4:%lld", value.lVal);
  }
  if (value.vt == VT_BSTR) {
    std::string text = "BSTR:";
    const UINT length = SysStringLen(value.bstrVal);
    for (UINT i = 0; i < length; ++i) {
      text += Format(i == 0 ? "%04llx" : " %04llx", static_cast<unsigned>(value.bstrVal[i]));
    }
    return text;
  }
  return Format("VT%lld", value.vt);
}

class RecordingVoice final : public IDispatch {
 public:
  RecordingVoice() {
    ++g_objects;
    Log("created");
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
      Log("destroyed");
      --g_objects;
      delete this;
    }
    return left;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    Log("GetTypeInfoCount");
    if (count == nullptr) {
      return E_POINTER;
    }
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    Log(Format("GetTypeInfo %lld", index));
    if (info == nullptr) {
      return E_POINTER;
    }
    *info = nullptr;
    if (index != 0) {
      return DISP_E_BADINDEX;
    }
    return CreateVoiceTypeInfo(info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    Log("GetIDsOfNames");
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID locale, WORD flags,
                                   DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    std::string line = "Invoke " + MemberName(member) + Format(" flags=%lld", flags) +
                       Format(" locale=%04llx", locale) + " args=[";
    if (params != nullptr) {
      for (UINT i = 0; i < params->cArgs; ++i) {
        line += (i == 0 ? "" : ",") + DescribeArgument(params->rgvarg[i]);
      }
    }
    line += "] named=[";
    if (params != nullptr) {
      for (UINT i = 0; i < params->cNamedArgs; ++i) {
        line += (i == 0 ? "" : ",") + Format("%lld", params->rgdispidNamedArgs[i]);
      }
    }
    Log(line + "]");

    if (result != nullptr) {
      VariantInit(result);
      if (flags == DISPATCH_PROPERTYGET && (member == kDispidVolume || member == kDispidRate)) {
        result->vt = VT_I4;
        result->lVal = member == kDispidVolume ? kVolumeAnswer : kRateAnswer;
      } else if (member == kDispidSpeak) {
        result->vt = VT_I4;
        result->lVal = 1;  // the stream number
      }
    }
    return S_OK;
  }

 private:
  ~RecordingVoice() = default;

  std::atomic<ULONG> references_{1};
};

class RecordingVoiceFactory final : public IClassFactory {
 public:
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
  // The one factory lives as long as the module.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    auto* voice = new RecordingVoice();
    const HRESULT hr = voice->QueryInterface(riid, object);
    voice->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    g_locks += lock ? 1 : -1;
    return S_OK;
  }
};

RecordingVoiceFactory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (!IsEqualGUID(clsid, kSpVoiceClsid)) {
    return CLASS_E_CLASSNOTAVAILABLE;
  }
  return g_factory.QueryInterface(riid, object);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}
