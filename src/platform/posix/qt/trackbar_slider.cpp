#include "trackbar_slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// One notch of a mouse wheel, in eighths of a degree.
constexpr int kWheelNotch = 120;

}  // namespace

TrackbarSlider::TrackbarSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setTickPosition(QSlider::NoTicks);
  setTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  connect(this, &QAbstractSlider::actionTriggered, this, &TrackbarSlider::CountReport);
  // The release after a drag reports once more; QSlider has no action for it.
  connect(this, &QAbstractSlider::sliderReleased, this, &TrackbarSlider::CountReport);
}

void TrackbarSlider::CountReport() {
  if (event_depth_ > 0) {
    ++waiting_reports_;
  } else {
    emit positionReported();
  }
}

bool TrackbarSlider::event(QEvent* event) {
  ++event_depth_;
  const bool handled = QSlider::event(event);
  --event_depth_;
  if (event_depth_ == 0) {
    ReportWaiting();
  }
  return handled;
}

void TrackbarSlider::ReportWaiting() {
  while (waiting_reports_ > 0) {
    --waiting_reports_;
    emit positionReported();
  }
}

void TrackbarSlider::Step(SliderAction action) {
  // The action has moved the value by the time triggerAction returns.
  triggerAction(action);
  ReportWaiting();
}

void TrackbarSlider::keyPressEvent(QKeyEvent* event) {
  SliderAction action = SliderNoAction;
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      action = SliderSingleStepSub;
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      action = SliderSingleStepAdd;
      break;
    case Qt::Key_PageUp:
      action = SliderPageStepSub;
      break;
    case Qt::Key_PageDown:
      action = SliderPageStepAdd;
      break;
    case Qt::Key_Home:
      action = SliderToMinimum;
      break;
    case Qt::Key_End:
      action = SliderToMaximum;
      break;
    default:
      QSlider::keyPressEvent(event);
      return;
  }
  Step(action);
  event->accept();
}

void TrackbarSlider::wheelEvent(QWheelEvent* event) {
  const QPoint angle = event->angleDelta();
  wheel_remainder_ += angle.y() != 0 ? angle.y() : angle.x();
  // Turning the wheel away from the user moves toward the minimum.
  while (wheel_remainder_ >= kWheelNotch) {
    wheel_remainder_ -= kWheelNotch;
    Step(SliderSingleStepSub);
  }
  while (wheel_remainder_ <= -kWheelNotch) {
    wheel_remainder_ += kWheelNotch;
    Step(SliderSingleStepAdd);
  }
  event->accept();
}

void TrackbarSlider::mousePressEvent(QMouseEvent* event) {
  // Only the left button drags the thumb or pages toward the click.
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  QSlider::mousePressEvent(event);
}
