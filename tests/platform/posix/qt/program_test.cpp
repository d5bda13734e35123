// The whole program on the Qt toolkit: the loop runs until the window is
// closed, and the quit rule ends it with exit code 0.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include "app/global_voice.h"
#include "app/lifecycle.h"
#include "qt_toolkit.h"

namespace {

TEST(QtProgram, ClosingTheWindowEndsTheLoopWithExitCodeZero) {
  const struct {
    const char* how;
    void (*close)(QtToolkit&);
  } cases[] = {
      {"Esc",
       [](QtToolkit& t) {
         QWidget* focus = QApplication::focusWidget();
         QTest::keyClick(focus != nullptr ? focus : t.window(), Qt::Key_Escape);
       }},
      {"the window manager", [](QtToolkit& t) { t.window()->close(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.how);
    QtToolkit toolkit;
    OleApartment apartment;
    bool was_open = false;
    // Runs once the loop has started.
    QTimer::singleShot(0, [&] {
      was_open = toolkit.WindowExists() && toolkit.window()->isVisible();
      c.close(toolkit);
    });
    EXPECT_EQ(RunProgram(toolkit, apartment), 0);
    EXPECT_TRUE(was_open);
    EXPECT_FALSE(toolkit.WindowExists());
    EXPECT_EQ(g_voice, nullptr) << "Shutdown destroyed the voice";
  }
}

}  // namespace
