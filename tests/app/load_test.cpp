// Loading a log from the open dialog, a drop and the clipboard.
#include <QSignalSpy>
#include <filesystem>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

TEST_F(WindowTest, AnswersToTheLoadingQuestions) {
  struct Case {
    char source;         // o: the open dialog, d: a drop of no log, p: a paste of no log
    const char* script;  // 0: the log, 1: no log
    const char* asked;
  };
  // clang-format off
  const Case cases[] = {
      {'o', "xo0", "open / bad name / open"}, {'o', "xc", "open / bad name"},
      {'o', "1o0", "open / not a log / open"}, {'o', "1c", "open / not a log"},
      {'d', "o0", "not a log / open"},        {'d', "oxc", "not a log / open / bad name"},
      {'p', "o0", "not a log / open"},        {'p', "c", "not a log"},
  };
  // clang-format on
  // In UTF-8: chosen after a paste, the log is still sniffed.
  const std::vector<std::string> files = {Write("a.log", "\xEF\xBB\xBF" + DialogLog()),
                                          Write("notes.txt", "Dear colleague,\r\nthe minutes.\r\n")};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.source) + c.script);
    Reopen();
    QSignalSpy ended(window_.get(), &MainWindow::programEnded);
    prompts.Play(c.script, files);
    if (c.source == 'o') window().OpenLog();
    if (c.source == 'd') Drop(files[1]);
    if (c.source == 'p') Paste(QStringLiteral("hello\nworld\n"));
    EXPECT_EQ(Transcript(prompts), c.asked);
    const bool loaded = std::string(c.asked).ends_with("open");
    EXPECT_EQ(ended.count(), loaded ? 0 : 1);
    if (loaded) {
      EXPECT_EQ(window().settings().inputPath, files[0]);
      EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Dialog);
      EXPECT_EQ(window().settings().inputEncoding, LogEncoding::Utf8);
    }
  }
  // The save dialog opens on the filter the open dialog left, with a name
  // proposed from the log.
  Reopen();
  prompts.Play("0", files);
  window().OpenLog();
  Convert(dir.File("x.csv"), Answer::No);
  const FileDialogRequest& save = prompts.asked()[1].request;
  EXPECT_EQ(std::pair(save.filterIndex, save.fileName), std::pair(2, dir.File("a.csv")));
}

// A drop of a folder, and a paste whose file is a planted link: reported, and
// the log loaded before stays.
TEST_F(WindowTest, ALoadThatFailsIsReportedAndThePreviousLogStays) {
  const std::string log = Write("a.log", StnLog());
  const std::string folder = dir.File("folder.log");
  const std::string pasted = dir.File("trovlint001.tmp");
  std::filesystem::create_directory(folder);
  std::filesystem::create_symlink(log, pasted);
  for (bool drop : {true, false}) {
    Reopen();
    Drop(log);
    prompts.Reply(Answer::Ok);
    drop ? Drop(folder) : Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
    EXPECT_EQ(
        Transcript(prompts),
        drop ? "C ログファイルを読み込めません\rcannot read the log '" + folder + "': it is a folder"
             : "C 貼付ファイルを作成できません\rcannot write the paste file '" + pasted + "': it is a symbolic link");
    EXPECT_EQ(ReadBytes(log), StnLog());
    EXPECT_EQ(window().settings().inputPath, log);
    EXPECT_EQ(Rows(window().grid()), (Strings{u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|", u"||"}));
    EXPECT_TRUE(w().databaseOptions[0]->isChecked() && w().convertButton->isEnabled());
  }
}

TEST_F(WindowTest, APasteIsWrittenInCodePage932WithCrLfToTmpAndReadAsSuch) {
  struct Case {
    std::u16string clipboard;
    std::string file;
    std::string warning;
  };
  // clang-format off
  const Case cases[] = {
      {u"AN   0001 DIALOG\nTI   触媒\n\n", "AN   0001 DIALOG\r\nTI   " + Sjis(u"触媒") + "\r\n\r\n", ""},
      // "ﾃｽ" is C3 BD in code page 932, and C3 BD is "ý" in UTF-8.
      {u"AN   0001 DIALOG\r\nTI   ﾃｽﾃｽ", "AN   0001 DIALOG\r\nTI   \xC3\xBD\xC3\xBD", ""},
      {u"AN   0001 DIALOG\nTI   한국\n", "AN   0001 DIALOG\r\nTI   ??\r\n",
       "W 貼り付けたテキストのうち 2 文字はコードページ932で表せないため、「?」に置き換えて読み込みます。"},
  };
  // clang-format on
  for (const Case& c : cases) {
    Reopen();
    if (!c.warning.empty()) prompts.Reply(Answer::Ok);
    Paste(Q(c.clipboard));
    EXPECT_EQ(Transcript(prompts), c.warning);
    EXPECT_EQ(ReadBytes(dir.File("trovlint001.tmp")), c.file);
    EXPECT_EQ(window().settings().inputPath, dir.File("trovlint001.tmp"));
    EXPECT_EQ(window().settings().inputEncoding, LogEncoding::Cp932);
    EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Dialog);
  }
  Paste(QString());  // an empty clipboard changes nothing
  EXPECT_EQ(ReadBytes(dir.File("trovlint001.tmp")), cases[2].file);
}

}  // namespace
}  // namespace trovlin::app::testing
