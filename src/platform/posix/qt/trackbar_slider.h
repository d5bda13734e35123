// A horizontal slider that moves and reports as a Windows trackbar does:
// Left and Up step toward the minimum, Right and Down toward the maximum,
// Page Up and Page Down by a page the same ways, Home and End to the ends, a
// click beside the thumb a page toward the click, one wheel notch one step.
#pragma once

#include <QSlider>

class TrackbarSlider final : public QSlider {
  Q_OBJECT

 public:
  explicit TrackbarSlider(QWidget* parent);

 signals:
  // Every step, drag step, jump and drag release of the user's, after the
  // slider has taken its new position; also when the position stayed the
  // same. The end of a scroll and the program's own writes report nothing.
  void positionReported();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void CountReport();
  void ReportWaiting();
  // One step of the keyboard or the wheel, reported at once.
  void Step(SliderAction action);

  // Reports wait until the event that caused them has been handled in
  // full: QSlider announces an action before it moves the value.
  int event_depth_ = 0;
  int waiting_reports_ = 0;
  int wheel_remainder_ = 0;
};
