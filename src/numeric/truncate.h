// Conversion of the engine's numeric results to 32-bit integers.
#pragma once

#include <cstdint>
#include <limits>

// Truncates toward zero (55.9 gives 55, -3.7 gives -3). Values beyond the
// 32-bit range saturate and NaN gives 0, where a plain cast would be
// undefined.
constexpr std::int32_t TruncateToInt32(double value) {
  if (value != value) {
    return 0;
  }
  if (value >= 2147483647.0) {
    return std::numeric_limits<std::int32_t>::max();
  }
  if (value <= -2147483648.0) {
    return std::numeric_limits<std::int32_t>::min();
  }
  return static_cast<std::int32_t>(value);
}
