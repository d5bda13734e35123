// Conversions between the program's UTF-8 text and the UTF-16 spoken by the
// automation API and the Windows window functions.
//
// Ill-formed input is never passed on raw: each maximal ill-formed part of a
// UTF-8 sequence, and each unpaired surrogate, becomes U+FFFD. Both functions
// keep embedded U+0000 and report running out of memory as an empty optional
// rather than an exception.
#pragma once

#include <optional>
#include <string>
#include <string_view>

std::optional<std::u16string> WidenUtf8(std::string_view text);
std::optional<std::string> NarrowUtf16(std::u16string_view text);
