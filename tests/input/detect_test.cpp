#include "input/detect.h"

#include <gtest/gtest.h>

#include "input/open_log.h"
#include "support/temp_dir.h"

namespace trovlin {
namespace {

using testing::ReadBytes;
using testing::Sjis;
using testing::TempDir;

TEST(Detect, RecognisesTheServiceFromTheOpeningLines) {
  using K = DatabaseKind;
  const struct {
    const char* name;
    std::u16string log;
    K kind;
  } cases[] = {
      {"markers after the first short line", u"L1   ANSWER 1\r\nabcd\r\nDIALOG\r\n", K::Stn},
      {"STN answer header", u"L1   ANSWER 1 OF 3\r\nAN   1\r\n", K::Stn},
      {"lower case", u"L1   answer 1 of 3\r\nAN   1\r\n", K::Stn},
      {"leading spaces", u"   L12  ANSWER 1\r\nx\r\n", K::Stn},
      {"ANSWER not at 6", u"L1 ANSWER 1 OF 3\r\nAN   1\r\n", K::None},
      {"line too short for ANSWER", u"L1   ANSWE\r\nx\r\n", K::None},
      {"prompt", u"=> s olefin\r\nx\r\n", K::Stn},
      {"prompt without space", u"=>s olefin\r\nx\r\n", K::None},
      {"STN replaced by DIALOG", u"=> b 351\r\nFile 351: DIALOG\r\n\r\n", K::Dialog},
      {"prompt line that names DIALOG stays STN", u"=> DIALOG\r\nx\r\n", K::Stn},
      {"FN- anywhere", u"xx fn- 351\r\nx\r\n", K::Dialog},
      {"DIALOG tested before JOIS", u"JST and DIALOG\r\nx\r\n", K::Dialog},
      {"JST", u"xxJSTxx\r\nx\r\n", K::Jois},
      {"an STN header line is not tested for other markers", u"L1   ANSWER 1 OF 2  JICST-EPLUS\r\nAN   1\r\n", K::Stn},
      {"STN replaced by JOIS later", u"L1   ANSWER 1 OF 2\r\nFS   JICST\r\n\r\n", K::Jois},
      {"DIALOG is final", u"xx DIALOG\r\nJST\r\nx\r\n", K::Dialog},
      {"PATOLIS", u"  ＊＊検索回答　様式　３\r\nx\r\n", K::Patolis},
      {"PATOLIS marker must lead", u"xx＊＊検索回答\r\nx\r\n", K::None},
      {"half-width asterisks", u"**検索回答xx\r\nx\r\n", K::None},
      {"the last line is never examined", u"xxxxx\r\nDIALOG", K::None},
      {"a tab makes a line long enough", u"\tFN-\r\nx\r\n", K::Dialog},
      // Only a PATOLIS log is read as if its LF CR pairs were CR LF.
      {"PATOLIS with LF CR", u"＊＊検索回答 様式 1\n\r1 特許出願\n\rx\n\r", K::Patolis},
      {"STN with LF CR", u"L1   ANSWER 1\n\rAN   1\n\rx\r\n", K::Stn},
  };
  TempDir dir;
  for (const auto& c : cases) {
    const std::string log = dir.Write("log", Sjis(c.log));
    EXPECT_EQ(DetectDatabase(log), c.kind) << c.name;
    const OpenedLog opened = OpenLog(log);
    EXPECT_EQ(opened.kind, c.kind) << c.name;
    EXPECT_EQ(opened.format.repairLfCr, c.kind == K::Patolis) << c.name;
    EXPECT_EQ(ReadBytes(log), Sjis(c.log)) << "the log was written";
  }
}

}  // namespace
}  // namespace trovlin
