#include "app/common_dialog.h"

namespace trovlin::app {

std::string CommonDialog::WithFilterExtension(const std::string& proposal, int filterIndex) {
  if (filterIndex != kWorkbookFilterIndex || proposal.empty()) return proposal;
  const std::size_t slash = proposal.find_last_of('/');
  const std::size_t dot = proposal.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
  return (hasExtension ? proposal.substr(0, dot) : proposal) + ".xlsx";
}

std::string CommonDialog::Show(Prompts& prompts) {
  const FileDialogResult result = prompts.ShowFileDialog(request_);
  if (result.filterIndex > 0) request_.filterIndex = result.filterIndex;
  if (!result.accepted || result.fileName.empty()) return std::string();
  request_.fileName = result.fileName;
  return result.fileName;
}

std::string CommonDialog::AskLogFile(Prompts& prompts, const std::string& folder) {
  request_.kind = FileDialogRequest::Kind::Open;
  request_.folder = folder;
  request_.defaultExt = kOpenDefaultExt;
  request_.title = kOpenTitle;
  request_.filter = kOpenFilter;
  request_.filterIndex = kOpenFilterIndex;
  request_.flags = kOpenFlags;
  return Show(prompts);
}

std::string CommonDialog::AskOutputFile(Prompts& prompts, const std::string& proposal) {
  request_.kind = FileDialogRequest::Kind::Save;
  request_.defaultExt = kSaveDefaultExt;
  request_.fileName = proposal;
  request_.title = kSaveTitle;
  request_.filter = kSaveFilter;
  request_.flags = kSaveFlags;
  request_.folder.clear();
  return Show(prompts);
}

}  // namespace trovlin::app
