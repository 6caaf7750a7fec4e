// UTF-8 for the terminal and for file names, UTF-16 inside.
//
// Bytes that are not valid UTF-8 are kept as escaped bytes (U+DC00 + byte),
// the same escape the code page 932 decoder uses, so a file name of any bytes
// survives the round trip.
#pragma once

#include <string>
#include <string_view>

namespace trovlin {

// The byte-order mark that may open UTF-8 text: skipped in a log, written
// at the head of a CSV that asks for it.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends the decoded text of utf8 to out; returns how many bytes were invalid.
std::size_t DecodeUtf8(std::string_view utf8, std::u16string& out);
// Appends the UTF-8 bytes of utf16 to out; escaped bytes go back as themselves.
void EncodeUtf8(std::u16string_view utf16, std::string& out);
// As EncodeUtf8, but every escaped byte is written as U+FFFD, so that out is
// valid UTF-8; returns how many escaped bytes there were.
std::size_t EncodeValidUtf8(std::u16string_view utf16, std::string& out);

}  // namespace trovlin
