#include "text/utf.h"

#include <cstdint>
#include <new>
#include <stdexcept>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsContinuation(unsigned char byte) {
  return (byte & 0xC0) == 0x80;
}

// Decodes one code point starting at text[i] and advances i past it. An
// ill-formed sequence yields U+FFFD and advances past its maximal subpart,
// so decoding resumes at the first byte that could not belong to it.
char32_t DecodeOne(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) {
    return lead;
  }
  int length = 0;
  char32_t code = 0;
  // The first continuation byte's valid range rules out overlong forms,
  // surrogates and values above U+10FFFF.
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0)
      low = 0xA0;
    if (lead == 0xED)
      high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0)
      low = 0x90;
    if (lead == 0xF4)
      high = 0x8F;
  } else {
    return kReplacement;
  }
  for (int k = 1; k < length; ++k) {
    if (i >= text.size()) {
      return kReplacement;
    }
    const auto byte = static_cast<unsigned char>(text[i]);
    if (k == 1 ? (byte < low || byte > high) : !IsContinuation(byte)) {
      return kReplacement;
    }
    code = (code << 6) | (byte & 0x3F);
    ++i;
  }
  return code;
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (code >> 18)));
    out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

}  // namespace

std::optional<std::u16string> WidenUtf8(std::string_view text) {
  try {
    std::u16string out;
    // UTF-16 never needs more code units than UTF-8 has bytes.
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
      const char32_t code = DecodeOne(text, i);
      if (code >= 0x10000) {
        const char32_t offset = code - 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
      } else {
        out.push_back(static_cast<char16_t>(code));
      }
    }
    return out;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}

std::optional<std::string> NarrowUtf16(std::u16string_view text) {
  try {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
      char32_t code = text[i];
      if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
          text[i + 1] <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
      } else if (code >= 0xD800 && code <= 0xDFFF) {
        code = kReplacement;
      }
      AppendUtf8(out, code);
    }
    return out;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  } catch (const std::length_error&) {
    return std::nullopt;
  }
}
