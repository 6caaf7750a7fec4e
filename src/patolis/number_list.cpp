#include "patolis/number_list.h"

#include "patolis/patolis_text.h"
#include "patolis/text_cuts.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::u16string_view kApplicationLabel = u"特許出願";

enum Column : std::size_t {
  kApplicationNumber,
  kApplicationDate,
  kPublicationNumber,
  kPublicationDate,
  kExaminedNumber,
  kExaminedDate,
  kRegistrationNumber,
  kRegistrationDate,
  kColumnCount
};

// The date columns of the second line: where each slice starts, and whether
// its leading spaces go.
struct DateSlice {
  Column column;
  Position start;
  bool trimLeading;
};
constexpr Position kDateWidth = 9;
constexpr DateSlice kDateSlices[] = {
    {kApplicationDate, 12, false},
    {kPublicationDate, 31, false},
    {kExaminedDate, 50, true},
    {kRegistrationDate, 68, true},
};

void ReadNumbers(std::u16string_view first, Position applicationAt, std::vector<std::u16string>& values) {
  SetCell(values[kApplicationNumber], Trim(Cut(first, applicationAt + 5, 12)));

  // The publication label names the kind of publication, so it stays in the value.
  Position p = 0;
  for (std::u16string_view label : {u"公開", u"再公表", u"公表"}) {
    SetPosition(p, Find(first, label, 1));
    if (p != 0) break;
  }
  SetCell(values[kPublicationNumber], Trim(Cut(first, p, 15)));

  Position q = 0;
  SetPosition(q, Find(first, u"公告", p + 2), 1);
  Position r = 0;
  SetPosition(r, Find(first, u"登録", q + 2));
  if (auto examined = Cut(first, q + 3, r - q - 6)) values[kExaminedNumber].assign(TrimLeadingSpaces(*examined));

  const auto length = static_cast<Position>(first.size());
  if (length > r + 2) SetCell(values[kRegistrationNumber], Trim(Rest(first, r + 2)));
}

void ReadDates(std::u16string_view second, std::vector<std::u16string>& values) {
  for (const DateSlice& slice : kDateSlices) {
    std::u16string_view piece = *Cut(second, slice.start, kDateWidth);
    values[slice.column].assign(slice.trimLeading ? TrimLeadingSpaces(piece) : piece);
  }
}

}  // namespace

std::vector<std::u16string> NumberListTitles() {
  return {u"出願番号", u"出願日", u"公開番号", u"公開日", u"公告番号", u"公告日", u"登録番号", u"登録日"};
}

void ConvertPatolisNumberList(LogReader& log, CsvWriter& csv, PendingEvents& events, std::uint64_t rowLimit) {
  ItemTable items;
  items.codes = NumberListTitles();
  items.notJoined.assign(items.codes.size(), true);
  csv.WriteHeader(items);
  RecordBuffer record;
  record.Resize(kColumnCount);

  std::u16string first;
  std::u16string second;
  for (std::uint64_t rows = 0; rows < rowLimit && !log.AtEnd(); ++rows) {
    // A line that begins with the label is not an answer's first line.
    Position k = 0;
    while (!log.AtEnd() && k <= 1) {
      log.ReadLogLine(first);
      events.MarkLine(log.LineNumber(), first);
      SetPosition(k, Find(first, kApplicationLabel, 1));
    }
    if (log.AtEnd()) {
      // An answer's first line last in the log has no dates line: no row.
      if (k > 1) events.RecordCutShort(log.LineNumber());
      break;
    }
    const std::uint64_t firstLine = log.LineNumber();
    ReadNumbers(first, k, record.values);

    log.ReadLogLine(second);
    ReadDates(second, record.values);
    for (std::u16string& value : record.values) NarrowAndCollapseSpaces(value);
    events.Record(firstLine, record, true);
    csv.WriteRow(record);
    events.ForwardProgress();
  }
}

}  // namespace trovlin
