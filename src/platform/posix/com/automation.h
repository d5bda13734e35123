// The automation API as the speech voice uses it, for Linux.
//
// Names, values and meanings follow the published Windows automation API so
// that the portable code reads the same on both platforms; the implementation
// is our own and covers only what this program and its tests need. OLECHAR is
// a 16-bit code unit, so a BSTR holds UTF-16 exactly as it does on Windows.
#pragma once

#include <cstdint>

// ---- Basic types -----------------------------------------------------------

using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using USHORT = std::uint16_t;
using SHORT = std::int16_t;
using BYTE = std::uint8_t;
using CHAR = char;
using INT = int;
using UINT = unsigned int;
using BOOL = int;
using FLOAT = float;
using DOUBLE = double;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using LCID = DWORD;
using DISPID = LONG;
using MEMBERID = DISPID;
using VARTYPE = USHORT;
using VARIANT_BOOL = SHORT;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR*;
using LPCOLESTR = const OLECHAR*;
using BSTR = OLECHAR*;

constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

constexpr bool SUCCEEDED(HRESULT hr) {
  return hr >= 0;
}
constexpr bool FAILED(HRESULT hr) {
  return hr < 0;
}

// ---- Result codes ----------------------------------------------------------

constexpr HRESULT MakeResult(std::uint32_t code) {
  return static_cast<HRESULT>(code);
}

constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeResult(0x80004001u);
constexpr HRESULT E_NOINTERFACE = MakeResult(0x80004002u);
constexpr HRESULT E_POINTER = MakeResult(0x80004003u);
constexpr HRESULT E_FAIL = MakeResult(0x80004005u);
constexpr HRESULT E_UNEXPECTED = MakeResult(0x8000FFFFu);
constexpr HRESULT E_OUTOFMEMORY = MakeResult(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeResult(0x80070057u);
constexpr HRESULT CO_E_NOTINITIALIZED = MakeResult(0x800401F0u);
constexpr HRESULT CO_E_CLASSSTRING = MakeResult(0x800401F3u);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeResult(0x80040154u);
constexpr HRESULT CLASS_E_NOAGGREGATION = MakeResult(0x80040110u);
constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = MakeResult(0x80040111u);
constexpr HRESULT DISP_E_UNKNOWNINTERFACE = MakeResult(0x80020001u);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = MakeResult(0x80020003u);
constexpr HRESULT DISP_E_PARAMNOTFOUND = MakeResult(0x80020004u);
constexpr HRESULT DISP_E_TYPEMISMATCH = MakeResult(0x80020005u);
constexpr HRESULT DISP_E_UNKNOWNNAME = MakeResult(0x80020006u);
constexpr HRESULT DISP_E_NONAMEDARGS = MakeResult(0x80020007u);
constexpr HRESULT DISP_E_BADVARTYPE = MakeResult(0x80020008u);
constexpr HRESULT DISP_E_OVERFLOW = MakeResult(0x8002000Au);
constexpr HRESULT DISP_E_BADINDEX = MakeResult(0x8002000Bu);
constexpr HRESULT DISP_E_BADPARAMCOUNT = MakeResult(0x8002000Eu);
constexpr HRESULT DISP_E_PARAMNOTOPTIONAL = MakeResult(0x8002000Fu);
constexpr HRESULT TYPE_E_ELEMENTNOTFOUND = MakeResult(0x8002802Bu);

// ---- Identifiers -----------------------------------------------------------

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};
using CLSID = GUID;
using IID = GUID;
using LPCLSID = CLSID*;
using REFGUID = const GUID&;
using REFCLSID = const CLSID&;
using REFIID = const IID&;

bool IsEqualGUID(REFGUID a, REFGUID b);
inline bool operator==(REFGUID a, REFGUID b) {
  return IsEqualGUID(a, b);
}

extern const IID IID_NULL;
extern const IID IID_IUnknown;
extern const IID IID_IClassFactory;
extern const IID IID_IDispatch;
extern const IID IID_ITypeInfo;

// ---- Strings ---------------------------------------------------------------

// A BSTR points at UTF-16 code units preceded by their byte length and
// followed by a terminating zero. A null BSTR reads as the empty string.
BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);

// ---- Variants --------------------------------------------------------------

enum VARENUM : VARTYPE {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_DISPATCH = 9,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UNKNOWN = 13,
  VT_DECIMAL = 14,
  VT_I1 = 16,
  VT_UI1 = 17,
  VT_UI2 = 18,
  VT_UI4 = 19,
  VT_I8 = 20,
  VT_UI8 = 21,
  VT_INT = 22,
  VT_UINT = 23,
  VT_VOID = 24,
  VT_HRESULT = 25,
};

struct IUnknown;
struct IDispatch;

struct VARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONGLONG llVal;
    ULONGLONG ullVal;
    LONG lVal;
    ULONG ulVal;
    INT intVal;
    UINT uintVal;
    SHORT iVal;
    USHORT uiVal;
    CHAR cVal;
    BYTE bVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    DOUBLE date;
    VARIANT_BOOL boolVal;
    SCODE scode;
    BSTR bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
  };
};
using VARIANTARG = VARIANT;

void VariantInit(VARIANT* v);
HRESULT VariantClear(VARIANT* v);
// Converts src to the type vt and stores it in dest; dest may be src. The
// flags are accepted for compatibility and ignored.
HRESULT VariantChangeType(VARIANT* dest, const VARIANT* src, USHORT flags, VARTYPE vt);

// ---- Dispatch --------------------------------------------------------------

constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 8;

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;

struct DISPPARAMS {
  VARIANTARG* rgvarg;
  DISPID* rgdispidNamedArgs;
  UINT cArgs;
  UINT cNamedArgs;
};

struct EXCEPINFO;  // never filled in by this runtime

// ---- Type information (the part the voice needs) ---------------------------

enum INVOKEKIND : int {
  INVOKE_FUNC = 1,
  INVOKE_PROPERTYGET = 2,
  INVOKE_PROPERTYPUT = 4,
  INVOKE_PROPERTYPUTREF = 8,
};

enum FUNCKIND : int { FUNC_VIRTUAL, FUNC_PUREVIRTUAL, FUNC_NONVIRTUAL, FUNC_STATIC, FUNC_DISPATCH };
enum CALLCONV : int { CC_FASTCALL, CC_CDECL, CC_PASCAL, CC_MACPASCAL, CC_STDCALL };
enum TYPEKIND : int { TKIND_ENUM, TKIND_RECORD, TKIND_MODULE, TKIND_INTERFACE, TKIND_DISPATCH };

struct FUNCDESC {
  MEMBERID memid;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  CALLCONV callconv;
  SHORT cParams;     // every declared parameter, optional ones included
  SHORT cParamsOpt;  // of which optional
};

struct TYPEATTR {
  GUID guid;
  LCID lcid;
  TYPEKIND typekind;
  WORD cFuncs;
};

struct PARAMDATA {
  const OLECHAR* szName;
  VARTYPE vt;
};

struct METHODDATA {
  const OLECHAR* szName;
  PARAMDATA* ppdata;
  DISPID dispid;
  UINT iMeth;
  CALLCONV cc;
  UINT cArgs;
  WORD wFlags;
  VARTYPE vtReturn;
};

struct INTERFACEDATA {
  METHODDATA* pmethdata;
  UINT cMembers;
};

// ---- Interfaces ------------------------------------------------------------

// The calling convention of interface methods; on Linux there is only one.
#define STDMETHODCALLTYPE

struct IUnknown {
  virtual HRESULT QueryInterface(REFIID riid, void** object) = 0;
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

struct ITypeInfo : IUnknown {
  virtual HRESULT GetTypeAttr(TYPEATTR** attr) = 0;
  virtual HRESULT GetFuncDesc(UINT index, FUNCDESC** desc) = 0;
  virtual HRESULT GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) = 0;
  virtual void ReleaseTypeAttr(TYPEATTR* attr) = 0;
  virtual void ReleaseFuncDesc(FUNCDESC* desc) = 0;

 protected:
  ~ITypeInfo() = default;
};

struct IDispatch : IUnknown {
  virtual HRESULT GetTypeInfoCount(UINT* count) = 0;
  virtual HRESULT GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) = 0;
  virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid,
                                DISPID* ids) = 0;
  virtual HRESULT Invoke(DISPID member, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                         VARIANT* result, EXCEPINFO* exception, UINT* argument_error) = 0;

 protected:
  ~IDispatch() = default;
};

struct IClassFactory : IUnknown {
  virtual HRESULT CreateInstance(IUnknown* outer, REFIID riid, void** object) = 0;
  virtual HRESULT LockServer(BOOL lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// Builds type information for a dispatch interface described by data: each
// method becomes one FUNCDESC whose invoke kind is its wFlags and whose
// parameter count is its cArgs.
HRESULT CreateDispTypeInfo(INTERFACEDATA* data, LCID lcid, ITypeInfo** info);

// ---- Apartments and objects ------------------------------------------------

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
constexpr DWORD CLSCTX_REMOTE_SERVER = 0x10;
constexpr DWORD CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER;
constexpr DWORD CLSCTX_ALL = CLSCTX_SERVER | CLSCTX_INPROC_HANDLER;

constexpr DWORD REGCLS_SINGLEUSE = 0;
constexpr DWORD REGCLS_MULTIPLEUSE = 1;

// Each thread keeps its own initialisation count: the first call answers
// S_OK, nested ones S_FALSE, and every successful call is undone by one
// uninitialise. OleInitialize also initialises COM for the thread.
HRESULT CoInitialize(void* reserved);
void CoUninitialize();
HRESULT OleInitialize(void* reserved);
void OleUninitialize();

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);

// Classes are served by the factories registered in this process.
HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* factory, DWORD context, DWORD flags,
                              DWORD* cookie);
HRESULT CoRevokeClassObject(DWORD cookie);
HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                         void** object);

constexpr LCID LOCALE_USER_DEFAULT = 0x0400;
LCID GetUserDefaultLCID();
