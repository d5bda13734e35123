#include "text/utf.h"

#include <gtest/gtest.h>

namespace {

TEST(WidenUtf8, WidensAndReplacesIllFormedParts) {
  const struct {
    const char* name;
    std::string utf8;
    std::u16string utf16;
  } cases[] = {
      {"ASCII", "Speak 1, 2", u"Speak 1, 2"},
      {"Chinese", "青栎工坊", u"青栎工坊"},
      {"outside the basic plane", "😀𠀀", u"😀𠀀"},
      {"embedded zero", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"empty", "", u""},
      {"stray continuation byte", "a\x80z", u"a\uFFFDz"},
      {"truncated sequence at the end", "a\xE9\x9D", u"a\uFFFD"},
      {"truncated sequence before ASCII", "\xE9\x9Dz", u"\uFFFDz"},
      {"overlong slash", "\xC0\xAF", u"\uFFFD\uFFFD"},
      {"overlong three-byte form", "\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
      {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"invalid lead byte", "\xFF", u"\uFFFD"},
      {"largest code point", "\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WidenUtf8(c.utf8), c.utf16);
  }
}

TEST(NarrowUtf16, NarrowsAndReplacesUnpairedSurrogates) {
  const struct {
    const char* name;
    std::u16string utf16;
    std::string utf8;
  } cases[] = {
      {"Chinese and ASCII", u"暂停 a", "暂停 a"},
      {"pair", u"😀", "😀"},
      {"embedded zero", std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
      {"lone high surrogate", std::u16string(1, u'\xD800') + u"x", "\xEF\xBF\xBDx"},
      {"lone low surrogate", std::u16string(1, u'\xDC00'), "\xEF\xBF\xBD"},
      {"high surrogate at the end", u"a" + std::u16string(1, u'\xDBFF'), "a\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(NarrowUtf16(c.utf16), c.utf8);
  }
}

TEST(Utf, RoundTripsEveryScalarValue) {
  std::u16string all;
  for (char32_t c = 1; c <= 0x10FFFF; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) {
      continue;
    }
    if (c < 0x10000) {
      all.push_back(static_cast<char16_t>(c));
    } else {
      all.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      all.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
  }
  const auto narrow = NarrowUtf16(all);
  ASSERT_TRUE(narrow.has_value());
  EXPECT_EQ(WidenUtf8(*narrow), all);
}

}  // namespace
