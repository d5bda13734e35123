#include "numeric/truncate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(TruncateToInt32, TruncatesTowardZeroAndSaturates) {
  constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
  constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
  const struct {
    double value;
    std::int32_t expected;
  } cases[] = {
      {55.9, 55},
      {-3.7, -3},
      {99.99, 99},
      {-0.5, 0},
      {0.0, 0},
      {2147483647.0, kMax},
      {2147483647.9, kMax},
      {2147483648.0, kMax},
      {-2147483648.0, kMin},
      {-2147483648.9, kMin},
      {1e300, kMax},
      {-1e300, kMin},
      {INFINITY, kMax},
      {-INFINITY, kMin},
      {NAN, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TruncateToInt32(c.value), c.expected) << c.value;
  }
}

}  // namespace
