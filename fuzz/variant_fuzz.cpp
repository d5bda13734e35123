// VariantChangeType on arbitrary variants: it never crashes or leaks, leaves
// the destination untouched on failure, and gives the asked-for type on
// success.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "automation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) {
    return 0;
  }
  VARIANT source;
  VariantInit(&source);
  source.vt = static_cast<VARTYPE>((data[0] | (data[1] << 8)) % 32);
  const VARTYPE target = (data[2] & 1) ? VT_R8 : VT_I4;
  data += 3;
  size -= 3;
  if (source.vt == VT_BSTR) {
    source.bstrVal = SysAllocStringLen(nullptr, static_cast<UINT>(size / 2));
    std::memcpy(source.bstrVal, data, size / 2 * 2);
  } else if (source.vt == VT_UNKNOWN || source.vt == VT_DISPATCH) {
    source.punkVal = nullptr;
  } else {
    std::memcpy(&source.llVal, data, size < 8 ? size : 8);
  }

  VARIANT result;
  VariantInit(&result);
  const HRESULT hr = VariantChangeType(&result, &source, 0, target);
  if (SUCCEEDED(hr) ? result.vt != target : result.vt != VT_EMPTY) {
    std::abort();
  }
  // In place, the source is consumed only on success.
  const VARTYPE before = source.vt;
  if (FAILED(VariantChangeType(&source, &source, 0, target)) && source.vt != before) {
    std::abort();
  }
  VariantClear(&result);
  VariantClear(&source);
  return 0;
}
