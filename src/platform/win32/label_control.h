// The window's labels: a small control class of our own that fills its
// whole area with the button face and draws its text on one line,
// left-aligned and vertically centred, in black with a transparent
// background. It keeps the font it is given and never takes the focus.
#pragma once

#include "automation.h"

inline constexpr wchar_t kLabelClassName[] = L"QingliLabel";

// Registers the label class for the program; false if that failed.
bool RegisterLabelClass(HINSTANCE instance);
