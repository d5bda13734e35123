#include "qt_toolkit.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>

#include "key_filter.h"
#include "main_window_widget.h"
#include "push_button.h"
#include "trackbar_slider.h"
#include "ui/window_geometry.h"

namespace {

QString FromUtf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QIcon ProgramIcon() {
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 256}) {
    icon.addFile(QStringLiteral(":/icons/qingli-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

// The system's button face, which the window and its labels are filled
// with, as Windows fills a dialog.
QColor ButtonFace() {
  return QApplication::palette().color(QPalette::Active, QPalette::Button);
}

}  // namespace

QtToolkit::QtToolkit() = default;

QtToolkit::~QtToolkit() {
  QWidget* window = window_;
  ReleaseWindow();
  delete window;
  // A closed window is deleted by the event loop; one left over from a loop
  // that ended first goes here.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QWidget* QtToolkit::window() const {
  return window_;
}

QWidget* QtToolkit::control(int index) const {
  return controls_.at(static_cast<std::size_t>(index));
}

std::int32_t QtToolkit::GetSliderPosition(int control) {
  return static_cast<QSlider*>(this->control(control))->sliderPosition();
}

void QtToolkit::SetSliderPosition(int control, std::int32_t position) {
  // QSlider holds the value within its range; only the user's actions
  // report a position, so this raises nothing.
  static_cast<QSlider*>(this->control(control))->setValue(position);
}

std::string QtToolkit::GetEditText(int control) {
  return static_cast<QPlainTextEdit*>(this->control(control))->toPlainText().toStdString();
}

std::string QtToolkit::GetCaption(int control) {
  return static_cast<QPushButton*>(this->control(control))->text().toStdString();
}

void QtToolkit::SetCaption(int control, std::string_view caption) {
  auto* button = static_cast<QPushButton*>(this->control(control));
  button->setText(FromUtf8(caption));
  button->repaint();
}

WindowSize QtToolkit::GetPrimaryScreenSize() {
  const QSize size = QGuiApplication::primaryScreen()->geometry().size();
  return {size.width(), size.height()};
}

bool QtToolkit::CreateMainWindow(const WindowDefinition& definition, ScreenPoint position,
                                 ToolkitEvents& events) {
  definition_ = &definition;
  events_ = &events;
  const WindowSize extent = ControlsExtent(definition);
  window_ = new MainWindowWidget(QSize(definition.outer_size.width, definition.outer_size.height),
                                 QSize(extent.width, extent.height), [this] { OnWindowClosed(); });
  window_->setWindowTitle(FromUtf8(definition.title));
  window_->setWindowIcon(ProgramIcon());
  QPalette palette = window_->palette();
  palette.setColor(QPalette::Window, ButtonFace());
  window_->setPalette(palette);
  window_->setAutoFillBackground(true);
  // The position is relative to the primary screen, which need not be at
  // the origin of the desktop.
  const QPoint origin = QGuiApplication::primaryScreen()->geometry().topLeft();
  window_->move(origin + QPoint(position.x, position.y));
  controls_.assign(definition.controls.size(), nullptr);
  return true;
}

bool QtToolkit::CreateControl(int index, const ControlDefinition& control) {
  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::kEditBox:
      widget = CreateEditBox(control);
      break;
    case ControlKind::kSlider:
      widget = CreateSlider(index, control);
      break;
    case ControlKind::kPushButton:
      widget = CreatePushButton(index, control);
      break;
    case ControlKind::kLabel:
      widget = CreateLabel(control);
      break;
  }
  widget->setObjectName(FromUtf8(control.name));
  widget->setGeometry(control.bounds.left, control.bounds.top, control.bounds.width,
                      control.bounds.height);
  if (!control.tab_stop) {
    widget->setFocusPolicy(Qt::NoFocus);
  }
  widget->hide();
  controls_.at(static_cast<std::size_t>(index)) = widget;
  return true;
}

QWidget* QtToolkit::CreateEditBox(const ControlDefinition& control) {
  auto* edit = new QPlainTextEdit(window_);
  edit->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  edit->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  QPalette palette = edit->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    palette.setColor(group, QPalette::Base, Qt::white);
    palette.setColor(group, QPalette::Text, Qt::black);
  }
  // Without the focus the selection is drawn in the inactive colours: made
  // the box's own, it is hidden until the focus comes back.
  palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::white);
  palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
  edit->setPalette(palette);
  edit->setPlainText(FromUtf8(control.text));
  // The caret before the first character, nothing selected, the top shown.
  edit->moveCursor(QTextCursor::Start);
  edit->verticalScrollBar()->setValue(0);
  return edit;
}

QWidget* QtToolkit::CreateSlider(int index, const ControlDefinition& control) {
  auto* slider = new TrackbarSlider(window_);
  // The range first, so the designed position is held within it.
  slider->setRange(control.range.minimum, control.range.maximum);
  slider->setSingleStep(control.range.line_step);
  slider->setPageStep(control.range.page_step);
  slider->setValue(control.range.position);
  QObject::connect(slider, &TrackbarSlider::positionReported, slider,
                   [this, index] { events_->OnEvent(index, WindowEvent::kPositionChanged); });
  return slider;
}

QWidget* QtToolkit::CreatePushButton(int index, const ControlDefinition& control) {
  auto* button = new PushButton(window_);
  button->setText(FromUtf8(control.text));
  QObject::connect(button, &QPushButton::clicked, button,
                   [this, index] { events_->OnEvent(index, WindowEvent::kClicked); });
  return button;
}

QWidget* QtToolkit::CreateLabel(const ControlDefinition& control) {
  auto* label = new QLabel(FromUtf8(control.text), window_);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setWordWrap(false);
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, ButtonFace());
  palette.setColor(QPalette::WindowText, Qt::black);
  label->setPalette(palette);
  label->setAutoFillBackground(true);
  return label;
}

void QtToolkit::ShowControls() {
  for (QWidget* widget : controls_) {
    widget->show();
  }
  std::vector<QWidget*> tab_stops;
  for (std::size_t index = 0; index < controls_.size(); ++index) {
    if (definition_->controls[index].tab_stop) {
      tab_stops.push_back(controls_[index]);
    }
  }
  key_filter_ = new KeyFilter(window_, tab_stops, controls_.front());
  qApp->installEventFilter(key_filter_);
  // The focus waits in the first tab stop for the window's activation.
  if (!tab_stops.empty()) {
    tab_stops.front()->setFocus(Qt::OtherFocusReason);
  }
}

void QtToolkit::ShowMainWindow() {
  window_->show();
  window_->raise();
  window_->activateWindow();
}

void QtToolkit::DestroyMainWindow() {
  QWidget* window = window_;
  ReleaseWindow();
  delete window;
}

bool QtToolkit::WindowExists() {
  return window_ != nullptr;
}

void QtToolkit::RunMessageLoop() {
  QApplication::exec();
}

void QtToolkit::PostQuit(std::int32_t exit_code) {
  QCoreApplication::exit(exit_code);
}

void QtToolkit::ShowErrorBox(std::string_view title, std::string_view text) {
  QMessageBox::critical(nullptr, FromUtf8(title), FromUtf8(text));
}

void QtToolkit::OnWindowClosed() {
  // The window goes at once for the program; Qt deletes the widget once the
  // event that closed it has been handled.
  QWidget* closed = window_;
  ReleaseWindow();
  closed->deleteLater();
  events_->OnWindowDestroyed();
}

void QtToolkit::ReleaseWindow() {
  if (key_filter_ != nullptr) {
    qApp->removeEventFilter(key_filter_);
    key_filter_ = nullptr;
  }
  controls_.clear();
  window_ = nullptr;
}
