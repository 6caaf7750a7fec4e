// Every question the window puts to its user: message boxes and the open and
// save dialogs, behind one interface.
//
// The window builds each message and dialog request completely (title, text
// with its line breaks as a lone CR, icon, buttons; dialog title, filter,
// filter index, default extension, flags and the file name shown), so that
// what the user is asked is decided and tested in one place. QtPrompts shows
// them; tests script the answers.
#pragma once

#include <string>

namespace trovlin::app {

enum class Icon { None, Information, Warning, Critical };
enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
  std::u16string title;
  std::u16string text;  // lines separated by CR (code 13) alone
  Icon icon = Icon::None;
  Buttons buttons = Buttons::Ok;

  bool operator==(const Message&) const = default;
};

// One use of the common open/save dialog, with the properties the window
// sets on it and the ones left over from its previous use.
struct FileDialogRequest {
  enum class Kind { Open, Save };
  Kind kind = Kind::Open;
  std::u16string title;
  // "name (patterns)|patterns|name (patterns)|patterns|" as the window's
  // dialog control takes it.
  std::u16string filter;
  int filterIndex = 0;  // 1-based; 0 means the first
  std::u16string defaultExt;
  int flags = 0;         // the control's flag bits (read-only box, must exist, overwrite prompt, ...)
  std::string fileName;  // UTF-8; the name the dialog shows first
  std::string folder;    // UTF-8; where it starts when fileName names no folder ("": the platform's choice)

  bool operator==(const FileDialogRequest&) const = default;
};

struct FileDialogResult {
  bool accepted = false;  // false: cancelled or failed
  std::string fileName;   // UTF-8 full path
  int filterIndex = 0;    // the filter selected when the dialog closed
};

class Prompts {
 public:
  virtual ~Prompts() = default;
  virtual Answer Ask(const Message& message) = 0;
  virtual FileDialogResult ShowFileDialog(const FileDialogRequest& request) = 0;
};

}  // namespace trovlin::app
