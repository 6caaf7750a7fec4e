// A code page 932 log of arbitrary bytes converted both ways, keeping its
// bytes and through UTF-16: the CSV, statistics and observer events must
// agree. The first byte picks the service, the rules and the observer's
// interest; the items are the first answer's, "RE", and codes that an
// unmapped pair cuts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "fuzz_support.h"
#include "input/discover.h"
#include "input/log_encoding.h"
#include "support/text_paths.h"
#include "tagged/tagged_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace trovlin;
  const std::uint8_t pick = size > 0 ? data[0] : 0;
  ConversionSettings settings;
  settings.inputPath = fuzz::ScratchDir() + "/paths.log";
  settings.outputPath = fuzz::ScratchDir() + "/paths.csv";
  const std::string_view input(reinterpret_cast<const char*>(data), std::min(size, kSniffWindow - 2));
  fuzz::WriteFile(settings.inputPath,
                  fuzz::Shape(input, (pick & 8) != 0 ? fuzz::Variant::LfOnly : fuzz::Variant::AsIs));
  settings.SetInputFormat(SniffLog(settings.inputPath, LogEncoding::Cp932).format);
  settings.databaseKind = static_cast<DatabaseKind>(1 + pick % 3);
  settings.deleteStars = (pick & 16) != 0;
  settings.toHalfWidth = (pick & 32) != 0;
  settings.quoteStyle = (pick & 64) != 0 ? QuoteStyle::Double : QuoteStyle::Apostrophe;
  settings.skipEmptyRows = (pick & 128) != 0;

  ItemTable items;
  for (const DiscoveredItem& item : DiscoverItems(settings.inputPath, settings.InputFormat()).items) {
    items.codes.push_back(item.code);
  }
  items.codes.insert(items.codes.end(), {u"RE", u"AB\xDC85\xDC40", u"ABC\xDC85"});
  LineInterest interest;
  for (char c = '!'; c <= '~'; ++c) interest.AddIfLongWord(c);
  if ((pick & 4) != 0) {
    interest.SkipSpaces();
    interest.Add('1');
    interest.wideFirst = u'０';
    interest.wideLast = u'９';
  }
  const std::string difference = testing::CompareTextPaths(settings, items, interest);
  if (!difference.empty()) {
    std::fprintf(stderr, "%s\n", difference.c_str());
    fuzz::Fail("the two ways of a run disagree");
  }
  return 0;
}
