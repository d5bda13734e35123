// The one voice of a run. ProgramEntry constructs it before any window
// exists and DestroyGlobalVoice destroys it after the window has gone, so
// the window's handlers can always reach it.
#pragma once

class SpeechVoice;

extern SpeechVoice* g_voice;
