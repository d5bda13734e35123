// The speech voice as an automation class of this process: main() registers
// it before the program starts and revokes it at exit, and the program then
// finds it by its class identifier, as it finds the system's voice on
// Windows.
#pragma once

// False when the class is registered already or registration failed. A
// missing espeak-ng Mandarin voice does not fail registration; it makes
// creating the voice fail.
bool RegisterSpeechVoiceClass();
void RevokeSpeechVoiceClass();
