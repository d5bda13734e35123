// The program from the framework's call of ProgramEntry to its exit code:
// start-up, the message loop and the orderly end.
#pragma once

#include <cstdint>

class Toolkit;

// The user-interface thread's OLE apartment. Tests put in one of their own
// to watch when the apartment is joined and left.
class OleApartment {
 public:
  virtual ~OleApartment() = default;
  // OleInitialize; true when it succeeded (joined, or already in).
  virtual bool Initialize();
  virtual void Uninitialize();
};

// The exit code when the window cannot be opened (all 32 bits set).
inline constexpr std::int32_t kExitWindowNotOpened = -1;

// Start-up, then the message loop. Returns 0 once the loop has ended, or
// kExitWindowNotOpened after an error box when the window could not be
// opened; the exit routines have not run then.
std::int32_t ProgramEntry(Toolkit& toolkit, OleApartment& apartment);

// Opens MainWindow; returns once it has been shown (or closed again by its
// created handler). False when it could not be opened.
bool LoadStartupWindow();
// Runs the loop until the quit message; returns at once when no window is
// left to wait for.
void RunMessageLoop();
// Drops every further event, runs the exit routines in order and forgets
// them, then leaves OLE if start-up joined it.
void Shutdown();

// The exit routine that start-up registers.
void DestroyGlobalVoice();
void RegisterExitRoutine(void (*routine)());

// What the framework does once its own start-up is done: ProgramEntry, then
// Shutdown after a normal end. Returns the process exit code.
std::int32_t RunProgram(Toolkit& toolkit, OleApartment& apartment);
