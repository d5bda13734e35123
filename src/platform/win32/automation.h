// The automation API as the speech voice uses it: on Windows, the system's
// own COM and OLE Automation headers.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
