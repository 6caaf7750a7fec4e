// Large, realistic saved search logs for the benchmarks, made up on the spot.
//
// The logs follow the bundled samples: an STN answer set with English text
// and some Japanese (applicants, about half of the abstracts), a JOIS answer
// set of mostly full-width text, and a PATOLIS answer list in layout 3. They
// are code page 932 with CR LF line ends. The same kind and size always give
// the same bytes (a fixed seed), so figures from different runs compare.
// Generation stops after the first whole record that reaches the target size.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace trovlin::bench {

enum class LogKind { Stn, Jois, PatolisLayout3 };

// Receives the log in blocks of about a megabyte, in order.
using LogSink = std::function<void(std::string_view)>;

void GenerateLog(LogKind kind, std::uint64_t targetBytes, const LogSink& sink);
std::string GenerateLog(LogKind kind, std::uint64_t targetBytes);

}  // namespace trovlin::bench
