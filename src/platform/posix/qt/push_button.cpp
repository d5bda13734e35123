#include "push_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

PushButton::PushButton(QWidget* parent) : QPushButton(parent) {
  setAutoDefault(false);
  setDefault(false);
  setFocusPolicy(Qt::StrongFocus);
}

void PushButton::paintEvent(QPaintEvent*) {
  // The style draws the button without its caption; the caption is drawn
  // here, since QPushButton itself never wraps.
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  const QString caption = option.text;
  option.text.clear();
  painter.drawControl(QStyle::CE_PushButton, option);
  const QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  painter.drawItemText(area, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic,
                       option.palette, isEnabled(), caption, QPalette::ButtonText);
}
