#include "tagged/record_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>

#include "text/half_width.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::size_t kCodeWidth = 4;
constexpr std::u16string_view kReferenceCode = u"RE";

// The first four characters with trailing spaces removed.
std::u16string_view FieldCode(const std::u16string& line) {
  return TrimTrailingSpaces(std::u16string_view(line).substr(0, kCodeWidth));
}

// Whether the first four characters hold anything but spaces (most lines
// that do not are continuation lines, indented by four spaces or more).
bool OpensField(const std::u16string& line) {
  const std::size_t n = std::min(line.size(), kCodeWidth);
  for (std::size_t i = 0; i < n; ++i) {
    if (line[i] != kSpace) return true;
  }
  return false;
}

void DropTrailingBar(std::u16string& value) {
  if (!value.empty() && value.back() == u'|') value.pop_back();
}

// The first c in [p, end), or end.
const char16_t* FindChar(const char16_t* p, const char16_t* end, char16_t c) {
#if defined(__SSE2__)
  const __m128i wanted = _mm_set1_epi16(static_cast<short>(c));
  for (; end - p >= 8; p += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const unsigned hits = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, wanted)));
    if (hits != 0) return p + std::countr_zero(hits) / 2;
  }
#endif
  while (p < end && *p != c) ++p;
  return p;
}

// TrimLeadingSpaces for the indentation of every continuation line, eight
// characters at a time.
std::u16string_view SkipIndent(std::u16string_view s) {
  std::size_t i = 0;
#if defined(__SSE2__)
  const __m128i space = _mm_set1_epi16(static_cast<short>(kSpace));
  for (; s.size() - i >= 8; i += 8) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
    const unsigned spaces = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(v, space)));
    if (spaces != 0xFFFF) return s.substr(i + std::countr_one(spaces) / 2);
  }
#endif
  return TrimLeadingSpaces(s.substr(i));
}

void AppendWithoutStars(std::u16string& text, std::u16string_view piece) {
  const char16_t* p = piece.data();
  const char16_t* const end = p + piece.size();
  for (;;) {
    const char16_t* star = FindChar(p, end, u'*');
    text.append(p, static_cast<std::size_t>(star - p));
    if (star == end) return;
    p = star + 1;
  }
}

}  // namespace

// A field code has at most four characters: packed with its length, codes
// compare in one step. Longer item codes can never match.
RecordReader::CodeKey RecordReader::PackCode(std::u16string_view code) {
  if (code.size() > kCodeWidth) return {0, ~0u};
  CodeKey key{0, static_cast<std::uint32_t>(code.size())};
  for (char16_t c : code) key.chars = (key.chars << 16) | c;
  return key;
}

RecordReader::RecordReader(LogReader& log, const ItemTable& items, RecordBuffer& record,
                           const ConversionSettings& settings, PendingEvents& events)
    : log_(log),
      items_(items),
      record_(record),
      events_(events),
      deleteStars_(settings.deleteStars),
      toHalfWidth_(settings.databaseKind == DatabaseKind::Jois && settings.toHalfWidth) {
  for (const auto& code : items_.codes) itemKeys_.push_back(PackCode(code));
}

std::size_t RecordReader::FindItem(std::u16string_view code) const {
  const CodeKey key = PackCode(code);
  return static_cast<std::size_t>(std::find(itemKeys_.begin(), itemKeys_.end(), key) - itemKeys_.begin());
}

void RecordReader::ReadRecord(std::u16string& line) {
  events_.Process();
  for (auto& value : record_.values) value.clear();
  events_.MarkLine(log_.LineNumber(), line);
  bool hasCode = OpensField(line);
  while (hasCode && !log_.AtEnd()) {
    const std::u16string_view code = FieldCode(line);
    const std::size_t index = FindItem(code);
    if (index == items_.codes.size()) {
      SkipField(line);
    } else if (code == kReferenceCode) {
      ReadReferenceText(line, index);
    } else {
      ReadFieldText(line, index);
    }
    hasCode = OpensField(line);
    if (line.size() <= kCodeWidth && line != kReferenceCode) break;
    events_.MarkLine(log_.LineNumber(), line);
  }
  while (!hasCode && !log_.AtEnd()) {
    events_.Process();
    log_.ReadLogLine(line);
    hasCode = !TrimTrailingSpaces(line).empty();
  }
}

void RecordReader::ReadFieldText(std::u16string& line, std::size_t index) {
  text_.clear();
  std::u16string_view piece = std::u16string_view(line).substr(std::min(line.size(), kCodeWidth));
  for (;;) {
    AppendPiece(SkipIndent(piece));
    text_.push_back(u' ');
    events_.Process();
    log_.ReadLogLine(nextLine_);
    if (nextLine_.size() <= kCodeWidth || OpensField(nextLine_)) break;
    events_.MarkLine(log_.LineNumber(), nextLine_);
    piece = nextLine_;
  }
  if (deleteStars_ && toHalfWidth_) {
    narrowed_.clear();
    AppendHalfWidth(text_, narrowed_);
    text_.swap(narrowed_);
  }
  text_.pop_back();  // the separator after the last piece
  Store(index);
  DropTrailingBar(record_.values[index]);
  line.swap(nextLine_);
}

void RecordReader::ReadReferenceText(std::u16string& line, std::size_t index) {
  log_.ReadLogLine(nextLine_);
  text_.clear();
  std::u16string_view piece = nextLine_;
  while (!piece.empty()) {
    text_.append(piece);
    text_.push_back(u'\n');
    events_.Process();
    log_.ReadLogLine(nextLine_);
    if (nextLine_.size() <= 3) break;
    piece = SkipIndent(nextLine_);
  }
  if (!text_.empty()) text_.pop_back();  // the LF after the last line
  Store(index);
  std::replace(record_.values[index].begin(), record_.values[index].end(), u'"', u'\'');
  DropTrailingBar(record_.values[index]);
  line.swap(nextLine_);
}

// Stars go before the width changes (a full-width star becomes a "*" that
// stays). Both work a character at a time, so a piece may be narrowed as it
// joins the field; with both asked for, the whole field is narrowed after.
void RecordReader::AppendPiece(std::u16string_view piece) {
  if (deleteStars_) {
    AppendWithoutStars(text_, piece);
  } else if (toHalfWidth_) {
    AppendHalfWidth(piece, text_);
  } else {
    text_.append(piece);
  }
}

// Keeps a repeated field: later occurrences follow on new lines. The first
// occurrence takes over the gathered text's buffer, which saves a copy; the
// gathering goes on in the value's old (emptied) buffer.
void RecordReader::Store(std::size_t index) {
  std::u16string& value = record_.values[index];
  if (value.empty()) {
    value.swap(text_);
  } else {
    value.push_back(u'\n');
    value.append(text_);
  }
}

void RecordReader::SkipField(std::u16string& line) {
  bool hasCode = false;
  while (!hasCode && !log_.AtEnd()) {
    log_.ReadLogLine(line);
    if (line.size() <= kCodeWidth) break;
    hasCode = OpensField(line);
    if (!hasCode) events_.MarkLine(log_.LineNumber(), line);
  }
}

}  // namespace trovlin
