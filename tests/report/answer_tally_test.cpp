#include "report/answer_tally.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "text/utf8.h"

namespace trovlin::testing {
namespace {

// "L1 2/5 missing 3-5@4 repeated 1@6": per set its name ("-" for none),
// found/announced ("-": none announced), each gap and repeat with its line.
std::string Render(const std::vector<AnswerSetReport>& sets) {
  std::string out;
  for (const AnswerSetReport& set : sets) {
    out += (out.empty() ? "" : "; ") + (set.set.empty() ? "-" : Utf16ToUtf8(set.set)) + " " +
           std::to_string(set.found) + "/" + (set.announced > 0 ? std::to_string(set.announced) : "-");
    for (std::size_t i = 0; i < set.missing.size(); ++i) {
      const NumberRange& r = set.missing[i];
      out += " missing " + std::to_string(r.first) + (r.last != r.first ? "-" + std::to_string(r.last) : "") + "@" +
             std::to_string(set.missingAt[i]);
    }
    for (std::size_t i = 0; i < set.repeated.size(); ++i) {
      out += " repeated " + std::to_string(set.repeated[i]) + "@" + std::to_string(set.repeatedAt[i]);
    }
  }
  return out;
}

// Each log: a display that breaks off, one shown twice, a skipped range, and
// one that announces nothing; the lines are numbered from 1.
TEST(AnswerTally, FindsTheGapsAndRepeatsEachServiceShows) {
  const struct {
    DatabaseKind kind;
    std::vector<std::u16string> lines;
    std::string sets;
  } cases[] = {
      {DatabaseKind::Stn,
       {u"L1   ANSWER 1 OF 5  CAPLUS  COPYRIGHT 2006 ACS on STN", u"AN   2005:1", u"", u"L1   ANSWER 2 OF 5  CAPLUS",
        u"AN   2005:2"},
       "L1 2/5 missing 3-5@4"},
      {DatabaseKind::Stn,
       {u"L2   ANSWER 1 OF 4", u"L2  answer 4 of 4", u"L2   ANSWER 1 OF 4", u"LA   Japanese", u"L3   ANSWER 2 OF 2",
        u"     L2   ANSWER 2 OF 4"},
       "L2 2/4 missing 2-3@2 repeated 1@3; L3 1/2 missing 1@5"},
      // A later search that reuses the name is a set of its own.
      {DatabaseKind::Stn, {u"L1   ANSWER 1 OF 2", u"L1   ANSWER 1 OF 3"}, "L1 1/2 missing 2@1; L1 1/3 missing 2-3@2"},
      {DatabaseKind::Stn, {u"=> d his", u"AN   1", u"L1   ANSWERED", u"L1   ANSWER 1 OF"}, ""},
      {DatabaseKind::Jois,
       {u"JOIS-III  JICST科学技術文献ファイル", u"1/3 JICST 08A5122477", u"AB   1/3 of the samples",
        u"     2/3 runs on", u"3/3 JICST 09B0000001", u"1/3 JICST 08A5122477", u"4/3 JICST 1"},
       "JICST 2/3 missing 2@5 repeated 1@6"},
      {DatabaseKind::Jois,
       {u"JICST-EPlus  1/4", u"AN   x", u"JICST-EPlus  2/4", u"JICS  2/4 x"},
       "JICST-EPlus 2/4 missing 3-4@3"},
      {DatabaseKind::Jois, {u"?PRINT 1 1-9 ALL", u"AN   1"}, ""},
      {DatabaseKind::Jois, {u"10/12 JICST 1", u"12/12 JICST 2"}, "JICST 2/12 missing 1-9@1 missing 11@2"},
      {DatabaseKind::Dialog,
       {u"      S1     25  CATALYST", u"?t s1/5/1-3", u"FN- DIALOG(R)File 351:Derwent WPI", u"TI- a",
        u"FN- DIALOG(R)File 351:Derwent WPI"},
       "S1 2/3 missing 3@5"},
      {DatabaseKind::Dialog,
       {u"S2      4  A AND B", u"?T 2/5/ALL", u"2/5/1", u"FN- DIALOG(R)File 351", u"2/5/3", u"FN- DIALOG(R)File 351",
        u"2/5/3", u"FN- x"},
       "S2 2/4 missing 2@5 missing 4@5 repeated 3@7"},
      {DatabaseKind::Dialog, {u"?t 7/5/1,3-", u"S7      5  X", u"FN- a", u"FN- b", u"FN- c"}, "S7 3/4 missing 5@5"},
      {DatabaseKind::Dialog,
       {u"FN- a", u"TI- b", u"", u"3/5/1", u"TI- c", u"FN- c", u"3/5/2 cites", u"FN- d"},
       "- 3/-"},
      {DatabaseKind::Patolis,
       {u"＊＊検索回答＊＊  様式 :  2    回答件数   3件", u" ----- 1 -----", u"*** 特許出願2003-1", u" ----- ３ -----",
        u" ----- 3 -----", u"*** 特許出願2003-3"},
       "- 2/3 missing 2@4 repeated 3@5"},
      // The log ends after an answer's number line: that answer is not shown.
      {DatabaseKind::Patolis,
       {u"＊＊検索回答＊＊  様式 :  2    回答件数   2件", u" ----- 1 -----", u"*** 特許出願2003-1", u"",
        u" ----- 2 -----"},
       "- 1/2 missing 2@2"},
      {DatabaseKind::Patolis,
       {u"＊＊検索回答＊＊  様式 :  1    回答件数   4件", u"   1 特許出願 2003-123456", u"   出願日     H15.04.25",
        u"   2 特許出願 ２００２"},
       "- 2/4 missing 3-4@4"},
      {DatabaseKind::Patolis, {u"PATOLIS オンライン検索", u"   1 特許出願 2003-1"}, "- 1/-"},
  };
  for (const auto& c : cases) {
    AnswerTally tally(c.kind);
    const LineInterest interest = tally.Interest();  // as a log reader shows lines
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      if (interest.Wants(c.lines[i])) tally.OnLine(i + 1, c.lines[i]);
      // A PATOLIS record starts on the line that names the application, as the converters read it.
      if (c.kind == DatabaseKind::Patolis && c.lines[i].find(u"特許出願") != std::u16string::npos)
        tally.OnRecord(i + 1);
    }
    EXPECT_EQ(Render(tally.Finish()), c.sets) << Utf16ToUtf8(c.lines.front());
  }
}

// Which answer the log's end cut off: the number line and the number, told
// only when no record followed it.
TEST(AnswerTally, TellsThePatolisAnswerTheLogsEndCutOff) {
  const std::u16string header = u"＊＊検索回答＊＊  様式 :  3    回答件数   2件";
  const struct {
    std::vector<std::u16string> lines;
    std::vector<std::size_t> records;  // lines where a record starts
    std::pair<std::uint64_t, std::uint64_t> cutOff;
  } cases[] = {
      {{header, u" ----- 1 -----", u"*** 特許出願", u" ----- 2 -----"}, {3}, {4, 2}},
      {{header, u" ----- 1 -----", u"*** 特許出願", u" ----- 2 -----", u"*** 特許出願"}, {3, 5}, {0, 0}},
      // A record that starts before the number line does not belong to it.
      {{header, u" ----- 1 -----", u" ----- 2 -----"}, {1}, {3, 2}},
  };
  for (const auto& c : cases) {
    AnswerTally tally(DatabaseKind::Patolis);
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      tally.OnLine(i + 1, c.lines[i]);
      if (std::find(c.records.begin(), c.records.end(), i + 1) != c.records.end()) tally.OnRecord(i + 1);
    }
    tally.Finish();
    EXPECT_EQ(tally.CutOff(), c.cutOff) << c.lines.size();
  }
}

}  // namespace
}  // namespace trovlin::testing
