#include "patolis/patolis.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/errors.h"
#include "patolis_fixture.h"
#include "text/utf8.h"

namespace trovlin::testing {
namespace {

using Status = PatolisOutcome::Status;

// The layout character is the sixth after 様式 on the first line holding
// ＊＊検索回答; a digit 1-4 of either width chooses a converter, anything
// else leaves the output as it was.
TEST(PatolisTest, TheAnswerHeaderChoosesTheLayoutAndItsConverter) {
  const std::pair<Lines, std::optional<std::pair<std::string, int>>> cases[] = {
      {{"PATOLIS", AnswerHeaderLine("3")}, {{"3", 3}}},
      {{AnswerHeaderLine("３")}, {{"３", 3}}},
      {{"＊＊検索回答＊＊ 様式番号：　2  件数 1"}, {{"2", 2}}},  // 様式 at 10, the digit at 16
      {{"xx＊＊検索回答 様式 :  4"}, {{"4", 4}}},
      {{AnswerHeaderLine("5"), " 1 特許出願 2003-123456"}, {{"5", 0}}},
      {{AnswerHeaderLine("０")}, {{"０", 0}}},
      {{AnswerHeaderLine("A")}, {{"A", 0}}},
      {{"＊＊検索回答＊＊  様式 :"}, {{"", 0}}},
      {{AnswerHeaderLine("7"), AnswerHeaderLine("2")}, {{"7", 0}}},  // only the first header line counts
      {{"＊＊検索回答＊＊  件数 2", AnswerHeaderLine("2")}, std::nullopt},
      {{"**検索回答**  様式 :  3"}, std::nullopt},
      {{"PATOLIS", "検索式 1"}, std::nullopt},
  };
  for (const auto& [lines, expected] : cases) {
    TempDir dir;
    const ConversionSettings settings = LogSettings(dir, PatolisLog(lines));
    const auto found = FindAnswerHeader(settings.inputPath);
    ASSERT_EQ(found.has_value(), expected.has_value()) << lines[0];
    EXPECT_TRUE(!found || std::pair(Utf16ToUtf8(found->layoutCharacter), found->layoutCode) == *expected) << lines[0];
    WriteBytes(settings.outputPath, "old");
    const PatolisOutcome outcome = ConvertPatolis(settings);
    const int layout = expected ? expected->second : 0;
    EXPECT_EQ(outcome.status, layout == 0 ? Status::NothingToConvert : Status::Converted) << lines[0];
    EXPECT_EQ(outcome.layoutCode, layout);
    EXPECT_EQ(ReadBytes(settings.outputPath) == "old", layout == 0) << lines[0];
  }
  // A header line that ends the log: the converter meets the end at once.
  EXPECT_EQ(ConvertLines({"PATOLIS", AnswerHeaderLine("4")}), std::vector<Row>{LayoutBTitles("抄録")});
  // Later header lines are ordinary lines.
  EXPECT_EQ(ConvertLines({AnswerHeaderLine("1"), AnswerHeaderLine("3"), " 1 特許出願 2003-123456", ""}).at(1).at(0),
            "2003-123456");
}

// A preview is the converted CSV up to the end of its header and first rows.
TEST(PatolisTest, APreviewIsTheStartOfTheConvertedCsv) {
  for (const char* sample : {"1", "2", "3", "4"}) {
    TempDir dir;
    const std::string log = ReadBytes(std::string(TROVLIN_SAMPLES_DIR) + "/patolis_layout" + sample + ".log");
    const ConversionSettings settings = LogSettings(dir, log, DatabaseKind::Patolis);
    ConvertPatolis(settings);
    const std::string csv = ReadBytes(settings.outputPath);
    for (const std::size_t rows : {0, 1, 2, 99}) {
      std::size_t end = 0;
      for (std::size_t i = 0; i <= rows && end < csv.size(); ++i) end = csv.find("\r\n", end) + 2;
      EXPECT_EQ(PreviewPatolis(settings, rows), csv.substr(0, end)) << sample << " " << rows;
    }
  }
  EXPECT_EQ(PreviewPatolis(LogSettings(TempDir(), PatolisLog({AnswerHeaderLine("9")})), 5), "");
}

// A preview stops at its last row: a line after it that no run could read is
// never reached.
TEST(PatolisTest, APreviewReadsNoFurtherThanItsRows) {
  TempDir dir;
  const ConversionSettings settings = LogSettings(
      dir, PatolisLog({AnswerHeaderLine("1"), " 1 特許出願 2003-123456", "", " 2 特許出願 2003-654321", ""}) +
               std::string(LogReader::kMaxLineBytes + (2u << 20), 'x'));
  const std::string header =
      Sjis(u"\"出願番号\",\"出願日\",\"公開番号\",\"公開日\",\"公告番号\",\"公告日\",\"登録番号\",\"登録日\"\r\n");
  const std::string first = Sjis(u"\"2003-123456\",\"\",\"\",\"\",\"\",\"\",\"1 特許出願 2003-123456\",\"\"\r\n");
  const std::string second = Sjis(u"\"2003-654321\",\"\",\"\",\"\",\"\",\"\",\"2 特許出願 2003-654321\",\"\"\r\n");
  EXPECT_EQ(PreviewPatolis(settings, 0), header);
  EXPECT_EQ(PreviewPatolis(settings, 1), header + first);
  EXPECT_EQ(PreviewPatolis(settings, 2), header + first + second);
  EXPECT_THROW(PreviewPatolis(settings, 3), IoError);
}

TEST(PatolisTest, FailuresAreReportedAndKeepTheRowsWritten) {
  TempDir dir;
  // A line over the reader's limit after one answer.
  ConversionSettings settings = LogSettings(dir, PatolisLog({AnswerHeaderLine("1"), " 1 特許出願 2003-123456", ""}) +
                                                     std::string(LogReader::kMaxLineBytes + (2u << 20), 'x'));
  const PatolisOutcome stopped = ConvertPatolis(settings);
  EXPECT_EQ(stopped.status, Status::RowsKept);
  EXPECT_EQ(stopped.layoutCode, 1);
  try {
    std::rethrow_exception(stopped.stoppedBy);
  } catch (const IoError& e) {
    EXPECT_EQ(dynamic_cast<const OutputError*>(&e), nullptr);
    EXPECT_EQ(std::string(e.what()),
              "cannot read the log '" + settings.inputPath + "': line 4 is longer than the limit of 64 MiB");
  }
  EXPECT_EQ(ReadBytes(settings.outputPath),
            Sjis(u"\"出願番号\",\"出願日\",\"公開番号\",\"公開日\",\"公告番号\",\"公告日\",\"登録番号\",\"登録日\"\r\n"
                 u"\"2003-123456\",\"\",\"\",\"\",\"\",\"\",\"1 特許出願 2003-123456\",\"\"\r\n"));

  // Cancelled, or without its log, a run writes nothing.
  struct Cancel : RunObserver {
    void OnProgress(std::uint64_t, std::uint64_t) override { throw RunCancelled(); }
  } cancel;
  settings = LogSettings(dir, PatolisLog({AnswerHeaderLine("1"), " 1 特許出願 2", ""}));
  settings.outputPath = dir.File("c.csv");
  EXPECT_THROW(ConvertPatolis(settings, &cancel), RunCancelled);
  settings.inputPath = dir.File("absent.log");
  EXPECT_THROW(ConvertPatolis(settings), IoError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);  // in.log and out.csv
}

}  // namespace
}  // namespace trovlin::testing
