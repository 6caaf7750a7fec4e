// PATOLIS conversion: the answer layout of a log and the converter for it.
//
// The first line holding "＊＊検索回答" is the answer header; the character
// six places after the start of the first "様式" in it is the layout: 1 the
// number list, 2 full record A, 3 and 4 full record B. Half-width and
// full-width digits count alike. Each layout writes its own fixed columns;
// neither the item list nor the half-width option plays a part.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/conversion_settings.h"
#include "common/run_observer.h"
#include "csv/run_statistics.h"
#include "logread/log_reader.h"

namespace trovlin {

struct AnswerHeader {
  std::u16string layoutCharacter;  // the character at p + 6 as it stands in the line; "" when the line ends earlier
  int layoutCode = 0;              // 1-4, or 0 for anything else
};

// The first answer header line's layout, or nullopt when there is no header
// line or it holds no "様式". Throws IoError.
std::optional<AnswerHeader> FindAnswerHeader(const std::string& path, const LogFormat& format = {});

// The fixed column titles of a layout code (1-4); empty for any other code.
std::vector<std::u16string> PatolisColumnTitles(int layoutCode);

struct PatolisOutcome : RunStatistics {
  enum class Status { Converted, NothingToConvert, RowsKept };
  Status status = Status::NothingToConvert;
  std::optional<AnswerHeader> header;  // as found; nullopt: no header line, or none with "様式"
  int layoutCode = 0;
  std::exception_ptr stoppedBy;  // RowsKept: the IoError that stopped the run
};

// Converts settings.inputPath into settings.outputPath. NothingToConvert: no
// header, no "様式" or a layout outside 1-4; no output file is created or
// changed. An I/O error once the log is open (reading it, creating or writing
// the CSV) ends the run as RowsKept with that error: the rows already written
// stay (the partial CSV is put in place); when even that fails, the first
// error is thrown. Opening the log fails before anything is written (IoError
// thrown). RunCancelled from the observer propagates and leaves no file.
// RunMode::Inspect makes the same pass and writes nothing. The observer is
// told of every record, and of a record the log's end cut short.
PatolisOutcome ConvertPatolis(const ConversionSettings& settings, RunObserver* observer = nullptr,
                              RunMode mode = RunMode::Convert);

// The CSV bytes ConvertPatolis would write for the header and the first
// maxRows rows; "" when there is nothing to convert. Nothing is written, and
// the log is read only as far as those rows.
std::string PreviewPatolis(const ConversionSettings& settings, std::size_t maxRows);

}  // namespace trovlin
