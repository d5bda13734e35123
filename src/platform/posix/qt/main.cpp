// The Linux program: Qt's start-up, the voice engine's registration, then
// the program's own lifecycle.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "app/lifecycle.h"
#include "display_check.h"
#include "qt_toolkit.h"

#ifdef QINGLI_HAS_VOICE_ENGINE
#include "platform/posix/voice/voice_registration.h"
#endif

int main(int argc, char** argv) {
  // Qt aborts when it cannot open a display; the user gets one line instead.
  if (!DisplayConfigured(std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
                         std::getenv("WAYLAND_DISPLAY"))) {
    std::fprintf(stderr, "%s\n", kNoDisplayMessage);
    return 255;
  }
  BeginStartupGuard();
  QApplication application(argc, argv);
  EndStartupGuard();
  // Some platforms (linuxfb without its device) start without any screen
  // instead of failing; the window has nowhere to open then.
  if (QGuiApplication::primaryScreen() == nullptr) {
    std::fprintf(stderr, "%s\n", kNoDisplayMessage);
    return 255;
  }
  // Only the program's quit rule ends the loop.
  QApplication::setQuitOnLastWindowClosed(false);

#ifdef QINGLI_HAS_VOICE_ENGINE
  RegisterSpeechVoiceClass();
#endif
  std::int32_t exit_code = 0;
  {
    QtToolkit toolkit;
    OleApartment apartment;
    exit_code = RunProgram(toolkit, apartment);
  }
#ifdef QINGLI_HAS_VOICE_ENGINE
  RevokeSpeechVoiceClass();
#endif
  return exit_code;
}
