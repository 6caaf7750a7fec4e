#include "window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QTest>
#include <QUrl>
#include <cstdlib>

#include "text/utf8.h"

namespace trovlin::app::testing {

ScriptedPrompts& ScriptedPrompts::Reply(Answer answer, std::function<void()> during) {
  script_.push_back(Step{false, answer, {}, std::move(during)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::Play(std::string_view script, const std::vector<std::string>& files) {
  for (char step : script) {
    if (step == 'x' || (step >= '0' && step <= '9')) {
      const std::string path = step == 'x' ? "" : files.at(static_cast<std::size_t>(step - '0'));
      script_.push_back(Step{true, Answer::Ok, FileDialogResult{step != 'x', path, 0}, nullptr});
    } else {
      Reply(step == 'o' ? Answer::Ok : step == 'c' ? Answer::Cancel : step == 'y' ? Answer::Yes : Answer::No);
    }
  }
  return *this;
}

Answer ScriptedPrompts::Ask(const Message& message) {
  asked_.push_back(Asked{false, message, {}});
  if (script_.empty() || script_.front().isDialog) {
    ADD_FAILURE() << "unexpected message: " << Utf16ToUtf8(message.text);
    return message.buttons == Buttons::Ok      ? Answer::Ok
           : message.buttons == Buttons::YesNo ? Answer::No
                                               : Answer::Cancel;
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  if (step.during) step.during();
  return step.answer;
}

FileDialogResult ScriptedPrompts::ShowFileDialog(const FileDialogRequest& request) {
  asked_.push_back(Asked{true, {}, request});
  if (script_.empty() || !script_.front().isDialog) {
    ADD_FAILURE() << "unexpected file dialog: " << Utf16ToUtf8(request.title);
    return FileDialogResult{};
  }
  FileDialogResult result = script_.front().file;
  script_.pop_front();
  result.filterIndex = request.filterIndex;
  return result;
}

void ScriptedPrompts::Clear() {
  script_.clear();
  asked_.clear();
}

void EnsureApplication() {
  if (QApplication::instance() != nullptr) return;
  if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static int argc = 1;
  static char name[] = "trovlin-test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

Strings Rows(const ItemGridModel& grid) {
  Strings rows;
  for (int r = 1; r < grid.RowCount(); ++r)
    rows.push_back(grid.Cell(r, 0) + u"|" + grid.Cell(r, 1) + u"|" + grid.Cell(r, 2));
  return rows;
}

std::unique_ptr<QMimeData> FileUrls(const std::vector<std::string>& paths) {
  auto data = std::make_unique<QMimeData>();
  QList<QUrl> urls;
  for (const std::string& path : paths) urls.push_back(QUrl::fromLocalFile(QString::fromStdString(path)));
  data->setUrls(urls);
  return data;
}

std::string StnLog() {
  return CrLfLines({"L1   ANSWER 1 OF 2  CAPLUS", "AN   2005:12", "TI   ***Catalyst*** for",
                    "     olefin polymerization", "PI   JP 2005-1", "", "L1   ANSWER 2 OF 2  CAPLUS", "AN   2005:13",
                    "TI   Second *title*", ""});
}

std::string StnCsv() {
  return CrLfLines({"\"L1\",\"AN\",\"TI\",\"PI\"",
                    "\"ANSWER 1 OF 2  CAPLUS\",\"2005:12\",\"Catalyst for olefin polymerization\",\"JP 2005-1\"",
                    "\"ANSWER 2 OF 2  CAPLUS\",\"2005:13\",\"Second title\",\"\""});
}

std::string DialogLog() { return CrLfLines({"AN   0001 DIALOG", "TI   Dialog *title*", ""}); }
std::string JoisLog() { return CrLfLines({"AN   JST0001", Sjis(u"TI   ＡＢＣ１２３"), ""}); }
std::string PatolisLog() { return CrLfLines({Sjis(u"＊＊検索回答　様式    1"), "END OF ANSWERS"}); }

std::string Transcript(const ScriptedPrompts& prompts) {
  const std::pair<Message, const char*> known[] = {
      {{u"Trovlin", u"ﾌｧｲﾙ名が不適当です", Icon::None, Buttons::OkCancel}, "bad name"},
      {{u"Trovlin", u"読み込むﾌｧｲﾙと同じﾌｧｲﾙは指定できません", Icon::None, Buttons::OkCancel}, "same file"},
      {{u"Trovlin", u"検索結果ログファイルを指定してください", Icon::None, Buttons::OkCancel}, "not a log"},
      {{u"Trovlin", u"変換完了\r終了しますか", Icon::None, Buttons::YesNo}, "done"},
  };
  std::string tags;
  for (const ScriptedPrompts::Asked& a : prompts.asked()) {
    std::string tag = a.request.kind == FileDialogRequest::Kind::Open ? "open" : "save";
    if (!a.isDialog) tag = std::string(1, "-IWC"[static_cast<int>(a.message.icon)]) + " " + Utf16ToUtf8(a.message.text);
    for (const auto& [message, name] : known) {
      if (!a.isDialog && a.message == message) tag = name;
    }
    tags += (tags.empty() ? "" : " / ") + tag;
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

void WindowTest::Drop(const std::string& path) {
  const auto data = FileUrls({path});
  QDragEnterEvent enter({5, 5}, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop({5, 5}, Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &enter);
  QApplication::sendEvent(window_.get(), &drop);
  QCoreApplication::sendPostedEvents(window_.get());  // the load itself waits for the drop to end
}

void WindowTest::Paste(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  w().pasteEntry->trigger();
}

void WindowTest::Reopen() {
  window_ = std::make_unique<MainWindow>(prompts);
  window_->show();
  prompts.Clear();
}

bool WindowTest::WaitForRun() {
  return QTest::qWaitFor([this] { return !window_->IsRunning(); }, 30000);
}

void WindowTest::Convert(const std::string& output, Answer answer) {
  prompts.Play("0", {output}).Reply(answer);
  window_->StartConversion();
  ASSERT_TRUE(WaitForRun());
}

}  // namespace trovlin::app::testing
