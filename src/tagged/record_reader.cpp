#include "tagged/record_reader.h"

#include <algorithm>

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

bool OpensField(const std::u16string& line) { return !FieldCode(line).empty(); }

void DropTrailingBar(std::u16string& value) {
  if (!value.empty() && value.back() == u'|') value.pop_back();
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
  }
  while (!hasCode && !log_.AtEnd()) {
    events_.Process();
    log_.ReadLogLine(line);
    hasCode = !TrimTrailingSpaces(line).empty();
  }
}

void RecordReader::ReadFieldText(std::u16string& line, std::size_t index) {
  nextLine_.assign(std::u16string_view(line).substr(std::min(line.size(), kCodeWidth)));
  text_.clear();
  for (;;) {
    text_.append(TrimLeadingSpaces(nextLine_));
    text_.push_back(u' ');
    events_.Process();
    log_.ReadLogLine(nextLine_);
    if (nextLine_.size() <= kCodeWidth || OpensField(nextLine_)) break;
  }
  if (deleteStars_) std::erase(text_, u'*');
  if (toHalfWidth_) {
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
    piece = TrimLeadingSpaces(nextLine_);
  }
  if (!text_.empty()) text_.pop_back();  // the LF after the last line
  Store(index);
  std::replace(record_.values[index].begin(), record_.values[index].end(), u'"', u'\'');
  DropTrailingBar(record_.values[index]);
  line.swap(nextLine_);
}

// Keeps a repeated field: later occurrences follow on new lines.
void RecordReader::Store(std::size_t index) {
  std::u16string& value = record_.values[index];
  if (value.empty()) {
    value = text_;
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
  }
}

}  // namespace trovlin
