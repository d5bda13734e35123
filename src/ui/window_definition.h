// A window as data: its frame, its controls and the events bound to
// handlers. A window builder reads such a table and creates the window
// through a toolkit, so the same table serves every platform.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

class Controls;

enum class ControlKind {
  kEditBox,     // multi-line, wraps at its width, vertical scroll bar only
  kSlider,      // horizontal, without ticks
  kPushButton,  // never a default button; caption centred and wrapping
  kLabel,       // one line, left-aligned, vertically centred
};

// Client coordinates: relative to the top-left corner of the window's
// client area; the size is the control's outer size, border included.
struct ControlBounds {
  std::int32_t left;
  std::int32_t top;
  std::int32_t width;
  std::int32_t height;
};

struct SliderRange {
  std::int32_t minimum;
  std::int32_t maximum;
  std::int32_t position;   // as designed; the range is set first
  std::int32_t line_step;  // arrow keys and the mouse wheel
  std::int32_t page_step;  // Page Up, Page Down, a click beside the thumb
};

struct ControlDefinition {
  std::string_view name;
  ControlKind kind;
  ControlBounds bounds;
  std::string_view text;  // UTF-8; the caption or the initial content
  SliderRange range;      // sliders only
  bool tab_stop;
};

// The events a window raises to the program.
enum class WindowEvent {
  kCreated,          // the window itself, once, before it is first shown
  kPositionChanged,  // a slider reported a new or repeated position
  kClicked,          // a push button was clicked
};

// Where an event comes from: a control's index in the definition's control
// list, or the window itself.
using EventSource = int;
inline constexpr EventSource kWindowItself = -1;

// A handler reads and writes the controls it needs and takes nothing else.
using EventHandler = void (*)(Controls& controls);

struct EventBinding {
  EventSource source;
  WindowEvent event;
  EventHandler handler;
};

struct WindowSize {
  std::int32_t width;
  std::int32_t height;
};

struct WindowDefinition {
  std::string_view title;
  WindowSize outer_size;  // caption and frame included
  bool resizable;
  bool minimize_box;
  bool maximize_box;
  bool esc_closes;
  // In creation order, which is also the tab order of the tab stops.
  std::span<const ControlDefinition> controls;
  std::span<const EventBinding> bindings;
};
