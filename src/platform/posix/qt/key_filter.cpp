#include "key_filter.h"

#include <QKeyEvent>
#include <algorithm>
#include <utility>

KeyFilter::KeyFilter(QWidget* window, std::vector<QWidget*> tab_stops, QWidget* edit_box)
    : QObject(window), window_(window), tab_stops_(std::move(tab_stops)), edit_box_(edit_box) {}

bool KeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || window_ == nullptr || !watched->isWidgetType()) {
    return false;
  }
  auto* target = static_cast<QWidget*>(watched);
  if (target->window() != window_) {
    return false;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  // The keypad's Enter carries the keypad modifier; it is still Enter.
  const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
  switch (key->key()) {
    case Qt::Key_Tab:
      if (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier) {
        MoveFocus(target, modifiers == Qt::NoModifier);
        return true;
      }
      return false;
    case Qt::Key_Backtab:
      if (modifiers == Qt::ShiftModifier) {
        MoveFocus(target, false);
        return true;
      }
      return false;
    case Qt::Key_Escape:
      if (modifiers == Qt::NoModifier) {
        window_->close();
        return true;
      }
      return false;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Neither button is a default button, and Enter moves no focus.
      return modifiers == Qt::NoModifier && target != edit_box_;
    default:
      return false;
  }
}

void KeyFilter::MoveFocus(QWidget* from, bool forward) {
  const auto count = static_cast<std::ptrdiff_t>(tab_stops_.size());
  const auto found = std::find(tab_stops_.begin(), tab_stops_.end(), from);
  std::ptrdiff_t next = 0;
  if (found != tab_stops_.end()) {
    const std::ptrdiff_t at = found - tab_stops_.begin();
    next = (at + (forward ? 1 : count - 1)) % count;
  } else if (!forward) {
    next = count - 1;
  }
  QWidget* stop = tab_stops_[static_cast<std::size_t>(next)];
  stop->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}
