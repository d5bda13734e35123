// Speaks a text through the speech voice's automation interface, exactly as
// the program does, to hear the voice without the window.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>

#include "automation.h"
#include "speech/speech_voice.h"
#include "voice_registration.h"

namespace {

int Usage() {
  std::fputs("usage: qingli-say [--rate -10..10] [--volume 0..100] [text...]\n", stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int rate = 0;
  int volume = 100;
  std::string text;
  for (int i = 1; i < argc; ++i) {
    const std::string_view argument = argv[i];
    if ((argument == "--rate" || argument == "--volume") && i + 1 < argc) {
      (argument == "--rate" ? rate : volume) = std::atoi(argv[++i]);
    } else if (argument.starts_with("--")) {
      return Usage();
    } else {
      text += text.empty() ? "" : " ";
      text += argument;
    }
  }
  if (text.empty()) {
    text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }

  if (!RegisterSpeechVoiceClass()) {
    std::fputs("qingli-say: could not register the speech voice\n", stderr);
    return 1;
  }
  int status = 0;
  {
    CoInitialize(nullptr);
    SpeechVoice voice;
    if (!voice.Create()) {
      std::fputs("qingli-say: no Mandarin voice (is espeak-ng-data installed?)\n", stderr);
      status = 1;
    } else if (!voice.SetRate(rate) || !voice.SetVolume(volume)) {
      status = Usage();
    } else {
      voice.Speak(text, 0);  // returns once everything has been spoken
    }
    CoUninitialize();
  }
  RevokeSpeechVoiceClass();
  return status;
}
