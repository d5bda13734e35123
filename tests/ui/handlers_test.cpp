// The five handlers, driven through the window layer as the toolkit would
// drive them, against the real voice and a recording engine voice.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "ui_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using HandlersTest = OpenWindowTest;

TEST_F(HandlersTest, CreatedCreatesTheVoiceAndShowsItsVolumeAndRateBeforeTheWindowIsShown) {
  engine.volume = 37;
  engine.rate = -3;
  ASSERT_TRUE(engine.Register());
  g_voice = new SpeechVoice();

  ASSERT_TRUE(host.Open(toolkit, kMainWindow));

  // Created comes after every control and before the window is shown; no
  // setter is called, and the slider writes raise nothing.
  EXPECT_THAT(
      log, ElementsAre("create window at 772,382", "create 编辑框1", "create 滑块条_音量",
                       "create 滑块条_速度", "create 按钮_朗读", "create 按钮_暂停", "create 标签1",
                       "create 标签2", "show controls", "create SpVoice", "get Volume",
                       "write 滑块条_音量 37", "get Rate", "write 滑块条_速度 7", "show window"));
}

TEST_F(HandlersTest, EngineRatesOpenTheSpeedSliderAtRatePlusTen) {
  const struct {
    std::int32_t rate;
    std::int32_t position;
  } cases[] = {{-10, 0}, {0, 10}, {10, 20}, {4, 14}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    CallLog case_log;
    LoggedVoiceClass case_engine{case_log};
    case_engine.rate = c.rate;
    ASSERT_TRUE(case_engine.Register());
    SpeechVoice voice;
    g_voice = &voice;
    FakeToolkit case_toolkit{case_log};
    WindowHost case_host;
    ASSERT_TRUE(case_host.Open(case_toolkit, kMainWindow));
    EXPECT_EQ(case_toolkit.position(kSpeedSlider), c.position);
    g_voice = nullptr;
  }
}

TEST_F(HandlersTest, WithoutAnEngineTheSlidersOpenAtZeroAndTenAndCreateIsNeverRetried) {
  Open(/*with_engine=*/false);
  EXPECT_EQ(toolkit.position(kVolumeSlider), 0);
  EXPECT_EQ(toolkit.position(kSpeedSlider), 10);

  // An engine that turns up later is not picked up: nothing reaches it.
  ASSERT_TRUE(engine.Register());
  toolkit.UserMovesSlider(kVolumeSlider, 30);
  toolkit.UserClicks(kReadAloudButton);
  toolkit.UserClicks(kPauseResumeButton);
  toolkit.UserClicks(kPauseResumeButton);
  EXPECT_THAT(log, ElementsAre("caption 按钮_暂停 恢复", "caption 按钮_暂停 暂停"));
}

TEST_F(HandlersTest, SliderPositionsGoToTheVoice) {
  Open();
  const struct {
    int slider;
    std::int32_t position;
    const char* call;
  } cases[] = {
      {kSpeedSlider, 0, "put Rate -10"},    {kSpeedSlider, 10, "put Rate 0"},
      {kSpeedSlider, 20, "put Rate 10"},    {kSpeedSlider, 3, "put Rate -7"},
      {kVolumeSlider, 0, "put Volume 0"},   {kVolumeSlider, 100, "put Volume 100"},
      {kVolumeSlider, 55, "put Volume 55"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    log.clear();
    toolkit.UserMovesSlider(c.slider, c.position);
    EXPECT_THAT(log, ElementsAre(c.call));
  }
}

TEST_F(HandlersTest, AnUnchangedPositionIsSetAgain) {
  Open();
  toolkit.UserMovesSlider(kVolumeSlider, 40);
  toolkit.UserMovesSlider(kVolumeSlider, 40);
  toolkit.UserMovesSlider(kSpeedSlider, 20);
  toolkit.UserMovesSlider(kSpeedSlider, 20);
  EXPECT_THAT(log, ElementsAre("put Volume 40", "put Volume 40", "put Rate 10", "put Rate 10"));
}

TEST_F(HandlersTest, PauseButtonPausesOnlyUnderItsExactCaption) {
  Open();
  const struct {
    const char* before;
    const char* after;
    const char* call;
  } cases[] = {
      {"暂停", "恢复", "Pause"},    {"恢复", "暂停", "Resume"},  {"", "暂停", "Resume"},
      {"暂停 ", "暂停", "Resume"},  {" 暂停", "暂停", "Resume"}, {"暂", "暂停", "Resume"},
      {"暂停停", "暂停", "Resume"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    toolkit.SetCaption(kPauseResumeButton, c.before);
    log.clear();
    toolkit.UserClicks(kPauseResumeButton);
    // The caption is written before the voice is called.
    EXPECT_THAT(log, ElementsAre(std::string("caption 按钮_暂停 ") + c.after, c.call));
  }
}

TEST_F(HandlersTest, PauseButtonAlternates) {
  Open();
  for (int press = 0; press < 3; ++press) {
    toolkit.UserClicks(kPauseResumeButton);
  }
  EXPECT_THAT(log, ElementsAre("caption 按钮_暂停 恢复", "Pause", "caption 按钮_暂停 暂停",
                               "Resume", "caption 按钮_暂停 恢复", "Pause"));
}

TEST_F(HandlersTest, ReadAloudSpeaksTheTextAsItIsAtTheClickAsynchronously) {
  Open();
  toolkit.UserClicks(kReadAloudButton);
  // Characters outside any legacy Chinese code page reach the voice intact.
  toolkit.UserTypes(kEditBox1, "第一行\n第二行 🙂 ß");
  toolkit.UserClicks(kReadAloudButton);
  toolkit.UserTypes(kEditBox1, "");
  toolkit.UserClicks(kReadAloudButton);
  EXPECT_THAT(log, ElementsAre("Speak " + std::string(kSampleParagraph) + " 1",
                               "Speak 第一行\n第二行 🙂 ß 1", "Speak  1"));
  EXPECT_EQ(toolkit.caption(kPauseResumeButton), "暂停");
}

TEST_F(HandlersTest, ReadAloudWhilePausedLeavesThePauseStateAlone) {
  Open();
  toolkit.UserClicks(kPauseResumeButton);
  log.clear();
  toolkit.UserClicks(kReadAloudButton);
  toolkit.UserClicks(kReadAloudButton);
  EXPECT_THAT(log, ElementsAre("Speak " + std::string(kSampleParagraph) + " 1",
                               "Speak " + std::string(kSampleParagraph) + " 1"));
  EXPECT_EQ(toolkit.caption(kPauseResumeButton), "恢复");
}

TEST_F(HandlersTest, EventsWithoutABindingDoNothing) {
  Open();
  toolkit.RaiseOnControl(kEditBox1, WindowEvent::kClicked);
  toolkit.RaiseOnControl(kLabel1, WindowEvent::kClicked);
  toolkit.RaiseOnControl(kReadAloudButton, WindowEvent::kPositionChanged);
  toolkit.RaiseOnControl(kVolumeSlider, WindowEvent::kClicked);
  toolkit.RaiseOnControl(kVolumeSlider, WindowEvent::kCreated);
  EXPECT_THAT(log, IsEmpty());
}

}  // namespace
