// Detection and item discovery on arbitrary bytes. The line-end repair may
// change only LF CR pairs into CR LF and must keep the file's length.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "input/detect.h"
#include "input/discover.h"
#include "text/spaces.h"

namespace {

void CheckRepair(std::string_view before, std::string_view after) {
  using trovlin::fuzz::Fail;
  if (before.size() != after.size()) Fail("the repair changed the file's length");
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i] == after[i]) continue;
    const bool pair = i + 1 < before.size() && before[i] == '\n' && before[i + 1] == '\r' && after[i] == '\r' &&
                      after[i + 1] == '\n';
    if (!pair) Fail("the repair changed something other than an LF CR pair");
    ++i;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::ScratchDir() + "/detect.log";
  fuzz::WriteFile(path, input);
  const DatabaseKind kind = DetectDatabase(path);
  const std::string after = fuzz::ReadFile(path);
  if (kind != DatabaseKind::Patolis && after != input) fuzz::Fail("a log other than PATOLIS was changed");
  CheckRepair(input, after);

  const Discovery found = DiscoverItems(path);
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
