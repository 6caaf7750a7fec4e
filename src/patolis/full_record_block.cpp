#include "patolis/full_record_block.h"

#include "patolis/patolis_text.h"
#include "text/spaces.h"

namespace trovlin {
namespace {

constexpr std::u16string_view kRecordStart = u"*** 特許出願";
constexpr std::size_t kNarrowedCells = 17;  // cells 0-16 come from lines 1 to 4
constexpr Position kDateWidth = 9;

bool IsRecordStart(std::u16string_view line) { return TrimSpaces(line).starts_with(kRecordStart); }

}  // namespace

std::vector<std::u16string> FullRecordCommonTitles() {
  return {u"出願番号",   u"出願日",     u"出願種別", u"国際出願番号", u"基準日",     u"基準日種",
          u"請求項数",   u"審査種別",   u"公開番号", u"公開日",       u"公告番号",   u"公告公報発行日",
          u"登録番号",   u"登録日",     u"早期審査", u"審査請求日",   u"公報発行日", u"名称",
          u"IPC",        u"出願人",     u"発明者",   u"パリ優先権",   u"優先権番号", u"優先日",
          u"国内優先権", u"国内優先日", u"関連種別", u"原出願番号",   u"遡及日"};
}

FullRecordBlock::FullRecordBlock(LogReader& log, CsvWriter& csv, PendingEvents& events,
                                 std::vector<std::u16string> titles)
    : log_(log), csv_(csv), events_(events) {
  ItemTable items;
  items.codes = std::move(titles);
  items.notJoined.assign(items.codes.size(), true);
  csv_.WriteHeader(items);
  record_.Resize(items.ColumnCount());
  log_.ReadLogLine(line_);
}

void FullRecordBlock::ReadNextLine() { log_.ReadLogLine(line_); }

bool FullRecordBlock::StartRecord() {
  if (log_.AtEnd()) return false;
  // The end test comes before each read, so the log's last line is examined too.
  while (!IsRecordStart(line_)) {
    events_.MarkLine(log_.LineNumber(), line_);
    if (log_.AtEnd()) break;
    log_.ReadLogLine(line_);
  }
  if (!IsRecordStart(line_)) return false;
  startLine_ = log_.LineNumber();
  TrimInPlace(line_);
  for (std::u16string& value : record_.values) value.clear();
  return true;
}

void FullRecordBlock::CutLine1() {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  SetPosition(m.a, Find(line_, u"願", 1), 1);
  SetPosition(m.b, Find(line_, u"[", 1));
  // The character right before "[" belongs to neither the number nor the date.
  SetCell(c[0], Cut(line_, m.a, m.b - m.a - 1));
  SetCell(c[1], Cut(line_, m.b + 1, kDateWidth));
  SetPosition(m.p, Find(line_, u"(", m.b + 9));
  SetPosition(m.q, Find(line_, u")", m.p));
  SetCell(c[2], Trim(Cut(line_, m.p + 1, m.q - m.p - 1)));
  SetPosition(m.u, Find(line_, u"(", m.q + 1));
  SetPosition(m.v, Find(line_, u")", m.u));
  SetCell(c[3], Trim(Cut(line_, m.u + 1, m.v - m.u - 1)));
}

void FullRecordBlock::CutLine2(std::u16string_view line) {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  SetPosition(m.a, Find(line, u"[", 1), 1);
  SetPosition(m.b, Find(line, u"]", 1));
  SetCell(c[4], Cut(line, m.a, m.b - m.a - 1));
  SetPosition(m.p, Find(line, u"(", m.b));
  SetPosition(m.q, Find(line, u")", m.p));
  SetCell(c[5], Trim(Cut(line, m.p + 1, m.q - m.p - 1)));
  for (std::size_t cell : {6, 7}) {
    SetPosition(m.p, Find(line, u"(", m.q + 2));
    SetPosition(m.q, Find(line, u")", m.p));
    SetCell(c[cell], Trim(Cut(line, m.p + 1, m.q - m.p - 1)));
  }
}

void FullRecordBlock::CutLine3(std::u16string_view line) {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  SetPosition(m.g, Find(line, u"[", 1));
  SetCell(c[8], Cut(line, 1, m.g - 1));
  SetCell(c[9], Cut(line, m.g + 1, kDateWidth));
  SetPosition(m.h, Find(line, u"[", m.g + 13));
  SetCell(c[10], Trim(Cut(line, m.g + 14, m.h - m.g - 14)));
  SetCell(c[11], Trim(Cut(line, m.h + 1, kDateWidth)));
  SetCell(c[12], Trim(Cut(line, m.h + 14, 7)));
  SetCell(c[13], Trim(Cut(line, m.h + 22, kDateWidth)));
}

void FullRecordBlock::CutLine4(std::u16string_view line) {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  SetPosition(m.a, Find(line, u"(", 1));
  SetCell(c[14], Trim(Cut(line, m.a + 1, 1)));
  SetPosition(m.a, Find(line, u"審", m.a));
  SetCell(c[15], Trim(Cut(line, m.a + 6, kDateWidth)));
  SetPosition(m.b, Find(line, u"[", m.a + 8));
  SetCell(c[16], Trim(Cut(line, m.b + 1, kDateWidth)));
}

bool FullRecordBlock::ReadNumberedLines() {
  CutLine1();
  if (log_.AtEnd()) {
    WritePartialRow();
    return false;
  }
  // Lines 2 to 4 are read with no end test: at the end they are "".
  ReadNextLine();
  CutLine2(TrimSpaces(line_));
  ReadNextLine();
  CutLine3(TrimSpaces(line_));
  ReadNextLine();
  CutLine4(TrimSpaces(line_));
  for (std::size_t i = 0; i < kNarrowedCells; ++i) NarrowAndCollapseSpaces(record_.values[i]);
  if (log_.AtEnd()) {
    WritePartialRow();
    return false;
  }
  return true;
}

bool FullRecordBlock::ReadRunningField(std::size_t cell, Position restFrom, Spaces spaces) {
  SetCell(record_.values[cell], Trim(Rest(line_, restFrom)));
  return JoinContinuationLines(cell, spaces);
}

bool FullRecordBlock::JoinContinuationLines(std::size_t cell, Spaces spaces) {
  std::u16string& value = record_.values[cell];
  const bool ended = AppendContinuationLines(log_, value, line_);
  if (spaces == Spaces::Collapse) CollapseSpaces(value);
  if (ended) WritePartialRow();
  return !ended;
}

void FullRecordBlock::CutParenthesised(std::size_t cell, Position from) {
  MarkerPositions& m = marks_;
  SetPosition(m.a, Find(line_, u"(", from));
  SetPosition(m.b, Find(line_, u")", m.a + 1));
  SetCell(record_.values[cell], Trim(Cut(line_, m.a + 1, m.b - m.a - 1)));
}

void FullRecordBlock::CutDateAfterBracket(std::size_t cell) {
  MarkerPositions& m = marks_;
  SetPosition(m.b, Find(line_, u"[", m.b + 1));
  SetCell(record_.values[cell], Trim(Cut(line_, m.b + 1, kDateWidth)));
}

void FullRecordBlock::ReadPriorityLines() {
  // Paris priority: kind, number, date.
  CutParenthesised(21, 1);
  CutParenthesised(22, marks_.b + 1);
  CutDateAfterBracket(23);

  // Domestic priority: number, date.
  ReadNextLine();
  CutParenthesised(24, 1);
  CutDateAfterBracket(25);

  // Related application: kind, original number, date.
  ReadNextLine();
  CutParenthesised(26, 1);
  CutParenthesised(27, marks_.b + 1);
  CutDateAfterBracket(28);
}

void FullRecordBlock::FinishRecord() {
  events_.Record(startLine_, record_, true);
  csv_.WriteRow(record_);
  events_.ForwardProgress();
}

void FullRecordBlock::WritePartialRow() {
  events_.RecordCutShort(startLine_);
  events_.Record(startLine_, record_, true);
  csv_.WriteRow(record_);
}

}  // namespace trovlin
