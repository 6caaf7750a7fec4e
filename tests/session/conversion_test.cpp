#include "session/conversion.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <tuple>

#include "common/errors.h"
#include "session/log_session.h"
#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

// Two STN answers; the first block gives the codes L1, AN and TI.
const std::string kStn = CrLfLines({"L1   ANSWER 1 OF 2  CAPLUS", "AN   2005:1", "TI   first ***one***", "",
                                    "L1   ANSWER 2 OF 2  CAPLUS", "AN   2005:2", ""});
// STN, but its first block ends at once on a code that begins with "(".
const std::string kStnNoCodes = CrLfLines({"(C) 2006 ACS", "L1   ANSWER 1 OF 1  CAPLUS", "AN   1", ""});
const std::string kJois = Sjis(u"JICST ファイル\r\n\r\nTI   ＡＢＣ　ｄｅ\r\n\r\n");

std::string Patolis(std::u16string_view layout) {
  return Sjis(u"PATOLIS オンライン検索\r\n＊＊検索回答＊＊  様式 :  " + std::u16string(layout) +
              u"    回答件数   1件\r\n\r\n   1 特許出願 2003-123456\r\n\r\n");
}

// The log written to in.log and opened as a front end opens it, bound for out.csv.
ConversionRequest Opened(const TempDir& dir, const std::string& log) {
  ConversionRequest request;
  request.settings.inputPath = dir.Write("in.log", log);
  OpenLogInto(request.settings);
  request.settings.outputPath = dir.File("out.csv");
  return request;
}

std::vector<std::u16string> Codes(const ItemTable& items) { return items.codes; }

TEST(ConversionTest, ARequestIsRefusedWhenItsOutputIsTheLogOrATaggedRunHasNoColumn) {
  TempDir dir;
  std::filesystem::create_symlink(dir.File("in.log"), dir.File("link.log"));
  const struct {
    std::string log;
    std::string output;  // "" keeps out.csv
    RunMode mode;
    ItemSource source;
    std::vector<std::u16string> items;
    RequestProblem expected;
  } cases[] = {
      {kStn, "in.log", RunMode::Convert, ItemSource::Discovered, {}, RequestProblem::SameFile},
      {kStn, "link.log", RunMode::Convert, ItemSource::Discovered, {}, RequestProblem::SameFile},
      {kStn, "./in.log", RunMode::Convert, ItemSource::Given, {u"AN"}, RequestProblem::SameFile},
      {kStn, "in.log", RunMode::Inspect, ItemSource::Discovered, {}, RequestProblem::None},  // nothing is written
      {kStn, "", RunMode::Convert, ItemSource::Given, {}, RequestProblem::NoItems},
      {kStn, "", RunMode::Inspect, ItemSource::List, {}, RequestProblem::NoItems},
      {kStn, "", RunMode::Convert, ItemSource::Discovered, {}, RequestProblem::None},      // read later
      {Patolis(u"1"), "", RunMode::Convert, ItemSource::Given, {}, RequestProblem::None},  // fixed columns
      {Patolis(u"1"), "in.log", RunMode::Convert, ItemSource::Given, {}, RequestProblem::SameFile},
  };
  for (const auto& c : cases) {
    ConversionRequest request = Opened(dir, c.log);
    if (!c.output.empty()) request.settings.outputPath = dir.File(c.output);
    request.mode = c.mode;
    request.itemSource = c.source;
    request.items = c.items;
    EXPECT_EQ(CheckRequest(request), c.expected) << c.output << " " << c.items.size();
    // A refused request is not run, and the log stays as it was.
    if (c.expected == RequestProblem::None) continue;
    const ConversionOutcome outcome = Convert(request);
    EXPECT_EQ(outcome.status, ConversionOutcome::Status::Refused);
    EXPECT_EQ(outcome.problem, c.expected);
    EXPECT_EQ(ReadBytes(dir.File("in.log")), c.log);
    EXPECT_FALSE(std::filesystem::exists(dir.File("out.csv")));
  }
}

TEST(ConversionTest, ThePlanTakesTheColumnsGivenListedOrDiscoveredAndWarnsOfThem) {
  const struct {
    ItemSource source;
    std::vector<std::u16string> items;
    std::vector<DiscoveredItem> list;
    std::vector<std::u16string> codes;
    std::vector<bool> notJoined;
    std::vector<std::u16string> notShown;  // the codes of ItemNotShown warnings
  } cases[] = {
      {ItemSource::Discovered, {}, {}, {u"L1", u"AN", u"TI"}, {false, false, false}, {}},
      {ItemSource::Given, {u"TI", u"XX", u"AN"}, {}, {u"TI", u"XX", u"AN"}, {true, true, true}, {u"XX"}},
      {ItemSource::List, {}, {{u"RE", u""}, {u"TI", u"*"}}, {u"RE", u"TI"}, {true, false}, {u"RE"}},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ConversionRequest request = Opened(dir, kStn);
    request.itemSource = c.source;
    request.items = c.items;
    request.itemList = c.list;
    const ConversionPlan plan = PlanConversion(request);
    EXPECT_EQ(plan.problem, RequestProblem::None);
    EXPECT_EQ(Codes(plan.items), c.codes);
    EXPECT_EQ(plan.items.notJoined, c.notJoined);
    EXPECT_EQ(plan.itemsGiven, c.source != ItemSource::Discovered);
    EXPECT_EQ(plan.firstAnswer.firstLine, 1u);
    std::vector<std::u16string> notShown;
    for (const ReportWarning& w : plan.itemWarnings) {
      EXPECT_EQ(w.kind, WarningKind::ItemNotShown);
      EXPECT_EQ(w.line, 1u);
      notShown.push_back(w.code);
    }
    EXPECT_EQ(notShown, c.notShown);
  }
  // A first answer without a code leaves a discovering run nothing to convert.
  TempDir dir;
  ConversionRequest request = Opened(dir, kStnNoCodes);
  ASSERT_EQ(request.settings.databaseKind, DatabaseKind::Stn);
  EXPECT_EQ(PlanConversion(request).problem, RequestProblem::NoItems);
  EXPECT_EQ(Convert(request).status, ConversionOutcome::Status::Refused);
  EXPECT_FALSE(std::filesystem::exists(dir.File("out.csv")));
  request.itemSource = ItemSource::Given;
  request.items = {u"AN"};
  EXPECT_EQ(Convert(request).rows, 1u);
}

// The service, its options and the output format are settled by the plan:
// a service chosen by hand re-decides the LF CR repair, stars go for STN
// only, full-width text narrows for JOIS only, and a name ending in ".xlsx"
// asks for a workbook unless a format is given.
TEST(ConversionTest, ThePlanSettlesTheServiceItsOptionsAndTheFormat) {
  const struct {
    std::string log;
    std::optional<DatabaseKind> service;
    std::string output;
    std::optional<OutputFormat> format;
    DatabaseKind kind;
    bool repairLfCr, deleteStars, toHalfWidth;
    OutputFormat expectedFormat;
  } cases[] = {
      {kStn, std::nullopt, "a.csv", std::nullopt, DatabaseKind::Stn, false, true, false, OutputFormat::Csv},
      {kStn, DatabaseKind::Patolis, "a.XLSX", std::nullopt, DatabaseKind::Patolis, true, false, false,
       OutputFormat::Xlsx},
      {kStn, DatabaseKind::Jois, "a.xlsx.csv", std::nullopt, DatabaseKind::Jois, false, false, true, OutputFormat::Csv},
      {Patolis(u"3"), std::nullopt, "a.csv", OutputFormat::Xlsx, DatabaseKind::Patolis, true, false, false,
       OutputFormat::Xlsx},
      {Patolis(u"3"), DatabaseKind::Stn, "a.xlsx", OutputFormat::Csv, DatabaseKind::Stn, false, true, false,
       OutputFormat::Csv},
      {kJois, std::nullopt, "-", std::nullopt, DatabaseKind::Jois, false, false, true, OutputFormat::Csv},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ConversionRequest request = Opened(dir, c.log);
    request.service = c.service;
    request.settings.outputPath = dir.File(c.output);
    request.format = c.format;
    const ConversionSettings& s = PlanConversion(request).settings;
    EXPECT_EQ(s.databaseKind, c.kind) << c.output;
    EXPECT_EQ(std::tuple(s.repairLfCr, s.deleteStars, s.toHalfWidth),
              std::tuple(c.repairLfCr, c.deleteStars, c.toHalfWidth))
        << c.output;
    EXPECT_EQ(s.outputFormat, c.expectedFormat) << c.output;
  }
  // Off, neither option changes the text.
  TempDir dir;
  ConversionRequest request = Opened(dir, kStn);
  request.removeStars = false;
  EXPECT_FALSE(PlanConversion(request).settings.deleteStars);
  request = Opened(dir, kJois);
  request.toHalfWidth = false;
  EXPECT_FALSE(PlanConversion(request).settings.toHalfWidth);
}

TEST(ConversionTest, AConvertedRunSaysWhatItWroteAndTheOptionsReachTheText) {
  const struct {
    std::string log;
    std::vector<std::u16string> items;
    bool options;
    std::string csv;
  } cases[] = {
      {kStn, {u"AN", u"TI"}, true, "\"AN\",\"TI\"\r\n\"2005:1\",\"first one\"\r\n\"2005:2\",\"\"\r\n"},
      {kStn, {u"AN", u"TI"}, false, "\"AN\",\"TI\"\r\n\"2005:1\",\"first ***one***\"\r\n\"2005:2\",\"\"\r\n"},
      {kJois, {u"TI"}, true, "\"TI\"\r\n\"\"\r\n\"ABC de\"\r\n"},
      {kJois, {u"TI"}, false, Sjis(u"\"TI\"\r\n\"\"\r\n\"ＡＢＣ　ｄｅ\"\r\n")},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ConversionRequest request = Opened(dir, c.log);
    request.itemSource = ItemSource::Given;
    request.items = c.items;
    request.removeStars = request.toHalfWidth = c.options;
    const ConversionOutcome outcome = Convert(request);
    ASSERT_EQ(outcome.status, ConversionOutcome::Status::Converted);
    EXPECT_TRUE(outcome.Written());
    EXPECT_EQ(outcome.service, request.settings.databaseKind);
    EXPECT_EQ(outcome.columns, c.items.size());
    EXPECT_EQ(outcome.rows, 2u);
    EXPECT_EQ(outcome.report.log, request.settings.inputPath);
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.csv);
  }
}

// A PATOLIS run says why it wrote nothing from what it read, and a failure
// after the log was opened keeps what was written and is told as a value.
TEST(ConversionTest, APatolisRunTellsWhyNothingWasWrittenAndKeepsRowsAfterAFailure) {
  const struct {
    std::u16string header;
    ConversionOutcome::Status status;
    std::u16string character;
    std::size_t columns;
  } cases[] = {
      {u"＊＊検索回答＊＊  様式 :  1    回答件数   1件", ConversionOutcome::Status::Converted, u"1", 8},
      {u"＊＊検索回答＊＊  様式 :  9    回答件数   1件", ConversionOutcome::Status::NothingToConvert, u"9", 0},
      {u"＊＊検索回答＊＊  様式 :  A", ConversionOutcome::Status::NothingToConvert, u"A", 0},
      {u"＊＊検索回答＊＊  様式 :", ConversionOutcome::Status::NothingToConvert, u"", 0},  // the line ends first
  };
  for (const auto& c : cases) {
    TempDir dir;
    const ConversionOutcome outcome = Convert(
        Opened(dir, Sjis(u"PATOLIS オンライン検索\r\n" + c.header + u"\r\n\r\n   1 特許出願 2003-123456\r\n\r\n")));
    EXPECT_EQ(outcome.status, c.status);
    ASSERT_TRUE(outcome.patolisHeader.has_value());
    EXPECT_EQ(outcome.patolisHeader->layoutCharacter, c.character);
    EXPECT_EQ(std::filesystem::exists(dir.File("out.csv")), outcome.Written());
    EXPECT_EQ(outcome.columns, c.columns);
  }
  TempDir dir;
  ConversionRequest request = Opened(dir, Sjis(u"PATOLIS オンライン検索\r\n＊＊検索回答＊＊  件数 1\r\n\r\n"));
  ASSERT_EQ(request.settings.databaseKind, DatabaseKind::Patolis);
  const ConversionOutcome none = Convert(request);
  EXPECT_EQ(none.status, ConversionOutcome::Status::NothingToConvert);
  EXPECT_FALSE(none.patolisHeader.has_value());

  // The output cannot be created: the run stops with the failure as its value.
  request = Opened(dir, Patolis(u"2"));
  request.settings.outputPath = dir.File("absent/out.csv");
  const ConversionOutcome stopped = Convert(request);
  EXPECT_EQ(stopped.status, ConversionOutcome::Status::RowsKept);
  EXPECT_FALSE(stopped.Written());
  EXPECT_TRUE(stopped.StoppedWriting());
  EXPECT_EQ(stopped.layoutCode, 2);
  EXPECT_THROW(std::rethrow_exception(stopped.stoppedBy), OutputError);
  // A tagged run that cannot create its output stops before a row.
  request = Opened(dir, kStn);
  request.settings.outputPath = dir.File("absent/out.csv");
  EXPECT_THROW(Convert(request), OutputError);
}

}  // namespace
}  // namespace trovlin::testing
