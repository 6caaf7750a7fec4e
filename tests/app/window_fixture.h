// The real main window, shown on Qt's offscreen platform, with scripted
// prompts; and the small logs the window tests load.
#pragma once

#include <gtest/gtest.h>

#include <QUrl>
#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/window_text.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace trovlin::app::testing {

using trovlin::testing::CrLfLines;
using trovlin::testing::ReadBytes;
using trovlin::testing::Sjis;
using Strings = std::vector<std::u16string>;

// Prompts for tests: every question is recorded and answered from a script.
// A question the script does not expect fails the test and is answered
// Cancel (No to yes-or-no) or cancelled, so that no wrong path loops.
class ScriptedPrompts : public Prompts {
 public:
  struct Asked {
    bool isDialog = false;
    Message message;            // when !isDialog
    FileDialogRequest request;  // when isDialog
  };

  // The next question is a message box, answered with answer; during, if
  // given, runs while the box is open (as the user takes their time).
  ScriptedPrompts& Reply(Answer answer, std::function<void()> during = nullptr);
  // A script in one string: o, c, y, n answer OK, Cancel, Yes, No; x cancels
  // a file dialog; a digit i chooses files[i] in it.
  ScriptedPrompts& Play(std::string_view script, const std::vector<std::string>& files = {});

  Answer Ask(const Message& message) override;
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;

  const std::vector<Asked>& asked() const { return asked_; }
  bool ScriptUsedUp() const { return script_.empty(); }
  // The filter (1-based) every dialog closes on; 0: the one it opened on.
  int filterChosen = 0;

 private:
  struct Step {
    bool isDialog;
    Answer answer;
    FileDialogResult file;
    std::function<void()> during;
  };
  Step Next(bool isDialog, const std::u16string& what);

  std::deque<Step> script_;
  std::vector<Asked> asked_;
};

// Keeps the URLs the window hands to the desktop (QDesktopServices::setUrlHandler).
class UrlCatcher : public QObject {
  Q_OBJECT
 public slots:
  void Open(const QUrl& url) { urls << url; }

 public:
  QList<QUrl> urls;
};

// The rows below the header as "number|code|mark", the empty last row included.
Strings Rows(const ItemGridModel& grid);

// An STN log of two answers (items L1, AN, TI, PI; PI not joined) and its
// CSV with the asterisks removed; a DIALOG log of one answer (items AN, TI);
// a PATOLIS log in answer layout 1 with no answer.
inline std::string StnLog() {
  return CrLfLines({"L1   ANSWER 1 OF 2  CAPLUS", "AN   2005:12", "TI   ***Catalyst*** for",
                    "     olefin polymerization", "PI   JP 2005-1", "", "L1   ANSWER 2 OF 2  CAPLUS", "AN   2005:13",
                    "TI   Second *title*", ""});
}

inline std::string StnCsv() {
  return CrLfLines({"\"L1\",\"AN\",\"TI\",\"PI\"",
                    "\"ANSWER 1 OF 2  CAPLUS\",\"2005:12\",\"Catalyst for olefin polymerization\",\"JP 2005-1\"",
                    "\"ANSWER 2 OF 2  CAPLUS\",\"2005:13\",\"Second title\",\"\""});
}

inline std::string DialogLog() { return CrLfLines({"AN   0001 DIALOG", "TI   Dialog *title*", ""}); }
inline std::string PatolisLog() { return CrLfLines({Sjis(u"＊＊検索回答　様式    1"), "END OF ANSWERS"}); }

// The questions asked so far, joined by " / ": "open" and "save" for dialogs;
// "bad name", "same file", "not a log" and "done" for those messages, each
// compared in full; any other as its icon's initial (-IWC) and its text.
std::string Transcript(const ScriptedPrompts& prompts);

// The window's settings live in the test's folder, never the user's, and Qt
// speaks Japanese as in the program.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 public:
  MainWindow& window() { return *window_; }
  const WindowWidgets& w() { return window_->widgets(); }
  // Drops the files on the window, as a desktop does: in one drop.
  void Drop(const std::vector<std::string>& paths);
  void Drop(const std::string& path) { Drop(std::vector<std::string>{path}); }
  // Puts text on the clipboard and chooses the paste entry.
  void Paste(const QString& text);
  // A fresh window, with nothing asked yet (for tables of cases); it
  // remembers nothing unless keepMemory.
  void Reopen(bool keepMemory = false);
  // Converts into output, answering the completion question with answer.
  void Convert(const std::string& output, Answer answer);
  bool WaitForRun();

  ScriptedPrompts prompts;
  trovlin::testing::TempDir dir;
  trovlin::testing::TempDir settingsDir;
  std::unique_ptr<MainWindow> window_;

 private:
  std::string oldTmp_ = std::getenv("TMP") != nullptr ? std::getenv("TMP") : "";  // TMP is dir while a test runs
};

}  // namespace trovlin::app::testing
