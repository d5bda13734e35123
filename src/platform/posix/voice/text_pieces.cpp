#include "text_pieces.h"

#include <algorithm>

#include "text/utf.h"

namespace {

bool IsSpace(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\u3000';
}

// A full stop ends a sentence only when a space or the end of the text
// follows it, so "3.14" and "www.example" stay whole.
bool EndsSentence(std::u16string_view text, std::size_t i) {
  switch (text[i]) {
    case u'。':
    case u'！':
    case u'？':
    case u'；':
    case u'!':
    case u'?':
    case u';':
    case u'\n':
    case u'…':
      return true;
    case u'.':
      return i + 1 == text.size() || IsSpace(text[i + 1]);
    default:
      return false;
  }
}

bool EndsClause(char16_t c) {
  switch (c) {
    case u'，':
    case u'、':
    case u'：':
    case u',':
    case u':':
      return true;
    default:
      return false;
  }
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}

bool IsControl(char16_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// What the Mandarin voice reads by itself: ASCII, Chinese characters, and
// the punctuation Chinese text uses. espeak-ng (1.51, the version we build
// against) hands anything else to another language's rules or spells it out
// by name, and on that path it can read a dictionary it has just freed:
// fuzzing found a lone U+0D00, and U+294E U+2659 U+A959 together. A use
// after free on user text is not acceptable, and a Mandarin voice loses
// little by passing over other scripts and symbols, so they are read as
// spaces.
bool ReadByTheVoice(char16_t c) {
  return c < 0x80 ||                      // ASCII
         (c >= 0x2010 && c <= 0x2027) ||  // dashes, quotation marks, ellipsis
         (c >= 0x3000 && c <= 0x303F) ||  // CJK symbols and punctuation
         (c >= 0x3400 && c <= 0x4DBF) ||  // CJK unified ideographs, extension A
         (c >= 0x4E00 && c <= 0x9FFF) ||  // CJK unified ideographs
         (c >= 0xF900 && c <= 0xFAFF) ||  // CJK compatibility ideographs
         (c >= 0xFF01 && c <= 0xFF5E);    // full-width ASCII forms
}

}  // namespace

std::size_t NextPieceLength(std::u16string_view text) {
  const std::size_t window = std::min(text.size(), kMaxPieceLength);
  std::size_t clause_end = 0;
  std::size_t space_end = 0;
  for (std::size_t i = 0; i < window; ++i) {
    if (EndsSentence(text, i)) {
      return i + 1;
    }
    if (EndsClause(text[i])) {
      clause_end = i + 1;
    } else if (IsSpace(text[i])) {
      space_end = i + 1;
    }
  }
  if (window == text.size()) {
    return window;
  }
  if (clause_end > 0) {
    return clause_end;
  }
  if (space_end > 0) {
    return space_end;
  }
  // A run without punctuation or spaces is cut where it must be, keeping
  // the two halves of a surrogate pair together.
  return IsHighSurrogate(text[window - 1]) && window > 1 ? window - 1 : window;
}

std::string PrepareForSynthesis(std::u16string_view piece) {
  std::u16string plain(piece);
  bool speakable = false;
  for (char16_t& c : plain) {
    if (IsControl(c) || !ReadByTheVoice(c)) {
      c = u' ';
    }
    speakable = speakable || !IsSpace(c);
  }
  if (!speakable) {
    return {};
  }
  std::optional<std::string> narrow = NarrowUtf16(plain);
  return narrow ? std::move(*narrow) : std::string();
}
