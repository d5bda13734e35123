// Geometry rules every toolkit backend shares.
#pragma once

#include <cstdint>

#include "ui/toolkit.h"
#include "ui/window_definition.h"

// The outer top-left corner that centres a window on a screen. The
// division truncates toward zero, so a screen narrower than the window
// gives a negative corner: 320 wide and 375 give -27, not -28.
constexpr std::int32_t CentredOrigin(std::int32_t screen, std::int32_t window) {
  return static_cast<std::int32_t>((static_cast<std::int64_t>(screen) - window) / 2);
}

constexpr ScreenPoint CentredPosition(WindowSize screen, WindowSize window) {
  return {CentredOrigin(screen.width, window.width), CentredOrigin(screen.height, window.height)};
}

// The smallest client area that shows every control whole: the right and
// bottom edges furthest out.
WindowSize ControlsExtent(const WindowDefinition& definition);
