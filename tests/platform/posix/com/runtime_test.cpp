#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "automation.h"
#include "runtime_stats.h"

namespace {

TEST(CLSIDFromString, ParsesRegistryFormatOnly) {
  const CLSID voice = {
      0x96749377, 0x3391, 0x11D2, {0x9E, 0xE3, 0x00, 0xC0, 0x4F, 0x79, 0x73, 0x96}};
  const struct {
    const char16_t* text;
    HRESULT expected;
  } cases[] = {
      {u"{96749377-3391-11D2-9EE3-00C04F797396}", S_OK},
      {u"{96749377-3391-11d2-9ee3-00c04f797396}", S_OK},
      {u"96749377-3391-11D2-9EE3-00C04F797396", CO_E_CLASSSTRING},
      {u"{96749377-3391-11D2-9EE3-00C04F797396", CO_E_CLASSSTRING},
      {u"{96749377-3391-11D2-9EE3-00C04F797396}x", CO_E_CLASSSTRING},
      {u"{96749377-3391-11D2-9EE3-00C04F79739G}", CO_E_CLASSSTRING},
      {u"{96749377+3391-11D2-9EE3-00C04F797396}", CO_E_CLASSSTRING},
      {u"{9674937-73391-11D2-9EE3-00C04F797396}", CO_E_CLASSSTRING},
      {u"", CO_E_CLASSSTRING},
      {u"Speech.Voice", CO_E_CLASSSTRING},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text)));
    CLSID parsed{};
    EXPECT_EQ(CLSIDFromString(c.text, &parsed), c.expected);
    if (c.expected == S_OK) {
      EXPECT_TRUE(IsEqualGUID(parsed, voice));
    }
  }
  EXPECT_EQ(CLSIDFromString(u"{96749377-3391-11D2-9EE3-00C04F797396}", nullptr), E_INVALIDARG);
}

VARIANT Of(VARTYPE type) {
  VARIANT v;
  VariantInit(&v);
  v.vt = type;
  return v;
}

TEST(VariantChangeType, ConvertsToDouble) {
  struct Case {
    const char* name;
    VARIANT source;
    HRESULT expected;
    double value;
  };
  auto text = [](const char16_t* s) {
    VARIANT v = Of(VT_BSTR);
    v.bstrVal = SysAllocString(s);
    return v;
  };
  VARIANT i1 = Of(VT_I1), i2 = Of(VT_I2), i4 = Of(VT_I4), i8 = Of(VT_I8), ui1 = Of(VT_UI1),
          ui4 = Of(VT_UI4), r4 = Of(VT_R4), r8 = Of(VT_R8), yes = Of(VT_BOOL), no = Of(VT_BOOL),
          cy = Of(VT_CY);
  i1.cVal = -5;
  i2.iVal = -300;
  i4.lVal = -70000;
  i8.llVal = 1LL << 40;
  ui1.bVal = 200;
  ui4.ulVal = 4000000000u;
  r4.fltVal = 1.5f;
  r8.dblVal = -3.7;
  yes.boolVal = VARIANT_TRUE;
  no.boolVal = VARIANT_FALSE;
  cy.llVal = 123456;  // 12.3456 in units of 1/10000
  Case cases[] = {
      {"empty", Of(VT_EMPTY), S_OK, 0},
      {"I1", i1, S_OK, -5},
      {"I2", i2, S_OK, -300},
      {"I4", i4, S_OK, -70000},
      {"I8", i8, S_OK, 1099511627776.0},
      {"UI1", ui1, S_OK, 200},
      {"UI4", ui4, S_OK, 4000000000.0},
      {"R4", r4, S_OK, 1.5},
      {"R8", r8, S_OK, -3.7},
      {"true", yes, S_OK, -1},
      {"false", no, S_OK, 0},
      {"currency", cy, S_OK, 12.3456},
      {"numeric text", text(u"  -12.5e1 "), S_OK, -125},
      {"text with a plus", text(u"+7"), S_OK, 7},
      {"word", text(u"seven"), DISP_E_TYPEMISMATCH, 0},
      {"spelled infinity", text(u"inf"), DISP_E_TYPEMISMATCH, 0},
      {"empty text", text(u""), DISP_E_TYPEMISMATCH, 0},
      {"null text", Of(VT_BSTR), DISP_E_TYPEMISMATCH, 0},
      {"two numbers", text(u"1 2"), DISP_E_TYPEMISMATCH, 0},
      {"full-width digits", text(u"１２"), DISP_E_TYPEMISMATCH, 0},
      {"null", Of(VT_NULL), DISP_E_TYPEMISMATCH, 0},
      {"interface", Of(VT_UNKNOWN), DISP_E_TYPEMISMATCH, 0},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(VariantChangeType(&result, &c.source, 0, VT_R8), c.expected);
    if (c.expected == S_OK) {
      EXPECT_EQ(result.vt, VT_R8);
      EXPECT_DOUBLE_EQ(result.dblVal, c.value);
    } else {
      EXPECT_EQ(result.vt, VT_EMPTY);
    }
    VariantClear(&c.source);
  }
}

TEST(VariantChangeType, ConvertsInPlaceAndFreesTheSource) {
  const auto before = automation_runtime::GetBstrCounts();
  VARIANT v = Of(VT_BSTR);
  v.bstrVal = SysAllocString(u"99.99");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_R8), S_OK);
  EXPECT_EQ(v.vt, VT_R8);
  EXPECT_DOUBLE_EQ(v.dblVal, 99.99);
  const auto after = automation_runtime::GetBstrCounts();
  EXPECT_EQ(after.allocated - before.allocated, 1);
  EXPECT_EQ(after.freed - before.freed, 1);
}

TEST(VariantChangeType, ToI4RoundsHalfToEvenAndReportsOverflow) {
  const struct {
    double value;
    HRESULT expected;
    LONG result;
  } cases[] = {
      {2.5, S_OK, 2},
      {3.5, S_OK, 4},
      {-2.5, S_OK, -2},
      {2147483647.0, S_OK, 2147483647},
      {2147483647.5, DISP_E_OVERFLOW, 0},
      {-2147483648.0, S_OK, -2147483647 - 1},
      {NAN, DISP_E_OVERFLOW, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    VARIANT source = Of(VT_R8);
    source.dblVal = c.value;
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(VariantChangeType(&result, &source, 0, VT_I4), c.expected);
    if (c.expected == S_OK) {
      EXPECT_EQ(result.lVal, c.result);
    }
  }
}

TEST(Bstr, CarriesItsLengthAndEmbeddedZeros) {
  const char16_t text[] = u"a\0b";
  BSTR s = SysAllocStringLen(text, 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 3u);
  EXPECT_EQ(std::u16string(s, 3), std::u16string(text, 3));
  EXPECT_EQ(s[3], 0);
  SysFreeString(s);

  BSTR blank = SysAllocStringLen(nullptr, 4);
  ASSERT_NE(blank, nullptr);
  EXPECT_EQ(SysStringLen(blank), 4u);
  SysFreeString(blank);

  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
  SysFreeString(nullptr);
  EXPECT_EQ(SysAllocStringLen(u"", 0x7FFFFFFFu), nullptr);
}

TEST(Apartment, CountsNestedInitialisationsPerThread) {
  using automation_runtime::ThreadInitialisationCount;
  ASSERT_EQ(ThreadInitialisationCount(), 0);
  EXPECT_EQ(OleInitialize(nullptr), S_OK);
  EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
  EXPECT_EQ(OleInitialize(nullptr), S_FALSE);
  EXPECT_EQ(ThreadInitialisationCount(), 3);
  OleUninitialize();
  CoUninitialize();
  EXPECT_EQ(ThreadInitialisationCount(), 1);
  OleUninitialize();
  EXPECT_EQ(ThreadInitialisationCount(), 0);
  // More uninitialisations than initialisations change nothing.
  CoUninitialize();
  OleUninitialize();
  EXPECT_EQ(ThreadInitialisationCount(), 0);
  EXPECT_EQ(CoInitialize(nullptr), S_OK);
  CoUninitialize();
}

// A class whose objects are plain IUnknowns.
class CountingFactory final : public IClassFactory {
 public:
  HRESULT QueryInterface(REFIID riid, void** object) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *object = this;
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references; }
  ULONG Release() override { return --references; }
  HRESULT CreateInstance(IUnknown*, REFIID riid, void** object) override {
    ++created;
    return QueryInterface(riid, object);
  }
  HRESULT LockServer(BOOL) override { return S_OK; }

  ULONG references = 1;
  int created = 0;
};

TEST(CoCreateInstance, FindsRegisteredClassesOnlyInAnApartment) {
  const CLSID clsid = {0x1234, 0, 0, {1, 2, 3, 4, 5, 6, 7, 8}};
  CountingFactory factory;
  void* object = nullptr;

  DWORD cookie = 0;
  ASSERT_EQ(
      CoRegisterClassObject(clsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
      S_OK);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IUnknown, &object),
            CO_E_NOTINITIALIZED);

  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IUnknown, &object), S_OK);
  EXPECT_EQ(object, &factory);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IDispatch, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(factory.created, 2);

  EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
  EXPECT_EQ(CoRevokeClassObject(cookie), E_INVALIDARG);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IUnknown, &object),
            REGDB_E_CLASSNOTREG);
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_SERVER, IID_IUnknown, nullptr), E_POINTER);
  CoUninitialize();
  // The registry held one reference, the created object another; both are back.
  EXPECT_EQ(factory.references, 2u);
}

TEST(CreateDispTypeInfo, DescribesEachMemberByKind) {
  PARAMDATA value[] = {{u"Value", VT_I4}};
  METHODDATA methods[] = {
      {u"Level", nullptr, 7, 0, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
      {u"Level", value, 7, 1, CC_STDCALL, 1, DISPATCH_PROPERTYPUT, VT_EMPTY},
  };
  INTERFACEDATA data = {methods, 2};
  ITypeInfo* info = nullptr;
  ASSERT_EQ(CreateDispTypeInfo(&data, 0x0804, &info), S_OK);

  OLECHAR name[] = u"level";
  LPOLESTR names[] = {name};
  MEMBERID id = 0;
  EXPECT_EQ(info->GetIDsOfNames(names, 1, &id), S_OK);
  EXPECT_EQ(id, 7);
  OLECHAR other[] = u"Levels";
  names[0] = other;
  EXPECT_EQ(info->GetIDsOfNames(names, 1, &id), DISP_E_UNKNOWNNAME);

  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->cFuncs, 2);
  info->ReleaseTypeAttr(attributes);
  FUNCDESC* put = nullptr;
  ASSERT_EQ(info->GetFuncDesc(1, &put), S_OK);
  EXPECT_EQ(put->invkind, INVOKE_PROPERTYPUT);
  EXPECT_EQ(put->cParams, 1);
  info->ReleaseFuncDesc(put);
  FUNCDESC* missing = nullptr;
  EXPECT_EQ(info->GetFuncDesc(2, &missing), TYPE_E_ELEMENTNOTFOUND);
  info->Release();
}

}  // namespace
