#include "fuzz_support.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "text/cp932.h"

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

namespace {

std::array<std::size_t, 256> InvalidByteCounts(std::string_view bytes) {
  std::array<std::size_t, 256> counts{};
  std::u16string text;
  DecodeCp932(bytes, text);
  for (char16_t c : text) {
    if (IsEscapedByte(c)) ++counts[c - 0xDC00];
  }
  return counts;
}

}  // namespace

void CheckInvalidBytesCarried(std::string_view input, std::string_view output) {
  const auto in = InvalidByteCounts(input);
  const auto out = InvalidByteCounts(output);
  for (std::size_t b = 0; b < 256; ++b) {
    if (out[b] > in[b]) Fail("an invalid byte in the CSV that the log did not have");
  }
}

}  // namespace trovlin::fuzz
