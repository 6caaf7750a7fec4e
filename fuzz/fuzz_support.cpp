#include "fuzz_support.h"

#include <unicode/utf8.h>
#include <unistd.h>

#include <cstdint>
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

void CheckValidUtf8(std::string_view bytes) {
  const auto* s = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int32_t>(bytes.size());
  for (std::int32_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) Fail("the UTF-8 output is not valid UTF-8");
  }
}

std::string Shape(std::string_view input, Variant variant) {
  switch (variant) {
    case Variant::AsIs:
      break;
    case Variant::LfOnly: {
      std::string lf(input);
      std::erase(lf, '\r');
      return lf;
    }
    case Variant::Utf16Le:
      return "\xFF\xFE" + std::string(input);
    case Variant::Utf16Be:
      return "\xFE\xFF" + std::string(input);
  }
  return std::string(input);
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
