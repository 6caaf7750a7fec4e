// Code page 932 (Shift-JIS, as Windows has it) to and from UTF-16.
//
// The mapping is ICU's "windows-31j" table, read once into lookup tables so
// that the hot loops never call into ICU. Decoding never loses a byte: a byte
// that is not valid code page 932 becomes one character of its own,
// U+DC00 + byte (as Python's surrogateescape does), and encoding writes such a
// character back as that byte. A lead byte followed by a byte that cannot
// trail it is one invalid byte, and the next byte is read afresh; a lead and
// trail pair that the table does not map is two invalid bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace trovlin {

// Appends the decoded text of bytes to out; returns how many bytes were invalid.
std::size_t DecodeCp932(std::string_view bytes, std::u16string& out);

// Appends the code page 932 bytes of text to out. A character that has no
// code page 932 form is written as "?"; returns how many there were. A
// character outside the Basic Multilingual Plane (a surrogate pair) is one.
std::size_t EncodeCp932(std::u16string_view text, std::string& out);

// As EncodeCp932, but every from (a character below U+0080) is written as
// the byte to: a writer that must keep a character out of its output gets
// that in the same pass.
std::size_t EncodeCp932Replacing(std::u16string_view text, char16_t from, char to, std::string& out);

// True when c survives a round trip through code page 932 unchanged, escaped
// invalid bytes included.
bool Cp932RoundTrips(char16_t c);

// How many characters of text EncodeCp932 writes as "?".
std::size_t CountCp932Unencodable(std::u16string_view text);

// Whether b may follow a lead byte as the second byte of a pair.
inline constexpr bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// The escape character that stands for an invalid byte, and back.
inline constexpr char16_t EscapeInvalidByte(unsigned char b) { return char16_t(0xDC00 + b); }
inline constexpr bool IsEscapedByte(char16_t c) { return c >= 0xDC00 && c <= 0xDCFF; }

}  // namespace trovlin
