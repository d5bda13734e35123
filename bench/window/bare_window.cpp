// The yardstick for the program's start-up: a plain Qt window with the same
// seven widgets at the same places, and nothing else.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("bare window"));
  window.setFixedSize(375, 315);
  auto* edit = new QPlainTextEdit(QStringLiteral("欢迎使用本工具。"), &window);
  edit->setGeometry(10, 10, 350, 195);
  auto* volume = new QSlider(Qt::Horizontal, &window);
  volume->setGeometry(45, 215, 210, 30);
  volume->setRange(0, 100);
  auto* speed = new QSlider(Qt::Horizontal, &window);
  speed->setGeometry(45, 250, 210, 30);
  speed->setRange(0, 20);
  auto* read = new QPushButton(QStringLiteral("朗读"), &window);
  read->setGeometry(260, 215, 100, 30);
  auto* pause = new QPushButton(QStringLiteral("暂停"), &window);
  pause->setGeometry(260, 250, 100, 30);
  auto* volume_label = new QLabel(QStringLiteral("音量"), &window);
  volume_label->setGeometry(10, 215, 30, 30);
  auto* speed_label = new QLabel(QStringLiteral("速度"), &window);
  speed_label->setGeometry(10, 250, 30, 30);
  window.show();
  return QApplication::exec();
}
