#include <gtest/gtest.h>

#include "display_check.h"

namespace {

TEST(QtDisplayCheck, ADisplayOrAHeadlessPlatformIsNeeded) {
  const struct {
    const char* platform;
    const char* display;
    const char* wayland;
    bool configured;
  } cases[] = {
      {nullptr, nullptr, nullptr, false},
      {nullptr, "", "", false},
      {"xcb", nullptr, nullptr, false},
      {nullptr, ":0", nullptr, true},
      {nullptr, nullptr, "wayland-0", true},
      {"offscreen", nullptr, nullptr, true},
      {"offscreen:configfile=/tmp/screens.json", nullptr, nullptr, true},
      {"minimal", nullptr, nullptr, true},
      {"wayland", nullptr, "wayland-1", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(DisplayConfigured(c.platform, c.display, c.wayland), c.configured)
        << (c.platform ? c.platform : "-") << " " << (c.display ? c.display : "-") << " "
        << (c.wayland ? c.wayland : "-");
  }
}

}  // namespace
