#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "automation.h"
#include "runtime_stats.h"

namespace {

// Initialisation counts of the calling thread.
thread_local int com_initialisations = 0;
thread_local int ole_initialisations = 0;

struct Registration {
  DWORD cookie;
  CLSID clsid;
  IClassFactory* factory;
};

// The classes served in this process. Registration does not need an
// apartment, so a platform layer can register its classes before the
// program starts.
std::mutex registry_mutex;
std::vector<Registration> registry;
DWORD next_cookie = 1;

}  // namespace

HRESULT CoInitialize(void* /*reserved*/) {
  return ++com_initialisations == 1 ? S_OK : S_FALSE;
}

void CoUninitialize() {
  if (com_initialisations > 0) {
    --com_initialisations;
  }
}

HRESULT OleInitialize(void* reserved) {
  const HRESULT hr = CoInitialize(reserved);
  if (FAILED(hr)) {
    return hr;
  }
  return ++ole_initialisations == 1 ? S_OK : S_FALSE;
}

void OleUninitialize() {
  if (ole_initialisations > 0) {
    --ole_initialisations;
    CoUninitialize();
  }
}

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD /*context*/, DWORD /*flags*/,
                              DWORD* cookie) {
  if (factory == nullptr || cookie == nullptr) {
    return E_INVALIDARG;
  }
  IClassFactory* class_factory = nullptr;
  if (FAILED(
          factory->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&class_factory))) ||
      class_factory == nullptr) {
    return E_NOINTERFACE;
  }
  std::lock_guard lock(registry_mutex);
  try {
    registry.push_back({next_cookie, clsid, class_factory});
  } catch (const std::bad_alloc&) {
    class_factory->Release();
    return E_OUTOFMEMORY;
  }
  *cookie = next_cookie++;
  return S_OK;
}

HRESULT CoRevokeClassObject(DWORD cookie) {
  IClassFactory* revoked = nullptr;
  {
    std::lock_guard lock(registry_mutex);
    for (auto it = registry.begin(); it != registry.end(); ++it) {
      if (it->cookie == cookie) {
        revoked = it->factory;
        registry.erase(it);
        break;
      }
    }
  }
  if (revoked == nullptr) {
    return E_INVALIDARG;
  }
  revoked->Release();
  return S_OK;
}

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object) {
  if (object == nullptr) {
    return E_POINTER;
  }
  *object = nullptr;
  if (com_initialisations == 0) {
    return CO_E_NOTINITIALIZED;
  }
  if ((context & CLSCTX_INPROC_SERVER) == 0) {
    return REGDB_E_CLASSNOTREG;
  }
  IClassFactory* factory = nullptr;
  {
    std::lock_guard lock(registry_mutex);
    for (const Registration& registration : registry) {
      if (IsEqualGUID(registration.clsid, clsid)) {
        factory = registration.factory;
        factory->AddRef();
        break;
      }
    }
  }
  if (factory == nullptr) {
    return REGDB_E_CLASSNOTREG;
  }
  // The factory is called outside the lock: creating an object may take a
  // while and may itself create objects.
  const HRESULT hr = factory->CreateInstance(outer, riid, object);
  factory->Release();
  return hr;
}

LCID GetUserDefaultLCID() {
  struct Locale {
    const char* prefix;
    LCID lcid;
  };
  static constexpr Locale kLocales[] = {
      {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"en_GB", 0x0809},
      {"en_US", 0x0409}, {"ja_JP", 0x0411}, {"de_DE", 0x0407}, {"fr_FR", 0x040C},
  };
  const char* name = nullptr;
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    name = std::getenv(variable);
    if (name != nullptr && *name != '\0') {
      break;
    }
  }
  if (name != nullptr) {
    for (const Locale& locale : kLocales) {
      if (std::strncmp(name, locale.prefix, std::strlen(locale.prefix)) == 0) {
        return locale.lcid;
      }
    }
  }
  return 0x0409;
}

namespace automation_runtime {

int ThreadInitialisationCount() {
  return com_initialisations;
}

}  // namespace automation_runtime
