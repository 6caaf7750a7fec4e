// Code page 932 text worked on as its bytes, for a run whose log and CSV are
// both in code page 932: the result is always the bytes that decoding,
// applying the same rule to the characters and encoding again would give,
// without the detour through UTF-16.
//
// A character is one unit of the decoder (cp932.h): an ASCII or other single
// byte, a mapped lead and trail pair, or an invalid byte. A lead and trail
// pair that the table does not map is two invalid bytes read together, so a
// walk never starts afresh at its second byte. ASCII bytes, and so spaces,
// "*", "\"", TAB, CR and LF, are never part of a pair; "|" may be a trail.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trovlin {

// Appends bytes as a decode and encode round trip writes them: mapped pairs
// in the form the encoder chooses (duplicated codes become one), everything
// else as it is. Returns how many bytes are invalid. The canonical form
// decodes to the same characters and is its own canonical form.
std::size_t CanonicalizeCp932(std::string_view bytes, std::string& out);

// The walk behind HasAtMostCp932Chars, for the lengths its quick test
// cannot settle.
bool HasAtMostCp932CharsByWalk(std::string_view bytes, std::size_t limit);

// Whether bytes hold at most limit characters. A tagged run asks this of
// every line, and the byte count alone settles it for almost all of them.
inline bool HasAtMostCp932Chars(std::string_view bytes, std::size_t limit) {
  if (bytes.size() <= limit) return true;
  if (bytes.size() > 2 * limit) return false;  // no character is longer than two bytes
  return HasAtMostCp932CharsByWalk(bytes, limit);
}

// Where the text after the first chars characters of bytes starts (the end
// when there are fewer). When the cut falls between the two invalid bytes of
// an unmapped pair, the text after it starts with a byte that is a
// character on its own: secondOfPair says so.
struct Cp932Cut {
  std::size_t offset = 0;
  bool secondOfPair = false;
};
Cp932Cut CutAfterCp932CharsByWalk(std::string_view bytes, std::size_t chars);
// An ASCII byte is a character on its own and ends no pair, so the walk
// starts afresh after the ASCII bytes the cut begins with (most field codes
// are ASCII).
inline Cp932Cut CutAfterCp932Chars(std::string_view bytes, std::size_t chars) {
  std::size_t ascii = 0;
  const std::size_t n = bytes.size() < chars ? bytes.size() : chars;
  while (ascii < n && static_cast<unsigned char>(bytes[ascii]) < 0x80) ++ascii;
  if (ascii == n) return {n, false};
  Cp932Cut cut = CutAfterCp932CharsByWalk(bytes.substr(ascii), chars - ascii);
  cut.offset += ascii;
  return cut;
}

// What AppendCp932Piece does to each character on the way.
struct Cp932PieceRules {
  bool deleteStars = false;  // drop every "*"
  bool toHalfWidth = false;  // full-width characters to their half-width forms (half_width.h)
};

// Appends piece, in the canonical form, to out with rules applied, reading
// it from its start (with firstAlone, its first byte is a character on its
// own). Returns the last
// character appended when it is a single ASCII byte, else 0 (also when
// nothing was appended).
char AppendCp932Piece(std::string_view piece, bool firstAlone, Cp932PieceRules rules, std::string& out);

// The last character of text when it is a single ASCII byte, else 0.
char LastCp932AsciiChar(std::string_view text);

}  // namespace trovlin
