#include "window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <cstdlib>

#include "support/temp_dir.h"
#include "text/utf8.h"

namespace trovlin::app::testing {

using trovlin::testing::CrLfLines;
using trovlin::testing::Sjis;

void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "trovlin-test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

std::string StnLog() {
  return CrLfLines({"L1   ANSWER 1 OF 2  CAPLUS", "AN   2005:12", "TI   ***Catalyst*** for", "     olefin polymerization",
                    "PI   JP 2005-1", "", "L1   ANSWER 2 OF 2  CAPLUS", "AN   2005:13", "TI   Second *title*", ""});
}

std::string StnCsv() {
  return CrLfLines({"\"L1\",\"AN\",\"TI\",\"PI\"",
                    "\"ANSWER 1 OF 2  CAPLUS\",\"2005:12\",\"Catalyst for olefin polymerization\",\"JP 2005-1\"",
                    "\"ANSWER 2 OF 2  CAPLUS\",\"2005:13\",\"Second title\",\"\""});
}

std::string DialogLog() { return CrLfLines({"AN   0001 DIALOG", "TI   Dialog *title*", ""}); }

std::string JoisLog() { return CrLfLines({"AN   JST0001", Sjis(u"TI   ＡＢＣ１２３"), ""}); }

std::string PatolisLog() { return CrLfLines({Sjis(u"＊＊検索回答　様式    1"), "END OF ANSWERS"}); }

std::string PatolisCsv() {
  return CrLfLines({Sjis(u"\"出願番号\",\"出願日\",\"公開番号\",\"公開日\",\"公告番号\",\"公告日\",\"登録番号\",\"登録日\"")});
}

std::string NotALog() { return CrLfLines({"Dear colleague,", "here are the minutes.", ""}); }

Strings Rows(const ItemGridModel& grid) {
  Strings rows;
  for (int r = 1; r < grid.RowCount(); ++r) rows.push_back(grid.Cell(r, 0) + u"|" + grid.Cell(r, 1) + u"|" + grid.Cell(r, 2));
  return rows;
}

std::unique_ptr<QMimeData> FileUrls(const std::vector<std::string>& paths) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
  data->setUrls(urls);
  return data;
}

std::vector<std::string> Transcript(const ScriptedPrompts& prompts) {
  const std::pair<Message, const char*> known[] = {
      {{u"Trovlin", u"ﾌｧｲﾙ名が不適当です", Icon::None, Buttons::OkCancel}, "bad name"},
      {{u"Trovlin", u"読み込むﾌｧｲﾙと同じﾌｧｲﾙは指定できません", Icon::None, Buttons::OkCancel}, "same file"},
      {{u"Trovlin", u"検索結果ログファイルを指定してください", Icon::None, Buttons::OkCancel}, "not a log"},
      {kDone, "done"},
  };
  std::vector<std::string> tags;
  for (const ScriptedPrompts::Asked& a : prompts.asked()) {
    if (a.isDialog) {
      tags.push_back(a.request.kind == FileDialogRequest::Kind::Open ? "open" : "save");
      continue;
    }
    std::string tag = "message: " + Utf16ToUtf8(a.message.text);
    for (const auto& [message, name] : known) {
      if (a.message == message) tag = name;
    }
    tags.push_back(tag);
  }
  return tags;
}

void WindowTest::SetUp() {
  EnsureApplication();
  if (const char* old = std::getenv("TMP")) oldTmp_ = old;
  ::setenv("TMP", dir.path().c_str(), 1);
  window_ = std::make_unique<MainWindow>(prompts);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
}

void WindowTest::TearDown() {
  if (window_ && window_->IsRunning()) {
    window_->CancelRun();
    WaitForRun();
  }
  window_.reset();
  if (oldTmp_) {
    ::setenv("TMP", oldTmp_->c_str(), 1);
  } else {
    ::unsetenv("TMP");
  }
  EXPECT_TRUE(prompts.ScriptUsedUp()) << "scripted answers left over";
}

void WindowTest::Drop(const std::string& path) { window_->LoadDropped(FileUrls({path}).get(), Qt::CopyAction); }

void WindowTest::Paste(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  window().widgets().pasteEntry->trigger();
}

void WindowTest::Reopen() {
  window_ = std::make_unique<MainWindow>(prompts);
  window_->show();
  prompts.Clear();
}

void WindowTest::ExpectLoaded(const std::string& path, DatabaseKind kind, int items) {
  EXPECT_EQ(window_->settings().inputPath, path);
  EXPECT_EQ(window_->settings().databaseKind, kind);
  EXPECT_EQ(window_->grid().ItemRowCount(), items);
}

bool WindowTest::WaitForRun() {
  return QTest::qWaitFor([this] { return !window_->IsRunning(); }, 30000);
}

void WindowTest::Convert(const std::string& output, Answer answer) {
  prompts.Choose(output).Reply(answer);
  window_->StartConversion();
  ASSERT_TRUE(WaitForRun());
}

}  // namespace trovlin::app::testing
