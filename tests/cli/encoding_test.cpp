// UTF-8, UTF-16 and LF logs, CSV encodings and quoting through trovlin-cli.
#include <gtest/gtest.h>

#include "support/cli_run.h"
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
    const std::pair<std::string, std::string> copies[] = {
        // the copy, and how the CLI says it reads it
        {dir.Write("utf8.log", Cp932ToUtf8(cp932)), Cp932ToUtf8(cp932) != cp932 ? "read as UTF-8" : ""},
        {dir.Write("bom.log", "\xEF\xBB\xBF" + Cp932ToUtf8(cp932)), "read as UTF-8"},
        {dir.Write("lf.log", lf), "read with LF line ends (no CR in its first 64 KiB)"},
        {dir.Write("utf16le.log", Utf16(cp932, false)), "read as UTF-16 (little-endian)"},
        {dir.Write("utf16be.log", Utf16(cp932, true)), "read as UTF-16 (big-endian)"},
    };
    const auto expected = RunCli({"convert", plain, "-o", "-"});
    ASSERT_EQ(expected.exitCode, 0) << sample;
    for (const auto& [log, told] : copies) {
      const auto r = RunCli({"convert", log, "-o", "-"});
      EXPECT_EQ(r.exitCode, 0) << sample;
      EXPECT_TRUE(r.out == expected.out) << sample << " read from " << log;
      EXPECT_EQ(r.err.rfind("trovlin-cli: " + log + ": " + told + "\n", 0) == 0, !told.empty()) << r.err;
    }
  }
}

TEST(Encodings, HowTheLogIsReadAndTheCsvWritten) {
  TempDir dir;
  const std::string log = dir.File("log");
  const std::string warn = "trovlin-cli: warning: " + log;
  const std::string quotes =
      "T\"I  He said \"yes\", twice\r\nRE\r\n(1) \"Quoted\" ref\r\n    (2) plain, with comma\r\n\r\n";
  const struct {
    std::string bytes;
    std::vector<std::string> args;
    std::string out;
    std::string err = "";  // not compared when empty
  } cases[] = {
      // Read as code page 932, the three bytes are E6A4 (a pair) and an invalid 9C: all carried through.
      {"TI   \xE6\xA4\x9C\r\n", {"--db", "DIALOG", "--input-encoding", "cp932"}, "\"TI\"\r\n\"\xE6\xA4\x9C\"\r\n"},
      // UTF-16 without a byte-order mark is read when named; its NULs tell the byte order.
      {Utf16("TI   x\r\n", true).substr(2), {"--db", "DIALOG", "--input-encoding", "utf-16"}, "\"TI\"\r\n\"x\"\r\n"},
      {"L1   ANSWER 1\r\nAN   1\nTI   x\r\n\r\nAN   2\r\nTI   y\nz\r\n",
       {"--items", "AN,TI"},
       "\"AN\",\"TI\"\r\n\"1\nTI   x\",\"\"\r\n\"2\",\"y\nz\"\r\n",
       warn + ": CR and LF line ends are mixed; an LF without a CR stays part of its line (line 2, 5)\n" +
           "trovlin-cli: warning: " + dir.File("log") +
           ": TI not in the first answer; a column is empty in the rows of answers without its item\n" +
           "STN: 2 row(s) of 2 column(s) written to standard output\n"},
      {"TI   a\x80\x81\r\nAB   \xFF\r\n",
       {"--db", "DIALOG", "--items", "TI,AB", "--encoding", "utf-8"},
       "\"TI\",\"AB\"\r\n\"a\xEF\xBF\xBD\xEF\xBF\xBD\",\"\xEF\xBF\xBD\"\r\n",
       warn + " line 1: bytes that are not valid in the log's encoding; written as U+FFFD\n" + warn +
           " line 2: bytes that are not valid in the log's encoding; written as U+FFFD\n" + warn +
           ": 3 invalid byte(s) of the log written as U+FFFD\n" +
           "DIALOG: 1 row(s) of 2 column(s) written to standard output\n"},
      {"TI   caf\xC3\xA9\r\nAB   ok\r\nKW   \xF0\x9F\x98\x80 \xE6\xA4\x9C\r\n",
       {"--db", "STN", "--items", "TI,AB,KW"},
       "\"TI\",\"AB\",\"KW\"\r\n\"caf?\",\"ok\",\"? \x8C\x9F\"\r\n",
       "trovlin-cli: " + log + ": read as UTF-8\n" + warn + " line 1: characters that code page 932 cannot hold\n" +
           warn + " line 3: characters that code page 932 cannot hold\n" + warn +
           ": 2 character(s) have no code page 932 form; written as \"?\" (--encoding utf-8 keeps them)\n" +
           "STN: 1 row(s) of 3 column(s) written to standard output\n"},
      // With double quotes no character changes, in RE text too.
      {quotes,
       {"--db", "DIALOG", "--item", "T\"I", "--item", "RE", "--quotes", "double"},
       "\"T\"\"I\",\"RE\"\r\n\"He said \"\"yes\"\", twice\",\"(1) \"\"Quoted\"\" ref\n(2) plain, with comma\"\r\n"},
      // By default a quote becomes an apostrophe, in RE text as everywhere.
      {quotes,
       {"--db", "DIALOG", "--item", "T\"I", "--item", "RE"},
       "\"T'I\",\"RE\"\r\n\"He said 'yes', twice\",\"(1) 'Quoted' ref\n(2) plain, with comma\"\r\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"convert", dir.Write("log", c.bytes), "-o", "-"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto r = RunCli(args);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, c.out) << c.args.back();
    EXPECT_EQ(c.err.empty() ? "" : r.err, c.err);
  }
}

}  // namespace
}  // namespace trovlin
