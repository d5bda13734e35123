// Drives the Windows program from outside, as a user and a screen reader
// would see it: finds its window, reads the controls through their own
// messages, types with SendInput and watches the focus, the captions and the
// calls that reached the recording voice.
//
//   window_probe <scenario> <program> <voice log> <screen width> <screen height>
//
// where the scenario is layout, keys, voice (all three with the recording
// voice), no-voice (a voice that cannot be created or answers nothing) or
// no-window (run where no window can be created).
//
// Prints every failed check and exits with 1 if there was one.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

#include "ui/main_window.h"
#include "text/utf.h"

namespace {

constexpr wchar_t kTitle[] = L"青栎工坊文字转语音工具";
constexpr wchar_t kPauseCaption[] = L"暂停";
constexpr wchar_t kResumeCaption[] = L"恢复";
constexpr DWORD kPatienceMs = 10000;

int g_failures = 0;

std::string Narrow(const std::wstring& text) {
  std::optional<std::string> narrow =
      NarrowUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
  return narrow ? *narrow : "?";
}

std::wstring Wide(std::string_view text) {
  std::optional<std::u16string> wide = WidenUtf8(text);
  return wide ? std::wstring(wide->begin(), wide->end()) : L"";
}

void Fail(const std::string& what) {
  ++g_failures;
  std::printf("FAIL: %s\n", what.c_str());
  std::fflush(stdout);
}

void Check(bool ok, const std::string& what) {
  if (!ok) {
    Fail(what);
  }
}

void CheckEqual(long long actual, long long expected, const std::string& what) {
  if (actual != expected) {
    Fail(what + ": " + std::to_string(actual) + ", expected " + std::to_string(expected));
  }
}

void CheckText(const std::wstring& actual, const std::wstring& expected, const std::string& what) {
  if (actual != expected) {
    Fail(what + ": \"" + Narrow(actual) + "\", expected \"" + Narrow(expected) + "\"");
  }
}

bool WaitFor(const std::function<bool()>& condition, DWORD patience_ms = kPatienceMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > patience_ms) {
      return false;
    }
    Sleep(20);
  }
  return true;
}

// --- Reading the window ------------------------------------------------------

std::wstring TextOf(HWND window) {
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(copied));
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[256] = {};
  GetClassNameW(window, name, 256);
  return name;
}

// A window's outer rectangle relative to its parent's client area.
RECT RectInParent(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// The children in creation order, which is their z-order from the top.
std::vector<HWND> ChildrenOf(HWND window) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) {
    return nullptr;
  }
  return info.hwndFocus;
}

int SliderPosition(HWND slider) {
  return static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0));
}

COLORREF ScreenPixel(HWND window, int x, int y) {
  POINT point{x, y};
  ClientToScreen(window, &point);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, point.x, point.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

// --- Typing ------------------------------------------------------------------

void SendKeys(std::initializer_list<WORD> held, WORD key) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD virtual_key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtual_key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  for (WORD modifier : held) {
    add(modifier, false);
  }
  add(key, false);
  add(key, true);
  for (auto it = std::rbegin(held); it != std::rend(held); ++it) {
    add(*it, true);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void Press(WORD key) {
  SendKeys({}, key);
}

// A rectangle that a control writes into memory it is given: the memory is
// lent from the control's own process.
RECT RemoteRect(HWND control, UINT message) {
  RECT rect{};
  DWORD process_id = 0;
  GetWindowThreadProcessId(control, &process_id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (process == nullptr) {
    return rect;
  }
  void* remote = VirtualAllocEx(process, nullptr, sizeof rect, MEM_COMMIT, PAGE_READWRITE);
  if (remote != nullptr) {
    SendMessageW(control, message, 0, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &rect, sizeof rect, nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return rect;
}

void SendMouseButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

// Drags a slider's thumb to the right by distance pixels, a few pixels at a
// time, and lets go.
void DragThumb(HWND slider, int distance) {
  const RECT thumb = RemoteRect(slider, TBM_GETTHUMBRECT);
  POINT point{(thumb.left + thumb.right) / 2, (thumb.top + thumb.bottom) / 2};
  ClientToScreen(slider, &point);
  SetCursorPos(point.x, point.y);
  Sleep(50);
  SendMouseButton(MOUSEEVENTF_LEFTDOWN);
  for (int moved = 5; moved <= distance; moved += 5) {
    Sleep(50);
    SetCursorPos(point.x + moved, point.y);
  }
  Sleep(50);
  SendMouseButton(MOUSEEVENTF_LEFTUP);
}

void ClickCentre(HWND control) {
  RECT rect;
  GetWindowRect(control, &rect);
  SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  Sleep(50);
  SendMouseButton(MOUSEEVENTF_LEFTDOWN);
  SendMouseButton(MOUSEEVENTF_LEFTUP);
}

// --- The voice's log -----------------------------------------------------------

class VoiceLog {
 public:
  explicit VoiceLog(std::wstring path) : path_(std::move(path)) {}

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      return lines;
    }
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      content.append(buffer, got);
    }
    CloseHandle(file);
    std::size_t start = 0;
    for (std::size_t end; (end = content.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(content.substr(start, end - start));
    }
    return lines;
  }

  // The calls of members, leaving out how the program looked them up.
  std::vector<std::string> Invokes() const {
    std::vector<std::string> invokes;
    for (const std::string& line : Lines()) {
      if (line.rfind("Invoke ", 0) == 0) {
        invokes.push_back(line);
      }
    }
    return invokes;
  }

  // Waits until no call has come for a while.
  void WaitForQuiet() const {
    std::size_t seen = Invokes().size();
    for (int quiet_checks = 0; quiet_checks < 10;) {
      Sleep(50);
      const std::size_t now = Invokes().size();
      quiet_checks = now == seen ? quiet_checks + 1 : 0;
      seen = now;
    }
  }

  // Waits until count calls have been made in all.
  bool WaitForInvokes(std::size_t count) const {
    return WaitFor([&] { return Invokes().size() >= count; });
  }

 private:
  std::wstring path_;
};

std::string Locale() {
  char text[16];
  std::snprintf(text, sizeof text, "%04lx", static_cast<unsigned long>(GetUserDefaultLCID()));
  return text;
}

std::string Get(const char* member) {
  return std::string("Invoke ") + member + " flags=2 locale=" + Locale() + " args=[] named=[]";
}
std::string Put(const char* member, int value) {
  return std::string("Invoke ") + member + " flags=4 locale=" + Locale() +
         " args=[I4:" + std::to_string(value) + "] named=[-3]";
}
std::string Method(const char* member) {
  return std::string("Invoke ") + member + " flags=1 locale=" + Locale() + " args=[] named=[]";
}
std::string Speak(const std::wstring& text) {
  std::string units;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char unit[8];
    std::snprintf(unit, sizeof unit, i == 0 ? "%04x" : " %04x", static_cast<unsigned>(text[i]));
    units += unit;
  }
  // Arguments arrive last first: the flags, then the text.
  return "Invoke Speak flags=1 locale=" + Locale() + " args=[I4:1,BSTR:" + units + "] named=[]";
}

void CheckCalls(const VoiceLog& log, std::size_t from, const std::vector<std::string>& expected,
                const std::string& what) {
  const std::vector<std::string> invokes = log.Invokes();
  std::vector<std::string> made(invokes.begin() + static_cast<long>(std::min(from, invokes.size())),
                                invokes.end());
  if (made != expected) {
    std::string text = what + ": the voice received\n";
    for (const std::string& line : made) {
      text += "    " + line + "\n";
    }
    text += "  expected\n";
    for (const std::string& line : expected) {
      text += "    " + line + "\n";
    }
    Fail(text);
  }
}

// --- The program under test ---------------------------------------------------

struct Program {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;
  std::vector<HWND> controls;

  HWND edit() const { return controls[kEditBox1]; }
  HWND volume() const { return controls[kVolumeSlider]; }
  HWND speed() const { return controls[kSpeedSlider]; }
  HWND read_aloud() const { return controls[kReadAloudButton]; }
  HWND pause() const { return controls[kPauseResumeButton]; }

  ~Program() {
    if (process.hProcess != nullptr) {
      if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process.hProcess, 99);
      }
      CloseHandle(process.hProcess);
      CloseHandle(process.hThread);
    }
  }
};

struct FindContext {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindProgramWindow(HWND window, LPARAM context_pointer) {
  auto* context = reinterpret_cast<FindContext*>(context_pointer);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context->process_id && IsWindowVisible(window) && ClassOf(window) != L"IME" &&
      GetWindow(window, GW_OWNER) == nullptr && GetWindowTextLengthW(window) > 0) {
    context->found = window;
    return FALSE;
  }
  return TRUE;
}

struct CountContext {
  DWORD process_id;
  int count;
};

BOOL CALLBACK CountVisibleWindow(HWND window, LPARAM context_pointer) {
  auto* context = reinterpret_cast<CountContext*>(context_pointer);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == context->process_id && IsWindowVisible(window)) {
    ++context->count;
  }
  return TRUE;
}

// The program's visible top-level windows.
int VisibleWindowsOf(DWORD process_id) {
  CountContext context{process_id, 0};
  EnumWindows(CountVisibleWindow, reinterpret_cast<LPARAM>(&context));
  return context.count;
}

bool Launch(const std::wstring& path, Program& program) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + path + L"\"";
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &program.process)) {
    Fail("the program could not be started");
    return false;
  }
  FindContext context{program.process.dwProcessId, nullptr};
  const bool shown = WaitFor(
      [&] {
        EnumWindows(FindProgramWindow, reinterpret_cast<LPARAM>(&context));
        return context.found != nullptr;
      },
      30000);
  if (!shown) {
    Fail("the program's window did not appear");
    return false;
  }
  program.window = context.found;
  program.controls = ChildrenOf(program.window);
  if (program.controls.size() != kMainWindowControlCount) {
    Fail("the window has " + std::to_string(program.controls.size()) + " controls, expected " +
         std::to_string(kMainWindowControlCount));
    return false;
  }
  // Opening ends with the focus in the edit box.
  WaitFor([&] { return FocusOf(program.window) == program.edit(); });
  return true;
}

// Waits for the program to end and checks that it ended with code 0.
void CheckExitsCleanly(Program& program, const std::string& how) {
  if (WaitForSingleObject(program.process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
    Fail(how + " did not end the program");
    return;
  }
  DWORD code = 1;
  GetExitCodeProcess(program.process.hProcess, &code);
  CheckEqual(static_cast<long long>(code), 0, how + ": exit code");
}

void ExpectFocus(const Program& program, HWND expected, const std::string& what) {
  if (!WaitFor([&] { return FocusOf(program.window) == expected; }, 3000)) {
    const HWND actual = FocusOf(program.window);
    int index = -1;
    for (std::size_t i = 0; i < program.controls.size(); ++i) {
      if (program.controls[i] == actual) {
        index = static_cast<int>(i);
      }
    }
    Fail(what + ": the focus is on control " + std::to_string(index));
  }
}

void ExpectCaption(const Program& program, const wchar_t* caption, const std::string& what) {
  if (!WaitFor([&] { return TextOf(program.pause()) == caption; }, 3000)) {
    CheckText(TextOf(program.pause()), caption, what);
  }
}

// --- Scenarios -----------------------------------------------------------------

struct ExpectedControl {
  const wchar_t* class_name;
  RECT rect;            // in the window's client area
  const wchar_t* text;  // null: the sample paragraph
  DWORD low_style;      // the class's own style bits
  bool tab_stop;
};

void CheckResources(const std::wstring& path) {
  HMODULE image = LoadLibraryExW(path.c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (image == nullptr) {
    Fail("the program's resources cannot be read");
    return;
  }
  Check(FindResourceW(image, MAKEINTRESOURCEW(1), RT_GROUP_ICON) != nullptr,
        "the program carries its icon");
  HRSRC manifest_resource = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
  if (manifest_resource == nullptr) {
    Fail("the program carries no manifest");
  } else {
    const char* data =
        static_cast<const char*>(LockResource(LoadResource(image, manifest_resource)));
    const std::string manifest(data, SizeofResource(image, manifest_resource));
    Check(manifest.find("Microsoft.Windows.Common-Controls") != std::string::npos &&
              manifest.find("version=\"6.0.0.0\"") != std::string::npos,
          "the manifest asks for common controls 6");
    Check(manifest.find("level=\"asInvoker\"") != std::string::npos,
          "the manifest runs the program as invoker");
    Check(manifest.find("dpiAware") == std::string::npos &&
              manifest.find("dpiAwareness") == std::string::npos,
          "the manifest declares no DPI awareness");
  }
  FreeLibrary(image);

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<char> version(size);
  wchar_t* product = nullptr;
  UINT length = 0;
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, version.data()) ||
      !VerQueryValueW(version.data(), L"\\StringFileInfo\\080404b0\\ProductName",
                      reinterpret_cast<void**>(&product), &length)) {
    Fail("the program carries no version block with its product name");
  } else {
    CheckText(product, kTitle, "the version block's product name");
  }
}

void Layout(const std::wstring& path, const VoiceLog& log, int screen_width, int screen_height) {
  CheckResources(path);
  CheckEqual(GetSystemMetrics(SM_CXSCREEN), screen_width, "screen width");
  CheckEqual(GetSystemMetrics(SM_CYSCREEN), screen_height, "screen height");

  Program program;
  if (!Launch(path, program)) {
    return;
  }
  HWND window = program.window;
  wchar_t title[64] = {};
  GetWindowTextW(window, title, 64);
  CheckText(title, kTitle, "title");

  RECT outer;
  GetWindowRect(window, &outer);
  CheckEqual(outer.left, (screen_width - 375) / 2, "window left");
  CheckEqual(outer.top, (screen_height - 315) / 2, "window top");
  CheckEqual(outer.right - outer.left, 375, "window width");
  CheckEqual(outer.bottom - outer.top, 315, "window height");

  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const LONG wanted = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_VISIBLE;
  const LONG unwanted = WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_POPUP | WS_CHILD |
                        WS_DISABLED | WS_VSCROLL | WS_HSCROLL;
  CheckEqual(style & (wanted | unwanted), wanted, "window style");
  // The system adds WS_EX_WINDOWEDGE to every window with a caption; the
  // program asks for no extended style of its own.
  CheckEqual(GetWindowLongW(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0, "window extended style");
  Check(GetWindow(window, GW_OWNER) == nullptr, "the window has no owner");

  const std::wstring sample = Wide(kSampleParagraph);
  const ExpectedControl expected[] = {
      {L"Edit", {10, 10, 360, 205}, nullptr, ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN, true},
      {L"msctls_trackbar32",
       {45, 215, 255, 245},
       L"",
       TBS_HORZ | TBS_AUTOTICKS | TBS_NOTICKS,
       true},
      {L"msctls_trackbar32",
       {45, 250, 255, 280},
       L"",
       TBS_HORZ | TBS_AUTOTICKS | TBS_NOTICKS,
       true},
      {L"Button",
       {260, 215, 360, 245},
       L"朗读",
       BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE,
       true},
      {L"Button",
       {260, 250, 360, 280},
       L"暂停",
       BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE,
       true},
      {L"QingliLabel", {10, 215, 40, 245}, L"音量", 0, false},
      {L"QingliLabel", {10, 250, 40, 280}, L"速度", 0, false},
  };
  // Wine answers WM_GETFONT from another process with 0, so the fonts are
  // checked by the toolkit's own tests, inside the program's process.
  for (std::size_t i = 0; i < kMainWindowControlCount; ++i) {
    const ExpectedControl& want = expected[i];
    HWND control = program.controls[i];
    const std::string name = "control " + std::to_string(i);
    CheckText(ClassOf(control), want.class_name, name + " class");
    const RECT rect = RectInParent(control);
    Check(EqualRect(&rect, &want.rect),
          name + " at " + std::to_string(rect.left) + "," + std::to_string(rect.top) + " to " +
              std::to_string(rect.right) + "," + std::to_string(rect.bottom));
    CheckText(TextOf(control), want.text != nullptr ? want.text : sample, name + " text");
    const LONG control_style = GetWindowLongW(control, GWL_STYLE);
    CheckEqual(control_style & 0xFFFF, want.low_style, name + " style");
    CheckEqual(control_style & (WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE | WS_DISABLED | WS_TABSTOP |
                                WS_BORDER | WS_HSCROLL),
               WS_CHILD | WS_CLIPSIBLINGS | WS_VISIBLE | (want.tab_stop ? WS_TABSTOP : 0),
               name + " window style");
  }

  HWND edit = program.edit();
  CheckEqual(static_cast<long long>(sample.size()), 87, "sample paragraph length");
  Check(sample.find(L'\n') == std::wstring::npos && sample.find(L'\r') == std::wstring::npos,
        "the sample paragraph is one line of text");
  Check((GetWindowLongW(edit, GWL_STYLE) & WS_VSCROLL) != 0, "the edit box scrolls vertically");
  CheckEqual(GetWindowLongW(edit, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE,
             "the edit box is sunken");
  Check(static_cast<unsigned long>(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0)) >= 0x7FFFFFFEUL,
        "the edit box has the system's largest limit");
  DWORD start = 1;
  DWORD end = 1;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  Check(start == 0 && end == 0, "the caret is before the first character, nothing selected");
  CheckEqual(SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0), 0, "the edit box shows its top");
  Check(SendMessageW(edit, EM_GETLINECOUNT, 0, 0) > 1, "the sample paragraph wraps");
  Check(FocusOf(window) == edit, "the edit box has the focus at opening");

  const struct {
    HWND slider;
    int maximum;
    int position;  // from the recording voice: volume 73, rate -4
  } sliders[] = {{program.volume(), 100, 73}, {program.speed(), 20, 6}};
  for (const auto& slider : sliders) {
    CheckEqual(SendMessageW(slider.slider, TBM_GETRANGEMIN, 0, 0), 0, "slider minimum");
    CheckEqual(SendMessageW(slider.slider, TBM_GETRANGEMAX, 0, 0), slider.maximum,
               "slider maximum");
    CheckEqual(SendMessageW(slider.slider, TBM_GETLINESIZE, 0, 0), 1, "slider line step");
    CheckEqual(SendMessageW(slider.slider, TBM_GETPAGESIZE, 0, 0), 5, "slider page step");
    CheckEqual(SliderPosition(slider.slider), slider.position, "slider position at opening");
  }
  CheckCalls(log, 0, {Get("Volume"), Get("Rate")}, "at opening");

  // Colours: the window and the labels in button face, the edit box white
  // behind its text, the labels' text in black. The screen shows them only
  // when the whole window is on it.
  if (outer.left >= 0 && outer.top >= 0 && outer.right <= screen_width &&
      outer.bottom <= screen_height) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    CheckEqual(ScreenPixel(window, 5, 5), face, "window background");
    CheckEqual(ScreenPixel(window, 11, 216), face, "label background");
    CheckEqual(ScreenPixel(window, 300, 195), RGB(255, 255, 255), "edit box background");
    bool black_text = false;
    for (int y = 216; y < 244 && !black_text; ++y) {
      for (int x = 10; x < 40 && !black_text; ++x) {
        black_text = ScreenPixel(window, x, y) == RGB(0, 0, 0);
      }
    }
    Check(black_text, "the label's text is black");
  }

  SendKeys({VK_MENU}, VK_F4);
  CheckExitsCleanly(program, "Alt+F4");
  const std::vector<std::string> lines = log.Lines();
  Check(!lines.empty() && lines.back() == "destroyed", "closing releases the voice");
}

void Keys(const std::wstring& path, const VoiceLog& log) {
  Program program;
  if (!Launch(path, program)) {
    return;
  }
  const std::wstring sample = Wide(kSampleParagraph);
  const std::size_t opening_calls = log.Invokes().size();

  const HWND forwards[] = {program.volume(), program.speed(), program.read_aloud(), program.pause(),
                           program.edit()};
  for (HWND next : forwards) {
    Press(VK_TAB);
    ExpectFocus(program, next, "Tab");
  }
  const HWND backwards[] = {program.pause(), program.read_aloud(), program.speed(),
                            program.volume(), program.edit()};
  for (HWND next : backwards) {
    SendKeys({VK_SHIFT}, VK_TAB);
    ExpectFocus(program, next, "Shift+Tab");
  }
  CheckText(TextOf(program.edit()), sample, "the edit box after tabbing round");

  // Enter in the edit box starts a new line where the caret is.
  Press(VK_RETURN);
  if (!WaitFor([&] { return TextOf(program.edit()) == L"\r\n" + sample; }, 3000)) {
    CheckText(TextOf(program.edit()), L"\r\n" + sample, "Enter in the edit box");
  }

  // Ctrl+Tab, Shift+Esc and Alt+Esc belong to the focused control: the
  // focus stays and the window stays open. The typed letter shows when they
  // are done.
  SendKeys({VK_CONTROL}, VK_TAB);
  SendKeys({VK_SHIFT}, VK_ESCAPE);
  SendKeys({VK_MENU}, VK_ESCAPE);
  Press('X');
  if (!WaitFor([&] { return TextOf(program.edit()).find_first_of(L"xX") != std::wstring::npos; },
               3000)) {
    Fail("typing into the edit box");
  }
  Check(FocusOf(program.window) == program.edit(), "Ctrl+Tab leaves the focus in the edit box");
  Check(WaitForSingleObject(program.process.hProcess, 0) == WAIT_TIMEOUT,
        "Shift+Esc and Alt+Esc leave the window open");
  SendMessageW(program.edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(sample.c_str()));

  // Enter on a button does nothing; Space clicks it. The pause button's
  // caption shows how many clicks it took.
  Press(VK_TAB);
  Press(VK_TAB);
  Press(VK_TAB);
  ExpectFocus(program, program.read_aloud(), "Tab to 朗读");
  Press(VK_RETURN);
  Press(VK_SPACE);
  Press(VK_TAB);
  ExpectFocus(program, program.pause(), "Tab to 暂停");
  Press(VK_RETURN);
  Press(VK_SPACE);
  ExpectCaption(program, kResumeCaption, "Space on 暂停");
  Press(VK_SPACE);
  ExpectCaption(program, kPauseCaption, "Space on 恢复");
  log.WaitForInvokes(opening_calls + 3);
  CheckCalls(log, opening_calls, {Speak(sample), Method("Pause"), Method("Resume")},
             "Enter and Space on the buttons");

  // A click on a label leaves the focus where it was.
  Press(VK_TAB);
  ExpectFocus(program, program.edit(), "Tab back to the edit box");
  ClickCentre(program.controls[kLabel1]);
  Press(VK_TAB);
  ExpectFocus(program, program.volume(), "Tab after a click on a label");

  // Esc closes the window from any control, the edit box included.
  SendKeys({VK_SHIFT}, VK_TAB);
  ExpectFocus(program, program.edit(), "Shift+Tab back to the edit box");
  Press(VK_ESCAPE);
  CheckExitsCleanly(program, "Esc");
  const std::vector<std::string> lines = log.Lines();
  Check(!lines.empty() && lines.back() == "destroyed", "closing releases the voice");
}

void Voice(const std::wstring& path, const VoiceLog& log) {
  Program program;
  if (!Launch(path, program)) {
    return;
  }
  CheckCalls(log, 0, {Get("Volume"), Get("Rate")}, "at opening");

  // Dragging the thumb sets the volume at every step of the drag and once
  // more on letting go, with the position the drag ended at; the end of the
  // scroll sets nothing.
  DragThumb(program.volume(), 40);
  Check(WaitFor(
            [&] {
              const std::vector<std::string> calls = log.Invokes();
              return calls.size() >= 4 && calls[calls.size() - 1] == calls[calls.size() - 2];
            },
            5000),
        "letting go of the thumb repeats the last volume");
  log.WaitForQuiet();
  const int dragged_to = SliderPosition(program.volume());
  Check(dragged_to > 73, "the drag moved the volume slider");
  std::vector<std::string> dragged = log.Invokes();
  dragged.erase(dragged.begin(), dragged.begin() + 2);
  int last = 73;
  for (const std::string& call : dragged) {
    const std::size_t value_at = call.find("args=[I4:");
    const int value = value_at == std::string::npos ? -1 : std::atoi(call.c_str() + value_at + 9);
    Check(call == Put("Volume", value) && value >= last && value <= dragged_to,
          "a call while dragging: " + call);
    last = value;
  }
  CheckEqual(last, dragged_to, "the volume set on letting go");
  ExpectFocus(program, program.volume(), "a click on the volume slider");

  // Each key a slider answers moves it and sets the voice at once.
  const struct {
    WORD key;
    int volume;
  } volume_steps[] = {{VK_LEFT, dragged_to - 1},
                      {VK_NEXT, dragged_to + 4},
                      {VK_HOME, 0},
                      {VK_RIGHT, 1},
                      {VK_END, 100},
                      {VK_PRIOR, 95}};
  std::vector<std::string> expected = dragged;
  for (const auto& step : volume_steps) {
    const std::size_t before = log.Invokes().size();
    Press(step.key);
    log.WaitForInvokes(before + 1);
    CheckEqual(SliderPosition(program.volume()), step.volume, "volume slider position");
    expected.push_back(Put("Volume", step.volume));
  }
  CheckCalls(log, 2, expected, "volume slider steps");

  const struct {
    WORD key;
    int position;
  } speed_steps[] = {{VK_LEFT, 5}, {VK_HOME, 0}, {VK_END, 20}, {VK_PRIOR, 15}, {VK_RIGHT, 16}};
  Press(VK_TAB);
  ExpectFocus(program, program.speed(), "Tab to the speed slider");
  for (const auto& step : speed_steps) {
    const std::size_t before = log.Invokes().size();
    Press(step.key);
    log.WaitForInvokes(before + 1);
    CheckEqual(SliderPosition(program.speed()), step.position, "speed slider position");
    expected.push_back(Put("Rate", step.position - 10));
  }
  CheckCalls(log, 2, expected, "speed slider steps");

  // 朗读 hands over the box's text exactly, characters outside GBK and the
  // line break included.
  const std::wstring text = L"读这一段：\U00020BB7、한국어、ภาษาไทย、\U0001F600\r\n第二行 end";
  SendMessageW(program.edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  Press(VK_TAB);
  ExpectFocus(program, program.read_aloud(), "Tab to 朗读");
  Press(VK_SPACE);
  log.WaitForInvokes(2 + expected.size() + 1);
  expected.push_back(Speak(text));
  CheckCalls(log, 2, expected, "朗读");

  Press(VK_TAB);
  ExpectFocus(program, program.pause(), "Tab to 暂停");
  Press(VK_SPACE);
  ExpectCaption(program, kResumeCaption, "暂停 pressed");
  Press(VK_SPACE);
  ExpectCaption(program, kPauseCaption, "恢复 pressed");
  log.WaitForInvokes(2 + expected.size() + 2);
  expected.push_back(Method("Pause"));
  expected.push_back(Method("Resume"));
  CheckCalls(log, 2, expected, "暂停 and 恢复");

  // Closing while paused ends the program all the same.
  Press(VK_SPACE);
  ExpectCaption(program, kResumeCaption, "暂停 pressed again");
  log.WaitForInvokes(2 + expected.size() + 1);
  expected.push_back(Method("Pause"));
  PostMessageW(program.window, WM_CLOSE, 0, 0);
  CheckExitsCleanly(program, "closing the window while paused");
  CheckCalls(log, 2, expected, "after closing");
  int created = 0;
  for (const std::string& line : log.Lines()) {
    created += line == "created" ? 1 : 0;
  }
  CheckEqual(created, 1, "voice objects created");
  const std::vector<std::string> lines = log.Lines();
  Check(!lines.empty() && lines.back() == "destroyed", "closing releases the voice");
}

// With a voice that cannot be created or answers nothing, the window opens
// with the sliders at 0 and 10 and every control still works.
void NoVoice(const std::wstring& path) {
  Program program;
  if (!Launch(path, program)) {
    return;
  }
  CheckEqual(SliderPosition(program.volume()), 0, "volume slider at opening");
  CheckEqual(SliderPosition(program.speed()), 10, "speed slider at opening");

  Press(VK_TAB);
  ExpectFocus(program, program.volume(), "Tab to the volume slider");
  Press(VK_RIGHT);
  Check(WaitFor([&] { return SliderPosition(program.volume()) == 1; }, 3000),
        "the volume slider moves");
  Press(VK_TAB);
  Press(VK_LEFT);
  Check(WaitFor([&] { return SliderPosition(program.speed()) == 9; }, 3000),
        "the speed slider moves");
  Press(VK_TAB);
  ExpectFocus(program, program.read_aloud(), "Tab to 朗读");
  Press(VK_SPACE);
  Press(VK_TAB);
  ExpectFocus(program, program.pause(), "Tab to 暂停");
  Press(VK_SPACE);
  ExpectCaption(program, kResumeCaption, "暂停 pressed");
  Press(VK_SPACE);
  ExpectCaption(program, kPauseCaption, "恢复 pressed");
  CheckEqual(VisibleWindowsOf(program.process.dwProcessId), 1,
             "visible windows of the program (no message shown)");

  Press(VK_ESCAPE);
  CheckExitsCleanly(program, "Esc");
}

// Where no window can be made, the program ends at once with -1, all 32 bits
// set, without having touched the voice.
void NoWindow(const std::wstring& path, const VoiceLog& log) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::wstring command = L"\"" + path + L"\"";
  if (!CreateProcessW(path.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    Fail("the program could not be started");
    return;
  }
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    Fail("the program did not end");
    TerminateProcess(process.hProcess, 99);
  } else {
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CheckEqual(code, 0xFFFFFFFFLL, "exit code");
  }
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  Check(log.Lines().empty(), "the voice was not created");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::printf(
        "usage: window_probe layout|keys|voice|no-voice <program> <voice log> <width> "
        "<height>\n");
    return 2;
  }
  const std::wstring scenario = argv[1];
  const std::wstring program = argv[2];
  const VoiceLog log(argv[3]);
  if (scenario == L"layout") {
    Layout(program, log, std::wcstol(argv[4], nullptr, 10), std::wcstol(argv[5], nullptr, 10));
  } else if (scenario == L"keys") {
    Keys(program, log);
  } else if (scenario == L"voice") {
    Voice(program, log);
  } else if (scenario == L"no-voice") {
    NoVoice(program);
  } else if (scenario == L"no-window") {
    NoWindow(program, log);
  } else {
    std::printf("unknown scenario\n");
    return 2;
  }
  std::printf("%s: %d failed check(s)\n", Narrow(scenario).c_str(), g_failures);
  return g_failures == 0 ? 0 : 1;
}
