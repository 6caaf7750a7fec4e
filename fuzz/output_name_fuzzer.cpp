// The output-name proposal on arbitrary paths: it always ends, and the
// proposal is the path up to a dot with "csv" (or the start of it) after it.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "input/output_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using trovlin::fuzz::Fail;
  const std::string path(reinterpret_cast<const char*>(data), size);
  const std::string proposal = trovlin::ProposeOutputName(path);
  if (proposal == path + ".csv" || proposal == path + "csv") return 0;
  const std::size_t dot = proposal.rfind('.');
  if (dot == std::string::npos || proposal.compare(0, dot + 1, path, 0, dot + 1) != 0) Fail("prefix not kept");
  const std::string tail = proposal.substr(dot + 1);
  if (tail != "csv" && tail != "cs" && tail != "c") Fail("the new extension is not csv");
  // An earlier dot with at most three bytes after it has at most three
  // characters after it, so it would have been chosen instead.
  for (std::size_t d = path.find('.'); d < dot; d = path.find('.', d + 1)) {
    if (path.size() - d - 1 <= 3) Fail("not the first dot that fits");
  }
  return 0;
}
