// Prompts for tests: every question is recorded, and answered from a script
// written in advance. A question the script does not expect is a test failure
// and is answered the way that ends the question (Cancel, No, a cancelled
// dialog), so that a wrong path cannot loop for ever.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/prompts.h"

namespace trovlin::app::testing {

class ScriptedPrompts : public Prompts {
 public:
  struct Asked {
    bool isDialog = false;
    Message message;            // when !isDialog
    FileDialogRequest request;  // when isDialog
  };

  // The next question is a message box; answer it with answer. during, if
  // given, runs while the box is open (as the user takes their time).
  ScriptedPrompts& Reply(Answer answer, std::function<void()> during = nullptr);
  // The next question is a file dialog; choose path (filterIndex: the filter
  // selected on closing, 0 to leave it as requested).
  ScriptedPrompts& Choose(std::string path, int filterIndex = 0);
  // The next question is a file dialog; cancel it.
  ScriptedPrompts& CancelDialog();

  Answer Ask(const Message& message) override;
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;

  const std::vector<Asked>& asked() const { return asked_; }
  std::vector<Message> Messages() const;
  std::vector<FileDialogRequest> Dialogs() const;
  bool ScriptUsedUp() const { return script_.empty(); }
  void Clear();

 private:
  struct Step {
    bool isDialog = false;
    Answer answer = Answer::Ok;
    FileDialogResult file;
    std::function<void()> during;
  };
  std::deque<Step> script_;
  std::vector<Asked> asked_;
};

}  // namespace trovlin::app::testing
