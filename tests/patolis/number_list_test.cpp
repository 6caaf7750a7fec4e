#include "patolis/number_list.h"

#include <gtest/gtest.h>

#include "patolis_fixture.h"

namespace trovlin::testing {
namespace {

const std::string kHeader = AnswerHeaderLine("1");
const Row kTitles = {"出願番号", "出願日", "公開番号", "公開日", "公告番号", "公告日", "登録番号", "登録日"};

// The label at 4, so the number starts at 9; 公開 at 21, 公告 at 36 (q = 37), 登録 at 53.
const std::string kFirst = " 1 特許出願 2003-123456 公開 2004-300001 公告  H07-012345   登録 3456789";
const std::string kSecond = Columns({{4, "出願日"},
                                     {12, "H15.04.25"},
                                     {23, "公開日"},
                                     {31, "H16.10.28"},
                                     {42, "公告日"},
                                     {50, "H08.05.29"},
                                     {60, "登録日"},
                                     {68, "H09.01.17"}});
const Row kRow = {"2003-123456", "H15.04.25", "公開 2004-300001", "H16.10.28",
                  "H07-012345",  "H08.05.29", "3456789",          "H09.01.17"};
// 公表 alone; no 公告 (q = 1) and no 登録 (r = 0): the registration number is
// the line but its first character. A second line of 10 characters has no dates.
const std::string kPublished = "99特許出願 2004-000111 公表 2005-501234";
const std::string kShort = "出願日 H15.04";
const Row kPublishedRow = {
    "2004-000111", "", "公表 2005-501234", "", "", "", "9特許出願 2004-000111 公表 2005-501234", ""};

// The lines after the header, and the rows after the titles.
TEST(NumberListTest, AnswerLinesGiveTheirNumbersAndDates) {
  const std::pair<Lines, std::vector<Row>> cases[] = {
      {{kFirst, kSecond}, {kRow}},
      {{kPublished, kShort}, {kPublishedRow}},
      // 再公表 at 21; 公告 at 37 and 登録 at 40 give r - q - 6 = -4, and the line
      // ends at 登録. Dates: 8 characters and a space; nine spaces (three after
      // collapsing); leading spaces dropped; nothing.
      {{" 1 特許出願 2003-123456 再公表 01/012345   公告 登録", Columns({{12, "Ｈ１５．４．２５"}, {52, "H8.5.29"}})},
       {{"2003-123456", "H15.4.25 ", "再公表 01/012345", "   ", "", "H8.5.29", "", ""}}},
      // One character after 登録 (length r + 2): still no registration number.
      {{" 1 特許出願 2003-123456 公開 2004-300001 公告  H07-012345   登録X", ""},
       {{"2003-123456", "", "公開 2004-300001", "", "H07-012345", "", "", ""}}},
      {{"  特許出願 ２００２－０９８７６５  公開 ２００３－１２３４５６", Columns({{12, "Ｈ１４．０２．０１"}})},
       {{"2002-098765", "H14.02.01", "公開 2003-123456", "", "", "", "特許出願 2002-098765 公開 2003-123456", ""}}},
      {{std::string(40000, 'x') + kFirst, kSecond}, {kRow}},
      // A line beginning with the label opens none; a first line that ends the
      // log gives no row; the line after a first line is its date line even when
      // it holds the label, and a row keeps nothing of the one before.
      {{"特許出願 2003-123456", kSecond, ""}, {}},
      {{kFirst, kSecond, kFirst}, {kRow}},
      {{"--", kFirst, " 2 特許出願 2004-000111 公開 2005-000222", kPublished, kShort},
       {{"2003-123456", "4-000111 ", "公開 2004-300001", "0222", "H07-012345", "", "3456789", ""}, kPublishedRow}},
  };
  for (auto [lines, rows] : cases) {
    lines.insert(lines.begin(), kHeader);
    rows.insert(rows.begin(), kTitles);
    EXPECT_EQ(ConvertLines(lines), rows) << lines[1].substr(0, 60);
  }
}

}  // namespace
}  // namespace trovlin::testing
