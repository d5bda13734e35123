#include "fake_toolkit.h"

#include <algorithm>
#include <utility>

void FakeToolkit::Log(std::string entry) {
  log_.push_back(entry);
  if (after_entry) {
    after_entry(entry);
  }
}

void FakeToolkit::SetSliderPosition(int control, std::int32_t position) {
  Control& slider = Find(control);
  slider.position = std::clamp(position, slider.range.minimum, slider.range.maximum);
  Log("write " + slider.name + " " + std::to_string(slider.position));
}

void FakeToolkit::SetCaption(int control, std::string_view caption) {
  Control& button = Find(control);
  button.text = caption;
  Log("caption " + button.name + " " + button.text);
}

bool FakeToolkit::CreateMainWindow(const WindowDefinition&, ScreenPoint position,
                                   ToolkitEvents& events) {
  if (fail_window) {
    return false;
  }
  events_ = &events;
  exists_ = true;
  controls_.clear();
  Log("create window at " + std::to_string(position.x) + "," + std::to_string(position.y));
  return true;
}

bool FakeToolkit::CreateControl(int index, const ControlDefinition& control) {
  if (index == fail_control) {
    return false;
  }
  controls_.resize(std::max(controls_.size(), static_cast<size_t>(index) + 1));
  Control& created = Find(index);
  created.name = control.name;
  created.range = control.range;
  created.position = control.range.position;
  created.text = control.text;
  Log("create " + created.name);
  if (noisy_creation && control.kind == ControlKind::kSlider) {
    events_->OnEvent(index, WindowEvent::kPositionChanged);
  }
  if (noisy_creation && control.kind == ControlKind::kPushButton) {
    events_->OnEvent(index, WindowEvent::kClicked);
  }
  return true;
}

void FakeToolkit::ShowMainWindow() {
  shown_ = true;
  Log("show window");
}

void FakeToolkit::DestroyMainWindow() {
  exists_ = false;
  shown_ = false;
  Log("destroy window");
}

void FakeToolkit::RunMessageLoop() {
  Log("loop");
  quit_posted_ = false;
  if (user) {
    user();
  }
  if (!quit_posted_) {
    Log("loop would wait forever");
  }
}

void FakeToolkit::PostQuit(std::int32_t exit_code) {
  quit_posted_ = true;
  Log("quit " + std::to_string(exit_code));
}

void FakeToolkit::ShowErrorBox(std::string_view, std::string_view text) {
  Log("error box " + std::string(text));
}

void FakeToolkit::UserMovesSlider(int control, std::int32_t position) {
  Control& slider = Find(control);
  slider.position = std::clamp(position, slider.range.minimum, slider.range.maximum);
  events_->OnEvent(control, WindowEvent::kPositionChanged);
}

void FakeToolkit::UserClicks(int control) {
  events_->OnEvent(control, WindowEvent::kClicked);
}

void FakeToolkit::UserTypes(int control, std::string text) {
  Find(control).text = std::move(text);
}

void FakeToolkit::UserClosesWindow() {
  exists_ = false;
  shown_ = false;
  Log("window closed");
  events_->OnWindowDestroyed();
}

void FakeToolkit::RaiseOnControl(int control, WindowEvent event) {
  events_->OnEvent(control, event);
}
