#include "app/qt_prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "app/common_dialog.h"

namespace trovlin::app {
namespace {

QString ToQt(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QStringList QtPrompts::NameFilters(const std::u16string& filter) {
  const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
  QStringList names;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    names << QString(parts[i]).replace(QLatin1String("(*.*)"), QLatin1String("(*)"));
  return names;
}

bool InstallQtJapanese() {
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (!translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"), QStringLiteral("_"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

Answer QtPrompts::Ask(const Message& message) {
  QMessageBox box(parent_);
  box.setWindowTitle(ToQt(message.title));
  QString text = ToQt(message.text);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  box.setText(text);
  box.setTextFormat(Qt::PlainText);
  switch (message.icon) {
    case Icon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case Icon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case Icon::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case Icon::Critical:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  switch (message.buttons) {
    case Buttons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      break;
    case Buttons::OkCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case Buttons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return message.buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
}

FileDialogResult QtPrompts::ShowFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(parent_, ToQt(request.title));
  const bool open = request.kind == FileDialogRequest::Kind::Open;
  dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  dialog.setFileMode(open && (request.flags & CommonDialog::kFileMustExist) ? QFileDialog::ExistingFile
                                                                            : QFileDialog::AnyFile);
  if (!open && !(request.flags & CommonDialog::kOverwritePrompt)) dialog.setOption(QFileDialog::DontConfirmOverwrite);
  if (!open) dialog.setDefaultSuffix(ToQt(request.defaultExt));
  if (!request.folder.empty()) dialog.setDirectory(QFile::decodeName(request.folder.c_str()));
  const QStringList filters = NameFilters(request.filter);
  dialog.setNameFilters(filters);
  const int index = request.filterIndex > 0 ? request.filterIndex - 1 : 0;
  if (index < filters.size()) dialog.selectNameFilter(filters[index]);
  if (!request.fileName.empty()) dialog.selectFile(QFile::decodeName(request.fileName.c_str()));
  // A name typed without an extension takes the chosen filter's ("*.xlsx"), or the default one.
  if (!open) {
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &request](const QString& filter) {
      const QString pattern = filter.section(QLatin1Char('('), 1).section(QLatin1Char(')'), 0, 0);
      const bool oneExtension = pattern.startsWith(QStringLiteral("*.")) && pattern != QStringLiteral("*.*");
      dialog.setDefaultSuffix(oneExtension ? pattern.mid(2) : ToQt(request.defaultExt));
    });
  }

  FileDialogResult result;
  result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (result.accepted) result.fileName = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  result.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return result;
}

}  // namespace trovlin::app
