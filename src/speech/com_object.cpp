#include "speech/com_object.h"

#include <limits>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "automation.h"
#include "text/utf.h"

static_assert(sizeof(OLECHAR) == sizeof(char16_t), "a BSTR holds UTF-16 code units");

namespace {

// The longest text a BSTR can carry: its byte length must fit its 32-bit
// prefix.
constexpr std::size_t kMaxBstrLength = std::numeric_limits<std::uint32_t>::max() / 2 - 1;

OLECHAR* AsOleString(std::u16string& text) {
  return reinterpret_cast<OLECHAR*>(text.data());
}

// Releases an interface pointer when it goes out of scope.
template <class Interface>
class Held {
 public:
  Held() = default;
  ~Held() {
    if (pointer_ != nullptr) {
      pointer_->Release();
    }
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

  Interface** Out() { return &pointer_; }
  void** OutVoid() { return reinterpret_cast<void**>(&pointer_); }
  Interface* Get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

// Clears a list of variants when it goes out of scope; this frees the BSTRs
// and releases any interface a result carried.
class Variants {
 public:
  explicit Variants(std::size_t count) : values_(count) {
    for (VARIANT& value : values_) {
      VariantInit(&value);
    }
  }
  ~Variants() {
    for (VARIANT& value : values_) {
      VariantClear(&value);
    }
  }
  Variants(const Variants&) = delete;
  Variants& operator=(const Variants&) = delete;

  VARIANT* Data() { return values_.empty() ? nullptr : values_.data(); }
  VARIANT& operator[](std::size_t index) { return values_[index]; }

 private:
  std::vector<VARIANT> values_;
};

struct Member {
  DISPID id;
  std::size_t parameter_count;
};

// Looks a member up in the object's type information. IDispatch's own
// GetIDsOfNames would give the identifier alone; the type information also
// says whether the name is a property or a method and how many parameters it
// declares, so a call that does not fit the member never reaches the object.
std::optional<Member> FindMember(IDispatch* dispatch, LCID locale, std::u16string& name,
                                 INVOKEKIND kind) {
  UINT info_count = 0;
  if (FAILED(dispatch->GetTypeInfoCount(&info_count)) || info_count == 0) {
    return std::nullopt;
  }
  Held<ITypeInfo> info;
  if (FAILED(dispatch->GetTypeInfo(0, locale, info.Out())) || !info) {
    return std::nullopt;
  }
  LPOLESTR names[] = {AsOleString(name)};
  MEMBERID id = DISPID_UNKNOWN;
  if (FAILED(info->GetIDsOfNames(names, 1, &id))) {
    return std::nullopt;
  }
  TYPEATTR* attributes = nullptr;
  if (FAILED(info->GetTypeAttr(&attributes)) || attributes == nullptr) {
    return std::nullopt;
  }
  std::optional<Member> found;
  for (UINT index = 0; index < attributes->cFuncs && !found; ++index) {
    FUNCDESC* function = nullptr;
    if (FAILED(info->GetFuncDesc(index, &function)) || function == nullptr) {
      continue;
    }
    if (function->memid == id && function->invkind == kind && function->cParams >= 0) {
      found = Member{id, static_cast<std::size_t>(function->cParams)};
    }
    info->ReleaseFuncDesc(function);
  }
  info->ReleaseTypeAttr(attributes);
  return found;
}

// Makes a BSTR holding the text, embedded U+0000 included; null when the
// text is too long or memory runs out.
BSTR MakeBstr(std::string_view text) {
  std::optional<std::u16string> wide = WidenUtf8(text);
  if (!wide || wide->size() > kMaxBstrLength) {
    return nullptr;
  }
  return SysAllocStringLen(AsOleString(*wide), static_cast<UINT>(wide->size()));
}

bool SetArgument(VARIANT& slot, const ComObject::Argument& argument) {
  if (const auto* number = std::get_if<std::int32_t>(&argument)) {
    slot.vt = VT_I4;
    slot.lVal = *number;
    return true;
  }
  BSTR text = MakeBstr(std::get<std::string_view>(argument));
  if (text == nullptr) {
    return false;
  }
  slot.vt = VT_BSTR;
  slot.bstrVal = text;
  return true;
}

// One late-bound call. Nothing is cached: the dispatch interface, the member
// and its type information are looked up afresh and released at the end,
// whatever the outcome. When number is given, the result is converted to a
// double into it.
bool LateBoundCall(IUnknown* object, std::string_view member, INVOKEKIND kind,
                   std::span<const ComObject::Argument> arguments, double* number) {
  if (object == nullptr) {
    return false;
  }
  Held<IDispatch> dispatch;
  if (FAILED(object->QueryInterface(IID_IDispatch, dispatch.OutVoid())) || !dispatch) {
    return false;
  }
  std::optional<std::u16string> name = WidenUtf8(member);
  if (!name) {
    return false;
  }
  const LCID locale = GetUserDefaultLCID();
  const std::optional<Member> found = FindMember(dispatch.Get(), locale, *name, kind);
  if (!found || arguments.size() > found->parameter_count) {
    return false;
  }

  // The automation convention passes arguments last to first.
  Variants values(arguments.size());
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (!SetArgument(values[arguments.size() - 1 - i], arguments[i])) {
      return false;
    }
  }
  DISPID put_name = DISPID_PROPERTYPUT;
  DISPPARAMS parameters{};
  parameters.rgvarg = values.Data();
  parameters.cArgs = static_cast<UINT>(arguments.size());
  if (kind == INVOKE_PROPERTYPUT) {
    parameters.rgdispidNamedArgs = &put_name;
    parameters.cNamedArgs = 1;
  }

  Variants result(1);
  if (FAILED(dispatch->Invoke(found->id, IID_NULL, locale, static_cast<WORD>(kind), &parameters,
                              &result[0], nullptr, nullptr))) {
    return false;
  }
  if (number != nullptr) {
    if (FAILED(VariantChangeType(&result[0], &result[0], 0, VT_R8))) {
      return false;
    }
    *number = result[0].dblVal;
  }
  return true;
}

// Runs a late-bound call; running out of memory counts as a failed call.
bool GuardedCall(IUnknown* object, std::string_view member, INVOKEKIND kind,
                 std::span<const ComObject::Argument> arguments, double* number) {
  try {
    return LateBoundCall(object, member, kind, arguments, number);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

ComObject::~ComObject() {
  Reset();
}

bool ComObject::Instantiate(std::string_view class_id) {
  std::optional<std::u16string> text = WidenUtf8(class_id);
  CLSID clsid{};
  if (!text || FAILED(CLSIDFromString(AsOleString(*text), &clsid))) {
    return false;
  }
  IUnknown* created = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IUnknown,
                              reinterpret_cast<void**>(&created))) ||
      created == nullptr) {
    return false;
  }
  Reset();
  object_ = created;
  return true;
}

void ComObject::Reset() {
  if (object_ != nullptr) {
    IUnknown* released = object_;
    object_ = nullptr;
    released->Release();
  }
}

double ComObject::GetNumber(std::string_view member) {
  double number = 0;
  return GuardedCall(object_, member, INVOKE_PROPERTYGET, {}, &number) ? number : 0;
}

bool ComObject::PutProperty(std::string_view member, std::int32_t value) {
  const Argument arguments[] = {value};
  return GuardedCall(object_, member, INVOKE_PROPERTYPUT, arguments, nullptr);
}

void ComObject::Call(std::string_view member) {
  GuardedCall(object_, member, INVOKE_FUNC, {}, nullptr);
}

double ComObject::CallNumber(std::string_view member, std::initializer_list<Argument> arguments) {
  double number = 0;
  return GuardedCall(object_, member, INVOKE_FUNC, std::span(arguments.begin(), arguments.size()),
                     &number)
             ? number
             : 0;
}
