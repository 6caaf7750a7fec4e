#include "csv/csv_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/errors.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::TempDir;

ItemTable Items(std::initializer_list<std::u16string> codes) {
  ItemTable items;
  items.codes = codes;
  return items;
}

std::string WriteCsv(const std::string& path, const ItemTable& items,
                     const std::vector<std::vector<std::u16string>>& rows) {
  CsvWriter csv(path);
  csv.WriteHeader(items);
  for (const auto& row : rows) {
    RecordBuffer record;
    record.values = row;
    csv.WriteRow(record);
  }
  csv.Finish();
  return ReadBytes(path);
}

struct CsvCase {
  const char* name;
  ItemTable items;
  std::vector<std::vector<std::u16string>> rows;
  std::string bytes;
};

TEST(CsvWriter, QuotesEveryFieldAndEndsRowsWithCrLf) {
  const CsvCase cases[] = {
      {"two columns, quote becomes apostrophe",
       Items({u"AN", u"TI"}),
       {{u"2005:1", u"Olefin \"A\""}},
       "\"AN\",\"TI\"\r\n\"2005:1\",\"Olefin 'A'\"\r\n"},
      {"one column", Items({u"TI"}), {{u"x"}}, "\"TI\"\r\n\"x\"\r\n"},
      {"empty values", Items({u"A", u"B"}), {{u"", u""}}, "\"A\",\"B\"\r\n\"\",\"\"\r\n"},
      {"comma and LF stay inside", Items({u"A"}), {{u"a,b\nc"}}, "\"A\"\r\n\"a,b\nc\"\r\n"},
      {"quote in the last column", Items({u"A", u"B"}), {{u"x", u"\"y\""}}, "\"A\",\"B\"\r\n\"x\",\"'y'\"\r\n"},
      {"quote in a title", Items({u"T\"I"}), {}, "\"T'I\"\r\n"},
      {"code page 932",
       Items({u"出願番号"}),
       {{u"ｶﾞ１"}},
       "\"\x8F\x6F\x8A\xE8\x94\xD4\x8D\x86\"\r\n\"\xB6\xDE\x82\x50\"\r\n"},
      {"escaped invalid bytes go back as they were", Items({u"A"}), {{u"\xDC81\xDCFF"}}, "\"A\"\r\n\"\x81\xFF\"\r\n"},
  };
  TempDir dir;
  for (const CsvCase& c : cases) EXPECT_EQ(WriteCsv(dir.File("out.csv"), c.items, c.rows), c.bytes) << c.name;
}

TEST(CsvWriter, EmptiesTheRecordAfterEachRow) {
  TempDir dir;
  CsvWriter csv(dir.File("out.csv"));
  csv.WriteHeader(Items({u"A", u"B"}));
  RecordBuffer record;
  record.values = {u"1", u"2"};
  csv.WriteRow(record);
  EXPECT_EQ(record.values, (std::vector<std::u16string>{u"", u""}));
  record.values[1] = u"3";
  csv.WriteRow(record);
  csv.Finish();
  EXPECT_EQ(csv.RowsWritten(), 2u);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), "\"A\",\"B\"\r\n\"1\",\"2\"\r\n\"\",\"3\"\r\n");
}

TEST(CsvWriter, SecondRunReplacesTheFirst) {
  TempDir dir;
  const std::string path = dir.File("out.csv");
  WriteCsv(path, Items({u"A"}), {{u"1"}, {u"2"}, {u"3"}});
  EXPECT_EQ(WriteCsv(path, Items({u"B"}), {{u"x"}}), "\"B\"\r\n\"x\"\r\n");
}

TEST(CsvWriter, FileAppearsOnlyWhenFinished) {
  TempDir dir;
  const std::string path = dir.Write("out.csv", "previous");
  {
    CsvWriter csv(path);
    csv.WriteHeader(Items({u"A"}));
    EXPECT_EQ(ReadBytes(path), "previous");
  }  // abandoned: the previous file stays and no temporary file is left
  EXPECT_EQ(ReadBytes(path), "previous");
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++files;
  }
  EXPECT_EQ(files, 1);
}

TEST(CsvWriter, UncreatableOutputThrowsOutputError) {
  TempDir dir;
  const std::string path = dir.File("missing/out.csv");
  try {
    CsvWriter csv(path);
    FAIL() << "no error";
  } catch (const OutputError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot write the CSV file '" + path + "': No such file or directory");
  }
  EXPECT_THROW(CsvWriter csv(dir.path()), OutputError);
}

TEST(CsvWriter, CountsCharactersCodePage932CannotHold) {
  TempDir dir;
  CsvWriter csv(dir.File("out.csv"));
  csv.WriteHeader(Items({u"A"}));
  RecordBuffer record;
  record.values = {u"caf\u00E9"};
  csv.WriteRow(record);
  csv.Finish();
  EXPECT_EQ(csv.UnencodableCount(), 1u);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), "\"A\"\r\n\"caf?\"\r\n");
}

TEST(CsvWriter, QuotesAnywhereInALongValueBecomeApostrophes) {
  TempDir dir;
  for (std::size_t before = 0; before <= 40; ++before) {
    const std::u16string value = std::u16string(before, u'a') + u"\"亜\"" + std::u16string(before % 17, u'b');
    const std::string bytes = WriteCsv(dir.File("out.csv"), Items({u"A"}), {{value}});
    ASSERT_EQ(bytes,
              "\"A\"\r\n\"" + std::string(before, 'a') + "'\x88\x9F'" + std::string(before % 17, 'b') + "\"\r\n");
  }
}

// A long output goes to the disk in chunks while it is written; every byte
// must still arrive, in order.
TEST(CsvWriter, LongOutputArrivesWhole) {
  TempDir dir;
  const std::string path = dir.File("out.csv");
  std::string expected = "\"N\",\"TEXT\"\r\n";
  {
    CsvWriter csv(path);
    csv.WriteHeader(Items({u"N", u"TEXT"}));
    RecordBuffer record;
    for (int row = 0; row < 250000; ++row) {
      const std::string n = std::to_string(row);
      record.values = {std::u16string(n.begin(), n.end()),
                       u"データ: a row of text long enough that the rows fill several chunks"};
      csv.WriteRow(record);
      expected +=
          "\"" + n + "\",\"\x83\x66\x81\x5B\x83\x5E: a row of text long enough that the rows fill several chunks\"\r\n";
    }
    csv.Finish();
  }
  ASSERT_GT(expected.size(), std::size_t{17} << 20);
  EXPECT_TRUE(ReadBytes(path) == expected);
}

}  // namespace
}  // namespace trovlin

namespace trovlin {
namespace {

TEST(CsvWriter, OtherEncodingsAndQuoteStyles) {
  struct FormatCase {
    const char* name;
    CsvFormat format;
    std::string bytes;
  };
  const FormatCase cases[] = {
      {"double quotes doubled",
       {CsvEncoding::Cp932, QuoteStyle::Double},
       "\"T\"\"I\"\r\n\"a \"\"b\"\", \x82\x60\"\r\n"},
      {"UTF-8", {CsvEncoding::Utf8, QuoteStyle::Apostrophe}, "\"T'I\"\r\n\"a 'b', \xEF\xBC\xA1\"\r\n"},
      {"UTF-8 with a byte-order mark and double quotes",
       {CsvEncoding::Utf8Bom, QuoteStyle::Double},
       "\xEF\xBB\xBF\"T\"\"I\"\r\n\"a \"\"b\"\", \xEF\xBC\xA1\"\r\n"},
  };
  TempDir dir;
  for (const FormatCase& c : cases) {
    CsvWriter csv(dir.File("out.csv"), c.format);
    csv.WriteHeader(Items({u"T\"I"}));
    RecordBuffer record;
    record.values = {u"a \"b\", Ａ"};
    csv.WriteRow(record);
    csv.Finish();
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.bytes) << c.name;
  }
}

TEST(CsvWriter, EscapedBytesBecomeReplacementCharactersInUtf8) {
  std::string memory;
  CsvWriter csv(&memory, {CsvEncoding::Utf8, QuoteStyle::Apostrophe});
  csv.WriteHeader(Items({u"A"}));
  RecordBuffer record;
  record.values = {u"\xDC81x\xDCFF"};
  csv.WriteRow(record);
  csv.Finish();
  EXPECT_EQ(memory, "\"A\"\r\n\"\xEF\xBF\xBDx\xEF\xBF\xBD\"\r\n");
  EXPECT_EQ(csv.UnencodableCount(), 0u);
  EXPECT_EQ(csv.ReplacedCount(), 2u);
}

}  // namespace
}  // namespace trovlin
