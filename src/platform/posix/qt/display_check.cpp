#include "display_check.h"

#include <QtGlobal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

bool IsSet(const char* value) {
  return value != nullptr && *value != '\0';
}

QtMessageHandler previous_handler = nullptr;

void StartupMessageHandler(QtMsgType type, const QMessageLogContext&, const QString&) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s\n", kNoDisplayMessage);
    std::fflush(stderr);
    // Nothing of the program has started yet: no voice, no apartment.
    std::_Exit(255);
  }
}

}  // namespace

bool DisplayConfigured(const char* qpa_platform, const char* display, const char* wayland_display) {
  if (IsSet(qpa_platform)) {
    const std::string_view platform(qpa_platform);
    // Platforms that draw into memory or onto a device, not to a server.
    for (std::string_view headless : {"offscreen", "minimal", "vnc", "linuxfb", "eglfs"}) {
      if (platform.substr(0, headless.size()) == headless) {
        return true;
      }
    }
  }
  return IsSet(display) || IsSet(wayland_display);
}

void BeginStartupGuard() {
  previous_handler = qInstallMessageHandler(StartupMessageHandler);
}

void EndStartupGuard() {
  qInstallMessageHandler(previous_handler);
}
