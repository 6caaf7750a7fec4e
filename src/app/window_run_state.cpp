// What the window shows of a run under way and after it: the progress and
// what is happening, the 中止 button, the commands that wait for the run,
// and the window after the user chose to go on; the items the grid's empty
// row leaves out; and what is handed to the desktop (the CSV, its folder,
// the manual).
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "app/captions.h"
#include "app/main_window.h"
#include "app/window_text.h"
#include "common/database_kind.h"

namespace trovlin::app {
namespace {

// Where the manual is, installed or beside the build.
constexpr const char* kManualPlaces[] = {"../share/doc/trovlin/window.md", "../../../docs/window.md"};

}  // namespace

void MainWindow::CancelRun() {
  // A workbook's last step is not stopped half way: it would leave nothing
  // of a file the user waited for most of.
  if (!worker_.IsRunning() || finishingBook_) return;
  worker_.Cancel();
}

void MainWindow::MirrorRun() {
  const bool running = worker_.IsRunning();
  widgets_.progress->setVisible(running);
  widgets_.stopButton->setVisible(running);
  widgets_.stopButton->setEnabled(running && !finishingBook_);
  widgets_.convertButton->setVisible(!running);
  // Escape is the edit box's own key outside a run.
  if (auto* stop = findChild<QAction*>(QStringLiteral("stop_run"))) stop->setEnabled(running && !finishingBook_);
  if (!running) return;
  widgets_.loadButton->setEnabled(false);
  for (QAction* entry : {widgets_.loadEntry, widgets_.pasteEntry, widgets_.convertEntry, widgets_.firstAnswerEntry}) {
    entry->setEnabled(false);
  }
  widgets_.recentMenu->setEnabled(false);
  widgets_.editMenu->menuAction()->setEnabled(false);
  widgets_.databaseFrame->setEnabled(false);
  widgets_.itemGrid->setEnabled(false);
  widgets_.codeEdit->setEnabled(false);
}

void MainWindow::ShowRunPhase(quint64 bytesRead, quint64 bytesTotal) {
  const bool finishing = settings_.outputFormat == OutputFormat::Xlsx && bytesTotal > 0 && bytesRead >= bytesTotal;
  const quint64 percent = bytesTotal == 0 ? 0 : bytesRead * 100 / bytesTotal;
  widgets_.statusText->setText(finishing ? ToQt(captions::kFinishingBook)
                                         : ToQt(Fill(captions::kReading, {Number(percent)})));
  if (finishing != finishingBook_) {
    finishingBook_ = finishing;
    MirrorRun();
  }
}

void MainWindow::EndRunControls() {
  finishingBook_ = false;
  // The commands the run held back come back as the state before it had them.
  widgets_.loadButton->setEnabled(true);
  for (QAction* entry : {widgets_.loadEntry, widgets_.pasteEntry, widgets_.firstAnswerEntry}) entry->setEnabled(true);
  widgets_.recentMenu->setEnabled(!widgets_.recentMenu->actions().isEmpty());
  widgets_.itemGrid->setEnabled(true);
  widgets_.codeEdit->setEnabled(true);
  Mirror();
}

void MainWindow::Unload() {
  settings_.inputPath.clear();
  settings_.databaseKind = DatabaseKind::None;
  ClearDatabaseSelection();
  grid_.Reset();
  undo_.clear();
  itemRows_.clear();
  patolisRefusal_.clear();
  layoutCaption_ = captions::kLayoutLabel;
  controls_.Set(false);
  controls_.editMenuEnabled = false;
  RefreshCodeEdit();
  Mirror();
  GridChanged();
}

void MainWindow::ShowUnreadItems() {
  const ItemGridModel::UnreadItems unread = grid_.Unread();
  const bool tagged = settings_.databaseKind != DatabaseKind::None && settings_.databaseKind != DatabaseKind::Patolis;
  const bool show = tagged && controls_.gridVisible && unread.count > 0;
  widgets_.gridNote->setText(
      show ? ToQt(Fill(captions::kUnreadItems, {Number(static_cast<std::uint64_t>(unread.blankRow)),
                                                Number(static_cast<std::uint64_t>(unread.count))}))
           : QString());
  widgets_.gridNote->setVisible(show);
}

void MainWindow::OpenOnDesktop(const QString& path, std::u16string_view noOpener) {
  if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
  Say(Fill(noOpener, {FromQt(QDir::toNativeSeparators(path))}), Icon::Warning, Buttons::Ok);
}

void MainWindow::ShowManual() {
  if (ended_) return;
  const QDir program(QCoreApplication::applicationDirPath());
  for (const char* place : kManualPlaces) {
    const QString manual = QFileInfo(program.filePath(QString::fromLatin1(place))).absoluteFilePath();
    if (QFileInfo(manual).isFile()) {
      OpenOnDesktop(manual, captions::kNoOpener);
      return;
    }
  }
  const QString expected = QFileInfo(program.filePath(QString::fromLatin1(kManualPlaces[0]))).absoluteFilePath();
  Say(Fill(captions::kNoManual, {FromQt(QDir::toNativeSeparators(expected))}), Icon::Warning, Buttons::Ok);
}

}  // namespace trovlin::app
