// MainWindow opened on the Qt toolkit (offscreen in the tests), with the
// real voice talking to the recording engine voice, so every handler call
// shows up in the log as the engine saw it.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include "app/global_voice.h"
#include "qt_toolkit.h"
#include "logged_voice.h"
#include "speech/speech_voice.h"
#include "ui/main_window.h"
#include "ui/window_host.h"

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(engine.Register());
    g_voice = new SpeechVoice();
    host.SetDestroyedCallback(&QtWindowTest::CountDestroyed);
    destroyed_count = 0;
    ASSERT_TRUE(host.Open(toolkit, kMainWindow));
    ASSERT_TRUE(QTest::qWaitForWindowActive(toolkit.window()));
    log.clear();
  }
  void TearDown() override {
    host.DropEvents();
    delete g_voice;
    g_voice = nullptr;
  }

  QWidget* Control(int index) const { return toolkit.control(index); }

  // Sends a key as the keyboard would: to the widget with the focus.
  void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    QTest::keyClick(target != nullptr ? target : toolkit.window(), key, modifiers);
  }

  static void CountDestroyed() { ++destroyed_count; }
  static inline int destroyed_count = 0;

  CallLog log;
  LoggedVoiceClass engine{log};
  WindowHost host;
  QtToolkit toolkit;
};
