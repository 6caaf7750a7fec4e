#include "input/log_encoding.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "common/errors.h"
#include "platform/file_system.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

bool IsUtf16(LogEncoding e) { return e == LogEncoding::Utf16Le || e == LogEncoding::Utf16Be; }

// NUL bytes at even and at odd offsets.
std::array<std::size_t, 2> CountNuls(std::string_view head) {
  std::array<std::size_t, 2> nuls{};
  if (head.find('\0') == std::string_view::npos) return nuls;
  for (std::size_t i = 0; i < head.size(); ++i) nuls[i % 2] += head[i] == '\0';
  return nuls;
}

// UTF-16 text of much ASCII has a NUL in one byte of many code units, and
// (almost) never in the other: a quarter of the units, all on one side.
// Text of few ASCII characters (Japanese) has fewer NULs, still all on one
// side, and its line ends are CR or LF units: "\r\0" or "\n\0" (little-
// endian) or "\0\r", "\0\n" at an even offset.
bool LooksLikeUtf16(std::string_view head, const std::array<std::size_t, 2>& nuls) {
  const std::size_t units = head.size() / 2;
  const std::size_t most = std::max(nuls[0], nuls[1]);
  const std::size_t least = std::min(nuls[0], nuls[1]);
  if (units == 0 || most == 0 || least * 100 > most) return false;
  if (most * 4 >= units) return true;
  const std::size_t nulAt = nuls[1] > nuls[0] ? 1 : 0;  // little-endian ASCII has its NUL second
  std::size_t lineEnds = 0;
  for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
    const char c = head[i + 1 - nulAt];
    lineEnds += head[i + nulAt] == '\0' && (c == '\r' || c == '\n');
  }
  return lineEnds > 0;
}

void FindLineEnds(std::string_view text, LogSniff& sniff) {
  const bool cr = text.find('\r') != std::string_view::npos;
  const bool lf = text.find('\n') != std::string_view::npos;
  if (lf && !cr) {
    sniff.format.lineEnd = LineEnd::Lf;
    return;
  }
  std::size_t crs = 0, crLfs = 0;
  for (std::size_t i = text.find('\r'); i != std::string_view::npos && i + 1 < text.size();
       i = text.find('\r', i + 1)) {
    ++crs;
    crLfs += text[i + 1] == '\n';
  }
  sniff.format.crLf = crs > 0 && crLfs == crs;
  std::uint64_t line = 1;
  std::size_t counted = 0;  // CRs before here are in line
  for (std::size_t i = text.find('\n'); i != std::string_view::npos && sniff.loneLfLines.size() < kLoneLfLinesKept;
       i = text.find('\n', i + 1)) {
    if ((i > 0 && text[i - 1] == '\r') || (i + 1 < text.size() && text[i + 1] == '\r')) continue;
    line += static_cast<std::uint64_t>(std::count(text.begin() + counted, text.begin() + i, '\r'));
    counted = i;
    if (sniff.loneLfLines.empty() || sniff.loneLfLines.back() != line) sniff.loneLfLines.push_back(line);
  }
}

}  // namespace

LogEncoding SniffEncodingOf(std::string_view head, bool headIsWholeFile) {
  if (head.starts_with(kUtf16LeBom)) return LogEncoding::Utf16Le;
  if (head.starts_with(kUtf16BeBom)) return LogEncoding::Utf16Be;
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

LogSniff SniffLogOf(std::string_view head, bool headIsWholeFile, std::optional<LogEncoding> given) {
  LogSniff sniff;
  sniff.empty = head.empty();
  const std::array<std::size_t, 2> nuls = CountNuls(head);
  LogEncoding encoding = given ? *given : SniffEncodingOf(head, headIsWholeFile);
  if (given && IsUtf16(*given)) {
    if (head.starts_with(kUtf16LeBom)) {
      encoding = LogEncoding::Utf16Le;
    } else if (head.starts_with(kUtf16BeBom)) {
      encoding = LogEncoding::Utf16Be;
    } else {
      // ASCII in big-endian order has its NUL first, at even offsets.
      encoding = nuls[0] > nuls[1] ? LogEncoding::Utf16Be : LogEncoding::Utf16Le;
    }
  }
  sniff.format.encoding = encoding;
  if (!IsUtf16(encoding)) {
    sniff.nulBytes = nuls[0] + nuls[1] > 0;
    sniff.utf16WithoutBom = LooksLikeUtf16(head, nuls);
    // Bytes read in the wrong encoding say nothing about line ends.
    if (!sniff.utf16WithoutBom) FindLineEnds(head, sniff);
    return sniff;
  }
  std::string text(kUtf16MaxGrowth * (head.size() / 2) + 1, '\0');
  const Utf16Step step = Utf16ToUtf8Bytes(head, encoding == LogEncoding::Utf16Be, headIsWholeFile, text.data());
  text.resize(step.written);
  FindLineEnds(text, sniff);
  return sniff;
}

LogSniff SniffLog(const std::string& path, std::optional<LogEncoding> given) {
  if (platform::IsFolder(path)) throw IoError(path, IoOperation::ReadLog, IoReason::Folder);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::OpenForReading(path), &std::fclose);
  if (!file) throw IoError(path, IoOperation::OpenLog, IoReason::System, errno);
  std::string head(kSniffWindow + 1, '\0');
  const std::size_t got = std::fread(head.data(), 1, head.size(), file.get());
  if (std::ferror(file.get())) throw IoError(path, IoOperation::ReadLog, IoReason::System, errno);
  head.resize(got);
  const bool whole = got <= kSniffWindow;
  if (!whole) head.resize(kSniffWindow);
  return SniffLogOf(head, whole, given);
}

}  // namespace trovlin
