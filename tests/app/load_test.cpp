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
  const Case cases[] = {
      {'o', "xo0", "open / bad name / open"},  {'o', "xc", "open / bad name"},
      {'o', "1o0", "open / not a log / open"}, {'o', "1c", "open / not a log"},
      {'d', "o0", "not a log / open"},         {'d', "oxc", "not a log / open / bad name"},
      {'p', "o0", "not a log / open"},         {'p', "c", "not a log"},
  };
  // In UTF-8: chosen after a paste, the log is still sniffed.
  const std::vector<std::string> files = {dir.Write("a.log", "\xEF\xBB\xBF" + DialogLog()),
                                          dir.Write("notes.txt", "Dear colleague,\r\nhi\r\nthe minutes.\r\n")};
  // A refused log is named, with the reason in the window's words.
  const std::u16string refused = u"検索結果ログファイルを指定してください\r" + Utf8ToUtf16(files[1]) +
                                 u"\rSTN・DIALOG・JOIS・PATOLISの目印が先頭の 1 行にありません。（2 "
                                 u"行目が4文字以下のため、そこで探すのをやめました）";
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(1, c.source) + c.script);
    Reopen();
    QSignalSpy ended(window_.get(), &MainWindow::programEnded);
    prompts.Play(c.script, files);
    if (c.source == 'o') window().OpenLog();
    if (c.source == 'd') Drop(files[1]);
    if (c.source == 'p') Paste(QStringLiteral("hello\nworld\n"));
    EXPECT_EQ(Transcript(prompts), c.asked);
    EXPECT_TRUE(c.source != 'd' || prompts.asked()[0].message.text == refused);
    // Cancel leaves the window as it was, with no log; the program goes on.
    const bool loaded = std::string(c.asked).ends_with("open");
    EXPECT_EQ(ended.count(), 0);
    EXPECT_EQ(window().settings().inputPath.empty(), !loaded);
    if (!loaded) continue;
    EXPECT_EQ(window().settings().inputPath, files[0]);
    EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Dialog);
    EXPECT_EQ(window().settings().inputEncoding, LogEncoding::Utf8);
  }
}

// A drop of a folder, and pastes whose file cannot be written: reported, and
// the log loaded before stays. Whatever is planted at the paste file's name
// is neither followed nor written into.
TEST_F(WindowTest, ALoadThatFailsIsReportedAndThePreviousLogStays) {
  const std::string log = dir.Write("a.log", StnLog());
  const std::string kept = dir.Write("kept.txt", "keep me");
  const std::string pasted = dir.File("trovlint001.tmp");
  const std::string cannot = "C 貼付ファイルを作成できません\r";
  struct Case {
    char plant;  // d: a folder dropped; l, h, f: a symbolic link, a second name, a FIFO at the name; m: TMP missing
    std::string asked;
  };
  const Case cases[] = {
      {'d', "C ログファイルを読み込めません\r" + dir.File("folder.log") + "\rフォルダです"},
      {'l', cannot + pasted + "\rシンボリックリンクです"},
      {'h', cannot + pasted + "\rほかの名前（ハードリンク）があります"},
      {'f', cannot + pasted + "\r"},  // any reason, as long as nothing hangs
      {'m', cannot + dir.File("gone/trovlint001.tmp") + "\rファイルまたはフォルダがありません"},
  };
  std::filesystem::create_directory(dir.File("folder.log"));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.plant);
    Reopen();
    Drop(log);
    std::filesystem::remove(pasted);
    if (c.plant == 'l') std::filesystem::create_symlink(kept, pasted);
    if (c.plant == 'h') std::filesystem::create_hard_link(kept, pasted);
    if (c.plant == 'f') ::mkfifo(pasted.c_str(), 0600);
    if (c.plant == 'm') ::setenv("TMP", dir.File("gone").c_str(), 1);
    prompts.Reply(Answer::Ok);
    c.plant == 'd' ? Drop(dir.File("folder.log")) : Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
    const std::string asked = Transcript(prompts);
    EXPECT_EQ(c.plant == 'f' ? asked.substr(0, c.asked.size()) : asked, c.asked);
    EXPECT_EQ(ReadBytes(kept), "keep me");
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
  const Case cases[] = {
      {u"AN   0001 DIALOG\nTI   触媒\n\n", "AN   0001 DIALOG\r\nTI   " + Sjis(u"触媒") + "\r\n\r\n", ""},
      // "ﾃｽ" is C3 BD in code page 932, and C3 BD is "ý" in UTF-8.
      {u"AN   0001 DIALOG\r\nTI   ﾃｽﾃｽ", "AN   0001 DIALOG\r\nTI   \xC3\xBD\xC3\xBD", ""},
      {u"AN   0001 DIALOG\nTI   한국\n", "AN   0001 DIALOG\r\nTI   ??\r\n",
       "W 貼り付けたテキストのうち 2 文字はコードページ932で表せないため、「?」に置き換えて読み込みます。"},
  };
  for (const Case& c : cases) {
    Reopen();
    if (!c.warning.empty()) prompts.Reply(Answer::Ok);
    Paste(ToQt(c.clipboard));
    EXPECT_EQ(Transcript(prompts), c.warning);
    EXPECT_EQ(ReadBytes(dir.File("trovlint001.tmp")), c.file);
    EXPECT_EQ(window().settings().inputPath, dir.File("trovlint001.tmp"));
    EXPECT_EQ(window().settings().inputEncoding, LogEncoding::Cp932);
    EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Dialog);
  }
  EXPECT_EQ(std::filesystem::status(dir.File("trovlint001.tmp")).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  Paste(QString());  // an empty clipboard changes nothing
  EXPECT_EQ(ReadBytes(dir.File("trovlint001.tmp")), cases[2].file);
}

}  // namespace
}  // namespace trovlin::app::testing
