// What one conversion pass counts, whichever converter made it.
#pragma once

#include <cstdint>

namespace trovlin {

struct RunStatistics {
  std::uint64_t rows = 0;
  std::uint64_t unencodable = 0;  // characters the CSV's code page cannot hold, written as "?"
  std::uint64_t replaced = 0;     // invalid bytes of the log, written as U+FFFD in a UTF-8 CSV
  std::uint64_t bytesRead = 0;
  std::uint64_t linesRead = 0;
  std::uint64_t protectedValues = 0;  // written after an apostrophe (protectFormulas)
};

}  // namespace trovlin
