// The line reader, tagged record reader and CSV writer on arbitrary bytes,
// with the first answer's items plus RE and a code that never occurs.
#include <cstdint>
#include <string>

#include "common/errors.h"
#include "fuzz_support.h"
#include "input/discover.h"
#include "tagged/tagged_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  ConversionSettings settings;
  settings.inputPath = fuzz::ScratchDir() + "/tagged.log";
  settings.outputPath = fuzz::ScratchDir() + "/tagged.csv";
  fuzz::WriteFile(settings.inputPath, input);
  // The first byte picks the service, so each option path is taken.
  settings.databaseKind = static_cast<DatabaseKind>(1 + (size > 0 ? data[0] % 3 : 0));
  SetRunOptions(settings, true, true);

  ItemTable items;
  for (const DiscoveredItem& item : DiscoverItems(settings.inputPath).items) items.codes.push_back(item.code);
  items.codes.push_back(u"RE");
  items.codes.push_back(u"ZZZZZ");
  const RunStatistics stats = RunTaggedConversion(settings, items);
  // Text read from code page 932 always goes back into it, invalid bytes included.
  if (stats.unencodable != 0) fuzz::Fail("a character was replaced in the CSV");

  const std::string csv = fuzz::ReadFile(settings.outputPath);
  if (fuzz::CheckCsvShape(csv) != items.codes.size()) fuzz::Fail("header has another column count than the items");
  return 0;
}
