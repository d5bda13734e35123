// A push button whose caption is centred both ways and wraps onto further
// lines when it is too wide. It is never a default button, so Enter does
// not press it.
#pragma once

#include <QPushButton>

class PushButton final : public QPushButton {
  Q_OBJECT

 public:
  explicit PushButton(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
