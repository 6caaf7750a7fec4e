// The line reader, tagged record reader and CSV writer on arbitrary bytes,
// with the first answer's items plus RE and a code that never occurs. The
// first byte picks the service and how the bytes are given (see Variant);
// the log's format is decided as for any log.
#include <algorithm>
#include <cstdint>
#include <string>

#include "common/errors.h"
#include "fuzz_support.h"
#include "input/discover.h"
#include "input/log_encoding.h"
#include "session/log_session.h"
#include "tagged/tagged_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  const std::uint8_t pick = size > 0 ? data[0] : 0;
  const auto variant = static_cast<fuzz::Variant>(pick / 3 % 4);
  const bool utf16 = variant == fuzz::Variant::Utf16Le || variant == fuzz::Variant::Utf16Be;
  ConversionSettings settings;
  settings.inputPath = fuzz::ScratchDir() + "/tagged.log";
  settings.outputPath = fuzz::ScratchDir() + "/tagged.csv";
  // A log within the window its line end is decided on: one with LF line ends then has no CR.
  const std::string_view input(reinterpret_cast<const char*>(data), std::min(size, kSniffWindow - 2));
  fuzz::WriteFile(settings.inputPath, fuzz::Shape(input, variant));
  settings.SetInputFormat(SniffLog(settings.inputPath, utf16 ? LogEncoding::Utf16Le : LogEncoding::Cp932).format);
  settings.csvEncoding = utf16 ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
  settings.databaseKind = static_cast<DatabaseKind>(1 + pick % 3);
  SetRunOptions(settings, true, true);

  ItemTable items;
  for (const DiscoveredItem& item : DiscoverItems(settings.inputPath, settings.InputFormat()).items) {
    items.codes.push_back(item.code);
  }
  items.codes.push_back(u"RE");
  items.codes.push_back(u"ZZZZZ");
  const RunStatistics stats = RunTaggedConversion(settings, items);
  // Text read from code page 932 always goes back into it, invalid bytes included.
  if (!utf16 && stats.unencodable != 0) fuzz::Fail("a character was replaced in the CSV");

  const std::string csv = fuzz::ReadFile(settings.outputPath);
  if (fuzz::CheckCsvShape(csv) != items.codes.size()) fuzz::Fail("header has another column count than the items");
  if (utf16) fuzz::CheckValidUtf8(csv);
  return 0;
}
