// The real main window, shown on Qt's offscreen platform, with scripted
// prompts; and the small logs the window tests load.
#pragma once

#include <gtest/gtest.h>

#include <QMimeData>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/prompts.h"
#include "app/window_text.h"
#include "support/temp_dir.h"
#include "text/utf8.h"

namespace trovlin::app::testing {

using trovlin::testing::CrLfLines;
using trovlin::testing::ReadBytes;
using trovlin::testing::Sjis;
using Strings = std::vector<std::u16string>;

// Prompts for tests: every question is recorded and answered from a script
// written in advance. A question the script does not expect fails the test
// and is answered the way that ends it (Cancel, No, a cancelled dialog), so
// that a wrong path cannot loop for ever.
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
  void Clear();

 private:
  struct Step {
    bool isDialog;
    Answer answer;
    FileDialogResult file;
    std::function<void()> during;
  };
  std::deque<Step> script_;
  std::vector<Asked> asked_;
};

void EnsureApplication();
// The rows below the header as "number|code|mark", the empty last row included.
Strings Rows(const ItemGridModel& grid);
// Drag data holding the files at paths.
std::unique_ptr<QMimeData> FileUrls(const std::vector<std::string>& paths);

// An STN log of two answers (items L1, AN, TI, PI; PI not joined) and its
// CSV with the asterisks removed; DIALOG and JOIS logs of one answer (items
// AN, TI); a PATOLIS log in answer layout 1 with no answer.
std::string StnLog();
std::string StnCsv();
std::string DialogLog();
std::string JoisLog();
std::string PatolisLog();

// The questions asked so far, joined by " / ": "open" and "save" for the
// dialogs; "bad name", "same file", "not a log" and "done" for those
// messages, each compared in full (title, text, icon, buttons); any other
// message as its icon's initial (I, W, C or -) and its text.
std::string Transcript(const ScriptedPrompts& prompts);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

 public:
  MainWindow& window() { return *window_; }
  const WindowWidgets& w() { return window_->widgets(); }
  std::string Write(const std::string& name, const std::string& bytes) { return dir.Write(name, bytes); }
  // Drops the file at path on the window.
  void Drop(const std::string& path);
  // Puts text on the clipboard and chooses the paste entry.
  void Paste(const QString& text);
  // A fresh window, with nothing asked yet (for tables of cases).
  void Reopen();
  // Converts into output, answering the completion question with answer.
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
