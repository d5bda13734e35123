// The Qt tests share one QApplication. They run on the offscreen platform
// unless the environment names another.
#include <gmock/gmock.h>

#include <QApplication>

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
