// The preview of a tagged log's first CSV rows below the grid.
#include <QTest>
#include <filesystem>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;

// Seven answers; the first has stars in its title and two reference lines.
std::string SevenAnswers() {
  std::string log = CrLfLines({"L1   ANSWER 1 OF 7", "TI   ***One***", "RE", "(1) first", "    (2) second", ""});
  const char* titles[] = {"Two", "Three", "Four", "Five", "Six", "Seven"};
  for (int i = 0; i < 6; ++i) {
    log += "L1   ANSWER " + std::to_string(i + 2) + " OF 7\r\nTI   " + titles[i] + "\r\n\r\n";
  }
  return log;
}

std::vector<std::string> FolderListing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  return names;
}

using PreviewTest = WindowTest;

TEST_F(PreviewTest, ShowsTheHeaderAndFiveRowsOneLineEachWritingNoFile) {
  EXPECT_TRUE(w().previewPanel->isHidden());
  Drop(Write("seven.log", SevenAnswers()));
  EXPECT_FALSE(w().previewPanel->isHidden());
  EXPECT_EQ(w().preview->toPlainText(), Q(u"\"L1\",\"TI\",\"RE\"\n"
                                          u"\"ANSWER 1 OF 7\",\"One\",\"(1) first↵(2) second\"\n"
                                          u"\"ANSWER 2 OF 7\",\"Two\",\"\"\n"
                                          u"\"ANSWER 3 OF 7\",\"Three\",\"\"\n"
                                          u"\"ANSWER 4 OF 7\",\"Four\",\"\"\n"
                                          u"\"ANSWER 5 OF 7\",\"Five\",\"\""));
  EXPECT_EQ(FolderListing(dir.path()), std::vector<std::string>{"seven.log"});
}

TEST_F(PreviewTest, FollowsTheGridAndTheDataBaseOption) {
  Drop(Write("seven.log", SevenAnswers()));
  window().ClickGridCell(3, 1);
  window().CutRow();  // RE
  window().ClickGridCell(1, 1);
  window().PasteRow();  // RE, L1, TI
  window().ClickGridCell(2, 1);
  w().codeEdit->setText(QStringLiteral("AN"));  // L1 becomes AN, which no answer has
  auto firstLines = [this] { return w().preview->toPlainText().section(QLatin1Char('\n'), 0, 1); };
  EXPECT_EQ(firstLines(), Q(u"\"RE\",\"AN\",\"TI\"\n\"(1) first↵(2) second\",\"\",\"One\""));
  // Read as JOIS, the title keeps its stars.
  QTest::mouseClick(w().databaseOptions[2], Qt::LeftButton);
  EXPECT_EQ(firstLines(), Q(u"\"RE\",\"AN\",\"TI\"\n\"(1) first↵(2) second\",\"\",\"***One***\""));
}

TEST_F(PreviewTest, NothingForPatolis) {
  Drop(Write("seven.log", SevenAnswers()));
  QTest::mouseClick(w().databaseOptions[3], Qt::LeftButton);  // a PATOLIS run ignores the grid
  EXPECT_EQ(w().preview->toPlainText(), QString());
  QTest::mouseClick(w().databaseOptions[0], Qt::LeftButton);
  EXPECT_NE(w().preview->toPlainText(), QString());
  Drop(Write("p.log", PatolisLog()));
  EXPECT_EQ(w().preview->toPlainText(), QString());
  EXPECT_TRUE(w().previewPanel->isHidden());
}

TEST_F(PreviewTest, ALogRemovedAfterLoadingIsSaidInThePreview) {
  const std::string log = Write("seven.log", SevenAnswers());
  Drop(log);
  std::filesystem::remove(log);
  window().ClickGridCell(1, 1);
  window().DeleteRow();
  EXPECT_EQ(w().preview->toPlainText(),
            Q(u"プレビューできません：cannot open the log '" + Utf8ToUtf16(log) + u"': No such file or directory"));
}

}  // namespace
}  // namespace trovlin::app::testing
