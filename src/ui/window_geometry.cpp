#include "ui/window_geometry.h"

#include <algorithm>

WindowSize ControlsExtent(const WindowDefinition& definition) {
  WindowSize extent{0, 0};
  for (const ControlDefinition& control : definition.controls) {
    extent.width = std::max(extent.width, control.bounds.left + control.bounds.width);
    extent.height = std::max(extent.height, control.bounds.top + control.bounds.height);
  }
  return extent;
}
