// trovlin_loggen: writes a large synthetic log for bench/run.sh.
//
//   trovlin_loggen stn|jois|patolis3 MEGABYTES OUTPUT
//
// MEGABYTES counts 1,000,000 bytes, the unit the benchmark table uses.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "synthetic_log.h"

namespace {

int Usage() {
  std::fputs("usage: trovlin_loggen stn|jois|patolis3 MEGABYTES OUTPUT\n", stderr);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  using trovlin::bench::LogKind;
  if (argc != 4) return Usage();
  const std::string name = argv[1];
  const std::uint64_t target = std::strtoull(argv[2], nullptr, 10) * 1000000;
  LogKind kind;
  if (name == "stn") {
    kind = LogKind::Stn;
  } else if (name == "jois") {
    kind = LogKind::Jois;
  } else if (name == "patolis3") {
    kind = LogKind::PatolisLayout3;
  } else {
    return Usage();
  }
  if (target == 0) return Usage();
  std::FILE* out = std::fopen(argv[3], "wb");
  if (out == nullptr) {
    std::perror(argv[3]);
    return 1;
  }
  bool failed = false;
  trovlin::bench::GenerateLog(kind, target, [&](std::string_view block) {
    failed = failed || std::fwrite(block.data(), 1, block.size(), out) != block.size();
  });
  if (std::fclose(out) != 0 || failed) {
    std::perror(argv[3]);
    return 1;
  }
  return 0;
}
