#include "win32_toolkit.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "label_control.h"
#include "resource.h"
#include "text/utf.h"

namespace {

constexpr wchar_t kWindowClassName[] = L"QingliMainWindow";

constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS;
constexpr DWORD kEditStyle = ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_LEFT | WS_VSCROLL;
constexpr DWORD kSliderStyle = TBS_HORZ | TBS_AUTOTICKS | TBS_NOTICKS;
constexpr DWORD kButtonStyle = BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | BS_MULTILINE;

// Window text crosses into Windows as UTF-16; text that cannot be widened
// (only when memory runs out) becomes empty rather than garbled.
std::wstring Wide(std::string_view text) {
  std::optional<std::u16string> wide = WidenUtf8(text);
  if (!wide) {
    return {};
  }
  return std::wstring(wide->begin(), wide->end());
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) {
    return {};
  }
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  std::optional<std::string> narrow =
      NarrowUtf16(std::u16string_view(reinterpret_cast<const char16_t*>(text.data()), text.size()));
  return narrow ? *narrow : std::string();
}

bool KeyHeld(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure, HICON big_icon, HICON small_icon) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.style = CS_HREDRAW | CS_VREDRAW;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = instance;
  window_class.hIcon = big_icon;
  window_class.hIconSm = small_icon;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  window_class.lpszClassName = kWindowClassName;
  return RegisterClassExW(&window_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// Shared icons of the system's standard sizes: the system keeps them for
// the life of the program, for the window class and the window alike.
HICON LoadProgramIcon(HINSTANCE instance, int width_metric, int height_metric) {
  return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_QINGLI), IMAGE_ICON,
                                       GetSystemMetrics(width_metric),
                                       GetSystemMetrics(height_metric), LR_SHARED));
}

}  // namespace

Win32Toolkit::Win32Toolkit(HINSTANCE instance) : instance_(instance) {}

Win32Toolkit::~Win32Toolkit() {
  if (window_ != nullptr) {
    report_destruction_ = false;
    DestroyWindow(window_);
  }
}

HWND Win32Toolkit::control(int index) const {
  if (index < 0 || index >= static_cast<int>(controls_.size())) {
    return nullptr;
  }
  return controls_[static_cast<std::size_t>(index)].handle;
}

// --- Controls ---------------------------------------------------------------

std::int32_t Win32Toolkit::GetSliderPosition(int control) {
  const Control* slider = SliderAt(control);
  return slider != nullptr ? slider->position : 0;
}

void Win32Toolkit::SetSliderPosition(int control, std::int32_t position) {
  Control* slider = SliderAt(control);
  if (slider == nullptr) {
    return;
  }
  // The trackbar holds the value within its range and sends no
  // notification for a position set by the program.
  SendMessageW(slider->handle, TBM_SETPOS, TRUE, position);
  slider->position = static_cast<std::int32_t>(SendMessageW(slider->handle, TBM_GETPOS, 0, 0));
}

std::string Win32Toolkit::GetEditText(int control) {
  return ControlText(control);
}

std::string Win32Toolkit::GetCaption(int control) {
  return ControlText(control);
}

void Win32Toolkit::SetCaption(int control, std::string_view caption) {
  if (control < 0 || control >= static_cast<int>(controls_.size())) {
    return;
  }
  HWND handle = controls_[static_cast<std::size_t>(control)].handle;
  SetWindowTextW(handle, Wide(caption).c_str());
  UpdateWindow(handle);
}

// --- The window -------------------------------------------------------------

WindowSize Win32Toolkit::GetPrimaryScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool Win32Toolkit::CreateMainWindow(const WindowDefinition& definition, ScreenPoint position,
                                    ToolkitEvents& events) {
  INITCOMMONCONTROLSEX common{sizeof common, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&common);

  if (big_icon_ == nullptr) {
    big_icon_ = LoadProgramIcon(instance_, SM_CXICON, SM_CYICON);
    small_icon_ = LoadProgramIcon(instance_, SM_CXSMICON, SM_CYSMICON);
  }
  if (!RegisterWindowClass(instance_, WindowProc, big_icon_, small_icon_) ||
      !RegisterLabelClass(instance_)) {
    return false;
  }

  definition_ = &definition;
  events_ = &events;
  controls_.clear();
  focus_to_restore_ = nullptr;
  // A window that fails half-way through its creation was never ours to
  // report.
  report_destruction_ = false;
  font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));

  const WindowSize size = definition.outer_size;
  HWND created =
      CreateWindowExW(0, kWindowClassName, Wide(definition.title).c_str(), kWindowStyle, position.x,
                      position.y, size.width, size.height, nullptr, nullptr, instance_, this);
  if (created == nullptr) {
    return false;
  }
  report_destruction_ = true;
  RECT outer;
  GetWindowRect(created, &outer);
  if (outer.right - outer.left != size.width || outer.bottom - outer.top != size.height) {
    SetWindowPos(created, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageW(created, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  SendMessageW(created, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));
  SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  return true;
}

bool Win32Toolkit::CreateControl(int index, const ControlDefinition& control) {
  if (window_ == nullptr || index != static_cast<int>(controls_.size())) {
    return false;
  }
  const wchar_t* class_name = nullptr;
  DWORD style = kChildStyle | (control.tab_stop ? WS_TABSTOP : 0);
  DWORD extended_style = 0;
  switch (control.kind) {
    case ControlKind::kEditBox:
      class_name = WC_EDITW;
      style |= kEditStyle;
      extended_style = WS_EX_CLIENTEDGE;
      break;
    case ControlKind::kSlider:
      class_name = TRACKBAR_CLASSW;
      style |= kSliderStyle;
      break;
    case ControlKind::kPushButton:
      class_name = WC_BUTTONW;
      style |= kButtonStyle;
      break;
    case ControlKind::kLabel:
      class_name = kLabelClassName;
      break;
  }
  const ControlBounds& bounds = control.bounds;
  // Sliders carry no text; everything else starts with its designed text.
  const std::wstring text = control.kind == ControlKind::kSlider ? L"" : Wide(control.text);
  HWND handle =
      CreateWindowExW(extended_style, class_name, text.c_str(), style, bounds.left, bounds.top,
                      bounds.width, bounds.height, window_,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(index + 1)), instance_, nullptr);
  if (handle == nullptr) {
    return false;
  }
  SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);

  Control created{handle, control.kind, control.tab_stop, 0};
  if (control.kind == ControlKind::kEditBox) {
    SendMessageW(handle, EM_LIMITTEXT, 0, 0);
    SendMessageW(handle, EM_SETSEL, 0, 0);
    SendMessageW(handle, EM_SCROLLCARET, 0, 0);
  } else if (control.kind == ControlKind::kSlider) {
    const SliderRange& range = control.range;
    // The range first, so the designed position is held within it.
    SendMessageW(handle, TBM_SETRANGEMIN, FALSE, range.minimum);
    SendMessageW(handle, TBM_SETRANGEMAX, FALSE, range.maximum);
    SendMessageW(handle, TBM_SETLINESIZE, 0, range.line_step);
    SendMessageW(handle, TBM_SETPAGESIZE, 0, range.page_step);
    SendMessageW(handle, TBM_SETPOS, TRUE, range.position);
    created.position = static_cast<std::int32_t>(SendMessageW(handle, TBM_GETPOS, 0, 0));
  }
  controls_.push_back(created);
  return true;
}

void Win32Toolkit::ShowControls() {
  for (const Control& control : controls_) {
    ShowWindow(control.handle, SW_SHOWNA);
  }
}

void Win32Toolkit::ShowMainWindow() {
  if (window_ == nullptr) {
    return;
  }
  // Activation gives the window the focus, which WM_SETFOCUS passes on to
  // the edit box.
  ShowWindow(window_, SW_SHOWNORMAL);
  UpdateWindow(window_);
}

void Win32Toolkit::DestroyMainWindow() {
  if (window_ == nullptr) {
    return;
  }
  report_destruction_ = false;
  DestroyWindow(window_);
}

bool Win32Toolkit::WindowExists() {
  return window_ != nullptr;
}

void Win32Toolkit::RunMessageLoop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (PreTranslateKey(message)) {
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void Win32Toolkit::PostQuit(std::int32_t exit_code) {
  PostQuitMessage(exit_code);
}

void Win32Toolkit::ShowErrorBox(std::string_view title, std::string_view text) {
  MessageBoxW(window_, Wide(text).c_str(), Wide(title).c_str(), MB_OK | MB_ICONERROR);
}

// --- Messages ---------------------------------------------------------------

LRESULT CALLBACK Win32Toolkit::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    // The toolkit rides in with the creation parameters; from here on every
    // message of the window reaches it, those sent during creation included.
    const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    auto* creator = static_cast<Win32Toolkit*>(creation->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creator));
    creator->window_ = window;
  }
  auto* toolkit = reinterpret_cast<Win32Toolkit*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (toolkit == nullptr) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return toolkit->HandleMessage(window, message, wparam, lparam);
}

LRESULT Win32Toolkit::HandleMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_HSCROLL:
      if (lparam != 0) {
        OnScroll(reinterpret_cast<HWND>(lparam), LOWORD(wparam));
      }
      return 0;
    case WM_COMMAND:
      if (lparam != 0) {
        OnCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      }
      return 0;
    case WM_CTLCOLOREDIT: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    case WM_GETMINMAXINFO:
      OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lparam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wparam) != WA_INACTIVE);
      return DefWindowProcW(window, message, wparam, lparam);
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_NCDESTROY:
      OnFinalDestroy();
      return DefWindowProcW(window, message, wparam, lparam);
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

void Win32Toolkit::OnScroll(HWND slider, int code) {
  // The end of a scroll repeats the last position; every other report
  // counts, whether or not the position moved.
  if (code == TB_ENDTRACK) {
    return;
  }
  const int index = ControlIndex(slider);
  Control* control = SliderAt(index);
  if (control == nullptr) {
    return;
  }
  control->position = static_cast<std::int32_t>(SendMessageW(slider, TBM_GETPOS, 0, 0));
  events_->OnEvent(index, WindowEvent::kPositionChanged);
}

void Win32Toolkit::OnCommand(HWND control, int notification) {
  if (notification != BN_CLICKED) {
    return;
  }
  const int index = ControlIndex(control);
  if (index >= 0 && controls_[static_cast<std::size_t>(index)].kind == ControlKind::kPushButton) {
    events_->OnEvent(index, WindowEvent::kClicked);
  }
}

void Win32Toolkit::OnGetMinMaxInfo(MINMAXINFO& limits) const {
  // The system holds a new window to a little more than the screen; on a
  // screen smaller than the window the window keeps its designed size and
  // simply reaches past the edges.
  if (definition_ == nullptr) {
    return;
  }
  limits.ptMaxTrackSize.x = std::max<LONG>(limits.ptMaxTrackSize.x, definition_->outer_size.width);
  limits.ptMaxTrackSize.y = std::max<LONG>(limits.ptMaxTrackSize.y, definition_->outer_size.height);
}

void Win32Toolkit::OnActivate(bool active) {
  if (active) {
    return;
  }
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(window_, focus)) {
    focus_to_restore_ = focus;
  }
}

void Win32Toolkit::OnSetFocus() {
  HWND target = focus_to_restore_;
  if (target == nullptr || !IsWindow(target) || !IsChild(window_, target)) {
    target = FirstTabStop();
  }
  if (target != nullptr) {
    SetFocus(target);
  }
}

void Win32Toolkit::OnFinalDestroy() {
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  window_ = nullptr;
  controls_.clear();
  focus_to_restore_ = nullptr;
  if (report_destruction_ && events_ != nullptr) {
    events_->OnWindowDestroyed();
  }
}

// --- Keys ---------------------------------------------------------------------

bool Win32Toolkit::PreTranslateKey(const MSG& message) {
  if (message.message != WM_KEYDOWN || window_ == nullptr) {
    return false;
  }
  if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) {
    return false;
  }
  const bool shift = KeyHeld(VK_SHIFT);
  const bool others =
      KeyHeld(VK_CONTROL) || KeyHeld(VK_MENU) || KeyHeld(VK_LWIN) || KeyHeld(VK_RWIN);
  if (message.wParam == VK_TAB && !others) {
    MoveFocus(shift);
    return true;
  }
  if (message.wParam == VK_ESCAPE && !others && !shift && definition_->esc_closes) {
    // As the close button does.
    SendMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
    return true;
  }
  return false;
}

void Win32Toolkit::MoveFocus(bool backwards) {
  std::vector<HWND> order;
  for (const Control& control : controls_) {
    if (control.tab_stop && IsWindowVisible(control.handle) && IsWindowEnabled(control.handle)) {
      order.push_back(control.handle);
    }
  }
  if (order.empty()) {
    return;
  }
  const int count = static_cast<int>(order.size());
  HWND focus = GetFocus();
  int current = -1;
  for (int i = 0; i < count; ++i) {
    if (order[static_cast<std::size_t>(i)] == focus) {
      current = i;
    }
  }
  int next = 0;
  if (current < 0) {
    next = backwards ? count - 1 : 0;
  } else {
    next = (current + (backwards ? count - 1 : 1)) % count;
  }
  SetFocus(order[static_cast<std::size_t>(next)]);
}

std::string Win32Toolkit::ControlText(int index) const {
  if (index < 0 || index >= static_cast<int>(controls_.size())) {
    return {};
  }
  return WindowText(controls_[static_cast<std::size_t>(index)].handle);
}

int Win32Toolkit::ControlIndex(HWND handle) const {
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    if (controls_[i].handle == handle) {
      return static_cast<int>(i);
    }
  }
  return -1;
}

Win32Toolkit::Control* Win32Toolkit::SliderAt(int index) {
  if (index < 0 || index >= static_cast<int>(controls_.size())) {
    return nullptr;
  }
  Control& control = controls_[static_cast<std::size_t>(index)];
  return control.kind == ControlKind::kSlider ? &control : nullptr;
}

HWND Win32Toolkit::FirstTabStop() const {
  for (const Control& control : controls_) {
    if (control.tab_stop && IsWindowVisible(control.handle) && IsWindowEnabled(control.handle)) {
      return control.handle;
    }
  }
  return nullptr;
}
