// A toolkit without a screen: it keeps each control's state in memory,
// writes what the window layer asks of it into a call log, and lets a test
// act as the user ("moves a slider", "clicks", "closes the window").
//
// Log entries: "create window at <x>,<y>", "create <control name>",
// "show controls", "show window", "destroy window", "loop", "quit <code>",
// "loop would wait forever", "error box <text>", "write <slider> <position>",
// "caption <button> <caption>".
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "call_log.h"
#include "ui/toolkit.h"

class FakeToolkit final : public Toolkit {
 public:
  explicit FakeToolkit(CallLog& log) : log_(log) {}

  // Set up by the test before the window opens.
  WindowSize screen{1920, 1080};
  bool fail_window = false;
  int fail_control = -1;
  // Runs inside RunMessageLoop: what the user does while the window is open.
  std::function<void()> user;
  // Runs after every log entry the fake itself makes.
  std::function<void(std::string_view entry)> after_entry;
  // Sliders report a position and buttons a click while being created.
  bool noisy_creation = false;

  // The user's actions. Each raises what the real toolkit would raise.
  void UserMovesSlider(int control, std::int32_t position);
  void UserClicks(int control);
  void UserTypes(int control, std::string text);
  void UserClosesWindow();
  void RaiseOnControl(int control, WindowEvent event);

  bool shown() const { return shown_; }
  std::string caption(int control) const { return Find(control).text; }
  std::int32_t position(int control) const { return Find(control).position; }

  // Toolkit.
  std::int32_t GetSliderPosition(int control) override { return Find(control).position; }
  void SetSliderPosition(int control, std::int32_t position) override;
  std::string GetEditText(int control) override { return Find(control).text; }
  std::string GetCaption(int control) override { return Find(control).text; }
  void SetCaption(int control, std::string_view caption) override;
  WindowSize GetPrimaryScreenSize() override { return screen; }
  bool CreateMainWindow(const WindowDefinition& definition, ScreenPoint position,
                        ToolkitEvents& events) override;
  bool CreateControl(int index, const ControlDefinition& control) override;
  void ShowControls() override { Log("show controls"); }
  void ShowMainWindow() override;
  void DestroyMainWindow() override;
  bool WindowExists() override { return exists_; }
  void RunMessageLoop() override;
  void PostQuit(std::int32_t exit_code) override;
  void ShowErrorBox(std::string_view title, std::string_view text) override;

 private:
  struct Control {
    std::string name;
    SliderRange range;
    std::int32_t position = 0;
    std::string text;
  };

  const Control& Find(int control) const { return controls_.at(static_cast<size_t>(control)); }
  Control& Find(int control) { return controls_.at(static_cast<size_t>(control)); }
  void Log(std::string entry);

  CallLog& log_;
  ToolkitEvents* events_ = nullptr;
  std::vector<Control> controls_;
  bool exists_ = false;
  bool shown_ = false;
  bool quit_posted_ = false;
};
