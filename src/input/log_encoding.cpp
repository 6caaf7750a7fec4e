#include "input/log_encoding.h"

#include <unicode/utf8.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "common/errors.h"

namespace trovlin {
namespace {

constexpr std::size_t kWindow = 64 * 1024;

}  // namespace

LogEncoding SniffEncodingOf(std::string_view head, bool headIsWholeFile) {
  if (head.substr(0, kUtf8Bom.size()) == kUtf8Bom) return LogEncoding::Utf8;
  const auto* s = reinterpret_cast<const uint8_t*>(head.data());
  const int32_t length = static_cast<int32_t>(head.size());
  bool multiByte = false;
  int32_t i = 0;
  while (i < length) {
    if (s[i] < 0x80) {
      ++i;
      continue;
    }
    const int32_t start = i;
    UChar32 c;
    U8_NEXT(s, i, length, c);
    if (c < 0) {
      // A sequence that only the window's end cuts short may be whole in the file.
      const bool cutShort = !headIsWholeFile && i == length && U8_COUNT_TRAIL_BYTES(s[start]) > length - start - 1;
      return cutShort && multiByte ? LogEncoding::Utf8 : LogEncoding::Cp932;
    }
    multiByte = true;
  }
  return multiByte ? LogEncoding::Utf8 : LogEncoding::Cp932;
}

LogEncoding SniffLogEncoding(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw IoError(path, "cannot read the log", "it is a folder");
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
  if (!file) throw IoError(path, "cannot open the log", SystemReason(errno));
  std::string head(kWindow + 1, '\0');
  const std::size_t got = std::fread(head.data(), 1, head.size(), file.get());
  if (std::ferror(file.get())) throw IoError(path, "cannot read the log", SystemReason(errno));
  head.resize(got);
  const bool whole = got <= kWindow;
  if (!whole) head.resize(kWindow);
  return SniffEncodingOf(head, whole);
}

}  // namespace trovlin
