#include "logread/log_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Every line the reader returns, and whether AtEnd() held right after each.
struct Read {
  std::vector<std::u16string> lines;
  std::vector<bool> atEnd;
};

Read ReadAll(const std::string& path, LogReaderOptions options = {}) {
  LogReader reader(path, options);
  Read r;
  while (!reader.AtEnd()) {
    std::u16string line;
    reader.ReadLogLine(line);
    r.lines.push_back(line);
    r.atEnd.push_back(reader.AtEnd());
  }
  return r;
}

struct SplitCase {
  const char* name;
  std::string bytes;
  std::vector<std::u16string> lines;
  LogFormat format = {};
};

TEST(LogReader, SplitsAtCrAndExpandsTabs) {
  const SplitCase cases[] = {
      {"tab", "AB\tCD", {u"AB    CD"}},
      {"two tabs", "\t\tx", {u"        x"}},
      {"crlf", "a\r\n\r\nb\r\n", {u"a", u"", u"b"}},
      {"no final line end", "a\r\nb", {u"a", u"b"}},
      {"lone cr", "a\r\rb", {u"a", u"", u"b"}},
      {"lf only is an ordinary character", "a\nb\nc", {u"a\nb\nc"}},
      {"lf cr", "a\n\rb", {u"a\n", u"b"}},
      {"cr cr lf", "a\r\r\nb", {u"a", u"", u"b"}},
      {"full-width counts one each", "\x82\x60\x82\x61\x81\x40x", {u"ＡＢ\u3000x"}},
      {"invalid bytes kept", "\x81 \xFF", {u"\xDC81 \xDCFF"}},
      {"lf log splits at lf", "a\nb\r\n\nc\td\n", {u"a", u"b\r", u"", u"c    d"}, {.lineEnd = LineEnd::Lf}},
      {"lf log, last line without lf", "\x82\x60\nb", {u"Ａ", u"b"}, {.lineEnd = LineEnd::Lf}},
      {"lf log, only lf", "\n", {u""}, {.lineEnd = LineEnd::Lf}},
      {"utf-16le with its mark",
       std::string("\xFF\xFEx\0\t\0\x1C\x69\r\0\n\0y\0", 14),
       {u"x    検", u"y"},
       {.encoding = LogEncoding::Utf16Le}},
      {"utf-16be with its mark",
       std::string("\xFE\xFF\0x\0\r\0\r\x69\x1C", 10),
       {u"x", u"", u"検"},
       {.encoding = LogEncoding::Utf16Be}},
      {"utf-16le without a mark, lf",
       std::string("a\0\n\0\xFF\xFE", 6),
       {u"a", u"\uFEFF"},
       {.encoding = LogEncoding::Utf16Le, .lineEnd = LineEnd::Lf}},
      {"utf-16 pair, lone surrogates, odd last byte",
       std::string("\x42\xD8\xB7\xDFz\0\x00\xDC\x00\xD8q\0!", 13),
       {u"𠮷z\xDCFF\xDCFFq\xDCFF"},
       {.encoding = LogEncoding::Utf16Le}},
  };
  TempDir dir;
  for (const SplitCase& c : cases) {
    const Read r = ReadAll(dir.Write("log", c.bytes), {.format = c.format});
    EXPECT_EQ(r.lines, c.lines) << c.name;
    ASSERT_FALSE(r.atEnd.empty()) << c.name;
    EXPECT_TRUE(r.atEnd.back()) << c.name;
  }
}

// The line end and the TABs are looked for many bytes at a time: wherever
// they fall, a line ends at its CR and only its own TABs are expanded.
TEST(LogReader, LineEndsAndTabsAnywhereInALongLine) {
  TempDir dir;
  for (std::size_t before = 0; before <= 40; ++before) {
    for (std::size_t after : {0, 1, 15, 16, 17}) {
      const std::string a(before, 'a');
      const std::string b(after, 'b');
      const std::u16string wa(before, u'a');
      const std::u16string wb(after, u'b');
      const Read r = ReadAll(dir.Write("log", a + "\t" + b + "\r\n" + a + "\r\n\t" + b + "\r" + a + "z"));
      const std::vector<std::u16string> expected = {wa + u"    " + wb, wa, u"    " + wb, wa + u"z"};
      ASSERT_EQ(r.lines, expected) << before << " " << after;
    }
  }
}

// A PATOLIS log is read as if its LF CR pairs were CR LF: the lines read
// with the repair are those of the log as rewritten by hand.
struct RepairCase {
  std::string before;
  std::string after;
};

void ExpectRepairedAs(const TempDir& dir, const RepairCase& c, const std::string& where = "") {
  const std::string path = dir.Write("log", c.before);
  const Read repaired = ReadAll(path, {.format = {.repairLfCr = true}});
  EXPECT_TRUE(repaired.lines == ReadAll(dir.Write("after", c.after)).lines) << where;
  EXPECT_TRUE(ReadBytes(path) == c.before) << "the log was written " << where;
}

TEST(LogReader, RepairReadsLfCrAsCrLf) {
  const std::string text(70, 'x');
  const RepairCase cases[] = {
      {"a\n\rb", "a\r\nb"},
      {"\r\nb", "\r\nb"},
      {"a\n\n\r", "a\n\n\r"},  // the byte after an LF never starts a pair
      {"a\r\n\r", "a\r\n\r"},
      // An LF first in the file has no CR before it; one last has nothing after it.
      {"\n\rx", "\r\nx"},
      {"x\n", "x\n"},
      // The byte before is taken as rewritten: the second pair follows the first.
      {"a\n\r\n\rb", "a\r\n\r\nb"},
      // In a run of LFs every other one is examined, from the first on.
      {"a\n\n\n\rb", "a\n\n\r\nb"},
      {"a\n\n\n\n\rb", "a\n\n\n\n\rb"},
      {"\n\n\n\r", "\n\n\r\n"},
      {"a\r\n\n\rb", "a\r\n\n\rb"},
      {"a\r\n\n\n\rb", "a\r\n\n\r\nb"},
      // A CR right before the LF keeps the pair.
      {"\r\n\r\n\r", "\r\n\r\n\r"},
      {"x\n\r\r\n\rx", "x\r\n\r\n\rx"},
      {text + "\n\r" + text + "\n\r" + text, text + "\r\n" + text + "\r\n" + text},
      // 40 LFs: the last one is skipped; 41: the last one is examined and rewritten.
      {"a" + std::string(40, '\n') + "\r" + text, "a" + std::string(40, '\n') + "\r" + text},
      {"a" + std::string(41, '\n') + "\r" + text, "a" + std::string(40, '\n') + "\r\n" + text},
  };
  TempDir dir;
  for (const RepairCase& c : cases) ExpectRepairedAs(dir, c);
}

// Around the reader's first block edge and a later read edge, in one long
// line and after many short ones (so that the edge falls after bytes already
// consumed): whether an LF is examined, and the pair it makes with the byte
// after it, do not depend on where a read ends.
TEST(LogReader, RepairCarriesOverReadEdges) {
  struct EdgeCase {
    const char* before;
    const char* after;
  };
  const EdgeCase patterns[] = {
      {"\n\r\n\r", "\r\n\r\n"}, {"\n\n\r", "\n\n\r"},     {"\n\n\n\r", "\n\n\r\n"},
      {"\r\n\r", "\r\n\r"},     {"\r\n\r\n", "\r\n\r\n"}, {"\r\n\n\n\r", "\r\n\n\r\n"},
  };
  TempDir dir;
  for (const std::size_t edge : {std::size_t{128} << 10, std::size_t{1} << 20}) {
    for (const bool shortLines : {false, true}) {
      std::string filler(edge + 16, 'x');
      for (std::size_t i = 8; shortLines && i + 16 < filler.size(); i += 10) filler.replace(i, 2, "\r\n");
      for (const EdgeCase& p : patterns) {
        const std::string_view before = p.before;
        for (std::size_t at = edge - before.size(); at <= edge + 1; ++at) {
          RepairCase c{filler.substr(0, at - 2) + "xx" + p.before + "yy\n\r",
                       filler.substr(0, at - 2) + "xx" + p.after + "yy\r\n"};
          ExpectRepairedAs(
              dir, c, std::to_string(edge) + (shortLines ? " short " : " long ") + std::to_string(at) + " " + p.before);
        }
      }
    }
  }
}

TEST(LogReader, EndOfInputHoldsRightAfterTheLastLine) {
  TempDir dir;
  for (const char* bytes : {"x\r\ny\r\n", "x\r\ny"}) {
    LogReader reader(dir.Write("log", bytes));
    std::u16string line;
    reader.ReadLogLine(line);
    EXPECT_FALSE(reader.AtEnd());
    reader.ReadLogLine(line);
    EXPECT_EQ(line, u"y");
    EXPECT_TRUE(reader.AtEnd());
    line = u"stale";
    reader.ReadLogLine(line);
    EXPECT_EQ(line, u"");
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(LogReader, EmptyFileIsAtEndAtOnce) {
  TempDir dir;
  LogReader reader(dir.Write("log", ""));
  EXPECT_TRUE(reader.AtEnd());
}

TEST(LogReader, TrailingEmptyLineComesAfterTheLastRealLine) {
  TempDir dir;
  for (const char* bytes : {"AN   1", "AN   1\r\n"}) {
    const Read r = ReadAll(dir.Write("log", bytes), {.trailingEmptyLine = true});
    EXPECT_EQ(r.lines, (std::vector<std::u16string>{u"AN   1", u""}));
    EXPECT_EQ(r.atEnd, (std::vector<bool>{false, true}));
  }
  const Read empty = ReadAll(dir.Write("log", ""), {.trailingEmptyLine = true});
  EXPECT_EQ(empty.lines, std::vector<std::u16string>{u""});
}

TEST(LogReader, LinesAcrossBlockBoundariesComeBackWhole) {
  // Lines of many lengths, some longer than the read block, with the CR and
  // LF of a line end falling on either side of block edges.
  std::vector<std::u16string> expected;
  std::string bytes;
  std::size_t length = 1;
  while (bytes.size() < (5u << 20)) {
    std::string line(length, static_cast<char>('a' + expected.size() % 26));
    bytes += line + "\r\n";
    expected.emplace_back(line.begin(), line.end());
    length = (length * 7 + 13) % 1500000 + 1;
  }
  TempDir dir;
  const Read r = ReadAll(dir.Write("log", bytes));
  ASSERT_EQ(r.lines.size(), expected.size());
  EXPECT_TRUE(r.lines == expected);
}

TEST(LogReader, CountsLinesAndBytesConsumed) {
  TempDir dir;
  LogReader reader(dir.Write("log", "ab\r\ncd\r\n"));
  std::u16string line;
  reader.ReadLogLine(line);
  EXPECT_EQ(reader.LineNumber(), 1u);
  EXPECT_EQ(*reader.BytesConsumed(), 4u);
  EXPECT_EQ(reader.TotalBytes(), 8u);
}

TEST(LogReader, ReportsInvalidBytesWithTheirLine) {
  struct Recorder : RunObserver {
    std::vector<std::pair<std::uint64_t, std::size_t>> seen;
    void OnInvalidBytes(std::uint64_t line, std::size_t count) override { seen.emplace_back(line, count); }
  } recorder;
  TempDir dir;
  LogReader reader(dir.Write("log", "ok\r\nbad\x80\x85\x40\r\n"), {}, &recorder);
  std::u16string line;
  while (!reader.AtEnd()) reader.ReadLogLine(line);
  ASSERT_EQ(recorder.seen.size(), 1u);
  EXPECT_EQ(recorder.seen[0].first, 2u);
}

TEST(LogReader, UnreadableLogsThrowWithPathAndReason) {
  TempDir dir;
  const std::string missing = dir.File("missing.log");
  try {
    LogReader reader(missing);
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot open the log '" + missing + "': No such file or directory");
  }
  try {
    LogReader reader(dir.path());
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot read the log '" + dir.path() + "': it is a folder");
  }
}

}  // namespace
}  // namespace trovlin

namespace trovlin {
namespace {

TEST(LogReader, LinesUpToTheLimitAreReadAndLongerOnesStop) {
  TempDir dir;
  std::string longest(LogReader::kMaxLineBytes, 'x');
  {
    const std::string path = dir.Write("ok.log", longest + "\r\nnext");
    LogReader reader(path);
    std::u16string line;
    reader.ReadLogLine(line);
    EXPECT_EQ(line.size(), LogReader::kMaxLineBytes);
    reader.ReadLogLine(line);
    EXPECT_EQ(line, u"next");
  }
  longest.append(2u << 20, 'y');
  const std::string path = dir.Write("long.log", "first\r\n" + longest);
  LogReader reader(path);
  std::u16string line;
  reader.ReadLogLine(line);
  try {
    reader.ReadLogLine(line);
    FAIL() << "no error";
  } catch (const IoError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot read the log '" + path + "': line 2 is longer than the limit of 64 MiB");
  }
}

}  // namespace
}  // namespace trovlin

namespace trovlin {
namespace {

TEST(LogReader, ReadsUtf8LogsAndSkipsTheByteOrderMark) {
  TempDir dir;
  struct Recorder : RunObserver {
    std::vector<std::uint64_t> invalidLines, unencodableLines;
    void OnInvalidBytes(std::uint64_t line, std::size_t) override { invalidLines.push_back(line); }
    void OnUnencodable(std::uint64_t line, std::size_t) override { unencodableLines.push_back(line); }
  } recorder;
  const std::string path = dir.Write("log", "\xEF\xBB\xBFTI\t\xE6\xA4\x9C\xE7\xB4\xA2\r\nx\xFFy\r\ncaf\xC3\xA9\r\n");
  LogReader reader(path, {.format = {.encoding = LogEncoding::Utf8}}, &recorder);
  std::vector<std::u16string> lines;
  while (!reader.AtEnd()) {
    std::u16string line;
    reader.ReadLogLine(line);
    lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::u16string>{u"TI    検索", u"x\xDCFFy", u"caf\u00E9"}));
  EXPECT_EQ(recorder.invalidLines, std::vector<std::uint64_t>{2});
  EXPECT_EQ(recorder.unencodableLines, std::vector<std::uint64_t>{3});
}

}  // namespace
}  // namespace trovlin
