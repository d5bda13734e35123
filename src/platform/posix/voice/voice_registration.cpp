#include "voice_registration.h"

#include <atomic>
#include <mutex>
#include <new>
#include <utility>

#include "voice_factory.h"

namespace {

// The class identifier of the speech engine's voice automation object.
constexpr OLECHAR kSpVoiceClassId[] = u"{96749377-3391-11D2-9EE3-00C04F797396}";

class VoiceClassFactory final : public IClassFactory {
 public:
  explicit VoiceClassFactory(VoiceOptions options) : options_(std::move(options)) {}

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
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

  HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    return CreateSpeechVoice(options_, riid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  ~VoiceClassFactory() = default;

  std::atomic<ULONG> references_{1};
  const VoiceOptions options_;
};

std::mutex registration_mutex;
DWORD registration_cookie = 0;

}  // namespace

bool RegisterSpeechVoiceClass(VoiceOptions options) {
  std::lock_guard lock(registration_mutex);
  if (registration_cookie != 0) {
    return false;
  }
  CLSID clsid{};
  if (FAILED(CLSIDFromString(kSpVoiceClassId, &clsid))) {
    return false;
  }
  auto* factory = new (std::nothrow) VoiceClassFactory(std::move(options));
  if (factory == nullptr) {
    return false;
  }
  DWORD cookie = 0;
  const HRESULT hr =
      CoRegisterClassObject(clsid, factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  // The registry holds its own reference from here on.
  factory->Release();
  if (FAILED(hr)) {
    return false;
  }
  registration_cookie = cookie;
  return true;
}

bool RegisterSpeechVoiceClass() {
  try {
    return RegisterSpeechVoiceClass(DefaultVoiceOptions());
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void RevokeSpeechVoiceClass() {
  std::lock_guard lock(registration_mutex);
  if (registration_cookie != 0) {
    CoRevokeClassObject(registration_cookie);
    registration_cookie = 0;
  }
}
