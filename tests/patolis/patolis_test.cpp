#include "patolis/patolis.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/errors.h"
#include "patolis_fixture.h"
#include "text/utf8.h"

namespace trovlin::testing {
namespace {

using Status = PatolisOutcome::Status;

TEST(FindAnswerHeaderTest, ReadsTheCharacterSixAfterTheLayoutLabel) {
  const std::pair<Lines, std::optional<std::pair<std::string, int>>> cases[] = {
      {{"PATOLIS", AnswerHeaderLine("3")}, {{"3", 3}}},
      {{AnswerHeaderLine("３")}, {{"３", 3}}},                   // full-width digits count too
      {{"＊＊検索回答＊＊ 様式番号：　2  件数 1"}, {{"2", 2}}},  // 様式 at 10, the digit at 16
      {{"xx＊＊検索回答 様式 :  4"}, {{"4", 4}}},
      {{AnswerHeaderLine("5")}, {{"5", 0}}},
      {{AnswerHeaderLine("０")}, {{"０", 0}}},
      {{AnswerHeaderLine("A")}, {{"A", 0}}},
      {{AnswerHeaderLine(" ")}, {{" ", 0}}},
      {{"＊＊検索回答＊＊  様式 :"}, {{"", 0}}},
      {{AnswerHeaderLine("7"), AnswerHeaderLine("2")}, {{"7", 0}}},  // only the first header line counts
      {{"＊＊検索回答＊＊  件数 2", AnswerHeaderLine("2")}, std::nullopt},
      {{"**検索回答**  様式 :  3"}, std::nullopt},
  };
  for (const auto& [lines, expected] : cases) {
    TempDir dir;
    const auto found = FindAnswerHeader(dir.Write("a.log", PatolisLog(lines)));
    ASSERT_EQ(found.has_value(), expected.has_value()) << lines[0];
    if (found) {
      EXPECT_EQ(std::pair(Utf16ToUtf8(found->layoutCharacter), found->layoutCode), *expected) << lines[0];
    }
  }
}

TEST(ConvertPatolisTest, TheLayoutCodeChoosesTheConverter) {
  PatolisResult result = ConvertPatolisLog(PatolisLog({"＊＊検索回答＊＊ 様式番号：　2", ""}));
  EXPECT_EQ(result.outcome.status, Status::Converted);
  EXPECT_EQ(result.outcome.layoutCode, 2);
  EXPECT_EQ(result.rows.size(), 1u);
  EXPECT_EQ(result.rows.at(0).size(), 29u);
  // A header line that ends the log: the converter meets the end at once.
  result = ConvertPatolisLog(PatolisLog({"PATOLIS", AnswerHeaderLine("4")}));
  EXPECT_EQ(result.rows, std::vector<Row>{LayoutBTitles("抄録")});
  // Later header lines are ordinary lines.
  result = ConvertPatolisLog(PatolisLog({AnswerHeaderLine("1"), AnswerHeaderLine("3"), " 1 特許出願 2003-123456", ""}));
  EXPECT_EQ(result.outcome.rows, 1u);
  EXPECT_EQ(result.rows.at(1).at(0), "2003-123456");
}

TEST(ConvertPatolisTest, NothingToConvertLeavesTheOutputAlone) {
  const Lines logs[] = {{"PATOLIS", "検索式 1"},
                        {"＊＊検索回答＊＊  件数 2", " 1 特許出願 2003-123456"},
                        {AnswerHeaderLine("5"), " 1 特許出願 2003-123456"},
                        {AnswerHeaderLine("A")},
                        {"＊＊検索回答＊＊  様式 :"}};
  for (const Lines& lines : logs) {
    TempDir dir;
    ConversionSettings settings = Settings(dir.Write("a.log", PatolisLog(lines)), dir.Write("a.csv", "old"));
    EXPECT_EQ(ConvertPatolis(settings).status, Status::NothingToConvert) << lines[0];
    EXPECT_EQ(ReadBytes(settings.outputPath), "old");
    EXPECT_FALSE(ConvertPatolisLog(PatolisLog(lines)).written) << lines[0];
  }
}

TEST(ConvertPatolisTest, FailuresAreReportedAndKeepTheRowsWritten) {
  TempDir dir;
  ConversionSettings settings =
      Settings(dir.Write("a.log", PatolisLog({AnswerHeaderLine("1")})), dir.File("missing/a.csv"));
  PatolisOutcome outcome = ConvertPatolis(settings);
  EXPECT_EQ(outcome.status, Status::Failed);
  EXPECT_EQ(outcome.failure, "cannot write the CSV file '" + settings.outputPath + "': No such file or directory");

  // A line over the reader's limit after one answer.
  settings.inputPath = dir.Write("b.log", PatolisLog({AnswerHeaderLine("1"), " 1 特許出願 2003-123456", ""}) +
                                              std::string(LogReader::kMaxLineBytes + (2u << 20), 'x'));
  settings.outputPath = dir.File("b.csv");
  outcome = ConvertPatolis(settings);
  EXPECT_EQ(outcome.status, Status::Failed);
  EXPECT_EQ(outcome.failure,
            "cannot read the log '" + settings.inputPath + "': line 4 is longer than the limit of 64 MiB");
  EXPECT_EQ(ReadBytes(settings.outputPath),
            Sjis(u"\"出願番号\",\"出願日\",\"公開番号\",\"公開日\",\"公告番号\",\"公告日\",\"登録番号\",\"登録日\"\r\n"
                 u"\"2003-123456\",\"\",\"\",\"\",\"\",\"\",\"1 特許出願 2003-123456\",\"\"\r\n"));

  settings.inputPath = dir.File("absent.log");
  settings.outputPath = dir.File("c.csv");
  EXPECT_THROW(ConvertPatolis(settings), IoError);
  EXPECT_FALSE(std::filesystem::exists(settings.outputPath));
}

TEST(ConvertPatolisTest, ACancelledRunLeavesNoFile) {
  struct Cancel : EventListener {
    void OnProgress(std::uint64_t, std::uint64_t) override { throw RunCancelled(); }
  } cancel;
  TempDir dir;
  ConversionSettings settings =
      Settings(dir.Write("a.log", PatolisLog({AnswerHeaderLine("1"), " 1 特許出願 2", ""})), dir.File("a.csv"));
  EXPECT_THROW(ConvertPatolis(settings, &cancel), RunCancelled);
  const auto entries = std::distance(std::filesystem::directory_iterator(dir.path()), {});
  EXPECT_EQ(entries, 1);  // the log alone
}

}  // namespace
}  // namespace trovlin::testing
