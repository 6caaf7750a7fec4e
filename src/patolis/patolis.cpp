#include "patolis/patolis.h"

#include <limits>

#include "common/errors.h"
#include "csv/csv_writer.h"
#include "patolis/full_record_a.h"
#include "patolis/full_record_b.h"
#include "patolis/number_list.h"
#include "patolis/text_cuts.h"

namespace trovlin {
namespace {

constexpr std::u16string_view kAnswerHeaderMark = u"＊＊検索回答";
constexpr std::u16string_view kLayoutLabel = u"様式";
constexpr Position kLayoutOffset = 6;  // from the label's first character

// A log may print the layout digit in either width.
int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'０' && c <= u'９') return c - u'０';
  return -1;
}

// Reads up to and including the first answer header line; the reader then
// stands on the line after it.
std::optional<AnswerHeader> ReadAnswerHeader(LogReader& log, PendingEvents& events) {
  std::u16string line;
  bool found = false;
  while (!found && !log.AtEnd()) {
    log.ReadLogLine(line);
    found = line.find(kAnswerHeaderMark) != std::u16string::npos;
  }
  if (!found) return std::nullopt;
  events.MarkLine(log.LineNumber(), line);
  const Position p = *Find(line, kLayoutLabel, 1);
  if (p == 0) return std::nullopt;
  AnswerHeader header;
  header.layoutCharacter = *Cut(line, p + kLayoutOffset, 1);
  if (!header.layoutCharacter.empty()) {
    const int digit = DigitValue(header.layoutCharacter.front());
    if (digit >= 1 && digit <= 4) header.layoutCode = digit;
  }
  return header;
}

void RunConverter(int layoutCode, LogReader& log, CsvWriter& csv, PendingEvents& events,
                  std::uint64_t rowLimit = std::numeric_limits<std::uint64_t>::max()) {
  switch (layoutCode) {
    case 1:
      ConvertPatolisNumberList(log, csv, events, rowLimit);
      break;
    case 2:
      ConvertPatolisFullRecordA(log, csv, events, rowLimit);
      break;
    default:
      ConvertPatolisFullRecordB(log, csv, events, layoutCode, rowLimit);
      break;
  }
}

}  // namespace

std::optional<AnswerHeader> FindAnswerHeader(const std::string& path, const LogFormat& format) {
  LogReader log(path, {.format = format});
  PendingEvents none;
  return ReadAnswerHeader(log, none);
}

std::vector<std::u16string> PatolisColumnTitles(int layoutCode) {
  switch (layoutCode) {
    case 1:
      return NumberListTitles();
    case 2:
      return FullRecordATitles();
    case 3:
    case 4:
      return FullRecordBTitles(layoutCode);
    default:
      return {};
  }
}

PatolisOutcome ConvertPatolis(const ConversionSettings& settings, RunObserver* observer, RunMode mode) {
  LogReader log(settings.inputPath, ReaderOptionsFor(settings, false), observer);
  PatolisOutcome outcome;
  std::optional<CsvWriter> csv;
  try {
    PendingEvents events(observer);
    outcome.header = ReadAnswerHeader(log, events);
    if (!outcome.header || outcome.header->layoutCode == 0) return outcome;
    outcome.layoutCode = outcome.header->layoutCode;
    events.SetSource(log.BytesConsumed(), log.TotalBytes());
    if (mode == RunMode::Convert) {
      csv.emplace(settings.outputPath, CsvFormatFor(settings), settings.outputRules);
    } else {
      csv.emplace(nullptr, CsvFormatFor(settings));
    }
    RunConverter(outcome.layoutCode, log, *csv, events);
    csv->Finish();
    outcome.status = PatolisOutcome::Status::Converted;
    outcome.rows = csv->RowsWritten();
    outcome.unencodable = csv->UnencodableCount();
    outcome.replaced = csv->ReplacedCount();
    outcome.bytesRead = *log.BytesConsumed();
    outcome.linesRead = log.LinesRead();
    outcome.protectedValues = csv->ProtectedCount();
  } catch (const IoError&) {
    // The rows converted before the failure stay, if the file can still be
    // put in place; if it cannot, the first failure is still the one told.
    PatolisOutcome stopped;
    stopped.stoppedBy = std::current_exception();
    try {
      if (csv) csv->Finish();
    } catch (const IoError&) {
      std::rethrow_exception(stopped.stoppedBy);
    }
    stopped.status = PatolisOutcome::Status::RowsKept;
    stopped.header = outcome.header;
    stopped.layoutCode = outcome.layoutCode;
    return stopped;
  }
  return outcome;
}

std::string PreviewPatolis(const ConversionSettings& settings, std::size_t maxRows) {
  LogReader log(settings.inputPath, ReaderOptionsFor(settings, false));
  std::string bytes;
  PendingEvents events;
  const std::optional<AnswerHeader> header = ReadAnswerHeader(log, events);
  if (!header || header->layoutCode == 0) return bytes;
  CsvWriter csv(&bytes, CsvFormatFor(settings));
  RunConverter(header->layoutCode, log, csv, events, maxRows);
  csv.Finish();
  return bytes;
}

}  // namespace trovlin
