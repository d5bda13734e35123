// The window toolkit on Linux: Qt Widgets standing in for the Windows
// controls the window was designed with.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/toolkit.h"

class KeyFilter;
class MainWindowWidget;

class QtToolkit final : public Toolkit {
 public:
  QtToolkit();
  ~QtToolkit() override;
  QtToolkit(const QtToolkit&) = delete;
  QtToolkit& operator=(const QtToolkit&) = delete;

  // The Qt objects behind the window, for tests and benchmarks; null once
  // the window has been destroyed.
  QWidget* window() const;
  QWidget* control(int index) const;

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
  QWidget* CreateEditBox(const ControlDefinition& control);
  QWidget* CreateSlider(int index, const ControlDefinition& control);
  QWidget* CreatePushButton(int index, const ControlDefinition& control);
  QWidget* CreateLabel(const ControlDefinition& control);
  void OnWindowClosed();
  void ReleaseWindow();

  const WindowDefinition* definition_ = nullptr;
  ToolkitEvents* events_ = nullptr;
  QPointer<MainWindowWidget> window_;
  std::vector<QPointer<QWidget>> controls_;
  KeyFilter* key_filter_ = nullptr;
};
