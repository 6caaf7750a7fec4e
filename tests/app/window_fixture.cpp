#include "window_fixture.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>
#include <QUrl>

#include "app/qt_prompts.h"

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

ScriptedPrompts::Step ScriptedPrompts::Next(bool isDialog, const std::u16string& what) {
  if (script_.empty() || script_.front().isDialog != isDialog) {
    ADD_FAILURE() << "unexpected question: " << Utf16ToUtf8(what);
    return Step{isDialog, Answer::Cancel, {}, nullptr};
  }
  Step step = std::move(script_.front());
  script_.pop_front();
  return step;
}

Answer ScriptedPrompts::Ask(const Message& message) {
  asked_.push_back(Asked{false, message, {}});
  const Step step = Next(false, message.text);
  if (step.during) step.during();
  return step.answer;
}

FileDialogResult ScriptedPrompts::ShowFileDialog(const FileDialogRequest& request) {
  asked_.push_back(Asked{true, {}, request});
  FileDialogResult result = Next(true, request.title).file;
  result.filterIndex = filterChosen > 0 ? filterChosen : request.filterIndex;
  return result;
}

Strings Rows(const ItemGridModel& grid) {
  Strings rows;
  for (int r = 1; r < grid.RowCount(); ++r)
    rows.push_back(grid.Cell(r, 0) + u"|" + grid.Cell(r, 1) + u"|" + grid.Cell(r, 2));
  return rows;
}

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
    // A refused log's message goes on with the file and the reason, which
    // the loading tests check on their own.
    for (const auto& [m, name] : known) {
      const Message& asked = a.message;
      const bool same = asked.title == m.title && asked.icon == m.icon && asked.buttons == m.buttons &&
                        (asked.text == m.text || (name == std::string("not a log") && asked.text.starts_with(m.text)));
      if (!a.isDialog && same) tag = name;
    }
    tags += (tags.empty() ? "" : " / ") + tag;
  }
  return tags;
}

void WindowTest::SetUp() {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "trovlin-test";
  static char* argv[] = {name, nullptr};
  if (QApplication::instance() == nullptr) {
    new QApplication(argc, argv);  // lives until the process ends
    InstallQtJapanese();
  }
  QStandardPaths::setTestModeEnabled(true);
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(settingsDir.path()));
  ::setenv("TMP", dir.path().c_str(), 1);  // where pastes go
  window_ = std::make_unique<MainWindow>(prompts);
  window_->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
}

void WindowTest::TearDown() {
  window_.reset();  // stops a run still under way
  oldTmp_.empty() ? ::unsetenv("TMP") : ::setenv("TMP", oldTmp_.c_str(), 1);
  EXPECT_TRUE(prompts.ScriptUsedUp()) << "scripted answers left over";
}

void WindowTest::Drop(const std::vector<std::string>& paths) {
  QMimeData data;
  QList<QUrl> urls;
  for (const std::string& path : paths) urls << QUrl::fromLocalFile(QString::fromStdString(path));
  data.setUrls(urls);
  QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QDropEvent drop({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window_.get(), &enter);
  QApplication::sendEvent(window_.get(), &drop);
  QCoreApplication::sendPostedEvents(window_.get());  // the load itself waits for the drop to end
}

void WindowTest::Paste(const QString& text) {
  QGuiApplication::clipboard()->setText(text);
  w().pasteEntry->trigger();
}

void WindowTest::Reopen(bool keepMemory) {
  if (!keepMemory) WindowMemory().Clear();
  window_ = std::make_unique<MainWindow>(prompts);
  window_->show();
  prompts = {};
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
