#include "input/discover.h"

#include <gtest/gtest.h>

#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::Sjis;
using testing::TempDir;

struct DiscoverCase {
  const char* name;
  std::u16string log;
  std::vector<std::pair<std::u16string, std::u16string>> items;  // code, mark
};

std::vector<std::pair<std::u16string, std::u16string>> Found(const Discovery& d) {
  std::vector<std::pair<std::u16string, std::u16string>> out;
  for (const auto& item : d.items) out.emplace_back(item.code, item.mark);
  return out;
}

TEST(Discover, ListsTheCodesOfTheFirstRecord) {
  const DiscoverCase cases[] = {
      {"leading blank lines passed over",
       u"\r\n   \r\nAN   1\r\nTI   t\r\n\r\nXX   later\r\n",
       {{u"AN", u"*"}, {u"TI", u"*"}}},
      {"repeats listed once at their first place", u"AN   1\r\nTI   t\r\nAN   2\r\n", {{u"AN", u"*"}, {u"TI", u"*"}}},
      {"letter case matters", u"TI   a\r\nti   b\r\n", {{u"TI", u"*"}, {u"ti", u"*"}}},
      {"unmarked codes",
       u"PI   1\r\nRE   2\r\nIT   3\r\nPRAI 4\r\nPRA  5\r\n",
       {{u"PI", u""}, {u"RE", u""}, {u"IT", u""}, {u"PRAI", u""}, {u"PRA", u"*"}}},
      {"a ( code ends the scan", u"AN   1\r\n(c) 2006\r\nTI   t\r\n", {{u"AN", u"*"}}},
      {"codes are four characters at most", u"TITLE of it\r\n", {{u"TITL", u"*"}}},
      {"continuation lines add nothing", u"AB   a\r\n     b\r\n    c\r\n", {{u"AB", u"*"}}},
      {"an indent under four spaces is trimmed", u" TI  x\r\n", {{u"TI", u"*"}}},
      {"hyphen kept", u"TI- x\r\n", {{u"TI-", u"*"}}},
      {"a single line without line end", u"AN   1", {{u"AN", u"*"}}},
      {"empty log", u"", {}},
      {"ideographic space is not a space", u"\u3000TI x\r\n", {{u"\u3000TI", u"*"}}},
  };
  TempDir dir;
  for (const DiscoverCase& c : cases) {
    EXPECT_EQ(Found(DiscoverItems(dir.Write("log", Sjis(c.log)))), c.items) << c.name;
  }
}

TEST(Discover, ListsAtMost51CodesAndCountsTheRest) {
  std::u16string log;
  for (int i = 0; i < 60; ++i) {
    log += u"C" + std::u16string(1, char16_t(u'A' + i / 26)) + std::u16string(1, char16_t(u'a' + i % 26)) + u"  x\r\n";
  }
  log += u"CAa  repeat\r\n";
  TempDir dir;
  const Discovery d = DiscoverItems(dir.Write("log", Sjis(log)));
  ASSERT_EQ(d.items.size(), 51u);
  EXPECT_EQ(d.items[0].code, u"CAa");
  EXPECT_EQ(d.items[50].code, u"CBy");
  EXPECT_EQ(d.leftOut, 9u);
}

}  // namespace
}  // namespace trovlin
