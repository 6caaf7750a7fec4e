// Each PATOLIS converter on arbitrary bytes after an answer header whose
// layout code (1-4) the first byte picks, read with the line-end repair as
// every PATOLIS log is; the first byte also picks how the log is given (see
// Variant).
#include <algorithm>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "input/log_encoding.h"
#include "patolis/patolis.h"
#include "text/cp932.h"
#include "text/utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  if (size == 0) return 0;
  const int layout = 1 + data[0] % 4;
  const auto variant = static_cast<fuzz::Variant>(data[0] / 4 % 4);
  const bool utf16 = variant == fuzz::Variant::Utf16Le || variant == fuzz::Variant::Utf16Be;
  const std::u16string title = u"＊＊検索回答　様式    " + std::u16string(1, char16_t(u'0' + layout)) + u"\r\n";
  std::string header;
  if (utf16) {
    // The header in the byte order the variant reads, so that only the rest is arbitrary.
    for (const char16_t c : title) {
      const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
      header += variant == fuzz::Variant::Utf16Be ? std::string{hi, lo} : std::string{lo, hi};
    }
  } else {
    EncodeCp932(title, header);
  }
  // A log within the window its line end is decided on: one with LF line ends then has no CR.
  const std::size_t rest = std::min(size - 1, kSniffWindow - 2 - header.size());
  const std::string log = fuzz::Shape(header + std::string(reinterpret_cast<const char*>(data + 1), rest), variant);

  ConversionSettings settings;
  settings.inputPath = fuzz::ScratchDir() + "/patolis.log";
  settings.outputPath = fuzz::ScratchDir() + "/patolis.csv";
  settings.databaseKind = DatabaseKind::Patolis;
  fuzz::WriteFile(settings.inputPath, log);
  LogFormat format = SniffLog(settings.inputPath, utf16 ? LogEncoding::Utf16Le : LogEncoding::Cp932).format;
  format.repairLfCr = true;
  settings.SetInputFormat(format);
  settings.csvEncoding = utf16 ? CsvEncoding::Utf8 : CsvEncoding::Cp932;
  const PatolisOutcome outcome = ConvertPatolis(settings);
  if (outcome.status != PatolisOutcome::Status::Converted) fuzz::Fail("a log with a valid header did not convert");
  if (outcome.layoutCode != layout) fuzz::Fail("the layout code was read wrongly");
  const std::string csv = fuzz::ReadFile(settings.outputPath);
  if (fuzz::CheckCsvShape(csv) != PatolisColumnTitles(layout).size()) fuzz::Fail("wrong number of columns");
  // Text read from code page 932 always goes back into it, invalid bytes included.
  if (!utf16 && outcome.unencodable != 0) fuzz::Fail("a character was replaced in the CSV");
  if (utf16) fuzz::CheckValidUtf8(csv);
  return 0;
}
