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
  SetPosition(m.fieldStart, Find(line_, u"願", 1), 1);
  SetPosition(m.fieldEnd, Find(line_, u"[", 1));
  // The character right before "[" belongs to neither the number nor the date.
  SetCell(c[0], Cut(line_, m.fieldStart, m.fieldEnd - m.fieldStart - 1));
  SetCell(c[1], Cut(line_, m.fieldEnd + 1, kDateWidth));
  SetPosition(m.groupOpen, Find(line_, u"(", m.fieldEnd + 9));
  SetPosition(m.groupClose, Find(line_, u")", m.groupOpen));
  SetCell(c[2], Trim(Cut(line_, m.groupOpen + 1, m.groupClose - m.groupOpen - 1)));
  SetPosition(m.secondGroupOpen, Find(line_, u"(", m.groupClose + 1));
  SetPosition(m.secondGroupClose, Find(line_, u")", m.secondGroupOpen));
  SetCell(c[3], Trim(Cut(line_, m.secondGroupOpen + 1, m.secondGroupClose - m.secondGroupOpen - 1)));
}

void FullRecordBlock::CutLine2(std::u16string_view line) {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  SetPosition(m.fieldStart, Find(line, u"[", 1), 1);
  SetPosition(m.fieldEnd, Find(line, u"]", 1));
  SetCell(c[4], Cut(line, m.fieldStart, m.fieldEnd - m.fieldStart - 1));
  SetPosition(m.groupOpen, Find(line, u"(", m.fieldEnd));
  SetPosition(m.groupClose, Find(line, u")", m.groupOpen));
  SetCell(c[5], Trim(Cut(line, m.groupOpen + 1, m.groupClose - m.groupOpen - 1)));
  for (std::size_t cell : {6, 7}) {
    SetPosition(m.groupOpen, Find(line, u"(", m.groupClose + 2));
    SetPosition(m.groupClose, Find(line, u")", m.groupOpen));
    SetCell(c[cell], Trim(Cut(line, m.groupOpen + 1, m.groupClose - m.groupOpen - 1)));
  }
}

void FullRecordBlock::CutLine3(std::u16string_view line) {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  Position& published = m.publicationBracket;
  Position& examined = m.examinedBracket;
  SetPosition(published, Find(line, u"[", 1));
  SetCell(c[8], Cut(line, 1, published - 1));
  SetCell(c[9], Cut(line, published + 1, kDateWidth));
  SetPosition(examined, Find(line, u"[", published + 13));
  SetCell(c[10], Trim(Cut(line, published + 14, examined - published - 14)));
  SetCell(c[11], Trim(Cut(line, examined + 1, kDateWidth)));
  SetCell(c[12], Trim(Cut(line, examined + 14, 7)));
  SetCell(c[13], Trim(Cut(line, examined + 22, kDateWidth)));
}

void FullRecordBlock::CutLine4(std::u16string_view line) {
  MarkerPositions& m = marks_;
  std::vector<std::u16string>& c = record_.values;
  SetPosition(m.fieldStart, Find(line, u"(", 1));
  SetCell(c[14], Trim(Cut(line, m.fieldStart + 1, 1)));
  SetPosition(m.fieldStart, Find(line, u"審", m.fieldStart));
  SetCell(c[15], Trim(Cut(line, m.fieldStart + 6, kDateWidth)));
  SetPosition(m.fieldEnd, Find(line, u"[", m.fieldStart + 8));
  SetCell(c[16], Trim(Cut(line, m.fieldEnd + 1, kDateWidth)));
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
  SetPosition(m.fieldStart, Find(line_, u"(", from));
  SetPosition(m.fieldEnd, Find(line_, u")", m.fieldStart + 1));
  SetCell(record_.values[cell], Trim(Cut(line_, m.fieldStart + 1, m.fieldEnd - m.fieldStart - 1)));
}

void FullRecordBlock::CutDateAfterBracket(std::size_t cell) {
  MarkerPositions& m = marks_;
  SetPosition(m.fieldEnd, Find(line_, u"[", m.fieldEnd + 1));
  SetCell(record_.values[cell], Trim(Cut(line_, m.fieldEnd + 1, kDateWidth)));
}

bool FullRecordBlock::ReadClassification(std::size_t cell, std::size_t keywordCell) {
  MarkerPositions& m = marks_;
  SetPosition(m.fieldStart, Find(line_, u"(", 1));
  SetPosition(m.fieldEnd, Find(line_, u")", m.fieldStart + 1));
  if (auto group = Trim(Cut(line_, m.fieldStart + 1, m.fieldEnd - m.fieldStart - 1))) {
    // The apostrophe makes a spreadsheet keep the class as text.
    record_.values[cell] = u"'";
    record_.values[cell].append(*group);
  }
  // The second group is searched from the first "(", not from its ")".
  SetPosition(m.fieldStart, Find(line_, u"(", m.fieldStart + 1));
  SetPosition(m.fieldEnd, Find(line_, u")", m.fieldStart + 1));
  if (m.fieldEnd > m.fieldStart) {
    // Without a second "(" the line holds no fixed keywords; the text up to the
    // first ")" is the broad classification, not a keyword group.
    if (m.fieldStart != 0) {
      SetCell(record_.values[keywordCell], Trim(Cut(line_, m.fieldStart + 1, m.fieldEnd - m.fieldStart - 1)));
    }
    return true;
  }
  return JoinContinuationLines(keywordCell, Spaces::Keep);
}

void FullRecordBlock::ReadPriorityLines() {
  // Paris priority: kind, number, date.
  CutParenthesised(21, 1);
  CutParenthesised(22, marks_.fieldEnd + 1);
  CutDateAfterBracket(23);

  // Domestic priority: number, date.
  ReadNextLine();
  CutParenthesised(24, 1);
  CutDateAfterBracket(25);

  // Related application: kind, original number, date.
  ReadNextLine();
  CutParenthesised(26, 1);
  CutParenthesised(27, marks_.fieldEnd + 1);
  CutDateAfterBracket(28);
}

bool FullRecordBlock::Run(const RecordStep& step) {
  switch (step.kind) {
    case RecordStep::Kind::NumberedLines:
      return ReadNumberedLines();
    case RecordStep::Kind::NextLine:
      ReadNextLine();
      return true;
    case RecordStep::Kind::RunningField:
      return ReadRunningField(step.cell, step.from, step.spaces);
    case RecordStep::Kind::PriorityLines:
      ReadPriorityLines();
      return true;
    case RecordStep::Kind::Classification:
      return ReadClassification(step.cell, step.secondCell);
  }
  return false;
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

void ConvertFullRecords(LogReader& log, CsvWriter& csv, PendingEvents& events, std::vector<std::u16string> titles,
                        std::span<const RecordStep> steps, std::uint64_t rowLimit) {
  FullRecordBlock block(log, csv, events, std::move(titles));
  for (std::uint64_t rows = 0; rows < rowLimit && block.StartRecord(); ++rows) {
    for (const RecordStep& step : steps) {
      if (!block.Run(step)) return;
    }
    block.FinishRecord();
  }
}

}  // namespace trovlin
