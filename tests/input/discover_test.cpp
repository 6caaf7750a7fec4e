#include "input/discover.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

using Found = std::vector<std::pair<std::u16string, std::u16string>>;  // code, mark

Found Codes(const Discovery& d) {
  Found out;
  for (const auto& item : d.items) out.emplace_back(item.code, item.mark);
  return out;
}

TEST(Discover, ListsTheCodesOfTheFirstRecord) {
  const std::pair<std::u16string, Found> cases[] = {
      // Leading blank lines are passed over; the first blank line after a code ends the record.
      {u"\r\n   \r\nAN   1\r\nTI   t\r\n\r\nXX   later\r\n", {{u"AN", u"*"}, {u"TI", u"*"}}},
      {u"AN   1\r\nTI   t\r\nAN   2\r\n", {{u"AN", u"*"}, {u"TI", u"*"}}},  // repeats listed once
      {u"TI   a\r\nti   b\r\n", {{u"TI", u"*"}, {u"ti", u"*"}}},
      {u"PI   1\r\nRE   2\r\nIT   3\r\nPRAI 4\r\nPRA  5\r\n",
       {{u"PI", u""}, {u"RE", u""}, {u"IT", u""}, {u"PRAI", u""}, {u"PRA", u"*"}}},
      {u"AN   1\r\n(c) 2006\r\nTI   t\r\n", {{u"AN", u"*"}}},  // a ( code ends the scan
      {u"TITLE of it\r\n", {{u"TITL", u"*"}}},
      {u"AB   a\r\n     b\r\n    c\r\n", {{u"AB", u"*"}}},
      {u" TI  x\r\nTI- x\r\n", {{u"TI", u"*"}, {u"TI-", u"*"}}},
      {u"AN   1", {{u"AN", u"*"}}},
      {u"", {}},
      {u"\u3000TI x\r\n", {{u"\u3000TI", u"*"}}}  // an ideographic space is not a space
  };
  TempDir dir;
  for (const auto& [log, codes] : cases) EXPECT_EQ(Codes(DiscoverItems(dir.Write("log", Sjis(log)))), codes);
}

TEST(Discover, ListsAtMost51CodesAndCountsEachOtherOnce) {
  std::u16string log;
  for (int i = 0; i < 60; ++i) {
    log += u"C" + std::u16string{char16_t(u'A' + i / 26), char16_t(u'a' + i % 26)} + u" x\r\n";
  }
  log += u"CAa  repeat\r\nCBz  repeat\r\n";
  TempDir dir;
  const Discovery d = DiscoverItems(dir.Write("log", Sjis(log)));
  ASSERT_EQ(d.items.size(), 51u);
  EXPECT_EQ(d.items[0].code, u"CAa");
  EXPECT_EQ(d.items[50].code, u"CBy");
  EXPECT_EQ(d.leftOut, 9u);
}

}  // namespace
}  // namespace trovlin::testing
