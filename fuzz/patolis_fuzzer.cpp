// Each PATOLIS converter on arbitrary bytes after an answer header whose
// layout code (1-4) the first byte picks.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "patolis/patolis.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  if (size == 0) return 0;
  const int layout = 1 + data[0] % 4;
  std::string header;
  EncodeCp932(u"＊＊検索回答　様式    " + std::u16string(1, char16_t(u'0' + layout)) + u"\r\n", header);
  const std::string log = header + std::string(reinterpret_cast<const char*>(data + 1), size - 1);

  ConversionSettings settings;
  settings.inputPath = fuzz::ScratchDir() + "/patolis.log";
  settings.outputPath = fuzz::ScratchDir() + "/patolis.csv";
  settings.databaseKind = DatabaseKind::Patolis;
  fuzz::WriteFile(settings.inputPath, log);
  const PatolisOutcome outcome = ConvertPatolis(settings);
  if (outcome.status != PatolisOutcome::Status::Converted) fuzz::Fail("a log with a valid header did not convert");
  if (outcome.layoutCode != layout) fuzz::Fail("the layout code was read wrongly");
  const std::string csv = fuzz::ReadFile(settings.outputPath);
  if (fuzz::CheckCsvShape(csv) != PatolisColumnTitles(layout).size()) fuzz::Fail("wrong number of columns");
  // Text read from code page 932 always goes back into it, invalid bytes included.
  if (outcome.unencodable != 0) fuzz::Fail("a character was replaced in the CSV");
  return 0;
}
