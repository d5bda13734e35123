#include "label_control.h"

namespace {

// The font given with WM_SETFONT is kept in the window's user data.
HFONT LabelFont(HWND label) {
  return reinterpret_cast<HFONT>(GetWindowLongPtrW(label, GWLP_USERDATA));
}

void Paint(HWND label) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(label, &paint);
  RECT area;
  GetClientRect(label, &area);
  FillRect(dc, &area, GetSysColorBrush(COLOR_BTNFACE));

  wchar_t text[64];
  const int length = GetWindowTextW(label, text, static_cast<int>(sizeof text / sizeof text[0]));
  HGDIOBJ old_font = nullptr;
  if (HFONT font = LabelFont(label)) {
    old_font = SelectObject(dc, font);
  }
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  DrawTextW(dc, text, length, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOCLIP);
  if (old_font != nullptr) {
    SelectObject(dc, old_font);
  }
  EndPaint(label, &paint);
}

LRESULT CALLBACK LabelProc(HWND label, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint(label);
      return 0;
    case WM_ERASEBKGND:
      // WM_PAINT fills the whole area; erasing first would only flicker.
      return 1;
    case WM_SETFONT:
      SetWindowLongPtrW(label, GWLP_USERDATA, static_cast<LONG_PTR>(wparam));
      if (LOWORD(lparam) != 0) {
        InvalidateRect(label, nullptr, FALSE);
      }
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(LabelFont(label));
    case WM_SETTEXT: {
      const LRESULT result = DefWindowProcW(label, message, wparam, lparam);
      InvalidateRect(label, nullptr, FALSE);
      return result;
    }
    case WM_NCHITTEST:
      // Clicks fall through to the window beneath: a label raises nothing.
      return HTTRANSPARENT;
    default:
      return DefWindowProcW(label, message, wparam, lparam);
  }
}

}  // namespace

bool RegisterLabelClass(HINSTANCE instance) {
  WNDCLASSEXW label_class{};
  label_class.cbSize = sizeof label_class;
  label_class.style = CS_HREDRAW | CS_VREDRAW;
  label_class.lpfnWndProc = LabelProc;
  label_class.hInstance = instance;
  label_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  label_class.lpszClassName = kLabelClassName;
  return RegisterClassExW(&label_class) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
