// The program's only window.
#pragma once

#include <string_view>

#include "ui/window_definition.h"

// The controls of MainWindow by their index in its definition.
enum MainWindowControl : int {
  kEditBox1 = 0,       // 编辑框1
  kVolumeSlider,       // 滑块条_音量
  kSpeedSlider,        // 滑块条_速度
  kReadAloudButton,    // 按钮_朗读
  kPauseResumeButton,  // 按钮_暂停
  kLabel1,             // 标签1
  kLabel2,             // 标签2
  kMainWindowControlCount
};

// The paragraph the edit box opens with: 87 characters in one paragraph,
// 170 bytes in GBK, so it also fits the Windows program's old limits.
inline constexpr std::string_view kSampleParagraph =
    "欢迎使用本工具。请把想听的文字输入或粘贴到这个框里，再按“朗读”，电脑会用普通话读给你听。"
    "音量可在0到100之间调节，速度也能随时改变；按“暂停”可以停下，按“恢复”接着读。";

// The caption of 按钮_暂停 while the next press pauses, and while it resumes.
inline constexpr std::string_view kPauseCaption = "暂停";
inline constexpr std::string_view kResumeCaption = "恢复";

extern const WindowDefinition kMainWindow;
