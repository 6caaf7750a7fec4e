// Opening a log and item discovery on arbitrary bytes. Nothing ever writes
// the log; reading with the PATOLIS repair gives the lines of the log as the
// repair's rule rewrites it, done here byte by byte.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "input/discover.h"
#include "input/open_log.h"
#include "logread/log_reader.h"
#include "text/spaces.h"

namespace {

// From the start: an LF whose next byte is CR and whose previous byte (as
// rewritten) is not CR swaps with that CR; the byte after an LF is skipped.
std::string Repaired(std::string bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    if (i + 1 < bytes.size() && bytes[i + 1] == '\r' && (i == 0 || bytes[i - 1] != '\r'))
      std::swap(bytes[i], bytes[i + 1]);
    ++i;
  }
  return bytes;
}

std::vector<std::u16string> Lines(const std::string& path, const trovlin::LogFormat& format) {
  trovlin::LogReader log(path, {.format = format});
  std::vector<std::u16string> lines;
  while (!log.AtEnd()) log.ReadLogLine(lines.emplace_back());
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::ScratchDir() + "/detect.log";
  fuzz::WriteFile(path, input);
  const OpenedLog opened = OpenLog(path);
  if (fuzz::ReadFile(path) != input) fuzz::Fail("opening the log changed it");
  if ((opened.kind == DatabaseKind::None) != (opened.refusal != Refusal::None)) fuzz::Fail("a refusal without reason");

  const std::string repaired = fuzz::ScratchDir() + "/repaired.log";
  fuzz::WriteFile(repaired, Repaired(std::string(input)));
  if (Lines(path, {.repairLfCr = true}) != Lines(repaired, {})) fuzz::Fail("the repair read other lines than its rule");

  const Discovery found = DiscoverItems(path, opened.format);
  if (found.items.size() > kMaxTaggedItems) fuzz::Fail("more items than the grid takes");
  for (std::size_t i = 0; i < found.items.size(); ++i) {
    const std::u16string& code = found.items[i].code;
    if (code.empty() || code.size() > 4) fuzz::Fail("a code of the wrong length");
    if (TrimSpaces(code) != code) fuzz::Fail("a code with spaces around it");
    if (code.front() == u'(') fuzz::Fail("a code that should have ended the scan");
    for (std::size_t j = 0; j < i; ++j) {
      if (found.items[j].code == code) fuzz::Fail("a code listed twice");
    }
  }
  return 0;
}
