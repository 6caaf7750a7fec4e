// What the micro-benchmarks run on: synthetic logs of a few megabytes, in
// memory and as files, made once per process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"
#include "synthetic_log.h"

namespace trovlin::bench {

inline constexpr std::uint64_t kMicroLogBytes = 8'000'000;

// The log's bytes.
const std::string& LogBytes(LogKind kind);
// The log's lines without their line ends.
const std::vector<std::string_view>& RawLines(LogKind kind);
// The log's lines, decoded.
const std::vector<std::u16string>& DecodedLines(LogKind kind);
// The path of the log written to a temporary file, removed at exit.
const std::string& LogFile(LogKind kind);
// A fresh path in the temporary folder for an output file.
std::string OutputPath(std::string_view name);
// The columns a conversion of the log takes: every item of its first answer.
ItemTable LogItems(LogKind kind);

const char* KindName(LogKind kind);

}  // namespace trovlin::bench
