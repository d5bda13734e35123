// Widening arbitrary bytes: never reads past the end, never yields an
// unpaired surrogate, and round-trips every well-formed input exactly.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "text/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exactly sized copy, so a read past the end is caught.
  auto* bytes = new char[size];
  std::memcpy(bytes, data, size);
  const std::string_view input(bytes, size);

  const auto wide = WidenUtf8(input);
  if (!wide)
    std::abort();
  bool replaced = false;
  for (std::size_t i = 0; i < wide->size(); ++i) {
    const char16_t c = (*wide)[i];
    replaced |= c == 0xFFFD;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 >= wide->size() || (*wide)[i + 1] < 0xDC00 || (*wide)[i + 1] > 0xDFFF) {
        std::abort();
      }
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      std::abort();
    }
  }
  const auto narrow = NarrowUtf16(*wide);
  if (!narrow)
    std::abort();
  // Without a replacement the input was well formed and comes back whole.
  if (!replaced && *narrow != input)
    std::abort();
  delete[] bytes;
  return 0;
}
