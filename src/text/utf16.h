// UTF-16 log bytes to UTF-8, so that a UTF-16 log is read as a UTF-8 one.
//
// Code units are read little- or big-endian. A surrogate pair becomes one
// four-byte sequence; a lone surrogate, and an odd byte at the very end,
// become the byte 0xFF, which is never valid UTF-8: the UTF-8 decoder then
// reports it as an invalid byte of its line like any other.
#pragma once

#include <cstddef>
#include <string_view>

namespace trovlin {

inline constexpr std::size_t kUtf16MaxGrowth = 3;  // UTF-8 bytes per UTF-16 code unit, at most

struct Utf16Step {
  std::size_t used = 0;     // bytes of the input taken
  std::size_t written = 0;  // bytes put at out
};

// Transcodes the whole code units of bytes into out, which must hold
// kUtf16MaxGrowth * (bytes.size() / 2) + 1 bytes. Unless last is set, an odd
// final byte and a final lead surrogate are left unused for the next call.
Utf16Step Utf16ToUtf8Bytes(std::string_view bytes, bool bigEndian, bool last, char* out);

}  // namespace trovlin
