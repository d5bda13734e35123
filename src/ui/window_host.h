// The window layer between a toolkit and the program: opens a window from
// its definition, and hands the toolkit's events to the handlers the
// definition binds, but only while events are let through.
#pragma once

#include "ui/toolkit.h"
#include "ui/window_definition.h"

class WindowHost final : public ToolkitEvents {
 public:
  using DestroyedCallback = void (*)();

  WindowHost() = default;
  WindowHost(const WindowHost&) = delete;
  WindowHost& operator=(const WindowHost&) = delete;

  // Called after the toolkit reports that the window has been destroyed.
  void SetDestroyedCallback(DestroyedCallback callback) { on_destroyed_ = callback; }

  // Builds the window and raises created; then shows the window if it still
  // exists. False when the window or a control could not be created; the
  // half-built window is destroyed then and never shown.
  bool Open(Toolkit& toolkit, const WindowDefinition& definition);

  // From here on every event is dropped and no handler runs.
  void DropEvents() { delivering_ = false; }

  void OnEvent(EventSource source, WindowEvent event) override;
  void OnWindowDestroyed() override;

 private:
  Toolkit* toolkit_ = nullptr;
  const WindowDefinition* definition_ = nullptr;
  bool delivering_ = false;
  DestroyedCallback on_destroyed_ = nullptr;
};
