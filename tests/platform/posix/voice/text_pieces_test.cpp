#include "text_pieces.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PieceCase {
  const char* what;
  std::u16string text;
  std::size_t expected_length;
};

TEST(TextPiecesTest, CutsAtTheFirstSentenceEndOrTheBestPlaceWithinTheCap) {
  const std::u16string long_clause(70, u'字');
  const std::u16string words =
      u"alpha beta gamma delta epsilon zeta eta theta iota kappa lambda mu nu "
      u"xi omicron pi";
  const std::u16string run(200, u'a');
  std::u16string pairs;
  for (int i = 0; i < 50; ++i) {
    pairs += u"\U0001F600";  // each a surrogate pair
  }
  const PieceCase cases[] = {
      {"empty", u"", 0},
      {"Chinese full stop", u"你好。世界", 3},
      {"Latin sentence", u"Hi there. More", 9},
      {"a decimal point is not a sentence end", u"π is 3.14 or so", 15},
      {"newline", u"line\nnext", 5},
      {"short text without punctuation is one piece", u"你好世界", 4},
      {"clause mark when no sentence end fits", long_clause + u"，" + long_clause, 71},
      {"space when there is no punctuation", words, 73},
      {"hard cut in a run of letters", run, kMaxPieceLength},
      {"a hard cut keeps surrogate pairs whole", pairs, kMaxPieceLength},
      {"a hard cut never ends on a high surrogate", u"a" + pairs, kMaxPieceLength - 1},
  };
  for (const PieceCase& c : cases) {
    EXPECT_EQ(NextPieceLength(c.text), c.expected_length) << c.what;
  }
}

TEST(TextPiecesTest, PiecesCoverTheWholeTextInOrder) {
  std::u16string text;
  for (int i = 0; i < 300; ++i) {
    text += i % 7 == 0 ? u"句子结束。" : (i % 5 == 0 ? u"word " : u"\U0001F600字");
  }
  std::u16string joined;
  std::u16string_view rest = text;
  while (!rest.empty()) {
    const std::size_t length = NextPieceLength(rest);
    ASSERT_GT(length, 0u);
    ASSERT_LE(length, kMaxPieceLength);
    joined += rest.substr(0, length);
    rest.remove_prefix(length);
  }
  EXPECT_EQ(joined, text);
}

TEST(TextPiecesTest, PreparesPlainTextForTheSynthesiser) {
  struct Case {
    const char* what;
    std::u16string piece;
    std::string expected;
  };
  const Case cases[] = {
      {"Chinese and Latin pass through", u"你好 abc 123", "你好 abc 123"},
      {"control characters become spaces",
       std::u16string(u"a\0b\x07"
                      u"c\x1b",
                      6),
       "a b c "},
      // Nothing beyond the basic plane is read by the Mandarin voice, so a
      // surrogate, paired or not, is never passed on.
      {"unpaired high surrogate", u"a\xD800z", "a z"},
      {"unpaired low surrogate", u"\xDC00", ""},
      {"surrogate pair", u"\U0001F600", ""},
      {"markup is left as text", u"<speak>你</speak>", "<speak>你</speak>"},
      {"only blanks and controls", std::u16string(u" \t\n\0\x1f\u3000", 6), ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(PrepareForSynthesis(c.piece), c.expected) << c.what;
  }
}

}  // namespace
