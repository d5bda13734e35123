// The program's window opened on the fake toolkit, with the real voice
// talking to the recording engine voice.
#pragma once

#include <gtest/gtest.h>

#include "app/global_voice.h"
#include "automation.h"
#include "fake_toolkit.h"
#include "logged_voice.h"
#include "speech/speech_voice.h"
#include "ui/main_window.h"
#include "ui/window_host.h"

class OpenWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Registering a class needs an apartment on Windows.
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  }
  void TearDown() override {
    delete g_voice;
    g_voice = nullptr;
    engine.Revoke();
    CoUninitialize();
  }

  // Opens the window with the engine's voice registered or not, then
  // forgets what opening logged.
  void Open(bool with_engine = true) {
    if (with_engine) {
      ASSERT_TRUE(engine.Register());
    }
    g_voice = new SpeechVoice();
    ASSERT_TRUE(host.Open(toolkit, kMainWindow));
    log.clear();
  }

  CallLog log;
  LoggedVoiceClass engine{log};
  FakeToolkit toolkit{log};
  WindowHost host;
};
