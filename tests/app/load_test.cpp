// Loading a log from the open dialog, a drop and the clipboard.
#include <QApplication>
#include <QDropEvent>
#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <functional>

#include "support/temp_dir.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

using trovlin::testing::CrLfLines;
using trovlin::testing::ReadBytes;
using trovlin::testing::Sjis;

using OpenDialogTest = WindowTest;

TEST_F(OpenDialogTest, LoadsTheChosenLog) {
  const std::string log = Write("a.log", StnLog());
  prompts.Choose(log);
  window().FileopenClick();
  ASSERT_EQ(prompts.Dialogs().size(), 1u);
  EXPECT_EQ(prompts.Dialogs()[0],
            (FileDialogRequest{FileDialogRequest::Kind::Open, u"ファイルを開く",
                               u"LOG File (*.LOG)|*.LOG|All Files (*.*)|*.*|", 2, u"LOG", 20481, ""}));
  ExpectLoaded(log, DatabaseKind::Stn, 4);
  EXPECT_TRUE(w().db[0]->isChecked());
}

TEST_F(OpenDialogTest, ShowsTheLastNameTheDialogHeld) {
  const std::string a = Write("a.log", StnLog());
  const std::string b = Write("b.log", DialogLog());
  prompts.Choose(a).Choose(dir.File("a-out.csv")).Reply(Answer::No).Choose(b);
  window().FopenClick();
  window().ConvClick();
  ASSERT_TRUE(WaitForRun());
  window().FopenClick();
  const auto dialogs = prompts.Dialogs();
  ASSERT_EQ(dialogs.size(), 3u);
  EXPECT_EQ(dialogs[2].fileName, dir.File("a-out.csv"));
  EXPECT_EQ(window().settings().inputPath, b);
}

TEST_F(OpenDialogTest, AnswersToTheLoadingQuestions) {
  using Tags = std::vector<std::string>;
  struct Case {
    const char* name;
    const char* source;  // "open", "drop" or "paste"
    std::function<void(ScriptedPrompts&, const std::string& log, const std::string& notALog)> script;
    Tags asked;
    bool ended;
  };
  const Case cases[] = {
      {"dialog cancelled, OK: the dialog again",
       "open",
       [](ScriptedPrompts& p, auto& log, auto&) { p.CancelDialog().Reply(Answer::Ok).Choose(log); },
       {"open", "bad name", "open"},
       false},
      {"dialog cancelled, Cancel: the end",
       "open",
       [](ScriptedPrompts& p, auto&, auto&) { p.CancelDialog().Reply(Answer::Cancel); },
       {"open", "bad name"},
       true},
      {"no marker, OK: the dialog again",
       "open",
       [](ScriptedPrompts& p, auto& log, auto& bad) { p.Choose(bad).Reply(Answer::Ok).Choose(log); },
       {"open", "not a log", "open"},
       false},
      {"no marker, Cancel: the end",
       "open",
       [](ScriptedPrompts& p, auto&, auto& bad) { p.Choose(bad).Reply(Answer::Cancel); },
       {"open", "not a log"},
       true},
      {"dropped file without marker, OK: the open dialog",
       "drop",
       [](ScriptedPrompts& p, auto& log, auto&) { p.Reply(Answer::Ok).Choose(log); },
       {"not a log", "open"},
       false},
      {"dropped file without marker, OK, dialog cancelled, Cancel",
       "drop",
       [](ScriptedPrompts& p, auto&, auto&) { p.Reply(Answer::Ok).CancelDialog().Reply(Answer::Cancel); },
       {"not a log", "open", "bad name"},
       true},
      {"pasted text without marker, OK: the open dialog",
       "paste",
       [](ScriptedPrompts& p, auto& log, auto&) { p.Reply(Answer::Ok).Choose(log); },
       {"not a log", "open"},
       false},
      {"pasted text without marker, Cancel: the end",
       "paste",
       [](ScriptedPrompts& p, auto&, auto&) { p.Reply(Answer::Cancel); },
       {"not a log"},
       true},
  };
  const std::string log = Write("a.log", JoisLog());
  const std::string notALog = Write("notes.txt", NotALog());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    QSignalSpy ended(window_.get(), &MainWindow::programEnded);
    c.script(prompts, log, notALog);
    if (std::string(c.source) == "open") {
      window().FileopenClick();
    } else if (std::string(c.source) == "drop") {
      Drop(notALog);
    } else {
      Paste(QStringLiteral("hello\nworld\n"));
    }
    EXPECT_EQ(Transcript(prompts), c.asked);
    EXPECT_EQ(ended.count(), c.ended ? 1 : 0);
    EXPECT_EQ(window().IsEnded(), c.ended);
    if (!c.ended) {
      EXPECT_EQ(window().settings().inputPath, log);
      EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Jois);
    }
    EXPECT_TRUE(prompts.ScriptUsedUp());
  }
}

TEST_F(OpenDialogTest, AFailedDetectionLeavesAnEmptyGridBehindTheDialog) {
  Drop(Write("a.log", StnLog()));
  prompts.Choose(Write("notes.txt", NotALog())).Reply(Answer::Ok).CancelDialog().Reply(Answer::Cancel);
  window().FileopenClick();
  EXPECT_EQ(window().grid().RowCount(), 2);
  EXPECT_EQ(window().settings().databaseKind, DatabaseKind::None);
  EXPECT_EQ(w().dbGroup->checkedId(), -1);
}

using DropTest = WindowTest;

TEST_F(DropTest, LoadsOnlyTheFirstOfSeveralFiles) {
  const std::string a = Write("a.log", DialogLog());
  const std::string b = Write("b.log", StnLog());
  window().FormOleDragDrop(FileUrls({a, b, Write("c.log", JoisLog())}).get(), Qt::CopyAction);
  ExpectLoaded(a, DatabaseKind::Dialog, 2);
  EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(DropTest, NoEffectOrNoFilesDoesNothing) {
  const std::string log = Write("a.log", StnLog());
  Drop(log);
  window().FormOleDragDrop(FileUrls({Write("b.log", DialogLog())}).get(), Qt::IgnoreAction);
  QMimeData text;
  text.setText(QStringLiteral("L1   ANSWER 1 OF 1"));
  window().FormOleDragDrop(&text, Qt::CopyAction);
  ExpectLoaded(log, DatabaseKind::Stn, 4);
  EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(DropTest, ADropEventOnTheWindowLoadsTheFile) {
  const std::string log = Write("a.log", StnLog());
  const auto data = FileUrls({log});
  const QPoint at = w().label1->geometry().center();
  QDragEnterEvent enter(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(at, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window(), &drop);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window().settings().inputPath == log; }, 5000));
  EXPECT_EQ(window().grid().ItemRowCount(), 4);
}

TEST_F(DropTest, APatolisLogIsReadRepairedButNotWrittenAndShowsItsLayout) {
  const std::string bytes = Sjis(u"＊＊検索回答　様式    3") + "\n\r" + "LINE TWO\n\r" + "END\n\r";
  const std::string log = Write("p.log", bytes);
  Drop(log);
  EXPECT_EQ(ReadBytes(log), bytes);
  EXPECT_TRUE(window().settings().repairLfCr);
  EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Patolis);
  EXPECT_TRUE(w().db[3]->isChecked());
  EXPECT_EQ(w().label2->text(), Q(u"回答様式　3"));
  EXPECT_FALSE(w().label2->isHidden());
}

TEST_F(DropTest, ARefusedLogIsNamedWithTheReason) {
  const struct {
    std::string bytes;
    std::u16string reason;
  } cases[] = {
      {"", u"ファイルが空です。"},
      {std::string("hello\0world\r\nx\r\n", 16), u"NULバイトを含むため、テキストのログではありません。"},
      {std::string("L\0001\0\r\0\n\0x\0\r\0\n\0", 14), u"バイト順マーク（BOM）のないUTF-16のファイルです。"},
      {NotALog(), u"STN・DIALOG・JOIS・PATOLISの目印が先頭の 2 行にありません。"},
      {"one line\r\nxyz\r\nDIALOG\r\n",
       u"STN・DIALOG・JOIS・PATOLISの目印が先頭の 1 行にありません。（2 "
       u"行目が4文字以下のため、そこで探すのをやめました）"},
      {"DIALOG", u"STN・DIALOG・JOIS・PATOLISの目印がありません（1行だけのログの行は調べません）。"},
      {"abc\r\nDIALOG\r\n",
       u"STN・DIALOG・JOIS・PATOLISの目印がありません。（1 行目が4文字以下のため、そこで探すのをやめました）"},
  };
  for (const auto& c : cases) {
    const std::string log = Write("refused.log", c.bytes);
    prompts.Reply(Answer::Cancel);
    Drop(log);
    ASSERT_FALSE(prompts.asked().empty());
    EXPECT_EQ(prompts.asked().back().message.text,
              u"検索結果ログファイルを指定してください\r" + Utf8ToUtf16(log) + u"\r" + c.reason);
    Reopen();
  }
}

TEST_F(DropTest, APatolisLogWithoutLayoutLabelKeepsTheLabelsCaption) {
  Drop(Write("p.log", PatolisLog()));
  Drop(Write("q.log", CrLfLines({Sjis(u"＊＊検索回答　　　　　2"), "END OF ANSWERS"})));
  EXPECT_EQ(window().settings().inputPath, dir.File("q.log"));
  EXPECT_EQ(w().label2->text(), Q(u"回答様式　1"));
}

TEST_F(DropTest, MoreThanFiftyOneItemsAreTold) {
  std::vector<std::string> lines = {"L1   ANSWER 1 OF 1"};
  for (int i = 0; i < 55; ++i) lines.push_back("C" + std::to_string(100 + i) + " x");
  lines.push_back("");
  std::string log;
  for (const std::string& l : lines) log += l + "\r\n";
  prompts.Reply(Answer::Ok);
  Drop(Write("many.log", log));
  EXPECT_EQ(window().grid().ItemRowCount(), 51);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Warning);
  // L1 and C100 to C149 are listed; C150 to C154 are not.
  EXPECT_NE(prompts.Messages()[0].text.find(u"5）"), std::u16string::npos);
}

class PasteTest : public WindowTest {
 protected:
  std::string PasteFile() { return dir.File("trovlint001.tmp"); }
};

TEST_F(PasteTest, WritesThePasteFileInTmpAndLoadsIt) {
  Paste(QStringLiteral("L1   ANSWER 1 OF 1\nAN   2005:12\nTI   触媒\n\nL1   ANSWER 2"));
  EXPECT_EQ(ReadBytes(PasteFile()),
            "L1   ANSWER 1 OF 1\r\nAN   2005:12\r\nTI   " + Sjis(u"触媒") + "\r\n\r\nL1   ANSWER 2");
  ExpectLoaded(PasteFile(), DatabaseKind::Stn, 3);
  EXPECT_TRUE(prompts.asked().empty());

  Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  EXPECT_EQ(ReadBytes(PasteFile()), "AN   0001 DIALOG\r\nTI   t\r\n");
  EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Dialog);
}

TEST_F(PasteTest, WithoutTmpThePasteFileIsInTheCurrentFolder) {
  ::unsetenv("TMP");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
  std::filesystem::current_path(before);
  EXPECT_EQ(window().settings().inputPath, "trovlint001.tmp");
  EXPECT_EQ(ReadBytes(PasteFile()), "AN   0001 DIALOG\r\nTI   t\r\n");
}

TEST_F(PasteTest, AnEmptyClipboardDoesNothing) {
  const std::string log = Write("a.log", StnLog());
  Drop(log);
  Paste(QString());
  EXPECT_FALSE(std::filesystem::exists(PasteFile()));
  EXPECT_EQ(window().settings().inputPath, log);
  EXPECT_TRUE(prompts.asked().empty());
}

// A drop of something unreadable, and pastes whose file cannot be written:
// reported, and the log loaded before stays.
TEST_F(WindowTest, ALoadThatFailsIsReportedAndThePreviousLogStays) {
  struct Case {
    const char* name;
    // Prepares the failure and tries to load; gives the message's text.
    std::u16string (*load)(WindowTest&);
  };
  const Case cases[] = {
      {"a folder dropped",
       [](WindowTest& t) {
         const std::string folder = t.dir.File("folder.log");
         std::filesystem::create_directory(folder);
         t.Drop(folder);
         return u"ログファイルを読み込めません\rcannot read the log '" + Utf8ToUtf16(folder) + u"': it is a folder";
       }},
      {"a link planted at the paste file",
       [](WindowTest& t) {
         const std::string victim = t.Write("victim.txt", "precious");
         const std::string file = t.dir.File("trovlint001.tmp");
         EXPECT_EQ(::symlink(victim.c_str(), file.c_str()), 0);
         t.Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
         EXPECT_EQ(ReadBytes(victim), "precious");
         return u"貼付ファイルを作成できません\rcannot write the paste file '" + Utf8ToUtf16(file) +
                u"': it is a symbolic link";
       }},
      {"a missing TMP folder",
       [](WindowTest& t) {
         const std::string missing = t.dir.File("gone");
         ::setenv("TMP", missing.c_str(), 1);
         t.Paste(QStringLiteral("AN   0001 DIALOG\nTI   t\n"));
         return u"貼付ファイルを作成できません\rcannot write the paste file '" + Utf8ToUtf16(missing) +
                u"/trovlint001.tmp': No such file or directory";
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    const std::string log = Write("a.log", StnLog());
    Drop(log);
    prompts.Reply(Answer::Ok);
    const std::u16string text = c.load(*this);
    EXPECT_EQ(prompts.Messages(), (std::vector<Message>{{u"Trovlin", text, Icon::Critical, Buttons::Ok}}));
    ExpectLoaded(log, DatabaseKind::Stn, 4);
    EXPECT_TRUE(w().db[0]->isChecked());
    EXPECT_EQ(w().dispcode->rowCount(), 6);
    EXPECT_TRUE(w().conv->isEnabled());
    EXPECT_FALSE(window().IsEnded());
  }
}

TEST_F(PasteTest, CharactersWithoutCodePage932FormAreWarnedAbout) {
  prompts.Reply(Answer::Ok);
  Paste(QString::fromUtf16(u"AN   0001 DIALOG\nTI   한국\n"));
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].icon, Icon::Warning);
  EXPECT_NE(prompts.Messages()[0].text.find(u"2"), std::u16string::npos);
  EXPECT_EQ(ReadBytes(PasteFile()), "AN   0001 DIALOG\r\nTI   ??\r\n");
  EXPECT_EQ(window().settings().databaseKind, DatabaseKind::Dialog);
}

TEST_F(PasteTest, ThePasteFileIsReadAsCodePage932EvenWhereItCouldPassForUtf8) {
  // "ﾃｽ" is C3 BD in code page 932, and C3 BD is "ý" in UTF-8.
  Paste(QString::fromUtf16(u"AN   0001 DIALOG\nTI   ﾃｽﾃｽ\n"));
  EXPECT_EQ(window().settings().inputEncoding, LogEncoding::Cp932);
  Convert(dir.File("out.csv"), Answer::No);
  EXPECT_EQ(ReadBytes(dir.File("out.csv")), "\"AN\",\"TI\"\r\n\"0001 DIALOG\",\"\xC3\xBD\xC3\xBD\"\r\n");
}

TEST_F(PasteTest, ALogChosenAfterPastedTextThatIsNoLogIsSniffed) {
  const std::string log = Write("u.log",
                                "\xEF\xBB\xBF"
                                "AN   0001 DIALOG\r\nTI   t\r\n");
  prompts.Reply(Answer::Ok).Choose(log);
  Paste(QStringLiteral("hello\nworld\n"));
  EXPECT_EQ(window().settings().inputPath, log);
  EXPECT_EQ(window().settings().inputEncoding, LogEncoding::Utf8);
}

}  // namespace
}  // namespace trovlin::app::testing
