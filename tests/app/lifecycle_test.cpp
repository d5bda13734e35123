// The program from ProgramEntry to its exit code, on the fake toolkit with
// the recording engine voice.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "app/global_voice.h"
#include "app/lifecycle.h"
#include "automation.h"
#include "fake_toolkit.h"
#include "logged_voice.h"
#include "ui/main_window.h"

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::Not;

namespace {

// Joins and leaves the real apartment, logging both, and serves the
// recording engine voice while joined (on Windows a class can only be
// registered from inside an apartment).
class RecordingApartment final : public OleApartment {
 public:
  RecordingApartment(CallLog& log, LoggedVoiceClass& engine) : log_(log), engine_(engine) {}

  bool fail = false;

  bool Initialize() override {
    if (fail) {
      log_.push_back("OleInitialize failed");
      return false;
    }
    log_.push_back("OleInitialize");
    const bool joined = OleApartment::Initialize();
    engine_.Register();
    return joined;
  }
  void Uninitialize() override {
    engine_.Revoke();
    log_.push_back("OleUninitialize");
    OleApartment::Uninitialize();
  }

 private:
  CallLog& log_;
  LoggedVoiceClass& engine_;
};

// Whether every apartment this thread joined has been left again.
bool ApartmentFullyLeft() {
  const HRESULT hr = CoInitialize(nullptr);
  if (SUCCEEDED(hr)) {
    CoUninitialize();
  }
  return hr == S_OK;
}

const std::vector<std::string> kOpening = {
    "create window at 772,382",
    "create 编辑框1",
    "create 滑块条_音量",
    "create 滑块条_速度",
    "create 按钮_朗读",
    "create 按钮_暂停",
    "create 标签1",
    "create 标签2",
    "show controls",
    "create SpVoice",
    "get Volume",
    "write 滑块条_音量 100",
    "get Rate",
    "write 滑块条_速度 10",
};

std::vector<std::string> Concat(std::initializer_list<std::vector<std::string>> parts) {
  std::vector<std::string> all;
  for (const auto& part : parts) {
    all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

class LifecycleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(g_voice, nullptr) << "the voice outlived the program";
    EXPECT_EQ(engine.live_objects(), 0);
  }

  CallLog log;
  LoggedVoiceClass engine{log};
  RecordingApartment apartment{log, engine};
  FakeToolkit toolkit{log};
};

TEST_F(LifecycleTest, ClosingTheWindowEndsTheProgramInOrderWithExitCodeZero) {
  toolkit.user = [this] {
    toolkit.UserClicks(kReadAloudButton);
    toolkit.UserClicks(kPauseResumeButton);
    toolkit.UserClosesWindow();
  };

  EXPECT_EQ(RunProgram(toolkit, apartment), 0);

  // The engine's voice is released while the apartment is still open, and
  // OLE is left last.
  EXPECT_THAT(log, ElementsAreArray(Concat({
                       {"OleInitialize"},
                       kOpening,
                       {"show window", "loop", "Speak " + std::string(kSampleParagraph) + " 1",
                        "caption 按钮_暂停 恢复", "Pause", "window closed", "quit 0",
                        "release SpVoice (apartment open)", "OleUninitialize"},
                   })));
  EXPECT_TRUE(ApartmentFullyLeft());
}

TEST_F(LifecycleTest, AWindowClosedBeforeTheLoopSkipsTheLoopAndEndsAtOnce) {
  toolkit.after_entry = [this](std::string_view entry) {
    if (entry == "write 滑块条_速度 10") {
      toolkit.UserClosesWindow();
    }
  };

  EXPECT_EQ(RunProgram(toolkit, apartment), 0);

  // No quit is posted for a loop that never ran, and none is waited for.
  EXPECT_THAT(log, ElementsAreArray(Concat({
                       {"OleInitialize"},
                       kOpening,
                       {"window closed", "release SpVoice (apartment open)", "OleUninitialize"},
                   })));
  EXPECT_TRUE(ApartmentFullyLeft());
}

TEST_F(LifecycleTest, AWindowThatCannotBeOpenedEndsWithMinusOneAndNoExitRoutines) {
  toolkit.fail_control = kPauseResumeButton;

  EXPECT_EQ(RunProgram(toolkit, apartment), -1);

  EXPECT_THAT(log, ElementsAre("OleInitialize", "create window at 772,382", "create 编辑框1",
                               "create 滑块条_音量", "create 滑块条_速度", "create 按钮_朗读",
                               "destroy window", "error box 无法打开主窗口，程序即将退出。"));
  EXPECT_NE(g_voice, nullptr);

  // The process would end here; the test ends the run in order instead.
  Shutdown();
  EXPECT_EQ(log.back(), "OleUninitialize");
}

TEST_F(LifecycleTest, OleIsLeftOnlyWhenItWasJoined) {
  apartment.fail = true;
  toolkit.user = [this] { toolkit.UserClosesWindow(); };

  EXPECT_EQ(RunProgram(toolkit, apartment), 0);

  // Without OLE the engine's class is not served: the window opens with no
  // voice, and nothing is left that was never joined.
  EXPECT_EQ(log.front(), "OleInitialize failed");
  EXPECT_THAT(log, Not(Contains("OleUninitialize")));
  EXPECT_THAT(log, Not(Contains("create SpVoice")));
  EXPECT_EQ(toolkit.position(kVolumeSlider), 0);
  EXPECT_EQ(toolkit.position(kSpeedSlider), 10);
  EXPECT_TRUE(ApartmentFullyLeft());
}

CallLog* g_routine_log = nullptr;
FakeToolkit* g_routine_toolkit = nullptr;

void FirstRoutine() {
  g_routine_log->push_back("first routine");
  // Shutdown has begun: the window's events no longer reach a handler.
  g_routine_toolkit->UserClicks(kPauseResumeButton);
}
void LastRoutine() {
  g_routine_log->push_back("last routine");
}

TEST_F(LifecycleTest, ExitRoutinesRunInRegistrationOrderOnceWithEventsDropped) {
  g_routine_log = &log;
  g_routine_toolkit = &toolkit;
  RegisterExitRoutine(FirstRoutine);
  toolkit.user = [this] {
    RegisterExitRoutine(LastRoutine);
    toolkit.UserClosesWindow();
  };

  EXPECT_EQ(RunProgram(toolkit, apartment), 0);
  const std::size_t logged = log.size();
  Shutdown();

  EXPECT_THAT(log, ElementsAreArray(Concat({
                       {"OleInitialize"},
                       kOpening,
                       {"show window", "loop", "window closed", "quit 0", "first routine",
                        "release SpVoice (apartment open)", "last routine", "OleUninitialize"},
                   })));
  EXPECT_EQ(log.size(), logged) << "exit routines ran twice";
}

}  // namespace
