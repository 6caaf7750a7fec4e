#include "scripted_prompts.h"

#include <gtest/gtest.h>

#include "text/utf8.h"

namespace trovlin::app::testing {

ScriptedPrompts& ScriptedPrompts::Reply(Answer answer, std::function<void()> during) {
  script_.push_back(Step{false, answer, {}, std::move(during)});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::Choose(std::string path, int filterIndex) {
  script_.push_back(Step{true, Answer::Ok, FileDialogResult{true, std::move(path), filterIndex}, nullptr});
  return *this;
}

ScriptedPrompts& ScriptedPrompts::CancelDialog() {
  script_.push_back(Step{true, Answer::Cancel, FileDialogResult{false, {}, 0}, nullptr});
  return *this;
}

Answer ScriptedPrompts::Ask(const Message& message) {
  asked_.push_back(Asked{false, message, {}});
  if (script_.empty() || script_.front().isDialog) {
    ADD_FAILURE() << "unexpected message: " << Utf16ToUtf8(message.text);
    switch (message.buttons) {
      case Buttons::Ok:
        return Answer::Ok;
      case Buttons::OkCancel:
        return Answer::Cancel;
      case Buttons::YesNo:
        return Answer::No;
    }
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
  if (result.filterIndex == 0) result.filterIndex = request.filterIndex;
  return result;
}

std::vector<Message> ScriptedPrompts::Messages() const {
  std::vector<Message> out;
  for (const Asked& a : asked_) {
    if (!a.isDialog) out.push_back(a.message);
  }
  return out;
}

std::vector<FileDialogRequest> ScriptedPrompts::Dialogs() const {
  std::vector<FileDialogRequest> out;
  for (const Asked& a : asked_) {
    if (a.isDialog) out.push_back(a.request);
  }
  return out;
}

void ScriptedPrompts::Clear() {
  script_.clear();
  asked_.clear();
}

}  // namespace trovlin::app::testing
