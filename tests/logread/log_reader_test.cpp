#include "logread/log_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::TempDir;

// Every line of the log, and what was reported on the way: "i2:3" for three
// invalid bytes on line 2, "u3:1" for one character code page 932 cannot hold.
struct Read {
  std::vector<std::u16string> lines;
  std::vector<std::string> reports;
};

Read ReadAll(const std::string& path, LogReaderOptions options = {}) {
  struct Recorder : RunObserver {
    std::vector<std::string> seen;
    void Add(char what, std::uint64_t line, std::size_t n) {
      seen.push_back(what + std::to_string(line) + ":" + std::to_string(n));
    }
    void OnInvalidBytes(std::uint64_t line, std::size_t n) override { Add('i', line, n); }
    void OnUnencodable(std::uint64_t line, std::size_t n) override { Add('u', line, n); }
  } recorder;
  LogReader reader(path, options, &recorder);
  Read r;
  while (!reader.AtEnd()) reader.ReadLogLine(r.lines.emplace_back(u"stale"));
  EXPECT_EQ(reader.LineNumber(), r.lines.size());
  EXPECT_EQ(*reader.BytesConsumed(), std::filesystem::file_size(path));
  EXPECT_EQ(reader.TotalBytes(), std::filesystem::file_size(path));
  std::u16string past = u"stale";
  reader.ReadLogLine(past);
  EXPECT_EQ(past, u"") << "a read past the end";
  r.reports = recorder.seen;
  return r;
}

TEST(LogReader, SplitsAtCrAndExpandsTabs) {
  constexpr LogReaderOptions kLf{.format = {.lineEnd = LineEnd::Lf}};
  constexpr LogReaderOptions kLe{.format = {.encoding = LogEncoding::Utf16Le}};
  constexpr LogReaderOptions kBe{.format = {.encoding = LogEncoding::Utf16Be}};
  constexpr LogReaderOptions kLeLf{.format = {.encoding = LogEncoding::Utf16Le, .lineEnd = LineEnd::Lf}};
  const struct {
    const char* name;
    std::string bytes;
    std::vector<std::u16string> lines;
    LogReaderOptions options = {};
    std::vector<std::string> reports = {};
  } cases[] = {
      {"tabs", "\tAB\tC", {u"    AB    C"}},
      {"empty", "", {}},
      {"crlf, no final line end", "a\r\n\r\nb", {u"a", u"", u"b"}},
      {"lf only is an ordinary character", "a\nb\nc", {u"a\nb\nc"}},
      {"lf cr", "a\n\rb", {u"a\n", u"b"}},
      {"cr cr lf", "a\r\r\nb", {u"a", u"", u"b"}},
      {"invalid bytes kept and reported", "ok\r\n\x82\x60\x81 \xFF", {u"ok", u"Ａ\xDC81 \xDCFF"}, {}, {"i2:2"}},
      {"trailing empty line", "AN   1", {u"AN   1", u""}, {.trailingEmptyLine = true}},
      {"trailing empty line after crlf", "AN   1\r\n", {u"AN   1", u""}, {.trailingEmptyLine = true}},
      {"trailing empty line of an empty log", "", {u""}, {.trailingEmptyLine = true}},
      {"lf log splits at lf", "a\nb\r\n\nc\td\n", {u"a", u"b\r", u"", u"c    d"}, kLf},
      {"lf log, last line without lf", "\x82\x60\nb", {u"Ａ", u"b"}, kLf},
      {"utf-8: its mark skipped, invalid and unencodable reported",
       "\xEF\xBB\xBFTI\t\xE6\xA4\x9C\r\nx\xFFy\r\ncaf\xC3\xA9\r\n",
       {u"TI    検", u"x\xDCFFy", u"caf\u00E9"},
       {.format = {.encoding = LogEncoding::Utf8}},
       {"i2:1", "u3:1"}},
      {"utf-16le with its mark", std::string("\xFF\xFEx\0\t\0\x1C\x69\r\0\n\0y\0", 14), {u"x    検", u"y"}, kLe},
      {"utf-16be with its mark", std::string("\xFE\xFF\0x\0\r\0\r\x69\x1C", 10), {u"x", u"", u"検"}, kBe},
      {"utf-16le, no mark, lf", std::string("a\0\n\0\xFF\xFE", 6), {u"a", u"\uFEFF"}, kLeLf, {"u2:1"}},
      {"utf-16 pair, lone halves, odd last byte",
       std::string("\x42\xD8\xB7\xDFz\0\x00\xDC\x00\xD8q\0!", 13),
       {u"𠮷z\xDCFF\xDCFFq\xDCFF"},
       kLe,
       {"i1:3", "u1:1"}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const Read r = ReadAll(dir.Write("log", c.bytes), c.options);
    EXPECT_EQ(r.lines, c.lines) << c.name;
    EXPECT_EQ(r.reports, c.reports) << c.name;
  }
}

// The line end and the TABs are looked for many bytes at a time: wherever
// they fall, a line ends at its CR and only its own TABs are expanded.
TEST(LogReader, LineEndsAndTabsAnywhereInALongLine) {
  TempDir dir;
  for (std::size_t before = 0; before <= 40; ++before) {
    for (std::size_t after : {0, 1, 15, 16, 17}) {
      const std::string a(before, 'a'), b(after, 'b');
      const std::u16string wa(a.begin(), a.end()), wb(b.begin(), b.end());
      ASSERT_EQ(ReadAll(dir.Write("log", a + "\t" + b + "\r\n" + a + "\r\n\t" + b + "\r" + a + "z")).lines,
                (std::vector<std::u16string>{wa + u"    " + wb, wa, u"    " + wb, wa + u"z"}))
          << before << " " << after;
    }
  }
}

// A PATOLIS log is read as if its LF CR pairs were CR LF: the lines read
// with the repair are those of the log as rewritten by hand.
using RepairCase = std::pair<std::string, std::string>;  // the log, and the log rewritten

// The lines of a CR log by hand: each CR ends one, an LF right after it goes with it.
std::vector<std::u16string> CrLines(const std::string& bytes) {
  std::vector<std::u16string> lines(1);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r') {
      lines.back() += static_cast<char16_t>(bytes[i]);
      continue;
    }
    if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    lines.emplace_back();
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

void ExpectRepairedAs(const TempDir& dir, const RepairCase& c, const std::string& where = "") {
  const std::string path = dir.Write("log", c.first);
  EXPECT_TRUE(ReadAll(path, {.format = {.repairLfCr = true}}).lines == CrLines(c.second)) << where;
  EXPECT_TRUE(ReadBytes(path) == c.first) << "the log was written " << where;
}

TEST(LogReader, RepairReadsLfCrAsCrLf) {
  const std::string text(70, 'x');
  // The byte after an LF never starts a pair; an LF first in the file has no
  // CR before it, one last has nothing after it; the byte before is taken as
  // rewritten, so a second pair follows the first; in a run of LFs every other
  // one is examined, from the first on (of 40 LFs the last is skipped, of 41
  // it is examined and rewritten); a CR right before the LF keeps the pair.
  // clang-format off
  std::vector<RepairCase> cases = {
      {"a\n\rb", "a\r\nb"}, {"\r\nb", "\r\nb"}, {"a\n\n\r", "a\n\n\r"}, {"a\r\n\r", "a\r\n\r"}, {"\n\rx", "\r\nx"},
      {"x\n", "x\n"}, {"a\n\r\n\rb", "a\r\n\r\nb"}, {"a\n\n\n\rb", "a\n\n\r\nb"}, {"a\n\n\n\n\rb", "a\n\n\n\n\rb"},
      {"\n\n\n\r", "\n\n\r\n"}, {"a\r\n\n\rb", "a\r\n\n\rb"}, {"a\r\n\n\n\rb", "a\r\n\n\r\nb"},
      {"\r\n\r\n\r", "\r\n\r\n\r"}, {"x\n\r\r\n\rx", "x\r\n\r\n\rx"}};
  // clang-format on
  cases.push_back({text + "\n\r" + text + "\n\r" + text, text + "\r\n" + text + "\r\n" + text});
  cases.push_back({"a" + std::string(40, '\n') + "\r" + text, "a" + std::string(40, '\n') + "\r" + text});
  cases.push_back({"a" + std::string(41, '\n') + "\r" + text, "a" + std::string(40, '\n') + "\r\n" + text});
  TempDir dir;
  for (const RepairCase& c : cases) ExpectRepairedAs(dir, c);
}

// Around the reader's first block edge and a later read edge, in one long
// line (longer than a block) and after many short ones (so that the edge
// falls after bytes already consumed): lines and their CR LF ends, whether an
// LF is examined, and the pair it makes with the byte after it, do not depend
// on where a read ends.
TEST(LogReader, RepairCarriesOverReadEdges) {
  const RepairCase patterns[] = {
      {"\n\r\n\r", "\r\n\r\n"}, {"\n\n\r", "\n\n\r"},     {"\n\n\n\r", "\n\n\r\n"},
      {"\r\n\r", "\r\n\r"},     {"\r\n\r\n", "\r\n\r\n"}, {"\r\n\n\n\r", "\r\n\n\r\n"},
  };
  TempDir dir;
  for (const std::size_t edge : {std::size_t{128} << 10, std::size_t{1} << 20}) {
    for (const bool shortLines : {false, true}) {
      std::string filler(edge + 16, 'x');
      for (std::size_t i = 8; shortLines && i + 16 < filler.size(); i += 10) filler.replace(i, 2, "\r\n");
      for (const RepairCase& p : patterns) {
        for (std::size_t at = edge - p.first.size(); at <= edge + 1; ++at) {
          const std::string head = filler.substr(0, at - 2) + "xx";
          ExpectRepairedAs(dir, {head + p.first + "yy\n\r", head + p.second + "yy\r\n"},
                           std::to_string(edge) + (shortLines ? " short " : " long ") + std::to_string(at));
        }
      }
    }
  }
}

TEST(LogReader, ALineUpToTheLimitIsReadWhole) {
  TempDir dir;
  const std::string longest(LogReader::kMaxLineBytes, 'x');
  EXPECT_TRUE(ReadAll(dir.Write("ok.log", longest + "\r\nnext")).lines ==
              (std::vector<std::u16string>{std::u16string(longest.size(), u'x'), u"next"}));
}

}  // namespace
}  // namespace trovlin
