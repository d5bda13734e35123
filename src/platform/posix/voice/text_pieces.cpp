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

// Greek to Hangul Jamo (Cyrillic, Hebrew, Arabic, the Indic scripts, Thai,
// Tibetan, Georgian ...): espeak-ng reads these with another language's
// rules, and when that language has no reading for a character (a digit of
// the script, a rare sign, an unassigned code point) the espeak-ng we ship
// against (1.51) frees that language's dictionary while still reading from
// it. A use after free on user text is not acceptable, and a Mandarin voice
// loses little by passing these scripts over, so they are read as spaces.
bool ReadWithAnotherLanguage(char16_t c) {
  return c >= 0x0370 && c <= 0x11FF;
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
    if (IsControl(c) || ReadWithAnotherLanguage(c)) {
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
