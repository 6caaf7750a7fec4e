#include "csv/formula_guard.h"

#include <gtest/gtest.h>

#include "text/utf8.h"

namespace trovlin::testing {
namespace {

TEST(FormulaGuard, AnApostropheGoesBeforeWhatASpreadsheetWouldCalculate) {
  const std::pair<std::u16string, std::u16string> cases[] = {
      {u"=> f", u"'=> f"}, {u"+81 3", u"'+81 3"}, {u"-CH2-", u"'-CH2-"}, {u"@SUM(A1)", u"'@SUM(A1)"},
      {u"\tx", u"'\tx"},   {u"\rx", u"'\rx"},     {u"＝１", u"'＝１"},   {u"＋", u"'＋"},
      {u"－２", u"'－２"}, {u"＠", u"'＠"},       {u"-", u"-"},          {u"", u""},
      {u"001", u"001"},    {u" =x", u" =x"},      {u"a=b", u"a=b"},      {u"'=x", u"'=x"},
      {u"--", u"'--"},     {u"ー", u"ー"},
  };
  for (const auto& [value, written] : cases) {
    std::u16string v = value;
    EXPECT_EQ(ProtectFormula(v), value != written) << Utf16ToUtf8(value);
    EXPECT_EQ(v, written) << Utf16ToUtf8(value);
  }
}

}  // namespace
}  // namespace trovlin::testing
