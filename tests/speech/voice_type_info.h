// The type information of the speech engine's voice, as the stand-ins for
// it in tests publish it: Volume and Rate as properties, Pause and Resume
// as methods without parameters, Speak as a method with two.
#pragma once

#include "automation.h"

inline constexpr DISPID kDispidVolume = 1;
inline constexpr DISPID kDispidRate = 2;
inline constexpr DISPID kDispidPause = 3;
inline constexpr DISPID kDispidResume = 4;
inline constexpr DISPID kDispidSpeak = 5;

// One entry per member and kind of access, built with CreateDispTypeInfo.
HRESULT CreateVoiceTypeInfo(ITypeInfo** info);
