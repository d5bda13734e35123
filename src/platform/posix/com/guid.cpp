#include <cstring>

#include "automation.h"

const IID IID_NULL = {0x00000000, 0x0000, 0x0000, {0, 0, 0, 0, 0, 0, 0, 0}};
const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

bool IsEqualGUID(REFGUID a, REFGUID b) {
  return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
         std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

namespace {

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9')
    return c - u'0';
  if (c >= u'a' && c <= u'f')
    return c - u'a' + 10;
  if (c >= u'A' && c <= u'F')
    return c - u'A' + 10;
  return -1;
}

// Reads `digits` hex digits at text[at]; the caller has checked that the
// text is long enough.
bool ReadHex(LPCOLESTR text, int at, int digits, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int digit = HexValue(text[at + i]);
    if (digit < 0) {
      return false;
    }
    value = (value << 4) | static_cast<std::uint32_t>(digit);
  }
  return true;
}

}  // namespace

HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) {
  if (clsid == nullptr) {
    return E_INVALIDARG;
  }
  if (text == nullptr) {
    *clsid = IID_NULL;
    return S_OK;
  }
  // Registry format: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, 38 characters.
  constexpr int kLength = 38;
  for (int i = 0; i < kLength; ++i) {
    if (text[i] == 0) {
      return CO_E_CLASSSTRING;
    }
  }
  if (text[kLength] != 0 || text[0] != u'{' || text[9] != u'-' || text[14] != u'-' ||
      text[19] != u'-' || text[24] != u'-' || text[37] != u'}') {
    return CO_E_CLASSSTRING;
  }
  CLSID parsed{};
  std::uint32_t part = 0;
  if (!ReadHex(text, 1, 8, parsed.Data1))
    return CO_E_CLASSSTRING;
  if (!ReadHex(text, 10, 4, part))
    return CO_E_CLASSSTRING;
  parsed.Data2 = static_cast<std::uint16_t>(part);
  if (!ReadHex(text, 15, 4, part))
    return CO_E_CLASSSTRING;
  parsed.Data3 = static_cast<std::uint16_t>(part);
  static constexpr int kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, kByteAt[i], 2, part))
      return CO_E_CLASSSTRING;
    parsed.Data4[i] = static_cast<std::uint8_t>(part);
  }
  *clsid = parsed;
  return S_OK;
}
