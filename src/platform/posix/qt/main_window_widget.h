// The program's top-level window on Qt: a fixed frame without minimise and
// maximise buttons, whose outer size stays as designed once the window
// manager's frame is known, and which is destroyed as soon as it is closed.
#pragma once

#include <QSize>
#include <QWidget>
#include <functional>

class MainWindowWidget final : public QWidget {
  Q_OBJECT

 public:
  // outer_size includes the frame; controls_extent is the smallest client
  // area that shows every control whole.
  MainWindowWidget(QSize outer_size, QSize controls_extent, std::function<void()> on_closed);

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void FitToFrame();

  QSize outer_size_;
  QSize controls_extent_;
  std::function<void()> on_closed_;
};
