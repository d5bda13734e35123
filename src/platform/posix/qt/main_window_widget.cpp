#include "main_window_widget.h"

#include <QCloseEvent>
#include <QWindow>
#include <utility>

#include "frame_fit.h"

MainWindowWidget::MainWindowWidget(QSize outer_size, QSize controls_extent,
                                   std::function<void()> on_closed)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      outer_size_(outer_size),
      controls_extent_(controls_extent),
      on_closed_(std::move(on_closed)) {
  // Until a frame is known the client area takes the whole outer size,
  // which is right where no window manager draws one.
  setFixedSize(ClientSizeForFrame(outer_size_, QMargins(), controls_extent_));
}

bool MainWindowWidget::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::WindowStateChange:
      // A window manager adds its frame after the window is mapped, and
      // says how big only then.
      FitToFrame();
      break;
    default:
      break;
  }
  return handled;
}

void MainWindowWidget::FitToFrame() {
  const QWindow* native = windowHandle();
  if (native == nullptr || !isVisible()) {
    return;
  }
  const QSize client = ClientSizeForFrame(outer_size_, native->frameMargins(), controls_extent_);
  if (client != size()) {
    setFixedSize(client);
  }
}

void MainWindowWidget::closeEvent(QCloseEvent* event) {
  // Closing never asks anything and never waits for the voice.
  event->accept();
  hide();
  on_closed_();
}
