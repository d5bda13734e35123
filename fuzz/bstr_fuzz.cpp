// BSTR handling: a string keeps its exact length and content, embedded
// zeros included, and a copy made through SysAllocString stops at the first
// zero.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "automation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto length = static_cast<UINT>(size / 2);
  auto* units = new OLECHAR[length + 1];
  std::memcpy(units, data, std::size_t{length} * 2);
  units[length] = 0;

  BSTR whole = SysAllocStringLen(units, length);
  if (whole == nullptr || SysStringLen(whole) != length || whole[length] != 0 ||
      std::memcmp(whole, units, std::size_t{length} * 2) != 0) {
    std::abort();
  }
  BSTR up_to_zero = SysAllocString(whole);
  UINT first_zero = 0;
  while (first_zero < length && units[first_zero] != 0) {
    ++first_zero;
  }
  if (SysStringLen(up_to_zero) != first_zero) {
    std::abort();
  }
  SysFreeString(up_to_zero);
  SysFreeString(whole);
  delete[] units;
  return 0;
}
