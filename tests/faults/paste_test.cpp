// Awkward texts pasted into the edit box on the Qt toolkit (offscreen), then
// 朗读: the voice receives the text whole, U+0000 and all, however large.
// The real program's responsiveness with the same texts is shown by
// paste_fault_test.sh; this test checks the exact content, which only an
// in-process voice can see.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTest>
#include <cstdio>
#include <memory>
#include <string>

#include "app/global_voice.h"
#include "qt_toolkit.h"
#include "recording_voice.h"
#include "speech/speech_voice.h"
#include "ui/main_window.h"
#include "ui/window_host.h"
#include "voice_type_info.h"

namespace {

// About 100 MB of UTF-8: Chinese sentences with a line break now and then.
QString HundredMegabytesOfText() {
  const QString sentence = QStringLiteral("青栎工坊文字转语音工具朗读这一段话，第%1句。\n");
  const qsizetype target_bytes = qsizetype{100} * 1000 * 1000;
  QString text;
  qsizetype bytes = 0;
  for (int i = 0; bytes < target_bytes; ++i) {
    const QString line = sentence.arg(i);
    bytes += line.toUtf8().size();
    text += line;
  }
  return text;
}

class PasteFault : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    registration_ = std::make_unique<RecordingVoiceClass>(recording_);
    ASSERT_TRUE(registration_->registered());
    g_voice = new SpeechVoice();
    ASSERT_TRUE(host_.Open(toolkit_, kMainWindow));
    ASSERT_TRUE(QTest::qWaitForWindowActive(toolkit_.window()));
  }
  void TearDown() override {
    host_.DropEvents();
    delete g_voice;
    g_voice = nullptr;
    if (toolkit_.WindowExists()) {
      toolkit_.DestroyMainWindow();
    }
    registration_.reset();
    CoUninitialize();
  }

  // Pastes with Ctrl+V into the emptied edit box; returns the milliseconds
  // the paste took.
  qint64 Paste(const QString& text) {
    auto* edit = static_cast<QPlainTextEdit*>(toolkit_.control(kEditBox1));
    edit->clear();
    QApplication::clipboard()->setText(text);
    edit->setFocus();
    QElapsedTimer timer;
    timer.start();
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    return timer.elapsed();
  }

  qint64 ClickReadAloud() {
    QElapsedTimer timer;
    timer.start();
    QTest::mouseClick(toolkit_.control(kReadAloudButton), Qt::LeftButton);
    return timer.elapsed();
  }

  // The text of every Speak call the voice received, in order.
  std::vector<std::u16string> SpokenTexts() const {
    std::vector<std::u16string> texts;
    for (const RecordedCall& call : recording_.calls) {
      // Arguments arrive last to first: the text is the last one.
      if (call.member == kDispidSpeak && !call.arguments.empty() &&
          call.arguments.back().type == VT_BSTR) {
        texts.push_back(call.arguments.back().text);
      }
    }
    return texts;
  }

  RecordingLog recording_;
  std::unique_ptr<RecordingVoiceClass> registration_;
  WindowHost host_;
  QtToolkit toolkit_;
};

std::u16string Utf16(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                        static_cast<std::size_t>(text.size()));
}

TEST_F(PasteFault, TextsWithZerosReachTheVoiceWhole) {
  const struct {
    const char* name;
    std::u16string text;
  } cases[] = {
      {"zero inside", std::u16string(u"前面\0后面", 5)},
      {"zero first", std::u16string(u"\0开头", 3)},
      {"zero last", std::u16string(u"结尾\0", 3)},
      {"zeros only", std::u16string(3, u'\0')},
      {"zero between lines", std::u16string(u"第一行\n\0\n第三行", 9)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    recording_.calls.clear();
    Paste(QString::fromUtf16(c.text.data(), static_cast<qsizetype>(c.text.size())));
    ClickReadAloud();
    const std::vector<std::u16string> texts = SpokenTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0], c.text);
  }
}

TEST_F(PasteFault, AHundredMegabyteTextReachesTheVoiceWhole) {
  const QString text = HundredMegabytesOfText();
  const qint64 paste_ms = Paste(text);
  const qint64 click_ms = ClickReadAloud();
  std::printf("100 MB paste: %lld ms; 朗读 click to Speak returned: %lld ms\n",
              static_cast<long long>(paste_ms), static_cast<long long>(click_ms));
  const std::vector<std::u16string> texts = SpokenTexts();
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].size(), static_cast<std::size_t>(text.size()));
  EXPECT_TRUE(texts[0] == Utf16(text)) << "the voice received different text";
}

}  // namespace
