// The Windows program's entry point: the framework around ProgramEntry.
#include "app/lifecycle.h"
#include "automation.h"
#include "win32_toolkit.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  Win32Toolkit toolkit(instance);
  OleApartment apartment;
  return RunProgram(toolkit, apartment);
}
