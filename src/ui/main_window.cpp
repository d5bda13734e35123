#include "ui/main_window.h"

#include <iterator>

#include "ui/handlers.h"

namespace {

constexpr SliderRange kNoRange{0, 0, 0, 0, 0};

// In creation order; for the five tab stops this is also the tab order.
constexpr ControlDefinition kControls[] = {
    {"编辑框1", ControlKind::kEditBox, {10, 10, 350, 195}, kSampleParagraph, kNoRange, true},
    {"滑块条_音量", ControlKind::kSlider, {45, 215, 210, 30}, {}, {0, 100, 50, 1, 5}, true},
    {"滑块条_速度", ControlKind::kSlider, {45, 250, 210, 30}, {}, {0, 20, 10, 1, 5}, true},
    {"按钮_朗读", ControlKind::kPushButton, {260, 215, 100, 30}, "朗读", kNoRange, true},
    {"按钮_暂停", ControlKind::kPushButton, {260, 250, 100, 30}, kPauseCaption, kNoRange, true},
    {"标签1", ControlKind::kLabel, {10, 215, 30, 30}, "音量", kNoRange, false},
    {"标签2", ControlKind::kLabel, {10, 250, 30, 30}, "速度", kNoRange, false},
};
static_assert(std::size(kControls) == kMainWindowControlCount);

// Nothing else of the window has a handler: not closing, not focus, not
// keys, not the edit box and not the labels.
constexpr EventBinding kBindings[] = {
    {kWindowItself, WindowEvent::kCreated, OnWindowCreated},
    {kVolumeSlider, WindowEvent::kPositionChanged, OnVolumeChanged},
    {kSpeedSlider, WindowEvent::kPositionChanged, OnSpeedChanged},
    {kReadAloudButton, WindowEvent::kClicked, OnReadAloudClicked},
    {kPauseResumeButton, WindowEvent::kClicked, OnPauseResumeClicked},
};

}  // namespace

const WindowDefinition kMainWindow{
    .title = "青栎工坊文字转语音工具",
    .outer_size = {375, 315},
    .resizable = false,
    .minimize_box = false,
    .maximize_box = false,
    .esc_closes = true,
    .controls = kControls,
    .bindings = kBindings,
};
