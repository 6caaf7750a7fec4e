// Logs in UTF-8, and the CSV options of the 設定 menu: the output encoding
// and the quoting, with the warnings a run gives about them.
#include <QTest>

#include "support/temp_dir.h"
#include "text/cp932.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::ReadBytes;
using trovlin::testing::Sjis;

const std::string kBom = "\xEF\xBB\xBF";

// Lines joined with CR LF after each, in code page 932 or UTF-8.
std::string Cp932Lines(std::initializer_list<std::u16string_view> lines) {
  std::string out;
  for (std::u16string_view line : lines) out += Sjis(line) + "\r\n";
  return out;
}
std::string Utf8Lines(std::initializer_list<std::u16string_view> lines) {
  std::string out;
  for (std::u16string_view line : lines) out += Utf16ToUtf8(line) + "\r\n";
  return out;
}

// A JOIS answer whose third code is itself Japanese, so that the grid shows
// whether the item list was read in the log's encoding.
const std::initializer_list<std::u16string_view> kJoisLines = {u"AN   JST0001", u"TI   ＡＢＣ１２３", u"ＫＷ  触媒",
                                                               u""};

using CsvOptionsTest = WindowTest;

TEST_F(CsvOptionsTest, ALogIsReadInTheEncodingItShowsItselfIn) {
  const std::u16string_view kShiftJis = u"ログの文字コード：Shift_JIS";
  const std::u16string_view kUtf8 = u"ログの文字コード：UTF-8";
  const std::string joisCsv = Cp932Lines({u"\"AN\",\"TI\",\"ＫＷ\"", u"\"JST0001\",\"ABC123\",\"触媒\""});
  struct Case {
    const char* name;
    std::string log;
    LogEncoding encoding;
    DatabaseKind kind;
    std::u16string_view label;
    std::u16string_view thirdCode;  // "" for PATOLIS
    std::string csv;
  };
  const Case cases[] = {
      {"code page 932", Cp932Lines(kJoisLines), LogEncoding::Cp932, DatabaseKind::Jois, kShiftJis, u"ＫＷ", joisCsv},
      {"UTF-8 with multi-byte characters", Utf8Lines(kJoisLines), LogEncoding::Utf8, DatabaseKind::Jois, kUtf8, u"ＫＷ",
       joisCsv},
      {"UTF-8 after a byte-order mark, ASCII only", kBom + "AN   0001 DIALOG\r\nTI   Dialog *title*\r\nPY   2005\r\n",
       LogEncoding::Utf8, DatabaseKind::Dialog, kUtf8, u"PY",
       "\"AN\",\"TI\",\"PY\"\r\n\"0001 DIALOG\",\"Dialog *title*\",\"2005\"\r\n"},
      {"PATOLIS in UTF-8", Utf8Lines({u"＊＊検索回答　様式    1", u"END OF ANSWERS"}), LogEncoding::Utf8,
       DatabaseKind::Patolis, kUtf8, u"", PatolisCsv()},
  };
  EXPECT_TRUE(w().logEncoding->isHidden());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drop(Write("in.log", c.log));
    EXPECT_EQ(window().settings().inputEncoding, c.encoding);
    EXPECT_EQ(window().settings().databaseKind, c.kind);
    EXPECT_FALSE(w().logEncoding->isHidden());
    EXPECT_EQ(w().logEncoding->text(), Q(c.label));
    if (c.kind == DatabaseKind::Patolis) {
      EXPECT_EQ(w().layoutLabel->text(), Q(u"回答様式　1"));
    } else {
      EXPECT_EQ(window().grid().ItemRowCount(), 3);
      EXPECT_EQ(window().grid().Cell(3, 1), c.thirdCode);
    }
    Convert(dir.File("out.csv"), Answer::No);
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.csv);
  }
}

TEST_F(CsvOptionsTest, TheOptionsShapeTheCsvAndThePreviewAndTheRunSaysWhatItReplaced) {
  // "é" has no code page 932 form.
  const std::string log = Utf8Lines({u"AN   0001 DIALOG", u"TI   Café \"bar\"", u""});
  const std::u16string kOneReplaced = u"コードページ932で表せない 1 文字を「?」としてCSVに書き込みました。";
  struct Case {
    const char* name;
    std::string log;
    CsvEncoding encoding;
    bool doubleQuotes;
    std::string csv;
    std::u16string preview;
    std::u16string warning;  // "" for none
  };
  const Case cases[] = {
      {"code page 932, apostrophe", log, CsvEncoding::Cp932, false,
       "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"Caf? 'bar'\"\r\n", u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"Caf? 'bar'\"",
       kOneReplaced},
      {"UTF-8, apostrophe", log, CsvEncoding::Utf8, false, "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"Caf\xC3\xA9 'bar'\"\r\n",
       u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"Café 'bar'\"", u""},
      {"UTF-8 with a byte-order mark, RFC 4180", log, CsvEncoding::Utf8Bom, true,
       kBom + "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"Caf\xC3\xA9 \"\"bar\"\"\"\r\n",
       u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"Café \"\"bar\"\"\"", u""},
      {"code page 932, RFC 4180", log, CsvEncoding::Cp932, true,
       "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"Caf? \"\"bar\"\"\"\r\n",
       u"\"AN\",\"TI\"\n\"0001 DIALOG\",\"Caf? \"\"bar\"\"\"", kOneReplaced},
      {"a byte that is not UTF-8 in a log marked as UTF-8", kBom + "AN   0001 DIALOG\r\nTI   a\xFFz\r\n",
       CsvEncoding::Cp932, false, "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"a\xFFz\"\r\n", u"",
       u"ログの 1 バイトはUTF-8の文字ではないため、そのままCSVに書き込みました（最初は 2 行目）。"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Drop(Write("in.log", c.log));
    // Chosen after loading: the preview follows the menu.
    w().csvEncodingEntries[static_cast<std::size_t>(c.encoding)]->trigger();
    if (w().doubleQuotesEntry->isChecked() != c.doubleQuotes) w().doubleQuotesEntry->trigger();
    EXPECT_EQ(window().settings().csvEncoding, c.encoding);
    EXPECT_EQ(window().settings().quoteStyle, c.doubleQuotes ? QuoteStyle::Double : QuoteStyle::Apostrophe);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(w().csvEncodingEntries[i]->isChecked(), i == std::size_t(c.encoding));
    if (!c.preview.empty()) {
      EXPECT_EQ(w().preview->toPlainText(), Q(c.preview));
    }

    prompts.Clear();
    prompts.Choose(dir.File("out.csv"));
    if (!c.warning.empty()) prompts.Reply(Answer::Ok);
    prompts.Reply(Answer::No);
    window().StartConversion();
    ASSERT_TRUE(WaitForRun());
    EXPECT_EQ(ReadBytes(dir.File("out.csv")), c.csv);
    std::vector<std::string> expected = {"save", "done"};
    if (!c.warning.empty()) expected.insert(expected.begin() + 1, "message: " + Utf16ToUtf8(c.warning));
    EXPECT_EQ(Transcript(prompts), expected);
  }
}

TEST_F(CsvOptionsTest, APatolisRunSaysHowManyCharactersItReplaced) {
  const std::string sample = std::string(TROVLIN_SAMPLES_DIR) + "/patolis_layout2.log";
  std::u16string text;
  DecodeCp932(ReadBytes(sample), text);
  const std::size_t title = text.find(u"液体噴霧ノズル");
  ASSERT_NE(title, std::u16string::npos);
  text.insert(title, u"é");
  Drop(Write("p.log", Utf16ToUtf8(text)));
  ASSERT_EQ(window().settings().databaseKind, DatabaseKind::Patolis);
  prompts.Choose(dir.File("p.csv")).Reply(Answer::Ok).Reply(Answer::No);
  window().StartConversion();
  ASSERT_TRUE(WaitForRun());
  EXPECT_EQ(Transcript(prompts),
            (std::vector<std::string>{
                "save", "message: コードページ932で表せない 1 文字を「?」としてCSVに書き込みました。", "done"}));
}

}  // namespace
}  // namespace trovlin::app::testing
