// The real main window, shown on Qt's offscreen platform, with scripted
// prompts; and the small logs the window tests load, each with what it must
// give written out by hand.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QMimeData>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "scripted_prompts.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace trovlin::app::testing {

void EnsureApplication();

inline QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size())); }

using Strings = std::vector<std::u16string>;
// The rows below the header as "number|code|mark", the empty last row included.
Strings Rows(const ItemGridModel& grid);

// Drag data holding the files at paths.
std::unique_ptr<QMimeData> FileUrls(const std::vector<std::string>& paths);

inline const Message kDone{u"Trovlin", u"変換完了\r終了しますか", Icon::None, Buttons::YesNo};

// An STN log of two answers: detected as STN; items L1, AN, TI, PI (PI with
// no join mark).
std::string StnLog();
// Its CSV with all four items and the asterisks removed.
std::string StnCsv();
// DIALOG and JOIS logs of one answer with the items AN and TI.
std::string DialogLog();
std::string JoisLog();
// A PATOLIS log in answer layout 1 with no answer, and its CSV.
std::string PatolisLog();
std::string PatolisCsv();
// Text that no service claims.
std::string NotALog();

// The questions asked so far, each as a short tag: "open" and "save" for the
// dialogs; "bad name", "same file", "not a log" and "done" for the messages of
// those texts, each compared in full (title, text, icon, buttons); any other
// message as "message: " and its text.
std::vector<std::string> Transcript(const ScriptedPrompts& prompts);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 public:

  MainWindow& window() { return *window_; }
  const WindowWidgets& w() { return window_->widgets(); }

  std::string Write(const std::string& name, const std::string& bytes) { return dir.Write(name, bytes); }
  // Loads path as a drop of that file does.
  void Drop(const std::string& path);
  // Puts text on the clipboard and chooses the paste entry.
  void Paste(const QString& text);
  // A fresh window, with nothing asked yet (for tables of cases).
  void Reopen();
  // The log at path is loaded as kind, with items item rows.
  void ExpectLoaded(const std::string& path, DatabaseKind kind, int items);
  // Starts a conversion into output and waits for it; answer is the reply to
  // the completion message.
  void Convert(const std::string& output, Answer answer);
  // Waits until the run under way has been handled.
  bool WaitForRun();

  ScriptedPrompts prompts;
  trovlin::testing::TempDir dir;
  std::unique_ptr<MainWindow> window_;

 private:
  std::optional<std::string> oldTmp_;  // TMP is the test's folder while it runs
};

}  // namespace trovlin::app::testing
