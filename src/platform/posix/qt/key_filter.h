// The window's own keys, looked at before the focused control gets them:
// Tab and Shift+Tab move the focus through the tab stops, Esc closes the
// window, Enter goes only to the edit box. Each acts only when no other
// modifier is held; every other key goes on to the focused control.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

class KeyFilter final : public QObject {
  Q_OBJECT

 public:
  // tab_stops in tab order; edit_box receives Enter.
  KeyFilter(QWidget* window, std::vector<QWidget*> tab_stops, QWidget* edit_box);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MoveFocus(QWidget* from, bool forward);

  QPointer<QWidget> window_;
  std::vector<QWidget*> tab_stops_;
  QWidget* edit_box_;
};
