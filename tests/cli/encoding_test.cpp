// UTF-8, UTF-16 and LF logs, CSV encodings and RFC 4180 quoting through trovlin-cli.
#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::TempDir;

const std::string kSamples = TROVLIN_SAMPLES_DIR;

std::string Cp932ToUtf8(const std::string& bytes) {
  std::u16string text;
  DecodeCp932(bytes, text);
  return Utf16ToUtf8(text);
}

std::string Utf16(const std::string& cp932, bool bigEndian) {
  std::u16string text;
  DecodeCp932(cp932, text);
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (const char16_t c : text) {
    const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    bytes += bigEndian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return bytes;
}

TEST(Encodings, EveryCopyOfALogGivesTheSameCsv) {
  for (const char* sample : {"stn_sample.log", "dialog_sample.log", "jois_sample.log", "patolis_layout1.log",
                             "patolis_layout2.log", "patolis_layout3.log", "patolis_layout4.log"}) {
    TempDir dir;
    const std::string cp932 = ReadBytes(kSamples + "/" + sample);
    const std::string plain = dir.Write("cp932.log", cp932);
    std::string lf = cp932;
    std::erase(lf, '\r');
    const struct {
      std::string log;
      std::string told;  // how the CLI says it reads the copy
    } copies[] = {
        {dir.Write("utf8.log", Cp932ToUtf8(cp932)), Cp932ToUtf8(cp932) != cp932 ? "read as UTF-8" : ""},
        {dir.Write("bom.log", "\xEF\xBB\xBF" + Cp932ToUtf8(cp932)), "read as UTF-8"},
        {dir.Write("lf.log", lf), "read with LF line ends (no CR in its first 64 KiB)"},
        {dir.Write("utf16le.log", Utf16(cp932, false)), "read as UTF-16 (little-endian)"},
        {dir.Write("utf16be.log", Utf16(cp932, true)), "read as UTF-16 (big-endian)"},
    };
    const auto expected = RunCli({"convert", plain, "-o", "-"});
    ASSERT_EQ(expected.exitCode, 0) << sample;
    for (const auto& copy : copies) {
      const auto r = RunCli({"convert", copy.log, "-o", "-"});
      EXPECT_EQ(r.exitCode, 0) << sample;
      EXPECT_TRUE(r.out == expected.out) << sample << " read from " << copy.log;
      EXPECT_EQ(r.err.rfind("trovlin-cli: " + copy.log + ": " + copy.told + "\n", 0) == 0, !copy.told.empty())
          << sample << " " << r.err;
      EXPECT_EQ(RunCli({"detect", copy.log}).out, RunCli({"detect", plain}).out) << sample;
      EXPECT_EQ(RunCli({"items", copy.log}).out, RunCli({"items", plain}).out) << sample;
    }
  }
}

TEST(Encodings, MixedLineEndsAreNamedAndReadAsBefore) {
  TempDir dir;
  const std::string log = dir.Write("log", "L1   ANSWER 1\r\nAN   1\nTI   x\r\n\r\nAN   2\r\nTI   y\nz\r\n");
  const std::string warning =
      "trovlin-cli: warning: " + log +
      ": CR and LF line ends are mixed; an LF without a CR stays part of its line (line 2, 5)\n";
  const auto detected = RunCli({"detect", log});
  EXPECT_EQ(detected.out, "STN\n");
  EXPECT_EQ(detected.err, warning);
  const auto r = RunCli({"convert", log, "-o", "-", "--items", "AN,TI"});
  EXPECT_EQ(r.out, "\"AN\",\"TI\"\r\n\"1\nTI   x\",\"\"\r\n\"2\",\"y\nz\"\r\n");
  EXPECT_EQ(r.err, warning + "STN: 2 row(s) of 2 column(s) written to standard output\n");
}

TEST(Encodings, InputEncodingCanBeForced) {
  TempDir dir;
  const std::string log = dir.Write("log", "TI   \xE6\xA4\x9C\r\n");  // 検 in UTF-8
  EXPECT_EQ(RunCli({"convert", log, "--db", "DIALOG", "-o", "-"}).out, "\"TI\"\r\n\"\x8C\x9F\"\r\n");
  // Read as code page 932, the three bytes are E6A4 (a pair) and an invalid 9C: all carried through.
  EXPECT_EQ(RunCli({"convert", log, "--db", "DIALOG", "-o", "-", "--input-encoding", "cp932"}).out,
            "\"TI\"\r\n\"\xE6\xA4\x9C\"\r\n");
  EXPECT_EQ(RunCli({"convert", log, "--input-encoding", "latin1"}).exitCode, 1);
  // UTF-16 without a byte-order mark is refused, unless it is named; its NULs tell the byte order.
  const std::string utf16 = dir.Write("utf16", Utf16("TI   x\r\n", true).substr(2));
  EXPECT_EQ(RunCli({"convert", utf16, "--db", "DIALOG", "-o", "-", "--input-encoding", "utf-16"}).out,
            "\"TI\"\r\n\"x\"\r\n");
}

TEST(Encodings, InvalidBytesBecomeReplacementCharactersInUtf8) {
  TempDir dir;
  const std::string log = dir.Write("log", "TI   a\x80\x81\r\nAB   \xFF\r\n");
  const auto r = RunCli({"convert", log, "--db", "DIALOG", "-o", "-", "--items", "TI,AB", "--encoding", "utf-8"});
  EXPECT_EQ(r.out, "\"TI\",\"AB\"\r\n\"a\xEF\xBF\xBD\xEF\xBF\xBD\",\"\xEF\xBF\xBD\"\r\n");
  EXPECT_EQ(r.err, "trovlin-cli: warning: " + log +
                       " line 1: bytes that are not valid in the log's encoding; written as U+FFFD\n"
                       "trovlin-cli: warning: " +
                       log +
                       " line 2: bytes that are not valid in the log's encoding; written as U+FFFD\n"
                       "trovlin-cli: warning: 3 invalid byte(s) of the log written as U+FFFD\n"
                       "DIALOG: 1 row(s) of 2 column(s) written to standard output\n");
  // Code page 932 keeps them as they were.
  EXPECT_EQ(RunCli({"convert", log, "--db", "DIALOG", "-o", "-", "--items", "TI,AB"}).out,
            "\"TI\",\"AB\"\r\n\"a\x80\x81\",\"\xFF\"\r\n");
}

TEST(Encodings, CsvInUtf8) {
  const std::string log = kSamples + "/jois_sample.log";
  EXPECT_EQ(RunCli({"convert", log, "-o", "-", "--items", "LA,PY", "--encoding", "utf-8"}).out,
            "\"LA\",\"PY\"\r\n\"日本語\",\"2005\"\r\n\"日本語\",\"2004\"\r\n");
  EXPECT_EQ(RunCli({"convert", log, "-o", "-", "--items", "LA", "--encoding", "utf-8-bom"}).out,
            "\xEF\xBB\xBF\"LA\"\r\n\"日本語\"\r\n\"日本語\"\r\n");
}

TEST(Encodings, CharactersCp932CannotHoldAreReportedAndReplaced) {
  TempDir dir;
  const std::string log = dir.Write("log", "TI   caf\xC3\xA9\r\nAB   ok\r\nKW   \xF0\x9F\x98\x80 \xE6\xA4\x9C\r\n");
  const auto r = RunCli({"convert", log, "--db", "STN", "-o", "-", "--items", "TI,AB,KW"});
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "\"TI\",\"AB\",\"KW\"\r\n\"caf?\",\"ok\",\"? \x8C\x9F\"\r\n");
  EXPECT_EQ(r.err, "trovlin-cli: " + log + ": read as UTF-8\n" + "trovlin-cli: warning: " + log +
                       " line 1: characters that code page 932 cannot hold\n" + "trovlin-cli: warning: " + log +
                       " line 3: characters that code page 932 cannot hold\n" +
                       "trovlin-cli: warning: 2 character(s) have no code page 932 form; written as \"?\"\n" +
                       "STN: 1 row(s) of 3 column(s) written to standard output\n");
}

// A reader of RFC 4180 CSV: fields in double quotes, "" inside for one ".
std::vector<std::vector<std::string>> ParseRfc4180(const std::string& csv) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (quoted) {
      if (c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      rows.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < csv.size() && csv[i + 1] == '\n') {
      rows.back().push_back(field);
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      ADD_FAILURE() << "unquoted character at " << i;
    }
  }
  rows.pop_back();
  return rows;
}

TEST(Quotes, DoubleQuotesRoundTripThroughAnRfc4180Reader) {
  TempDir dir;
  const std::string log = dir.Write("log",
                                    "T\"I  He said \"yes\", twice\r\n"
                                    "RE\r\n"
                                    "(1) \"Quoted\" ref\r\n"
                                    "    (2) plain, with comma\r\n"
                                    "\r\n");
  const auto r =
      RunCli({"convert", log, "--db", "DIALOG", "-o", "-", "--item", "T\"I", "--item", "RE", "--quotes", "double"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto rows = ParseRfc4180(r.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"T\"I", "RE"}));
  // RE's own rule still turns its quotes into apostrophes; every other character is kept.
  EXPECT_EQ(rows[1], (std::vector<std::string>{"He said \"yes\", twice", "(1) 'Quoted' ref\n(2) plain, with comma"}));
  // The default is unchanged: apostrophes.
  EXPECT_EQ(RunCli({"convert", log, "--db", "DIALOG", "-o", "-", "--item", "T\"I"}).out,
            "\"T'I\"\r\n\"He said 'yes', twice\"\r\n");
}

}  // namespace
}  // namespace trovlin
