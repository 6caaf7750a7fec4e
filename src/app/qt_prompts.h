// Prompts shown with Qt's message boxes and file dialogs.
//
// Message lines separated by a lone CR are shown as separate lines. The
// dialog filter "name (patterns)|patterns|..." becomes Qt's list of named
// filters; the filter index, "file must exist" and "ask before replacing"
// flags are honoured. Qt reads "*.*" as a name with a dot, so it becomes "*":
// "All Files" shows every file. The default extension is added only to a
// name typed in the save dialog; a log may have no extension. The read-only
// check box of the open dialog has no Qt counterpart and is not shown.
//
// The save dialog's name follows the filter chosen in it. The file dialogs
// are Qt's own, at a size that shows their columns, in the program's locale.
//
// Qt draws the buttons and dialogs in its own words; InstallQtJapanese()
// gives it the Japanese ones (はい, いいえ, キャンセル, ...) and makes
// Japanese the default locale.
#pragma once

#include <QStringList>

#include "app/prompts.h"

class QWidget;

namespace trovlin::app {

class QtPrompts : public Prompts {
 public:
  explicit QtPrompts(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }

  Answer Ask(const Message& message) override;
  FileDialogResult ShowFileDialog(const FileDialogRequest& request) override;

  // "A (*.A)|*.A|B (*.*)|*.*|" -> {"A (*.A)", "B (*)"}
  static QStringList NameFilters(const std::u16string& filter);
  // name with its extension replaced by extension, when one of filters names
  // the old one ("a.CSV" -> "a.xlsx"); otherwise name as it is.
  static QString WithExtension(const QString& name, const QString& extension, const QStringList& filters);

 private:
  QWidget* parent_;
};

// Loads Qt's Japanese translations into the application; false when they are
// not installed (Qt then speaks English).
bool InstallQtJapanese();

}  // namespace trovlin::app
