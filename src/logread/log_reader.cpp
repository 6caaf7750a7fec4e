#include "logread/log_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>

#include "common/errors.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

// A block small enough to stay in the processor's cache between the read
// that copies it in and the decoding that goes over it.
constexpr std::size_t kBlockSize = 128 << 10;
// The buffer never grows past room for the longest line allowed and a
// megabyte more (the limit is checked when the buffer is full).
constexpr std::size_t kCapacityLimit = LogReader::kMaxLineBytes + (1 << 20);
constexpr std::u16string_view kTabSpaces = u"    ";

void ExpandTabs(std::u16string& line, std::size_t from) {
  std::size_t tabs = 0;
  for (std::size_t i = from; i < line.size(); ++i) tabs += line[i] == u'\t';
  if (tabs == 0) return;
  std::size_t src = line.size();
  line.resize(line.size() + 3 * tabs);
  std::size_t dst = line.size();
  while (src > from) {
    char16_t c = line[--src];
    if (c == u'\t') {
      dst -= kTabSpaces.size();
      kTabSpaces.copy(&line[dst], kTabSpaces.size());
    } else {
      line[--dst] = c;
    }
  }
}

// The first CR in [p, end), or nullptr; sets tab when a TAB comes before it.
// One pass finds both, so a line is searched once before it is decoded.
const char* FindLineEnd(const char* p, const char* end, bool& tab) {
  unsigned tabs = 0;
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i ht = _mm_set1_epi8('\t');
  for (; end - p >= 16; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, cr)));
    const unsigned here = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, ht)));
    if (crs != 0) {
      tabs |= here & ((crs & -crs) - 1);  // the TABs before the first CR
      tab = tab || tabs != 0;
      return p + std::countr_zero(crs);
    }
    tabs |= here;
  }
#endif
  for (; p < end; ++p) {
    if (*p == '\r') break;
    tabs |= *p == '\t';
  }
  tab = tab || tabs != 0;
  return p < end ? p : nullptr;
}

}  // namespace

LogReader::LogReader(const std::string& path, Options options, DecodeReporter* reporter)
    : path_(path),
      reporter_(reporter),
      encoding_(options.encoding),
      reportUnencodable_(options.reportCp932Unencodable && options.encoding == LogEncoding::Utf8),
      trailingLinePending_(options.trailingEmptyLine) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw IoError(path, "cannot read the log", "it is a folder");
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) throw IoError(path, "cannot open the log", SystemReason(errno));
  std::setvbuf(file_, nullptr, _IONBF, 0);
  auto size = std::filesystem::file_size(path, ec);
  totalBytes_ = ec ? 0 : size;
  buffer_.resize(kBlockSize);
  Fill();
  static constexpr std::string_view kBom = "\xEF\xBB\xBF";
  while (encoding_ == LogEncoding::Utf8 && end_ - begin_ < kBom.size() && !fileEnded_) Fill();
  if (encoding_ == LogEncoding::Utf8 && std::string_view(buffer_.data() + begin_, end_ - begin_).starts_with(kBom)) {
    Consume(begin_ + kBom.size());
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
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) {
    // One line fills the buffer: grow it, up to room for the longest line allowed.
    if (buffer_.size() >= kCapacityLimit) {
      throw IoError(path_, "cannot read the log",
                    "line " + std::to_string(lineNumber_ + 1) + " is longer than the limit of 64 MiB");
    }
    buffer_.resize(std::min(buffer_.size() * 2, kCapacityLimit));
  }
  std::size_t n = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  if (n == 0) {
    if (std::ferror(file_)) throw IoError(path_, "cannot read the log", SystemReason(errno));
    fileEnded_ = true;
  }
  end_ += n;
}

void LogReader::Consume(std::size_t upTo) {
  consumed_ += upTo - begin_;
  begin_ = upTo;
}

void LogReader::ReadLogLine(std::u16string& line) {
  line.clear();
  if (begin_ == end_ && fileEnded_) {
    if (trailingLinePending_) {
      trailingLinePending_ = false;
      ++lineNumber_;
    }
    return;
  }
  std::size_t searched = begin_;
  const char* cr = nullptr;
  bool tab = false;
  for (;;) {
    cr = FindLineEnd(buffer_.data() + searched, buffer_.data() + end_, tab);
    if (cr != nullptr || fileEnded_) break;
    searched = end_ - begin_;  // Fill() moves the unread bytes to the front
    Fill();
  }
  ++lineNumber_;
  const std::size_t lineEnd = cr != nullptr ? static_cast<std::size_t>(cr - buffer_.data()) : end_;
  std::string_view bytes(buffer_.data() + begin_, lineEnd - begin_);
  const std::size_t invalid = encoding_ == LogEncoding::Utf8 ? DecodeUtf8(bytes, line) : DecodeCp932(bytes, line);
  if (tab) ExpandTabs(line, 0);
  if (reporter_ != nullptr) {
    if (invalid > 0) reporter_->OnInvalidBytes(lineNumber_, invalid);
    if (reportUnencodable_) {
      const auto unencodable = std::count_if(line.begin(), line.end(), [](char16_t c) { return !Cp932RoundTrips(c); });
      if (unencodable > 0) reporter_->OnUnencodable(lineNumber_, static_cast<std::size_t>(unencodable));
    }
  }

  Consume(cr != nullptr ? lineEnd + 1 : lineEnd);
  if (begin_ == end_) Fill();
  if (cr != nullptr && begin_ < end_ && buffer_[begin_] == '\n') {
    Consume(begin_ + 1);
    if (begin_ == end_) Fill();
  }
}

}  // namespace trovlin
