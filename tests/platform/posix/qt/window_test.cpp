// MainWindow as Qt builds it: frame, geometry and the properties of every
// control.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>
#include <QWindow>
#include <cstdlib>
#include <string>

#include "frame_fit.h"
#include "qt_fixture.h"

namespace {

using QtWindow = QtWindowTest;

TEST_F(QtWindow, OuterSizeIsAsDesignedWithTheFrameSubtracted) {
  QWidget* window = toolkit.window();
  const QMargins frame = window->windowHandle()->frameMargins();
  EXPECT_EQ(window->frameGeometry().size(), QSize(375, 315))
      << "frame " << frame.left() << "," << frame.top() << "," << frame.right() << ","
      << frame.bottom();
  EXPECT_EQ(window->size(),
            QSize(375 - frame.left() - frame.right(), 315 - frame.top() - frame.bottom()));
  // Fixed: the window manager is told it cannot be resized.
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
}

TEST_F(QtWindow, HasTitleIconAndOnlyACloseButton) {
  QWidget* window = toolkit.window();
  EXPECT_EQ(window->windowTitle().toStdString(), "青栎工坊文字转语音工具");
  const QList<QSize> sizes = window->windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
  const Qt::WindowFlags flags = window->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_EQ(window->palette().color(QPalette::Window),
            QApplication::palette().color(QPalette::Button));
}

// The centring tests run this program again on offscreen screens of other
// sizes, naming the corner they expect; by default the offscreen screen is
// 800 x 800.
TEST_F(QtWindow, OpensCentredOnThePrimaryScreen) {
  int left = 212;
  int top = 242;
  if (const char* expected = std::getenv("QINGLI_EXPECTED_ORIGIN")) {
    ASSERT_EQ(std::sscanf(expected, "%d,%d", &left, &top), 2);
  }
  EXPECT_EQ(toolkit.window()->frameGeometry().topLeft(), QPoint(left, top))
      << "screen " << QGuiApplication::primaryScreen()->geometry().width() << "x"
      << QGuiApplication::primaryScreen()->geometry().height();
}

TEST_F(QtWindow, ControlsSitAtTheirClientGeometry) {
  for (int index = 0; index < kMainWindowControlCount; ++index) {
    const ControlDefinition& designed = kMainWindow.controls[static_cast<std::size_t>(index)];
    SCOPED_TRACE(std::string(designed.name));
    QWidget* control = Control(index);
    EXPECT_EQ(control->parentWidget(), toolkit.window());
    EXPECT_EQ(control->geometry(), QRect(designed.bounds.left, designed.bounds.top,
                                         designed.bounds.width, designed.bounds.height));
    EXPECT_TRUE(control->isVisible());
    EXPECT_TRUE(control->isEnabled());
    // No control has a font of its own.
    EXPECT_FALSE(control->testAttribute(Qt::WA_SetFont));
    EXPECT_EQ(control->focusPolicy() != Qt::NoFocus, designed.tab_stop);
  }
}

TEST_F(QtWindow, EditBoxOpensWithTheSampleAtItsTopAndTheCaretFirst) {
  auto* edit = qobject_cast<QPlainTextEdit*>(Control(kEditBox1));
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->toPlainText().toStdString(), kSampleParagraph);
  EXPECT_EQ(edit->textCursor().position(), 0);
  EXPECT_FALSE(edit->textCursor().hasSelection());
  EXPECT_EQ(edit->verticalScrollBar()->value(), 0);
  EXPECT_EQ(QApplication::focusWidget(), edit);
  // Wraps at its width, never scrolls sideways; a vertical bar only.
  EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
  EXPECT_EQ(edit->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_GT(edit->document()->lineCount(), 1) << "the sample wraps onto several lines";
  EXPECT_EQ(edit->frameShadow(), QFrame::Sunken);
  EXPECT_FALSE(edit->isReadOnly());
  EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(Qt::white));
  EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(Qt::black));
}

TEST_F(QtWindow, EditBoxTakesTextOfAnyLength) {
  auto* edit = qobject_cast<QPlainTextEdit*>(Control(kEditBox1));
  const std::string long_text(200000, 'a');
  edit->setPlainText(QString::fromStdString(long_text));
  EXPECT_EQ(toolkit.GetEditText(kEditBox1).size(), long_text.size());
}

TEST_F(QtWindow, EditBoxHidesItsSelectionWithoutTheFocus) {
  auto* edit = qobject_cast<QPlainTextEdit*>(Control(kEditBox1));
  const QPalette palette = edit->palette();
  EXPECT_EQ(palette.color(QPalette::Inactive, QPalette::Highlight),
            palette.color(QPalette::Inactive, QPalette::Base));
  EXPECT_NE(palette.color(QPalette::Active, QPalette::Highlight),
            palette.color(QPalette::Active, QPalette::Base));
}

TEST_F(QtWindow, SlidersHaveTheirRangesAndStepsAndNoTicks) {
  const struct {
    int index;
    int maximum;
  } cases[] = {{kVolumeSlider, 100}, {kSpeedSlider, 20}};
  for (const auto& c : cases) {
    auto* slider = qobject_cast<QSlider*>(Control(c.index));
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->orientation(), Qt::Horizontal);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), c.maximum);
    EXPECT_EQ(slider->singleStep(), 1);
    EXPECT_EQ(slider->pageStep(), 5);
    EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
  }
}

TEST_F(QtWindow, SlidersOpenAtTheVoicesVolumeAndRatePlusTen) {
  // The recording engine starts at volume 100 and rate 0.
  EXPECT_EQ(toolkit.GetSliderPosition(kVolumeSlider), 100);
  EXPECT_EQ(toolkit.GetSliderPosition(kSpeedSlider), 10);
}

TEST_F(QtWindow, ButtonsAreNeverDefaultButtons) {
  for (const int index : {kReadAloudButton, kPauseResumeButton}) {
    auto* button = qobject_cast<QPushButton*>(Control(index));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->autoDefault());
    EXPECT_FALSE(button->isDefault());
  }
  EXPECT_EQ(toolkit.GetCaption(kReadAloudButton), "朗读");
  EXPECT_EQ(toolkit.GetCaption(kPauseResumeButton), "暂停");
}

TEST_F(QtWindow, LabelsAreOneLineLeftAndVerticallyCentredOnButtonFace) {
  const struct {
    int index;
    const char* text;
  } cases[] = {{kLabel1, "音量"}, {kLabel2, "速度"}};
  for (const auto& c : cases) {
    auto* label = qobject_cast<QLabel*>(Control(c.index));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), c.text);
    EXPECT_EQ(label->alignment(), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_FALSE(label->wordWrap());
    EXPECT_TRUE(label->autoFillBackground());
    EXPECT_EQ(label->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Button));
  }
}

TEST(QtFrameFit, ClientAreaIsTheOuterSizeLessTheFrameButHoldsEveryControl) {
  const struct {
    QMargins frame;
    QSize client;
  } cases[] = {
      {QMargins(0, 0, 0, 0), QSize(375, 315)},      // no window manager
      {QMargins(1, 20, 1, 1), QSize(373, 294)},     // a thin frame
      {QMargins(2, 2, 2, 2), QSize(371, 311)},      // the offscreen platform
      {QMargins(7, 27, 8, 8), QSize(360, 280)},     // exactly the controls' extent
      {QMargins(10, 60, 10, 10), QSize(360, 280)},  // taller still: the window grows
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ClientSizeForFrame(QSize(375, 315), c.frame, QSize(360, 280)), c.client)
        << c.frame.left() << "," << c.frame.top() << "," << c.frame.right() << ","
        << c.frame.bottom();
  }
}

}  // namespace
