// A tagged run that keeps code page 932 bytes must write exactly what the
// run through UTF-16 writes: compared on thousands of generated logs full of
// the awkward cases (invalid and unmapped bytes, duplicated codes, "|" as a
// second byte, stars, quotes, full-width text, odd line ends).
#include "support/text_paths.h"

#include <gtest/gtest.h>

#include <random>

#include "common/database_kind.h"
#include "support/temp_dir.h"
#include "tagged/tagged_run.h"

namespace trovlin::testing {
namespace {

// Line openings: field codes (some cut by an unmapped pair), continuation
// indents, answer headers, short lines that end a record.
const char* const kOpenings[] = {"AN   ",
                                 "TI  ",
                                 "TI   ",
                                 "AU   ",
                                 "AB   ",
                                 "KW  ",
                                 "RE",
                                 "RE  ",
                                 "RE.CNT  3",
                                 "L1   ANSWER 1 OF 5",
                                 "JICST-EPlus  1/9",
                                 "\x82\x73\x82\x68  ",
                                 "AB\x85\x40",
                                 "ABC\x85\x40x",
                                 "ABC\x85\x82\x60",
                                 "TI\x81",
                                 "    ",
                                 "     ",
                                 "        ",
                                 "",
                                 "ab",
                                 "abc",
                                 "abcd",
                                 "  ",
                                 "*",
                                 "|",
                                 "\x81\x40TI ",
                                 "\t",
                                 " 12 ",
                                 "-5"};
// Text: ASCII, stars, bars, quotes, full-width letters, bar and star, voiced
// katakana, NEC and IBM duplicates, an unmapped pair, lone and invalid
// bytes, half-width katakana, a pair whose second byte is "|".
const char* const kPieces[] = {"text",     " ",
                               "*",        "**",
                               "|",        "\"",
                               "\t",       "\x82\x60\x82\x61",
                               "\x81\x62", "\x81\x96",
                               "\x83\x4B", "\x83\x94",
                               "\x81\x42", "\x8A\xBF\x8E\x9A",
                               "\xED\x40", "\x87\x90",
                               "\xFA\x4A", "\xEE\xF9",
                               "\x85\x40", "\x81",
                               "\x80",     "\xA0",
                               "\xFD",     "\xFF",
                               "\xB1\xDE", "\x83\x7C",
                               "\x82\x7C", "(1)",
                               "=",        "\x82\x50\x82\x51",
                               "  ",       "\x81\x81"};
const char* const kLineEnds[] = {"\r\n", "\r\n", "\r\n", "\r\n", "\r", "\n", "\n\r", "\r\r\n"};

template <class T, std::size_t N>
const T& Pick(std::mt19937& rng, const T (&from)[N]) {
  return from[std::uniform_int_distribution<std::size_t>(0, N - 1)(rng)];
}

std::string GeneratedLog(std::mt19937& rng) {
  std::string log;
  const int lines = std::uniform_int_distribution<int>(1, 14)(rng);
  for (int i = 0; i < lines; ++i) {
    log += Pick(rng, kOpenings);
    const int pieces = std::uniform_int_distribution<int>(0, 5)(rng);
    for (int k = 0; k < pieces; ++k) log += Pick(rng, kPieces);
    if (i + 1 < lines || rng() % 2 == 0) log += Pick(rng, kLineEnds);
  }
  return log;
}

// What the report asks of each service, and more.
LineInterest GeneratedInterest(std::mt19937& rng) {
  LineInterest interest;
  switch (rng() % 4) {
    case 0:
      interest.Add('L');
      break;
    case 1:
      for (char c = '!'; c <= '~'; ++c) interest.AddIfLongWord(c);
      break;
    case 2:
      interest.SkipSpaces();
      interest.Add('1');
      break;
    default:
      interest.SkipSpaces();
      interest.wideFirst = u'０';
      interest.wideLast = u'９';
      interest.wideOther = u'＊';
  }
  return interest;
}

TEST(TextPaths, KeepingBytesWritesWhatUtf16Writes) {
  const std::vector<std::u16string> codes = {
      u"AN", u"TI", u"AU", u"AB", u"RE", u"KW", u"ＴＩ", u"L1", u"ab", u"abc", u"AB\xDC85\xDC40", u"ABC\xDC85"};
  std::mt19937 rng(20261207);
  TempDir dir;
  for (const DatabaseKind kind : {DatabaseKind::Stn, DatabaseKind::Dialog, DatabaseKind::Jois}) {
    for (int n = 0; n < 1000; ++n) {  // 3,000 logs in all
      const std::string log = GeneratedLog(rng);
      ConversionSettings settings = LogSettings(dir, log, kind);
      settings.deleteStars = rng() % 2 == 0;
      settings.toHalfWidth = rng() % 2 == 0;
      settings.skipEmptyRows = rng() % 4 == 0;
      settings.quoteStyle = rng() % 2 == 0 ? QuoteStyle::Apostrophe : QuoteStyle::Double;
      LogFormat format = settings.InputFormat();
      format.lineEnd = rng() % 5 == 0 ? LineEnd::Lf : LineEnd::Cr;
      format.repairLfCr = rng() % 3 == 0;
      settings.SetInputFormat(format);
      ItemTable items;
      for (const auto& code : codes) {
        if (rng() % 2 == 0) items.codes.push_back(code);
      }
      if (items.codes.empty()) items.codes.push_back(u"RE");
      ASSERT_TRUE(KeepsCp932Bytes(settings));
      const std::string difference = CompareTextPaths(settings, items, GeneratedInterest(rng));
      ASSERT_EQ(difference, "") << "log " << n << " of " << DatabaseCaption(kind) << ":\n" << log;
    }
  }
}

}  // namespace
}  // namespace trovlin::testing
