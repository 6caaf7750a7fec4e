// The one file dialog control the window owns, shared by its open and save
// dialogs.
//
// Each use sets the properties it needs and keeps whatever the other use left
// in the rest: the open dialog does not preset the file name, so it shows the
// last name the control held (the previous log or the last CSV chosen); the
// save dialog does not set the filter index, so it opens on the filter last
// selected in either dialog. The control keeps nothing between runs; the
// window hands the open dialog the folder it remembers.
#pragma once

#include <string>
#include <string_view>

#include "app/captions.h"
#include "app/prompts.h"

namespace trovlin::app {

class CommonDialog {
 public:
  // Flag bits of the dialog control.
  static constexpr int kReadOnly = 0x0001;         // the read-only box starts ticked
  static constexpr int kOverwritePrompt = 0x0002;  // ask before replacing a file
  static constexpr int kHideReadOnly = 0x0004;     // no read-only box
  static constexpr int kFileMustExist = 0x1000;
  static constexpr int kShareAware = 0x4000;
  static constexpr int kOpenFlags = kReadOnly | kFileMustExist | kShareAware;  // 20481
  static constexpr int kSaveFlags = kOverwritePrompt | kHideReadOnly;          // 6

  static constexpr std::u16string_view kOpenTitle = captions::kOpenLogTitle;
  static constexpr std::u16string_view kOpenFilter = captions::kOpenLogFilter;
  static constexpr std::u16string_view kOpenDefaultExt = captions::kOpenLogDefaultExt;
  static constexpr int kOpenFilterIndex = 2;  // "All Files (*.*)"
  static constexpr std::u16string_view kSaveTitle = captions::kSaveCsvTitle;
  static constexpr std::u16string_view kSaveFilter = captions::kSaveCsvFilter;
  static constexpr std::u16string_view kSaveDefaultExt = captions::kSaveCsvDefaultExt;
  static constexpr int kWorkbookFilterIndex = 3;  // "Excel ﾌﾞｯｸ (*.xlsx)"

  // The save dialog's proposal for filterIndex: a workbook's name ends in
  // ".xlsx", so that the name and the filter shown agree.
  static std::string WithFilterExtension(const std::string& proposal, int filterIndex);

  // The open dialog, starting in folder while it holds no name: the chosen
  // log's full path, or "" when the user cancelled or the dialog failed.
  std::string AskLogFile(Prompts& prompts, const std::string& folder = {});
  // The save dialog showing proposal: the chosen path, or "".
  std::string AskOutputFile(Prompts& prompts, const std::string& proposal);

  const std::string& fileName() const { return request_.fileName; }
  int filterIndex() const { return request_.filterIndex; }

 private:
  std::string Show(Prompts& prompts);

  FileDialogRequest request_;
};

}  // namespace trovlin::app
