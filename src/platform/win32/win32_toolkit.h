// The window toolkit on Windows: one top-level window of our own class with
// the system's edit, trackbar and button controls and a small label class of
// our own. All window text goes through the W entry points as UTF-16.
#pragma once

#include <cstdint>
#include <vector>

#include "automation.h"
#include "ui/toolkit.h"

class Win32Toolkit final : public Toolkit {
 public:
  explicit Win32Toolkit(HINSTANCE instance);
  ~Win32Toolkit() override;
  Win32Toolkit(const Win32Toolkit&) = delete;
  Win32Toolkit& operator=(const Win32Toolkit&) = delete;

  // The window and its controls, for tests; null once the window is gone.
  HWND window() const { return window_; }
  HWND control(int index) const;

  std::int32_t GetSliderPosition(int control) override;
  void SetSliderPosition(int control, std::int32_t position) override;
  std::string GetEditText(int control) override;
  std::string GetCaption(int control) override;
  void SetCaption(int control, std::string_view caption) override;

  WindowSize GetPrimaryScreenSize() override;
  bool CreateMainWindow(const WindowDefinition& definition, ScreenPoint position,
                        ToolkitEvents& events) override;
  bool CreateControl(int index, const ControlDefinition& control) override;
  void ShowControls() override;
  void ShowMainWindow() override;
  void DestroyMainWindow() override;
  bool WindowExists() override;
  void RunMessageLoop() override;
  void PostQuit(std::int32_t exit_code) override;
  void ShowErrorBox(std::string_view title, std::string_view text) override;

 private:
  struct Control {
    HWND handle = nullptr;
    ControlKind kind = ControlKind::kLabel;
    bool tab_stop = false;
    std::int32_t position = 0;  // sliders: as last reported or written
  };

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void OnScroll(HWND slider, int code);
  void OnCommand(HWND control, int notification);
  void OnGetMinMaxInfo(MINMAXINFO& limits) const;
  void OnActivate(bool active);
  void OnSetFocus();
  void OnFinalDestroy();

  // The window's own keys, looked at before the focused control sees them.
  // True when the key was consumed.
  bool PreTranslateKey(const MSG& message);
  void MoveFocus(bool backwards);
  std::string ControlText(int index) const;
  int ControlIndex(HWND handle) const;
  Control* SliderAt(int index);
  HWND FirstTabStop() const;

  HINSTANCE instance_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  ToolkitEvents* events_ = nullptr;
  const WindowDefinition* definition_ = nullptr;
  std::vector<Control> controls_;
  // The control that had the focus when the window was last deactivated.
  HWND focus_to_restore_ = nullptr;
  // A window whose opening failed goes without a destruction report.
  bool report_destruction_ = true;
};
