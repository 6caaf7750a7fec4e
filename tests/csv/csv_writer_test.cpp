#include "csv/csv_writer.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin::testing {
namespace {

using Rows = std::vector<std::vector<std::u16string>>;

// Writes titles and rows to path (to memory when it is empty); returns the
// bytes written and the count of characters written as "?".
std::pair<std::string, std::uint64_t> WriteCsv(const std::string& path, const std::vector<std::u16string>& titles,
                                               const Rows& rows, CsvFormat format = {}) {
  std::string memory;
  CsvWriter csv = path.empty() ? CsvWriter(&memory, format) : CsvWriter(path, format);
  csv.WriteHeader({titles, {}});
  RecordBuffer record;
  for (const auto& row : rows) {
    record.values = row;
    csv.WriteRow(record);
    EXPECT_EQ(record.values, std::vector<std::u16string>(row.size()));  // emptied for the next record
  }
  csv.Finish();
  EXPECT_EQ(csv.RowsWritten(), rows.size());
  return {path.empty() ? memory : ReadBytes(path), csv.UnencodableCount()};
}

TEST(CsvWriter, QuotesEveryFieldAndEndsRowsWithCrLf) {
  const std::u16string t = u"T\"I", v = u"a \"b\", Ａ";
  const struct {
    std::vector<std::u16string> titles;
    Rows rows;
    std::string bytes;
    std::uint64_t unencodable = 0;
    CsvFormat format = {};
  } cases[] = {
      {{u"AN", u"TI"},
       {{u"2005:1", u"Olefin \"A\""}, {u"", u"\"y\""}},
       "\"AN\",\"TI\"\r\n\"2005:1\",\"Olefin 'A'\"\r\n\"\",\"'y'\"\r\n"},
      {{t}, {}, "\"T'I\"\r\n"},
      {{u"A"}, {{u"a,b\nc"}}, "\"A\"\r\n\"a,b\nc\"\r\n"},
      {{u"出願番号"}, {{u"ｶﾞ１"}}, "\"\x8F\x6F\x8A\xE8\x94\xD4\x8D\x86\"\r\n\"\xB6\xDE\x82\x50\"\r\n"},
      {{u"A"}, {{u"\xDC81\xDCFF"}}, "\"A\"\r\n\"\x81\xFF\"\r\n"},  // escaped invalid bytes go back as they were
      {{u"A"}, {{u"caf\u00E9"}}, "\"A\"\r\n\"caf?\"\r\n", 1},
      {{t}, {{v}}, "\"T\"\"I\"\r\n\"a \"\"b\"\", \x82\x60\"\r\n", 0, {CsvEncoding::Cp932, QuoteStyle::Double}},
      {{t}, {{v + u"\xDC81"}}, "\"T'I\"\r\n\"a 'b', \xEF\xBC\xA1\xEF\xBF\xBD\"\r\n", 0, {CsvEncoding::Utf8}},
      {{t},
       {{v}},
       "\xEF\xBB\xBF\"T\"\"I\"\r\n\"a \"\"b\"\", \xEF\xBC\xA1\"\r\n",
       0,
       {CsvEncoding::Utf8Bom, QuoteStyle::Double}},
  };
  TempDir dir;
  for (const auto& c : cases) {
    for (const std::string& path : {dir.File("out.csv"), std::string()}) {
      EXPECT_EQ(WriteCsv(path, c.titles, c.rows, c.format), std::pair(c.bytes, c.unencodable)) << path;
    }
  }
}

// The quotes are replaced many bytes at a time; a long output goes to the
// disk in chunks while it is written. Neither may change a byte.
TEST(CsvWriter, QuotesAnywhereInALongValueAndLongOutputsArriveWhole) {
  TempDir dir;
  for (std::size_t before = 0; before <= 40; ++before) {
    const std::u16string value = std::u16string(before, u'a') + u"\"亜\"" + std::u16string(before % 17, u'b');
    ASSERT_EQ(WriteCsv(dir.File("out.csv"), {u"A"}, {{value}}).first,
              "\"A\"\r\n\"" + std::string(before, 'a') + "'\x88\x9F'" + std::string(before % 17, 'b') + "\"\r\n");
  }
  Rows rows;
  std::string expected = "\"N\",\"TEXT\"\r\n";
  for (int row = 0; row < 250000; ++row) {
    const std::string n = std::to_string(row);
    rows.push_back(
        {std::u16string(n.begin(), n.end()), u"データ: a row of text long enough that the rows fill several chunks"});
    expected +=
        "\"" + n + "\",\"\x83\x66\x81\x5B\x83\x5E: a row of text long enough that the rows fill several chunks\"\r\n";
  }
  ASSERT_GT(expected.size(), std::size_t{17} << 20);
  EXPECT_TRUE(WriteCsv(dir.File("out.csv"), {u"N", u"TEXT"}, rows).first == expected);
}

// Rows are written behind the writer's back: a failure of the disk must
// still reach it, from a later row or from Finish, and nothing may hang.
TEST(CsvWriter, AFailedWriteReachesTheWriter) {
  for (const int rows : {1, 200000}) {
    RecordBuffer record;
    EXPECT_THROW(
        {
          CsvWriter csv("/dev/full");
          csv.WriteHeader({{u"A"}, {}});
          for (int row = 0; row < rows; ++row) {
            record.values = {u"a value of some length"};
            csv.WriteRow(record);
          }
          csv.Finish();
        },
        OutputError)
        << rows;
  }
}

}  // namespace
}  // namespace trovlin::testing
