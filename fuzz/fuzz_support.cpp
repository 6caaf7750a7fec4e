#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>


namespace trovlin::fuzz {

void Fail(const char* what) {
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/trovlin-fuzz-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) Fail("cannot make a scratch folder");
    return pattern;
  }();
  return dir;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) Fail("cannot write a scratch file");
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::size_t CheckCsvShape(std::string_view csv) {
  std::size_t expected = 0;
  bool header = true;
  std::size_t i = 0;
  while (i < csv.size()) {
    std::size_t fields = 0;
    for (;;) {
      if (csv[i] != '"') Fail("a field does not open with a double quote");
      const std::size_t close = csv.find('"', i + 1);
      if (close == std::string_view::npos) Fail("a field is not closed");
      if (csv.substr(i + 1, close - i - 1).find('\r') != std::string_view::npos) Fail("CR inside a field");
      ++fields;
      i = close + 1;
      if (i < csv.size() && csv[i] == ',') {
        ++i;
        continue;
      }
      if (csv.substr(i, 2) != "\r\n") Fail("a row does not end with CR LF after a field");
      i += 2;
      break;
    }
    if (header) {
      expected = fields;
      header = false;
    } else if (fields != expected) {
      Fail("a row has another number of fields than the header");
    }
  }
  return expected;
}

}  // namespace trovlin::fuzz
