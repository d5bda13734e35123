#include "app/lifecycle.h"

#include <string_view>
#include <vector>

#include "app/global_voice.h"
#include "automation.h"
#include "speech/speech_voice.h"
#include "ui/main_window.h"
#include "ui/toolkit.h"
#include "ui/window_host.h"

SpeechVoice* g_voice = nullptr;

namespace {

Toolkit* g_toolkit = nullptr;
OleApartment* g_apartment = nullptr;
bool g_apartment_joined = false;
std::vector<void (*)()> g_exit_routines;
// False until RunMessageLoop begins: a window destroyed before then does
// not ask the loop to end.
bool g_loop_running = false;
WindowHost g_window_host;

// The quit rule: once the last window of the program has gone, a running
// loop ends with code 0.
void OnWindowDestroyed() {
  if (!g_toolkit->WindowExists() && g_loop_running) {
    g_toolkit->PostQuit(0);
  }
}

constexpr std::string_view kNotOpenedText = "无法打开主窗口，程序即将退出。";

}  // namespace

bool OleApartment::Initialize() {
  return SUCCEEDED(OleInitialize(nullptr));
}

void OleApartment::Uninitialize() {
  OleUninitialize();
}

std::int32_t ProgramEntry(Toolkit& toolkit, OleApartment& apartment) {
  g_toolkit = &toolkit;
  g_apartment = &apartment;
  g_loop_running = false;

  // Left again in Shutdown only if joined here, so a failed call never
  // takes back an initialisation that is not ours.
  g_apartment_joined = apartment.Initialize();
  g_voice = new SpeechVoice();
  // Registered before any window exists, so every orderly end destroys the
  // voice.
  RegisterExitRoutine(DestroyGlobalVoice);
  if (!LoadStartupWindow()) {
    toolkit.ShowErrorBox(kMainWindow.title, kNotOpenedText);
    return kExitWindowNotOpened;
  }
  RunMessageLoop();
  return 0;
}

bool LoadStartupWindow() {
  g_window_host.SetDestroyedCallback(OnWindowDestroyed);
  return g_window_host.Open(*g_toolkit, kMainWindow);
}

void RunMessageLoop() {
  g_loop_running = true;
  // The window may have been closed before the loop began; nothing would
  // then ever post the quit message.
  if (!g_toolkit->WindowExists()) {
    return;
  }
  g_toolkit->RunMessageLoop();
}

void Shutdown() {
  g_window_host.DropEvents();
  // A routine may register another; it runs in this same pass.
  for (std::size_t index = 0; index < g_exit_routines.size(); ++index) {
    g_exit_routines[index]();
  }
  g_exit_routines.clear();
  if (g_apartment_joined) {
    g_apartment_joined = false;
    g_apartment->Uninitialize();
  }
}

void DestroyGlobalVoice() {
  // The voice releases the engine's object, then leaves its apartment.
  delete g_voice;
  g_voice = nullptr;
}

void RegisterExitRoutine(void (*routine)()) {
  g_exit_routines.push_back(routine);
}

std::int32_t RunProgram(Toolkit& toolkit, OleApartment& apartment) {
  const std::int32_t exit_code = ProgramEntry(toolkit, apartment);
  if (exit_code != 0) {
    return exit_code;
  }
  Shutdown();
  return 0;
}
