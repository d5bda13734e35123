// The window's own keys and the focus, as the keyboard sends them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <string>
#include <vector>

#include "qt_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using QtKeys = QtWindowTest;

std::string FocusName() {
  QWidget* focus = QApplication::focusWidget();
  return focus == nullptr ? "<none>" : focus->objectName().toStdString();
}

TEST_F(QtKeys, TabAndShiftTabCycleThroughTheFiveTabStops) {
  const std::string text_before = toolkit.GetEditText(kEditBox1);
  std::vector<std::string> forward;
  for (int press = 0; press < 5; ++press) {
    Press(Qt::Key_Tab);
    forward.push_back(FocusName());
  }
  EXPECT_THAT(forward,
              ElementsAre("滑块条_音量", "滑块条_速度", "按钮_朗读", "按钮_暂停", "编辑框1"));
  std::vector<std::string> backward;
  for (int press = 0; press < 5; ++press) {
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    backward.push_back(FocusName());
  }
  EXPECT_THAT(backward,
              ElementsAre("按钮_暂停", "按钮_朗读", "滑块条_速度", "滑块条_音量", "编辑框1"));
  // Shift+Tab as some keyboards send it: Tab with Shift held.
  Press(Qt::Key_Tab, Qt::ShiftModifier);
  EXPECT_EQ(FocusName(), "按钮_暂停");
  // Tab never reached the edit box, and nothing reached the voice.
  EXPECT_EQ(toolkit.GetEditText(kEditBox1), text_before);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(QtKeys, TabWithAnotherModifierGoesToTheFocusedControl) {
  Control(kVolumeSlider)->setFocus();
  Press(Qt::Key_Tab, Qt::ControlModifier);
  Press(Qt::Key_Tab, Qt::AltModifier);
  EXPECT_EQ(FocusName(), "滑块条_音量");
}

TEST_F(QtKeys, EscClosesTheWindowFromAnyControl) {
  for (const int focused : {kEditBox1, kSpeedSlider, kPauseResumeButton}) {
    SCOPED_TRACE(focused);
    WindowHost case_host;
    case_host.SetDestroyedCallback(&QtWindowTest::CountDestroyed);
    QtToolkit case_toolkit;
    ASSERT_TRUE(case_host.Open(case_toolkit, kMainWindow));
    ASSERT_TRUE(QTest::qWaitForWindowActive(case_toolkit.window()));
    case_toolkit.control(focused)->setFocus();
    destroyed_count = 0;

    QTest::keyClick(case_toolkit.control(focused), Qt::Key_Escape);

    EXPECT_FALSE(case_toolkit.WindowExists());
    EXPECT_EQ(destroyed_count, 1);
    case_host.DropEvents();
  }
}

TEST_F(QtKeys, EscWithAnotherModifierDoesNotClose) {
  Press(Qt::Key_Escape, Qt::AltModifier);
  Press(Qt::Key_Escape, Qt::ControlModifier);
  EXPECT_TRUE(toolkit.WindowExists());
  EXPECT_EQ(destroyed_count, 0);
}

TEST_F(QtKeys, EnterStartsANewLineInTheEditBoxAndDoesNothingElsewhere) {
  auto* edit = qobject_cast<QPlainTextEdit*>(Control(kEditBox1));
  edit->setPlainText(QStringLiteral("第一行"));
  edit->moveCursor(QTextCursor::End);
  Press(Qt::Key_Return);
  QTest::keyClicks(edit, QStringLiteral("b"));
  EXPECT_EQ(toolkit.GetEditText(kEditBox1), "第一行\nb");

  for (const int focused : {kVolumeSlider, kReadAloudButton, kPauseResumeButton}) {
    Control(focused)->setFocus();
    Press(Qt::Key_Return);
    Press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(QApplication::focusWidget(), Control(focused));
  }
  EXPECT_THAT(log, IsEmpty());
  EXPECT_EQ(toolkit.GetCaption(kPauseResumeButton), "暂停");
}

TEST_F(QtKeys, SpaceClicksTheFocusedButton) {
  Control(kPauseResumeButton)->setFocus();
  Press(Qt::Key_Space);
  EXPECT_EQ(toolkit.GetCaption(kPauseResumeButton), "恢复");
  Control(kReadAloudButton)->setFocus();
  Press(Qt::Key_Space);
  EXPECT_THAT(log, ElementsAre("Pause", "Speak " + std::string(kSampleParagraph) + " 1"));
}

TEST_F(QtKeys, OtherKeysReachTheFocusedControl) {
  auto* edit = qobject_cast<QPlainTextEdit*>(Control(kEditBox1));
  edit->clear();
  QTest::keyClicks(edit, QStringLiteral("ab c"));
  Press(Qt::Key_Backspace);
  EXPECT_EQ(toolkit.GetEditText(kEditBox1), "ab ");
}

TEST_F(QtKeys, SwitchingAwayAndBackReturnsTheFocus) {
  Control(kSpeedSlider)->setFocus();
  QWidget other;
  other.setWindowTitle(QStringLiteral("other"));
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  EXPECT_NE(QApplication::focusWidget(), Control(kSpeedSlider));

  toolkit.window()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(toolkit.window()));
  EXPECT_EQ(FocusName(), "滑块条_速度");
}

TEST_F(QtKeys, ClosingTheWindowDestroysItAtOnce) {
  toolkit.window()->close();
  EXPECT_FALSE(toolkit.WindowExists());
  EXPECT_EQ(destroyed_count, 1);
}

}  // namespace
