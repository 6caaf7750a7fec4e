#include "app/qt_prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTranslator>

#include "app/common_dialog.h"

namespace trovlin::app {
namespace {

QString ToQt(const std::u16string& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

constexpr int kDialogColumns = 110;
constexpr int kDialogLines = 30;

}  // namespace

QString QtPrompts::WithExtension(const QString& name, const QString& extension, const QStringList& filters) {
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot <= 0) return name;
  // Only an extension one of the filters names is replaced; "a.b" stays.
  const QString now = name.mid(dot + 1);
  for (const QString& filter : filters) {
    if (filter.contains(QStringLiteral("*.") + now + QLatin1Char(')'), Qt::CaseInsensitive)) {
      return name.left(dot + 1) + extension;
    }
  }
  return name;
}

namespace {}  // namespace

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
  // Dates, sizes and numbers in the dialogs in Japanese too.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
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
  // Qt's own dialog speaks the program's language whatever the desktop's.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setLocale(QLocale());
  // Room for the name, size, type and date columns side by side.
  const QFontMetrics metrics = dialog.fontMetrics();
  dialog.resize(metrics.averageCharWidth() * kDialogColumns, metrics.lineSpacing() * kDialogLines);
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
      // The name shown takes the extension of the filter chosen.
      if (oneExtension) {
        auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (edit != nullptr) edit->setText(WithExtension(edit->text(), pattern.mid(2), NameFilters(request.filter)));
      }
    });
  }

  FileDialogResult result;
  result.accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  if (result.accepted) result.fileName = QFile::encodeName(dialog.selectedFiles().front()).toStdString();
  result.filterIndex = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  return result;
}

}  // namespace trovlin::app
