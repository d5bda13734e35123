// Cutting a text of any length into the pieces the synthesiser is fed one
// at a time, so that synthesis never holds more than one piece's audio.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The longest piece, in UTF-16 code units. Without punctuation to cut at,
// this is about twenty-five seconds of Mandarin, the most audio synthesis
// ever holds ahead of the playback buffer (about 1 MB).
constexpr std::size_t kMaxPieceLength = 80;

// The length of the piece at the front of text: up to and including the
// first sentence end, else up to the last clause mark or space within
// kMaxPieceLength, else kMaxPieceLength units without splitting a surrogate
// pair. Zero only for an empty text.
std::size_t NextPieceLength(std::u16string_view text);

// The piece as UTF-8 for the synthesiser, read as plain text: control
// characters, and everything the Mandarin voice does not read by itself
// (other scripts, symbols, characters outside the basic plane), become
// spaces.
// Empty when nothing in it can be spoken.
std::string PrepareForSynthesis(std::u16string_view piece);
