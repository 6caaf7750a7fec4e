// The paste file: clipboard text saved as a log, so that it loads like one.
//
// The file is "trovlint001.tmp" in the folder named by the environment
// variable TMP (the current folder when TMP is unset or empty). It is created
// or emptied at each paste and never removed. The text is written in code
// page 932 exactly as pasted, with the line breaks of the platform's plain
// text clipboard (CR LF) and no line break added at the end.
//
// TMP may be shared with other users, so the file is never opened through a
// symbolic link, and a name held by something other than an ordinary file of
// this user is refused rather than written through.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trovlin::app {

inline constexpr std::string_view kPasteFileName = "trovlint001.tmp";

// The paste file's path for the value of TMP (null when unset).
std::string PasteFilePath(const char* tmp);

// Clipboard text as the plain-text clipboard format carries it: Qt hands text
// over with LF line breaks, the log reader splits lines at CR, so every LF
// that does not follow a CR becomes CR LF.
std::u16string ClipboardLineBreaks(std::u16string_view text);

// Writes text into the paste file at path. Returns how many characters have no
// code page 932 form and were written as "?". Throws IoError naming path and
// the reason.
std::uint64_t WritePasteFile(const std::string& path, std::u16string_view text);

}  // namespace trovlin::app
