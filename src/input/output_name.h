// The output file name proposed for a log, and the same-file guard.
//
// The proposal keeps the path's length where it can: the first "." with at
// most three characters of the path after it (directory names included) has
// those characters overwritten with "csv", as many as there are ("log" ->
// "csv", "lo" -> "cs"). A path without such a dot, or whose chosen dot is its
// last character, gets "csv" appended (after a "." where needed). Characters
// are counted as decoded from UTF-8, an invalid byte as one character.
#pragma once

#include <string>
#include <string_view>

#include "common/conversion_settings.h"

namespace trovlin {

// A workbook's proposal is the log's name with its extension (if any) made ".xlsx".
std::string ProposeOutputName(std::string_view inputPath, OutputFormat format = OutputFormat::Csv);

// The format an output's name asks for: a workbook for a name ending in
// ".xlsx" (any letter case), CSV for any other.
OutputFormat OutputFormatFor(std::string_view outputPath);

// True when output would overwrite input: the same text, or two names of one
// file on disk (another spelling, a link).
bool IsSameFile(const std::string& inputPath, const std::string& outputPath);

}  // namespace trovlin
