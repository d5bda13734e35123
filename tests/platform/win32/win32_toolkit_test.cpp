// The Win32 toolkit inside its own process: what another process cannot see
// of the window under Wine (fonts, icons) and the exact handling of the
// controls' notifications.
#include "win32_toolkit.h"

#include <commctrl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/main_window.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

struct RaisedEvent {
  EventSource source;
  WindowEvent event;
  std::int32_t position;  // of the source slider when the event came
  bool operator==(const RaisedEvent&) const = default;
};

class RecordingEvents final : public ToolkitEvents {
 public:
  explicit RecordingEvents(Toolkit& toolkit) : toolkit_(toolkit) {}

  void OnEvent(EventSource source, WindowEvent event) override {
    const bool slider = source == kVolumeSlider || source == kSpeedSlider;
    raised.push_back({source, event, slider ? toolkit_.GetSliderPosition(source) : 0});
  }
  void OnWindowDestroyed() override { ++destroyed; }

  std::vector<RaisedEvent> raised;
  int destroyed = 0;

 private:
  Toolkit& toolkit_;
};

class Win32ToolkitTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(toolkit_.CreateMainWindow(kMainWindow, {100, 80}, events_));
    for (std::size_t i = 0; i < kMainWindow.controls.size(); ++i) {
      ASSERT_TRUE(toolkit_.CreateControl(static_cast<int>(i), kMainWindow.controls[i]));
    }
    toolkit_.ShowControls();
    toolkit_.ShowMainWindow();
  }

  // Handles what is waiting in the queue, as the loop would.
  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  HWND control(int index) const { return toolkit_.control(index); }

  Win32Toolkit toolkit_{GetModuleHandleW(nullptr)};
  RecordingEvents events_{toolkit_};
};

TEST_F(Win32ToolkitTest, WindowAndControlsUseTheDefaultGuiFontAndTheProgramIcon) {
  const auto gui_font = reinterpret_cast<LRESULT>(GetStockObject(DEFAULT_GUI_FONT));
  // Trackbars draw no text and keep no font; every other control must.
  for (int index : {kEditBox1, kReadAloudButton, kPauseResumeButton, kLabel1, kLabel2}) {
    EXPECT_EQ(SendMessageW(control(index), WM_GETFONT, 0, 0), gui_font) << "control " << index;
  }
  const struct {
    WPARAM which;
    int width_metric;
  } icons[] = {{ICON_BIG, SM_CXICON}, {ICON_SMALL, SM_CXSMICON}};
  for (const auto& icon : icons) {
    auto handle =
        reinterpret_cast<HICON>(SendMessageW(toolkit_.window(), WM_GETICON, icon.which, 0));
    ASSERT_NE(handle, nullptr) << "icon " << icon.which;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(handle, &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(bitmap.bmWidth, GetSystemMetrics(icon.width_metric)) << "icon " << icon.which;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
}

// Every scroll report but the end of a scroll raises position changed, after
// the position has been read back from the trackbar.
TEST_F(Win32ToolkitTest, ScrollReportsRaisePositionChangedWithTheTrackbarsPosition) {
  const struct {
    int code;
    bool raises;
  } reports[] = {{TB_LINEUP, true},   {TB_LINEDOWN, true},   {TB_PAGEUP, true},
                 {TB_PAGEDOWN, true}, {TB_THUMBTRACK, true}, {TB_THUMBPOSITION, true},
                 {TB_TOP, true},      {TB_BOTTOM, true},     {TB_ENDTRACK, false}};
  std::int32_t position = 30;
  for (int slider : {kVolumeSlider, kSpeedSlider}) {
    for (const auto& report : reports) {
      events_.raised.clear();
      const std::int32_t before = toolkit_.GetSliderPosition(slider);
      position = (position + 7) % 20;
      // The thumb has moved, as the trackbar moves it before reporting.
      SendMessageW(control(slider), TBM_SETPOS, TRUE, position);
      SendMessageW(toolkit_.window(), WM_HSCROLL, MAKEWPARAM(report.code, 0),
                   reinterpret_cast<LPARAM>(control(slider)));
      if (report.raises) {
        EXPECT_THAT(events_.raised,
                    ElementsAre(RaisedEvent{slider, WindowEvent::kPositionChanged, position}))
            << "code " << report.code;
      } else {
        EXPECT_THAT(events_.raised, IsEmpty()) << "code " << report.code;
        EXPECT_EQ(toolkit_.GetSliderPosition(slider), before);
      }
    }
  }
}

TEST_F(Win32ToolkitTest, PositionWritesAreHeldWithinTheRangeAndRaiseNothing) {
  const struct {
    int slider;
    std::int32_t written;
    std::int32_t held;
  } writes[] = {{kVolumeSlider, 42, 42}, {kVolumeSlider, -5, 0}, {kVolumeSlider, 150, 100},
                {kSpeedSlider, 20, 20},  {kSpeedSlider, 21, 20}, {kSpeedSlider, INT32_MIN, 0}};
  for (const auto& write : writes) {
    toolkit_.SetSliderPosition(write.slider, write.written);
    EXPECT_EQ(toolkit_.GetSliderPosition(write.slider), write.held) << write.written;
    EXPECT_EQ(SendMessageW(control(write.slider), TBM_GETPOS, 0, 0), write.held) << write.written;
  }
  Pump();
  EXPECT_THAT(events_.raised, IsEmpty());
}

TEST_F(Win32ToolkitTest, OnlyAButtonsClickRaisesClicked) {
  SendMessageW(control(kReadAloudButton), BM_CLICK, 0, 0);
  SendMessageW(control(kPauseResumeButton), BM_CLICK, 0, 0);
  // Other notifications of the buttons and the edit box's raise nothing.
  const std::pair<int, int> others[] = {{kReadAloudButton, BN_SETFOCUS},
                                        {kPauseResumeButton, BN_KILLFOCUS},
                                        {kEditBox1, EN_CHANGE},
                                        {kEditBox1, BN_CLICKED}};
  for (const auto& [index, notification] : others) {
    SendMessageW(toolkit_.window(), WM_COMMAND, MAKEWPARAM(index + 1, notification),
                 reinterpret_cast<LPARAM>(control(index)));
  }
  SendMessageW(control(kEditBox1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"变了"));
  Pump();
  EXPECT_THAT(events_.raised,
              ElementsAre(RaisedEvent{kReadAloudButton, WindowEvent::kClicked, 0},
                          RaisedEvent{kPauseResumeButton, WindowEvent::kClicked, 0}));
}

TEST_F(Win32ToolkitTest, TextsCrossAsUtf8BothWays) {
  const std::string captions[] = {"恢复", "暂停", "", "𠮷 and 😀, A&B"};
  for (const std::string& caption : captions) {
    toolkit_.SetCaption(kPauseResumeButton, caption);
    EXPECT_EQ(toolkit_.GetCaption(kPauseResumeButton), caption);
  }
  wchar_t shown[32] = {};
  toolkit_.SetCaption(kPauseResumeButton, "恢复");
  GetWindowTextW(control(kPauseResumeButton), shown, 32);
  EXPECT_STREQ(shown, L"恢复");

  SendMessageW(control(kEditBox1), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(L"第一行\r\n\U00020BB7 한국어"));
  EXPECT_EQ(toolkit_.GetEditText(kEditBox1), "第一行\r\n𠮷 한국어");
  SendMessageW(control(kEditBox1), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  EXPECT_EQ(toolkit_.GetEditText(kEditBox1), "");
}

TEST_F(Win32ToolkitTest, FocusComesBackToTheControlThatHadItBeforeDeactivation) {
  EXPECT_EQ(GetFocus(), control(kEditBox1));
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 50, 50,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(other, nullptr);
  for (int index : {kSpeedSlider, kPauseResumeButton}) {
    SetFocus(control(index));
    SetActiveWindow(other);
    ASSERT_NE(GetFocus(), control(index));
    SetActiveWindow(toolkit_.window());
    EXPECT_EQ(GetFocus(), control(index)) << "control " << index;
  }
  DestroyWindow(other);
}

TEST_F(Win32ToolkitTest, OnlyAWindowClosedAfterOpeningReportsItsDestruction) {
  SendMessageW(toolkit_.window(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(toolkit_.WindowExists());
  EXPECT_EQ(events_.destroyed, 1);

  Win32Toolkit failed(GetModuleHandleW(nullptr));
  RecordingEvents failed_events(failed);
  ASSERT_TRUE(failed.CreateMainWindow(kMainWindow, {0, 0}, failed_events));
  ASSERT_TRUE(failed.CreateControl(0, kMainWindow.controls[0]));
  // Out of order: the toolkit refuses, and the builder gives the window up.
  EXPECT_FALSE(failed.CreateControl(2, kMainWindow.controls[2]));
  failed.DestroyMainWindow();
  EXPECT_FALSE(failed.WindowExists());
  EXPECT_EQ(failed_events.destroyed, 0);
}

}  // namespace
