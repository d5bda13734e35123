// What the sliders report, and when: every user action but the end of a
// scroll, after the new position is in place, changed or not.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QSlider>
#include <QStyleOptionSlider>
#include <QWheelEvent>
#include <string>

#include "qt_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

using QtSlider = QtWindowTest;

QRect ThumbRect(QSlider* slider) {
  QStyleOptionSlider option;
  option.initFrom(slider);
  option.orientation = slider->orientation();
  option.minimum = slider->minimum();
  option.maximum = slider->maximum();
  option.sliderPosition = slider->sliderPosition();
  option.sliderValue = slider->value();
  option.subControls = QStyle::SC_All;
  return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                         slider);
}

void Wheel(QSlider* slider, int delta) {
  const QPointF at = slider->rect().center();
  QWheelEvent event(at, slider->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(slider, &event);
}

TEST_F(QtSlider, KeysMoveAsATrackbarAndEveryPressReports) {
  const struct {
    int slider;
    int start;
    Qt::Key key;
    const char* call;
  } cases[] = {
      {kVolumeSlider, 50, Qt::Key_Left, "put Volume 49"},
      {kVolumeSlider, 50, Qt::Key_Up, "put Volume 49"},
      {kVolumeSlider, 50, Qt::Key_Right, "put Volume 51"},
      {kVolumeSlider, 50, Qt::Key_Down, "put Volume 51"},
      {kVolumeSlider, 50, Qt::Key_PageUp, "put Volume 45"},
      {kVolumeSlider, 50, Qt::Key_PageDown, "put Volume 55"},
      {kVolumeSlider, 50, Qt::Key_Home, "put Volume 0"},
      {kVolumeSlider, 50, Qt::Key_End, "put Volume 100"},
      {kVolumeSlider, 3, Qt::Key_PageUp, "put Volume 0"},
      // At an end already: the position stays, and is still reported.
      {kVolumeSlider, 0, Qt::Key_Home, "put Volume 0"},
      {kVolumeSlider, 0, Qt::Key_Left, "put Volume 0"},
      {kVolumeSlider, 100, Qt::Key_End, "put Volume 100"},
      {kSpeedSlider, 10, Qt::Key_Left, "put Rate -1"},
      {kSpeedSlider, 10, Qt::Key_PageDown, "put Rate 5"},
      {kSpeedSlider, 10, Qt::Key_Home, "put Rate -10"},
      {kSpeedSlider, 10, Qt::Key_End, "put Rate 10"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.call);
    toolkit.SetSliderPosition(c.slider, c.start);
    Control(c.slider)->setFocus();
    log.clear();
    Press(c.key);
    EXPECT_THAT(log, ElementsAre(c.call));
  }
}

TEST_F(QtSlider, TheProgramsOwnWritesReportNothingAndAreHeldInRange) {
  toolkit.SetSliderPosition(kVolumeSlider, 42);
  EXPECT_EQ(toolkit.GetSliderPosition(kVolumeSlider), 42);
  toolkit.SetSliderPosition(kVolumeSlider, 150);
  EXPECT_EQ(toolkit.GetSliderPosition(kVolumeSlider), 100);
  toolkit.SetSliderPosition(kSpeedSlider, -4);
  EXPECT_EQ(toolkit.GetSliderPosition(kSpeedSlider), 0);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(QtSlider, AClickBesideTheThumbPagesTowardTheClickOnce) {
  auto* slider = qobject_cast<QSlider*>(Control(kVolumeSlider));
  toolkit.SetSliderPosition(kVolumeSlider, 50);
  const QRect thumb = ThumbRect(slider);
  QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier,
                    QPoint(slider->width() - 4, thumb.center().y()));
  QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(4, thumb.center().y()));
  QTest::mouseClick(slider, Qt::LeftButton, Qt::NoModifier, QPoint(4, thumb.center().y()));
  // The release ends the scroll and reports nothing more.
  EXPECT_THAT(log, ElementsAre("put Volume 55", "put Volume 50", "put Volume 45"));
}

TEST_F(QtSlider, OtherMouseButtonsDoNothing) {
  auto* slider = qobject_cast<QSlider*>(Control(kVolumeSlider));
  toolkit.SetSliderPosition(kVolumeSlider, 50);
  QTest::mouseClick(slider, Qt::MiddleButton, Qt::NoModifier, QPoint(4, slider->height() / 2));
  QTest::mouseClick(slider, Qt::RightButton, Qt::NoModifier, QPoint(4, slider->height() / 2));
  EXPECT_EQ(toolkit.GetSliderPosition(kVolumeSlider), 50);
  EXPECT_THAT(log, IsEmpty());
}

TEST_F(QtSlider, ADragReportsEachStepAndTheReleaseButNotTheEnd) {
  auto* slider = qobject_cast<QSlider*>(Control(kSpeedSlider));
  toolkit.SetSliderPosition(kSpeedSlider, 10);
  const QPoint grab = ThumbRect(slider).center();
  QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, grab);
  EXPECT_THAT(log, IsEmpty()) << "pressing the thumb moves nothing";
  QTest::mouseMove(slider, grab + QPoint(40, 0));
  const int after_first = toolkit.GetSliderPosition(kSpeedSlider);
  QTest::mouseMove(slider, grab + QPoint(80, 0));
  const int after_second = toolkit.GetSliderPosition(kSpeedSlider);
  QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, grab + QPoint(80, 0));

  ASSERT_GT(after_first, 10);
  ASSERT_GT(after_second, after_first);
  // Each report carries the position the slider had just taken.
  EXPECT_THAT(log, ElementsAre("put Rate " + std::to_string(after_first - 10),
                               "put Rate " + std::to_string(after_second - 10),
                               "put Rate " + std::to_string(after_second - 10)));
}

TEST_F(QtSlider, OneWheelNotchIsOneStep) {
  auto* slider = qobject_cast<QSlider*>(Control(kVolumeSlider));
  toolkit.SetSliderPosition(kVolumeSlider, 50);
  Wheel(slider, 120);   // away from the user: toward the minimum
  Wheel(slider, -120);  // toward the user
  Wheel(slider, -240);  // two notches at once
  Wheel(slider, 60);    // half a notch moves nothing yet
  Wheel(slider, 60);
  EXPECT_THAT(log, ElementsAre("put Volume 49", "put Volume 50", "put Volume 51", "put Volume 52",
                               "put Volume 51"));
}

}  // namespace
