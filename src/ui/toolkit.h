// The window toolkit as the portable window layer sees it. One backend per
// platform implements it (Qt on Linux, Win32 on Windows), and tests use a
// fake one. Everything runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/controls.h"
#include "ui/window_definition.h"

struct ScreenPoint {
  std::int32_t x;
  std::int32_t y;
};

// How a toolkit reports what happens to the window. The toolkit calls these
// synchronously, inside its processing of whatever caused them.
class ToolkitEvents {
 public:
  virtual ~ToolkitEvents() = default;

  // A control (or the window) raised an event. Position changed is raised
  // after the toolkit has refreshed the slider's position.
  virtual void OnEvent(EventSource source, WindowEvent event) = 0;
  // The window has been finally destroyed.
  virtual void OnWindowDestroyed() = 0;
};

class Toolkit : public Controls {
 public:
  // The primary display's full size, in the units of window geometry.
  virtual WindowSize GetPrimaryScreenSize() = 0;

  // Creates the program's window hidden, with the definition's title,
  // frame, outer size, icon and default font, its outer top-left corner at
  // position. From then on the toolkit reports to events.
  virtual bool CreateMainWindow(const WindowDefinition& definition, ScreenPoint position,
                                ToolkitEvents& events) = 0;
  // Creates one control hidden, with all its designed properties. Controls
  // are created in the definition's order; index is the position there.
  virtual bool CreateControl(int index, const ControlDefinition& control) = 0;
  // Shows every control inside the still hidden window; activates nothing.
  virtual void ShowControls() = 0;
  // Shows and activates the window; the focus goes to the first tab stop.
  virtual void ShowMainWindow() = 0;
  // Destroys a window whose opening failed. Reports no destruction.
  virtual void DestroyMainWindow() = 0;
  virtual bool WindowExists() = 0;

  // Fetches and dispatches events until the quit message is fetched.
  virtual void RunMessageLoop() = 0;
  // Asks the running loop to end; RunMessageLoop then returns.
  virtual void PostQuit(std::int32_t exit_code) = 0;

  virtual void ShowErrorBox(std::string_view title, std::string_view text) = 0;
};
