// CLSIDFromString on arbitrary text: it never reads past the terminator, and
// whatever it accepts is a registry-format identifier naming that GUID.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>

#include "automation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string text;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    text.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  // Stop at the first zero, as a C string would; the copy is exactly sized
  // so that a read past the end is caught.
  text.resize(std::char_traits<char16_t>::length(text.c_str()));
  auto* exact = new OLECHAR[text.size() + 1];
  text.copy(exact, text.size());
  exact[text.size()] = 0;

  CLSID clsid{};
  if (CLSIDFromString(exact, &clsid) == S_OK) {
    char formatted[39];
    std::snprintf(formatted, sizeof formatted, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  clsid.Data1, clsid.Data2, clsid.Data3, clsid.Data4[0], clsid.Data4[1],
                  clsid.Data4[2], clsid.Data4[3], clsid.Data4[4], clsid.Data4[5], clsid.Data4[6],
                  clsid.Data4[7]);
    if (text.size() != 38)
      std::abort();
    for (int i = 0; i < 38; ++i) {
      if (std::towupper(text[i]) != static_cast<wint_t>(formatted[i]))
        std::abort();
    }
  }
  delete[] exact;
  return 0;
}
