#include "tagged/record_reader.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <type_traits>

#include "text/cp932.h"
#include "text/cp932_bytes.h"
#include "text/half_width.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::size_t kCodeWidth = 4;
constexpr std::u16string_view kReferenceCode = u"RE";

// Whether the first four characters hold anything but spaces (most lines
// that do not are continuation lines, indented by four spaces or more). Of
// code page 932 bytes the first four bytes tell the same: a space is one
// byte, so the first byte that is not one starts a character within the
// first four.
template <class Text>
bool OpensField(const Text& line) {
  const std::size_t n = std::min(line.size(), kCodeWidth);
  for (std::size_t i = 0; i < n; ++i) {
    if (line[i] != ' ') return true;
  }
  return false;
}

template <class Text>
bool IsBlank(const Text& line) {
  return line.find_first_not_of(' ') == Text::npos;
}

// Exactly "RE": a line that belongs to the field it opens.
template <class Text>
bool IsReferenceLine(const Text& line) {
  return line.size() == 2 && line[0] == 'R' && line[1] == 'E';
}

// Quotes become apostrophes. A quote is never part of a code page 932
// pair; most texts hold none, so they are searched for.
template <class Text>
void ReplaceQuotes(Text& text) {
  for (std::size_t q = text.find('"'); q != Text::npos; q = text.find('"', q + 1)) text[q] = '\'';
}

bool HasAtMostChars(const std::u16string& line, std::size_t limit) { return line.size() <= limit; }
bool HasAtMostChars(const std::string& line, std::size_t limit) { return HasAtMostCp932Chars(line, limit); }

// The text after the field code: what follows the first four characters.
struct AfterCode16 {
  std::u16string_view text;
  bool firstAlone = false;
};
AfterCode16 TextAfterCode(const std::u16string& line) {
  return {std::u16string_view(line).substr(std::min(line.size(), kCodeWidth))};
}
struct AfterCode8 {
  std::string_view text;
  bool firstAlone = false;
};
AfterCode8 TextAfterCode(const std::string& line) {
  const Cp932Cut cut = CutAfterCp932Chars(line, kCodeWidth);
  return {std::string_view(line).substr(cut.offset), cut.secondOfPair};
}

std::string_view SkipIndent(std::string_view s) {
  const std::size_t i = s.find_first_not_of(' ');
  return i == std::string_view::npos ? std::string_view() : s.substr(i);
}

char LastAsciiChar(std::u16string_view text) {
  return !text.empty() && text.back() < 0x80 ? static_cast<char>(text.back()) : 0;
}
char LastAsciiChar(std::string_view text) { return LastCp932AsciiChar(text); }

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
template <class Text>
typename BasicRecordReader<Text>::CodeKey BasicRecordReader<Text>::PackCode(std::u16string_view code) {
  if (code.size() > kCodeWidth) return {0, ~0u};
  CodeKey key{0, static_cast<std::uint32_t>(code.size())};
  for (char16_t c : code) key.chars = (key.chars << 16) | c;
  return key;
}

// The code of a line: its first four characters with trailing spaces
// removed. Of bytes, the code is decoded unless its bytes are ASCII.
template <class Text>
typename BasicRecordReader<Text>::CodeKey BasicRecordReader<Text>::LineCode(const Text& line) const {
  if constexpr (std::is_same_v<Text, std::u16string>) {
    return PackCode(TrimTrailingSpaces(std::u16string_view(line).substr(0, kCodeWidth)));
  } else {
    const std::size_t n = std::min(line.size(), kCodeWidth);
    if (std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(n),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
      CodeKey key{0, 0};
      const std::size_t length = line.find_last_not_of(' ', n - 1) + 1;  // n > 0: the line opens a field
      for (std::size_t i = 0; i < length; ++i) key.chars = (key.chars << 16) | static_cast<unsigned char>(line[i]);
      key.length = static_cast<std::uint32_t>(length);
      return key;
    }
    std::u16string code;
    DecodeCp932(std::string_view(line).substr(0, CutAfterCp932Chars(line, kCodeWidth).offset), code);
    return PackCode(TrimTrailingSpaces(code));
  }
}

template <class Text>
BasicRecordReader<Text>::BasicRecordReader(LogReader& log, const ItemTable& items, BasicRecordBuffer<Text>& record,
                                           const ConversionSettings& settings, PendingEvents& events)
    : log_(log),
      items_(items),
      record_(record),
      events_(events),
      deleteStars_(settings.deleteStars),
      toHalfWidth_(settings.toHalfWidth),
      replaceQuotes_(settings.quoteStyle != QuoteStyle::Double) {
  if (record_.lines.size() < record_.values.size()) record_.lines.resize(record_.values.size());
  for (const auto& code : items_.codes) itemKeys_.push_back(PackCode(code));
}

template <class Text>
std::size_t BasicRecordReader<Text>::FindItem(const Text& line) const {
  const CodeKey key = LineCode(line);
  return static_cast<std::size_t>(std::find(itemKeys_.begin(), itemKeys_.end(), key) - itemKeys_.begin());
}

template <class Text>
void BasicRecordReader<Text>::MarkLine(const Text& line) {
  if constexpr (std::is_same_v<Text, std::u16string>) {
    events_.MarkLine(log_.LineNumber(), line);
  } else {
    events_.MarkLine(log_.LineNumber(), line, &DecodeCp932);
  }
}

template <class Text>
void BasicRecordReader<Text>::ReadRecord(Text& line) {
  events_.ForwardProgress();
  for (auto& value : record_.values) value.clear();
  MarkLine(line);
  bool hasCode = OpensField(line);
  while (hasCode && !log_.AtEnd()) {
    const std::size_t index = FindItem(line);
    if (index == items_.codes.size()) {
      SkipField(line);
    } else if (itemKeys_[index] == PackCode(kReferenceCode)) {
      ReadReferenceText(line, index);
    } else {
      ReadFieldText(line, index);
    }
    hasCode = OpensField(line);
    if (HasAtMostChars(line, kCodeWidth) && !IsReferenceLine(line)) break;
    MarkLine(line);
  }
  while (!hasCode && !log_.AtEnd()) {
    events_.ForwardProgress();
    log_.ReadLogLine(line);
    hasCode = !IsBlank(line);
  }
}

template <class Text>
void BasicRecordReader<Text>::ReadFieldText(Text& line, std::size_t index) {
  const std::uint64_t fieldLine = log_.LineNumber();
  text_.clear();
  const auto afterCode = TextAfterCode(line);
  View piece = afterCode.text;
  bool firstAlone = afterCode.firstAlone;  // then the piece has no indent to skip
  for (;;) {
    AppendPiece(SkipIndent(piece), firstAlone);
    firstAlone = false;
    text_.push_back(' ');
    events_.ForwardProgress();
    log_.ReadLogLine(nextLine_);
    if (HasAtMostChars(nextLine_, kCodeWidth) || OpensField(nextLine_)) break;
    MarkLine(nextLine_);
    piece = nextLine_;
  }
  FinishFieldText();
  text_.pop_back();  // the separator after the last piece
  const bool bar = FieldTextEndsWithBar();
  Store(index, fieldLine);
  if (bar) record_.values[index].pop_back();
  line.swap(nextLine_);
}

template <class Text>
void BasicRecordReader<Text>::ReadReferenceText(Text& line, std::size_t index) {
  const std::uint64_t fieldLine = log_.LineNumber();
  log_.ReadLogLine(nextLine_);
  text_.clear();
  View piece = nextLine_;
  char last = 0;
  while (!piece.empty()) {
    text_.append(piece);
    text_.push_back('\n');
    last = piece.back() == '|' ? LastAsciiChar(piece) : 0;
    events_.ForwardProgress();
    log_.ReadLogLine(nextLine_);
    if (HasAtMostChars(nextLine_, 3)) break;
    piece = SkipIndent(View(nextLine_));
  }
  if (!text_.empty()) text_.pop_back();  // the LF after the last line
  Store(index, fieldLine);
  if (replaceQuotes_) ReplaceQuotes(record_.values[index]);
  if (last == '|') record_.values[index].pop_back();
  line.swap(nextLine_);
}

// Stars go before the width changes (a full-width star becomes a "*" that
// stays). Both work a character at a time, so a piece may be narrowed as it
// joins the field; with both asked for, UTF-16 text is narrowed after.
template <>
void BasicRecordReader<std::u16string>::AppendPiece(View piece, bool) {
  if (deleteStars_) {
    AppendWithoutStars(text_, piece);
  } else if (toHalfWidth_) {
    AppendHalfWidth(piece, text_);
  } else {
    text_.append(piece);
  }
}

template <>
void BasicRecordReader<std::u16string>::FinishFieldText() {
  if (!(deleteStars_ && toHalfWidth_)) return;
  narrowed_.clear();
  AppendHalfWidth(text_, narrowed_);
  text_.swap(narrowed_);
}

template <>
bool BasicRecordReader<std::u16string>::FieldTextEndsWithBar() const {
  return !text_.empty() && text_.back() == u'|';
}

// Bytes take both rules in one walk. A piece that appends nothing leaves
// the separator before it last, which is no bar either.
template <>
void BasicRecordReader<std::string>::AppendPiece(View piece, bool firstAlone) {
  lastAppended_ = AppendCp932Piece(piece, firstAlone, {deleteStars_, toHalfWidth_}, text_);
}

template <>
void BasicRecordReader<std::string>::FinishFieldText() {}

template <>
bool BasicRecordReader<std::string>::FieldTextEndsWithBar() const {
  return !text_.empty() && lastAppended_ == '|';
}

// Keeps a repeated field: later occurrences follow on new lines. The first
// occurrence takes over the gathered text's buffer, which saves a copy; the
// gathering goes on in the value's old (emptied) buffer.
template <class Text>
void BasicRecordReader<Text>::Store(std::size_t index, std::uint64_t line) {
  Text& value = record_.values[index];
  if (value.empty()) {
    record_.lines[index] = line;
    value.swap(text_);
  } else {
    value.push_back('\n');
    value.append(text_);
  }
}

template <class Text>
void BasicRecordReader<Text>::SkipField(Text& line) {
  bool hasCode = false;
  while (!hasCode && !log_.AtEnd()) {
    log_.ReadLogLine(line);
    if (HasAtMostChars(line, kCodeWidth)) break;
    hasCode = OpensField(line);
    if (!hasCode) MarkLine(line);
  }
}

template class BasicRecordReader<std::u16string>;
template class BasicRecordReader<std::string>;

}  // namespace trovlin
