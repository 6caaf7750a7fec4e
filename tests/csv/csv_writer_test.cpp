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
                     std::initializer_list<std::vector<std::u16string>> rows) {
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
      {"code page 932", Items({u"出願番号"}), {{u"ｶﾞ１"}}, "\"\x8F\x6F\x8A\xE8\x94\xD4\x8D\x86\"\r\n\"\xB6\xDE\x82\x50\"\r\n"},
      {"escaped invalid bytes go back as they were", Items({u"A"}), {{u"\xDC81\xDCFF"}}, "\"A\"\r\n\"\x81\xFF\"\r\n"},
  };
  TempDir dir;
  for (const CsvCase& c : cases) {
    CsvWriter csv(dir.File("out.csv"));
    csv.WriteHeader(c.items);
    for (const auto& row : c.rows) {
      RecordBuffer record;
      record.values = row;
      csv.WriteRow(record);
    }
    csv.Finish();
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.bytes) << c.name;
  }
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

}  // namespace
}  // namespace trovlin
