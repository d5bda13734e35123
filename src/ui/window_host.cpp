#include "ui/window_host.h"

#include <cstddef>

#include "ui/window_geometry.h"

bool WindowHost::Open(Toolkit& toolkit, const WindowDefinition& definition) {
  // Whatever the controls report while they are being built is lost, not
  // queued: their designed values are not the user's doing.
  delivering_ = false;
  toolkit_ = &toolkit;
  definition_ = &definition;

  const ScreenPoint position =
      CentredPosition(toolkit.GetPrimaryScreenSize(), definition.outer_size);
  if (!toolkit.CreateMainWindow(definition, position, *this)) {
    return false;
  }
  for (std::size_t index = 0; index < definition.controls.size(); ++index) {
    if (!toolkit.CreateControl(static_cast<int>(index), definition.controls[index])) {
      toolkit.DestroyMainWindow();
      return false;
    }
  }
  toolkit.ShowControls();

  delivering_ = true;
  OnEvent(kWindowItself, WindowEvent::kCreated);
  // The created handler may have closed the window; it is then not shown.
  if (toolkit.WindowExists()) {
    toolkit.ShowMainWindow();
  }
  return true;
}

void WindowHost::OnEvent(EventSource source, WindowEvent event) {
  if (!delivering_ || definition_ == nullptr) {
    return;
  }
  for (const EventBinding& binding : definition_->bindings) {
    if (binding.source == source && binding.event == event) {
      binding.handler(*toolkit_);
    }
  }
}

void WindowHost::OnWindowDestroyed() {
  if (on_destroyed_ != nullptr) {
    on_destroyed_();
  }
}
