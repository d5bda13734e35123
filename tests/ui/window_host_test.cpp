// Opening a window from its definition: the order of the steps, events
// dropped while building, and what a failure leaves behind.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "ui/window_geometry.h"
#include "ui_fixture.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::Not;

namespace {

using WindowHostTest = OpenWindowTest;

TEST_F(WindowHostTest, NotificationsWhileBuildingAreDropped) {
  toolkit.noisy_creation = true;
  ASSERT_TRUE(engine.Register());
  g_voice = new SpeechVoice();
  ASSERT_TRUE(host.Open(toolkit, kMainWindow));
  EXPECT_THAT(log, Not(Contains(::testing::StartsWith("caption "))));
  EXPECT_THAT(log, Not(Contains(::testing::StartsWith("Speak "))));
  EXPECT_EQ(toolkit.caption(kPauseResumeButton), "暂停");
}

TEST_F(WindowHostTest, AControlThatCannotBeCreatedFailsTheOpeningBeforeCreated) {
  for (const int failing : {kEditBox1, kPauseResumeButton, kLabel2}) {
    SCOPED_TRACE(failing);
    CallLog case_log;
    LoggedVoiceClass case_engine{case_log};
    ASSERT_TRUE(case_engine.Register());
    SpeechVoice voice;
    g_voice = &voice;
    FakeToolkit case_toolkit{case_log};
    case_toolkit.fail_control = failing;
    WindowHost case_host;

    EXPECT_FALSE(case_host.Open(case_toolkit, kMainWindow));
    EXPECT_FALSE(case_toolkit.WindowExists());
    EXPECT_EQ(case_log.back(), "destroy window");
    EXPECT_THAT(case_log, Not(Contains("create SpVoice")));
    EXPECT_THAT(case_log, Not(Contains("show window")));
    g_voice = nullptr;
  }
}

TEST_F(WindowHostTest, AWindowThatCannotBeCreatedFailsTheOpening) {
  toolkit.fail_window = true;
  g_voice = new SpeechVoice();
  EXPECT_FALSE(host.Open(toolkit, kMainWindow));
  EXPECT_THAT(log, ::testing::IsEmpty());
}

TEST_F(WindowHostTest, AWindowClosedByItsCreatedHandlerIsNotShown) {
  toolkit.after_entry = [this](std::string_view entry) {
    if (entry == "write 滑块条_速度 10") {
      toolkit.UserClosesWindow();
    }
  };
  Open();
  EXPECT_FALSE(toolkit.shown());
}

TEST_F(WindowHostTest, DroppedEventsRunNoHandler) {
  Open();
  host.DropEvents();
  toolkit.UserClicks(kPauseResumeButton);
  toolkit.UserMovesSlider(kVolumeSlider, 3);
  EXPECT_THAT(log, ::testing::IsEmpty());
  EXPECT_EQ(toolkit.caption(kPauseResumeButton), "暂停");
}

TEST(WindowGeometry, CentresOnTheFullScreenTruncatingTowardZero) {
  const struct {
    WindowSize screen;
    std::int32_t left;
    std::int32_t top;
  } cases[] = {
      {{1920, 1080}, 772, 382}, {{1024, 768}, 324, 226},   {{320, 240}, -27, -37},
      {{375, 315}, 0, 0},       {{376, 316}, 0, 0},        {{374, 314}, 0, 0},
      {{0, 0}, -187, -157},     {{3841, 2161}, 1733, 923},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.screen.width << "x" << c.screen.height);
    const ScreenPoint origin = CentredPosition(c.screen, kMainWindow.outer_size);
    EXPECT_EQ(origin.x, c.left);
    EXPECT_EQ(origin.y, c.top);
  }
}

TEST_F(WindowHostTest, OpensAtTheCentreOfTheToolkitsPrimaryScreen) {
  toolkit.screen = {320, 200};
  g_voice = new SpeechVoice();
  ASSERT_TRUE(host.Open(toolkit, kMainWindow));
  EXPECT_EQ(log.front(), "create window at -27,-57");
}

}  // namespace
