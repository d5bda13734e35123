// Whether Qt has any display to open, decided before QApplication exists:
// without one Qt's own start-up would abort the process.
#pragma once

// True when QT_QPA_PLATFORM names a platform that needs no display server,
// or when DISPLAY or WAYLAND_DISPLAY is set. Takes the three variables'
// values (null when unset).
bool DisplayConfigured(const char* qpa_platform, const char* display, const char* wayland_display);

// Makes a fatal failure of Qt's platform start-up end the process quietly
// with the exit status 255 after one line on stderr, instead of an abort.
// Messages Qt prints meanwhile are held back. Undone by EndStartupGuard.
void BeginStartupGuard();
void EndStartupGuard();

// The one line printed when no display could be opened.
inline constexpr const char* kNoDisplayMessage =
    "qingli-tts: no display could be opened (is DISPLAY or WAYLAND_DISPLAY set?)";
