// Narrowing arbitrary UTF-16: unpaired surrogates become U+FFFD, everything
// else round-trips exactly.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::u16string input;
  for (std::size_t i = 0; i + 1 < size; i += 2) {
    input.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  std::u16string expected;
  for (std::size_t i = 0; i < input.size(); ++i) {
    const char16_t c = input[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < input.size() && input[i + 1] >= 0xDC00 &&
        input[i + 1] <= 0xDFFF) {
      expected += c;
      expected += input[++i];
    } else {
      expected += (c >= 0xD800 && c <= 0xDFFF) ? char16_t{0xFFFD} : c;
    }
  }
  const auto narrow = NarrowUtf16(input);
  if (!narrow)
    std::abort();
  if (WidenUtf8(*narrow) != expected)
    std::abort();
  return 0;
}
