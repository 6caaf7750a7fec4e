#include "logread/log_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string_view>
#include <type_traits>

#include "common/errors.h"
#include "platform/file_system.h"
#include "text/cp932.h"
#include "text/cp932_bytes.h"
#include "text/utf16.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

// A block small enough to stay in the processor's cache between the read
// that copies it in and the decoding that goes over it.
constexpr std::size_t kBlockSize = 128 << 10;
// The buffer never grows past room for the longest line allowed and a
// megabyte more (the limit is checked when the buffer is full).
constexpr std::size_t kCapacityLimit = LogReader::kMaxLineBytes + (1 << 20);
constexpr std::size_t kTabWidth = 4;

// A TAB is never part of a code page 932 pair, so bytes expand alike.
template <class Line>
void ExpandTabs(Line& line) {
  const auto tabs = static_cast<std::size_t>(std::count(line.begin(), line.end(), '\t'));
  if (tabs == 0) return;
  std::size_t src = line.size();
  line.resize(line.size() + (kTabWidth - 1) * tabs);
  std::size_t dst = line.size();
  while (src > 0) {
    const auto c = line[--src];
    if (c == '\t') {
      dst -= kTabWidth;
      std::fill_n(&line[dst], kTabWidth, ' ');
    } else {
      line[--dst] = c;
    }
  }
}

// What the search for a line's end saw before it.
struct LineBytes {
  bool tab = false;       // a TAB
  bool nonAscii = false;  // a byte at or above 0x80
};

// The first kEnd in [p, end), or nullptr; notes in seen what comes before
// it. One pass finds all, so a line is searched once before it is decoded.
template <char kEnd>
const char* FindLineEnd(const char* p, const char* end, LineBytes& seen) {
  unsigned tabs = 0;
  unsigned highs = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8(kEnd);
  const __m128i ht = _mm_set1_epi8('\t');
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
    const unsigned here = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, ht)));
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(v));
    if (crs != 0) {
      const unsigned before = (crs & -crs) - 1;  // the bytes before the first CR
      tabs |= here & before;
      highs |= high & before;
      seen.tab = seen.tab || tabs != 0;
      seen.nonAscii = seen.nonAscii || highs != 0;
      return p + std::countr_zero(crs);
    }
    tabs |= here;
    highs |= high;
  }
#endif
  for (; p < end; ++p) {
    if (*p == kEnd) break;
    tabs |= *p == '\t';
    highs |= static_cast<unsigned char>(*p) >> 7;
  }
  seen.tab = seen.tab || tabs != 0;
  seen.nonAscii = seen.nonAscii || highs != 0;
  return p < end ? p : nullptr;
}

constexpr unsigned char kLf = 10;
constexpr unsigned char kCr = 13;

// The first j in [from, end) with p[j] == LF and p[j + 1] == CR, or end.
// p[end] must be readable. A log with CR LF line ends holds no such pair, so
// a whole block is usually one search.
std::size_t FindLfCr(const unsigned char* p, std::size_t from, std::size_t end) {
#if defined(__SSE2__)
  const __m128i lf = _mm_set1_epi8(static_cast<char>(kLf));
  const __m128i cr = _mm_set1_epi8(static_cast<char>(kCr));
  // p[from + 32] is the last byte loaded, and from + 32 <= end.
  for (; end - from >= 32; from += 32) {
    const auto* q = reinterpret_cast<const __m128i*>(p + from);
    const auto* q1 = reinterpret_cast<const __m128i*>(p + from + 1);
    const __m128i lo = _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(q), lf), _mm_cmpeq_epi8(_mm_loadu_si128(q1), cr));
    const __m128i hi =
        _mm_and_si128(_mm_cmpeq_epi8(_mm_loadu_si128(q + 1), lf), _mm_cmpeq_epi8(_mm_loadu_si128(q1 + 1), cr));
    const unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(lo)) | (static_cast<unsigned>(_mm_movemask_epi8(hi)) << 16);
    if (mask != 0) return from + static_cast<std::size_t>(std::countr_zero(mask));
  }
#endif
  for (; from < end; ++from) {
    if (p[from] == kLf && p[from + 1] == kCr) return from;
  }
  return end;
}

// Whether the LF at j is examined, when examination reached from (<= j) and
// nothing in [from, j) is rewritten. An examined LF leaves the byte after it
// unexamined, so in a run of LFs every other one is examined, starting with
// the first: the byte before the run is no LF, so it was either examined or
// the skipped byte after an LF, and either way the run's first LF comes next.
bool IsExamined(const unsigned char* p, std::size_t from, std::size_t j) {
  std::size_t k = j;
  while (k > from && p[k - 1] == kLf) --k;
  return (j - k) % 2 == 0;
}

}  // namespace

LogReader::LogReader(const std::string& path, Options options, RunObserver* observer)
    : path_(path),
      observer_(observer),
      format_(options.format),
      lfLines_(format_.lineEnd == LineEnd::Lf),
      utf16_(format_.encoding == LogEncoding::Utf16Le || format_.encoding == LogEncoding::Utf16Be),
      repair_(format_.repairLfCr && format_.lineEnd == LineEnd::Cr),
      reportUnencodable_(format_.encoding != LogEncoding::Cp932),
      trailingLinePending_(options.trailingEmptyLine) {
  std::error_code ec;
  if (platform::IsFolder(path)) throw IoError(path, IoOperation::ReadLog, IoReason::Folder);
  file_ = platform::OpenForReading(path);
  if (file_ == nullptr) throw IoError(path, IoOperation::OpenLog, IoReason::System, errno);
  std::setvbuf(file_, nullptr, _IONBF, 0);
  auto size = std::filesystem::file_size(platform::PathOf(path), ec);
  totalBytes_ = ec ? 0 : size;
  buffer_.resize(kBlockSize);
  Fill();
  while (format_.encoding == LogEncoding::Utf8 && end_ - begin_ < kUtf8Bom.size() && !fileEnded_) Fill();
  if (format_.encoding == LogEncoding::Utf8 &&
      std::string_view(buffer_.data() + begin_, end_ - begin_).starts_with(kUtf8Bom)) {
    Consume(begin_ + kUtf8Bom.size());
    if (begin_ == end_) Fill();
  }
}

LogReader::~LogReader() {
  if (file_ != nullptr) std::fclose(file_);
}

// Reads the next block after the unread bytes, moving them to the front and
// growing the buffer when one line fills it.
void LogReader::Fill() {
  if (fileEnded_) return;
  if (begin_ > 0) {
    lastByte_ = static_cast<unsigned char>(buffer_[begin_ - 1]);
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  // UTF-16 needs room for a few bytes of UTF-8 at least.
  const std::size_t minRoom = utf16_ ? 8 : 1;
  if (buffer_.size() - end_ < minRoom) {
    // One line fills the buffer: grow it, up to room for the longest line allowed.
    if (buffer_.size() >= kCapacityLimit) {
      throw IoError(path_, IoOperation::ReadLog, IoReason::LineTooLong, lineNumber_ + 1, kMaxLineBytes >> 20);
    }
    buffer_.resize(std::min(buffer_.size() * 2, kCapacityLimit));
  }
  const std::size_t from = end_;
  const std::size_t n = Read(buffer_.data() + end_, buffer_.size() - end_);
  if (n == 0) fileEnded_ = true;
  end_ += n;
  if (repair_ && n > 0) Repair(from);
}

// Reads up to room bytes of the log as the line splitter sees them; 0 at its end.
std::size_t LogReader::Read(char* to, std::size_t room) {
  if (utf16_) return ReadUtf16(to, room);
  const std::size_t n = std::fread(to, 1, room, file_);
  if (n == 0 && std::ferror(file_)) throw IoError(path_, IoOperation::ReadLog, IoReason::System, errno);
  return n;
}

std::size_t LogReader::ReadUtf16(char* to, std::size_t room) {
  const bool bigEndian = format_.encoding == LogEncoding::Utf16Be;
  for (;;) {
    // Few enough bytes that their UTF-8 fits in room, whatever they hold.
    const std::size_t want = room / kUtf16MaxGrowth * 2;
    const std::size_t carried = raw_.size();
    raw_.resize(want);
    const std::size_t got = std::fread(raw_.data() + carried, 1, want - carried, file_);
    if (got == 0 && std::ferror(file_)) throw IoError(path_, IoOperation::ReadLog, IoReason::System, errno);
    rawRead_ += got;
    raw_.resize(carried + got);
    std::string_view bytes = raw_;
    if (!rawStarted_ && (bytes.size() >= 2 || got == 0)) {
      rawStarted_ = true;
      if (bytes.starts_with(bigEndian ? "\xFE\xFF" : "\xFF\xFE")) bytes.remove_prefix(2);
    } else if (!rawStarted_) {
      continue;  // one byte so far: the byte-order mark is not yet known
    }
    const Utf16Step step = Utf16ToUtf8Bytes(bytes, bigEndian, got == 0, to);
    raw_.erase(0, raw_.size() - (bytes.size() - step.used));
    if (step.written > 0 || got == 0) return step.written;
  }
}

// Rewrites the LF CR pairs of the bytes read last, buffer_[from, end_), and
// the pair an LF left at the end of the earlier bytes makes with them.
void LogReader::TellRepaired() {
  if (repaired_) return;
  repaired_ = true;
  if (observer_ != nullptr) observer_->OnLfCrRepaired();
}

void LogReader::Repair(std::size_t from) {
  auto* p = reinterpret_cast<unsigned char*>(buffer_.data());
  const std::size_t e = end_;
  std::size_t i = from;
  if (skipNext_) {
    i = from + 1;
  } else if (pendingLf_) {
    if (p[from] == kCr) {
      p[from - 1] = kCr;
      p[from] = kLf;
      TellRepaired();
    }
    i = from + 1;
  }
  skipNext_ = false;
  pendingLf_ = false;
  const auto before = [&](std::size_t j) { return j > 0 ? int{p[j - 1]} : lastByte_; };
  while (i + 1 < e) {
    const std::size_t j = FindLfCr(p, i, e - 1);
    if (j == e - 1) break;
    if (!IsExamined(p, i, j)) {
      // The LF before j was examined and its pair failed: j is skipped.
      i = j + 1;
      continue;
    }
    if (before(j) != kCr) {
      p[j] = kCr;
      p[j + 1] = kLf;
      TellRepaired();
    }
    i = j + 2;
  }
  // An examined LF last in the buffer waits for the next byte.
  if (i < e && p[e - 1] == kLf && IsExamined(p, i, e - 1)) {
    if (before(e - 1) == kCr) {
      skipNext_ = true;
    } else {
      pendingLf_ = true;
    }
  }
}

void LogReader::Consume(std::size_t upTo) {
  consumed_ += upTo - begin_;
  begin_ = upTo;
}

std::size_t LogReader::DecodeLine(std::string_view bytes, bool, std::u16string& line) const {
  return format_.encoding == LogEncoding::Cp932 ? DecodeCp932(bytes, line) : DecodeUtf8(bytes, line);
}

std::size_t LogReader::DecodeLine(std::string_view bytes, bool nonAscii, std::string& line) const {
  if (format_.encoding != LogEncoding::Cp932) throw std::logic_error("only a code page 932 log is read as bytes");
  if (nonAscii) return CanonicalizeCp932(bytes, line);
  line.assign(bytes);  // ASCII is its own canonical form
  return 0;
}

template <char kEnd, class Line>
void LogReader::ReadLine(Line& line) {
  line.clear();
  if (begin_ == end_ && fileEnded_) {
    if (trailingLinePending_) {
      trailingLinePending_ = false;
      trailingLineGiven_ = true;
      ++lineNumber_;
    }
    return;
  }
  std::size_t searched = begin_;
  const char* cr = nullptr;
  LineBytes seen;
  for (;;) {
    cr = FindLineEnd<kEnd>(buffer_.data() + searched, buffer_.data() + end_, seen);
    if (cr != nullptr || fileEnded_) break;
    // Fill() moves the unread bytes to the front, and may turn an LF left
    // last into a CR.
    searched = end_ - begin_ - (pendingLf_ ? 1 : 0);
    Fill();
  }
  ++lineNumber_;
  const std::size_t lineEnd = cr != nullptr ? static_cast<std::size_t>(cr - buffer_.data()) : end_;
  std::string_view bytes(buffer_.data() + begin_, lineEnd - begin_);
  const std::size_t invalid = DecodeLine(bytes, seen.nonAscii, line);
  if (seen.tab) ExpandTabs(line);
  if (observer_ != nullptr) {
    if (invalid > 0) observer_->OnInvalidBytes(lineNumber_, invalid);
    if constexpr (std::is_same_v<Line, std::u16string>) {
      if (reportUnencodable_) {
        const std::size_t unencodable = CountCp932Unencodable(line);
        if (unencodable > 0) observer_->OnUnencodable(lineNumber_, unencodable);
      }
    }
  }

  Consume(cr != nullptr ? lineEnd + 1 : lineEnd);
  if (begin_ == end_) Fill();
  if (kEnd == '\r' && cr != nullptr && begin_ < end_ && buffer_[begin_] == '\n') {
    Consume(begin_ + 1);
    if (begin_ == end_) Fill();
  }
}

template void LogReader::ReadLine<'\r'>(std::u16string& line);
template void LogReader::ReadLine<'\n'>(std::u16string& line);
template void LogReader::ReadLine<'\r'>(std::string& line);
template void LogReader::ReadLine<'\n'>(std::string& line);

}  // namespace trovlin
