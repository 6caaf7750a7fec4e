// The text routines the PATOLIS layout converters share.
//
// A PATOLIS field runs on over lines that begin with two half-width spaces;
// AppendContinuationLines joins them to the field with no separator. The two
// collapse routines shorten every run of n spaces to ceil(n/4) spaces (two
// passes that each turn "  " into " "), NarrowAndCollapseSpaces after turning
// full-width characters into their half-width forms. Only the half-width
// space U+0020 is trimmed or collapsed; the ideographic space is an ordinary
// character until it is narrowed.
#pragma once

#include <string>
#include <string_view>

#include "logread/log_reader.h"

namespace trovlin {

// Reads the lines after the current one while they begin with two spaces and
// appends each, trimmed, to value; line becomes the first line that does not
// begin with two spaces. Returns true when the end of input was met first:
// then line is the last continuation line read (or unchanged when the input
// had already ended), and nothing more is read.
[[nodiscard]] bool AppendContinuationLines(LogReader& log, std::u16string& value, std::u16string& line);

// value becomes its half-width form with its runs of spaces collapsed. The
// value is changed where it stands, so a cell keeps its memory from row to row.
void NarrowAndCollapseSpaces(std::u16string& value);

// value's runs of spaces collapsed, where it stands.
void CollapseSpaces(std::u16string& value);

}  // namespace trovlin
