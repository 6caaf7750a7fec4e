// The tagged conversion run: a whole STN, DIALOG or JOIS log into CSV.
//
// The log is read as if it ended with one more empty line, so the field or
// record that opens on the very last line is kept. Each block of lines gives
// exactly one row, also a block that holds none of the items (unless
// skipEmptyRows says otherwise); the observer is told of every block. The log is
// opened before the CSV is started, so a log that cannot be read leaves every
// file as it was. Throws IoError; RunCancelled from the observer stops the run
// and leaves no CSV behind.
#pragma once

#include <cstdint>
#include <string>

#include "common/conversion_settings.h"
#include "common/run_observer.h"
#include "csv/csv_writer.h"
#include "csv/run_statistics.h"
#include "logread/log_reader.h"

namespace trovlin {

// How a run holds its text. A code page 932 log bound for a plain code page
// 932 CSV (no workbook, no formula protection) is fastest kept as its bytes
// (KeepsCp932Bytes); every other run, and a run asked for Utf16, decodes
// each line. Both write the same bytes.
enum class TextPath { Fastest, Utf16 };
bool KeepsCp932Bytes(const ConversionSettings& settings);

// Converts settings.inputPath into settings.outputPath with the items' codes
// as columns (with RunMode::Inspect, into nothing). items must hold at least
// one code.
RunStatistics RunTaggedConversion(const ConversionSettings& settings, const ItemTable& items,
                                  RunObserver* observer = nullptr, RunMode mode = RunMode::Convert,
                                  TextPath path = TextPath::Fastest);

// The bytes of the CSV's header and first maxRows rows, as the same run
// would write them; no file is written.
std::string PreviewTaggedConversion(const ConversionSettings& settings, const ItemTable& items, std::size_t maxRows,
                                    TextPath path = TextPath::Fastest);

}  // namespace trovlin
