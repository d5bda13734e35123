#include "voice_type_info.h"

namespace {

OLECHAR* Ole(const char16_t* text) {
  return reinterpret_cast<OLECHAR*>(const_cast<char16_t*>(text));
}

}  // namespace

HRESULT CreateVoiceTypeInfo(ITypeInfo** info) {
  static PARAMDATA value_parameter[] = {{Ole(u"Value"), VT_I4}};
  static PARAMDATA speak_parameters[] = {{Ole(u"Text"), VT_BSTR}, {Ole(u"Flags"), VT_I4}};
  static METHODDATA methods[] = {
      {Ole(u"Volume"), nullptr, kDispidVolume, 7, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
      {Ole(u"Volume"), value_parameter, kDispidVolume, 8, CC_STDCALL, 1, DISPATCH_PROPERTYPUT,
       VT_EMPTY},
      {Ole(u"Rate"), nullptr, kDispidRate, 9, CC_STDCALL, 0, DISPATCH_PROPERTYGET, VT_I4},
      {Ole(u"Rate"), value_parameter, kDispidRate, 10, CC_STDCALL, 1, DISPATCH_PROPERTYPUT,
       VT_EMPTY},
      {Ole(u"Pause"), nullptr, kDispidPause, 11, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
      {Ole(u"Resume"), nullptr, kDispidResume, 12, CC_STDCALL, 0, DISPATCH_METHOD, VT_EMPTY},
      {Ole(u"Speak"), speak_parameters, kDispidSpeak, 13, CC_STDCALL, 2, DISPATCH_METHOD, VT_I4},
  };
  static INTERFACEDATA data = {methods, sizeof methods / sizeof methods[0]};
  ITypeInfo* created = nullptr;
  const HRESULT hr = CreateDispTypeInfo(&data, LOCALE_USER_DEFAULT, &created);
  if (FAILED(hr)) {
    return hr;
  }
#ifdef _WIN32
  // The system hands back a class whose one interface holds the members.
  HREFTYPE interface_ref = 0;
  ITypeInfo* interface_info = nullptr;
  HRESULT step = created->GetRefTypeOfImplType(0, &interface_ref);
  if (SUCCEEDED(step)) {
    step = created->GetRefTypeInfo(interface_ref, &interface_info);
  }
  created->Release();
  if (FAILED(step)) {
    return step;
  }
  created = interface_info;
#endif
  *info = created;
  return S_OK;
}
