// The program's own voice class with espeak-ng's data missing or unreadable:
// the voice cannot be created, so the window opens with the sliders at 0 and
// 10, every control still answers, and no message box opens.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/global_voice.h"
#include "qt_toolkit.h"
#include "speech/speech_voice.h"
#include "ui/main_window.h"
#include "ui/window_host.h"
#include "voice_registration.h"

namespace {

namespace fs = std::filesystem;

int VisibleTopLevelWindows() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    count += widget->isVisible() ? 1 : 0;
  }
  return count;
}

TEST(NoVoiceFault, WithoutUsableVoiceDataTheWindowOpensAtZeroAndTenAndAnswers) {
  const fs::path root = fs::temp_directory_path() / ("qingli-no-voice-" + std::to_string(getpid()));
  const fs::path empty = root / "empty";
  const fs::path garbage = root / "garbage";
  fs::create_directories(empty);
  fs::create_directories(garbage / "lang" / "sit");
  // Every file the voice looks for is there, but none holds what espeak-ng
  // expects.
  for (const char* file :
       {"phontab", "phonindex", "phondata", "intonations", "cmn_dict", "lang/sit/cmn"}) {
    std::ofstream(garbage / file) << std::string(3000, '\x5a');
  }
  const struct {
    const char* name;
    fs::path data;
  } cases[] = {{"empty data directory", empty}, {"unreadable data files", garbage}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    qputenv("ESPEAK_DATA_PATH", QByteArray::fromStdString(c.data.string()));
    ASSERT_TRUE(RegisterSpeechVoiceClass());
    g_voice = new SpeechVoice();
    {
      QtToolkit toolkit;
      WindowHost host;
      // A message box would block here; one that opens is closed again, and
      // counted, so the test can say so instead of hanging.
      int boxes = 0;
      QTimer watcher;
      QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
          ++boxes;
          modal->close();
        }
      });
      watcher.start(50);
      ASSERT_TRUE(host.Open(toolkit, kMainWindow));
      ASSERT_TRUE(QTest::qWaitForWindowActive(toolkit.window()));

      auto* volume = static_cast<QSlider*>(toolkit.control(kVolumeSlider));
      auto* speed = static_cast<QSlider*>(toolkit.control(kSpeedSlider));
      auto* pause = static_cast<QPushButton*>(toolkit.control(kPauseResumeButton));
      EXPECT_EQ(volume->value(), 0);
      EXPECT_EQ(speed->value(), 10);

      QTest::mouseClick(toolkit.control(kReadAloudButton), Qt::LeftButton);
      QTest::mouseClick(pause, Qt::LeftButton);
      EXPECT_EQ(pause->text(), QStringLiteral("恢复"));
      QTest::mouseClick(pause, Qt::LeftButton);
      EXPECT_EQ(pause->text(), QStringLiteral("暂停"));
      volume->setFocus();
      QTest::keyClick(volume, Qt::Key_Right);
      speed->setFocus();
      QTest::keyClick(speed, Qt::Key_Left);
      EXPECT_EQ(volume->value(), 1);
      EXPECT_EQ(speed->value(), 9);
      QTest::qWait(200);
      EXPECT_EQ(boxes, 0) << "a message box opened";
      EXPECT_EQ(VisibleTopLevelWindows(), 1);
      host.DropEvents();
    }
    delete g_voice;
    g_voice = nullptr;
    RevokeSpeechVoiceClass();
  }
  qunsetenv("ESPEAK_DATA_PATH");
  fs::remove_all(root);
}

}  // namespace
