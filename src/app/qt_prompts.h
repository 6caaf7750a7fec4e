// Prompts shown with Qt's message boxes and file dialogs.
//
// Message lines separated by a lone CR are shown as separate lines. The
// dialog filter "name (patterns)|patterns|..." becomes Qt's list of named
// filters; the filter index, default extension, "file must exist" and
// "ask before replacing" flags are honoured. The read-only check box of the
// open dialog has no Qt counterpart and is not shown.
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

  // "A (*.A)|*.A|B (*.*)|*.*|" -> {"A (*.A)", "B (*.*)"}
  static QStringList NameFilters(const std::u16string& filter);

 private:
  QWidget* parent_;
};

}  // namespace trovlin::app
