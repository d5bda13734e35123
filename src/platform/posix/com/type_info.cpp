#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "automation.h"

namespace {

char16_t UpperAscii(char16_t c) {
  return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c;
}

// Automation names compare without regard to case.
bool SameName(const std::u16string& a, const OLECHAR* b) {
  std::size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == 0 || UpperAscii(a[i]) != UpperAscii(b[i])) {
      return false;
    }
  }
  return b[i] == 0;
}

// Type information for a dispatch interface built from an INTERFACEDATA.
class DispTypeInfo final : public ITypeInfo {
 public:
  struct Function {
    std::u16string name;
    FUNCDESC desc;
  };

  DispTypeInfo(std::vector<Function> functions, LCID lcid)
      : functions_(std::move(functions)), lcid_(lcid) {}

  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (object == nullptr) {
      return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_ITypeInfo) {
      *object = static_cast<ITypeInfo*>(this);
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

  HRESULT GetTypeAttr(TYPEATTR** attr) override {
    if (attr == nullptr) {
      return E_INVALIDARG;
    }
    *attr = new (std::nothrow)
        TYPEATTR{IID_NULL, lcid_, TKIND_DISPATCH, static_cast<WORD>(functions_.size())};
    return *attr != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) override {
    if (desc == nullptr) {
      return E_INVALIDARG;
    }
    if (index >= functions_.size()) {
      *desc = nullptr;
      return TYPE_E_ELEMENTNOTFOUND;
    }
    *desc = new (std::nothrow) FUNCDESC(functions_[index].desc);
    return *desc != nullptr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
    if (names == nullptr || ids == nullptr || count == 0) {
      return E_INVALIDARG;
    }
    for (UINT i = 0; i < count; ++i) {
      ids[i] = DISPID_UNKNOWN;
    }
    for (const Function& function : functions_) {
      if (names[0] != nullptr && SameName(function.name, names[0])) {
        ids[0] = function.desc.memid;
        // Parameter names are not recorded, so none of them can be found.
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
      }
    }
    return DISP_E_UNKNOWNNAME;
  }

  void ReleaseTypeAttr(TYPEATTR* attr) override { delete attr; }
  void ReleaseFuncDesc(FUNCDESC* desc) override { delete desc; }

 private:
  ~DispTypeInfo() = default;

  std::atomic<ULONG> references_{1};
  std::vector<Function> functions_;
  LCID lcid_;
};

}  // namespace

HRESULT CreateDispTypeInfo(INTERFACEDATA* data, LCID lcid, ITypeInfo** info) {
  if (data == nullptr || info == nullptr || (data->cMembers > 0 && data->pmethdata == nullptr)) {
    return E_INVALIDARG;
  }
  *info = nullptr;
  try {
    std::vector<DispTypeInfo::Function> functions;
    for (UINT i = 0; i < data->cMembers; ++i) {
      const METHODDATA& method = data->pmethdata[i];
      if (method.szName == nullptr || method.cArgs > 0x7FFF) {
        return E_INVALIDARG;
      }
      FUNCDESC desc{};
      desc.memid = method.dispid;
      desc.funckind = FUNC_VIRTUAL;
      desc.invkind = static_cast<INVOKEKIND>(method.wFlags);
      desc.callconv = method.cc;
      desc.cParams = static_cast<SHORT>(method.cArgs);
      desc.cParamsOpt = 0;
      functions.push_back({std::u16string(method.szName), desc});
    }
    *info = new DispTypeInfo(std::move(functions), lcid);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}
