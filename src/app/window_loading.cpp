// Loading a log into the window: the open dialog, a drop, the clipboard's
// paste file, the recent logs, detection of the service and the discovery of
// its items.
#include <QClipboard>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>
#include <cstdlib>

#include "app/captions.h"
#include "app/main_window.h"
#include "app/paste_file.h"
#include "app/window_text.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "session/log_session.h"

namespace trovlin::app {
namespace {

// The path of a local file in the form the core opens.
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

void MainWindow::OpenLog() { Load(true, settings_.inputPath); }

void MainWindow::LoadFile(const std::string& path) { Load(false, path); }

void MainWindow::LoadDropped(const QMimeData* data, Qt::DropAction effect) {
  if (effect == Qt::IgnoreAction || data == nullptr) return;
  QString first;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) {
      first = url.toLocalFile();
      break;
    }
  }
  if (first.isEmpty()) return;
  LoadFile(LocalPath(first));
}

void MainWindow::OpenRecentLog(const QString& path) {
  if (Busy()) return;
  if (!QFileInfo::exists(path)) {
    memory_.RemoveRecentLog(path);
    ShowRecentLogs();
    Say(std::u16string(captions::kRecentMissing) + u"\r" + FromQt(path) + u"\r" +
            std::u16string(captions::kRecentRemoved),
        Icon::Warning, Buttons::Ok);
    return;
  }
  LoadFile(LocalPath(path));
}

void MainWindow::ShowRecentLogs() {
  widgets_.recentMenu->clear();
  const QStringList logs = memory_.RecentLogs();
  for (qsizetype i = 0; i < logs.size(); ++i) {
    QString shown = QDir::toNativeSeparators(logs[i]);
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));  // not an access key
    QAction* entry = widgets_.recentMenu->addAction(
        ToQt(Fill(captions::kRecentEntry, {Number(std::uint64_t(i) + 1), FromQt(shown)})));
    connect(entry, &QAction::triggered, this, [this, path = logs[i]] { OpenRecentLog(path); });
  }
  widgets_.recentMenu->setEnabled(!logs.isEmpty());
}

// The paste file is the clipboard's, not a log to come back to.
void MainWindow::RememberLog() {
  if (settings_.inputPath == PasteFilePath(std::getenv("TMP"))) return;
  const QString path = QFileInfo(QFile::decodeName(settings_.inputPath.c_str())).absoluteFilePath();
  memory_.AddRecentLog(path);
  memory_.KeepLogFolder(path);
  ShowRecentLogs();
}

void MainWindow::PasteLog() {
  if (Busy()) return;
  const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
  if (text.isEmpty()) return;
  const std::string path = PasteFilePath(std::getenv("TMP"));
  const std::u16string content = ClipboardLineBreaks(FromQt(text));
  std::uint64_t unencodable = 0;
  try {
    unencodable = WritePasteFile(path, content);
  } catch (const IoError&) {
    ShowFailure(captions::kPasteFailed, std::current_exception());
    return;
  }
  if (unencodable > 0) Say(Fill(captions::kPasteUnencodable, {Number(unencodable)}), Icon::Warning, Buttons::Ok);
  // Sniffing could take a short code page 932 text for UTF-8.
  Load(false, path, LogEncoding::Cp932);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!ended_ && !worker_.IsRunning() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dragMoveEvent(QDragMoveEvent* event) {
  if (!ended_ && !worker_.IsRunning() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  // The load asks questions of its own; let the drop finish first.
  auto* data = new QMimeData;
  data->setUrls(event->mimeData()->urls());
  const Qt::DropAction effect = event->dropAction();
  event->acceptProposedAction();
  QMetaObject::invokeMethod(
      this,
      [this, data, effect] {
        LoadDropped(data, effect);
        delete data;
      },
      Qt::QueuedConnection);
}

bool MainWindow::AskForLog(std::string& path) {
  for (;;) {
    path = dialog_.AskLogFile(prompts_, LocalPath(memory_.LogFolder()));
    if (!path.empty()) return true;
    // Cancel goes back to the window as it was.
    if (Say(captions::kBadFileName, Icon::None, Buttons::OkCancel) == Answer::Cancel) return false;
  }
}

// The new log is opened and detected beside the loaded one, which the window
// keeps until the new one is recognised: a file that is no log, cannot be
// read, or is given up on leaves the log, the grid, its edits and the
// preview as they were.
void MainWindow::Load(bool ask, const std::string& path, std::optional<LogEncoding> known) {
  if (Busy()) return;
  ConversionSettings candidate = settings_;
  candidate.inputPath = path;
  try {
    for (;;) {
      if (ask) {
        if (!AskForLog(candidate.inputPath)) return;
        known.reset();
      }
      if (!DetectService(candidate, known)) return;
      if (candidate.databaseKind != DatabaseKind::None) break;
      ask = true;
    }
  } catch (const IoError&) {
    ShowFailure(captions::kLoadFailed, std::current_exception());
    return;
  }
  const Snapshot before = Take();
  try {
    const DatabaseKind kind = candidate.databaseKind;
    settings_ = candidate;
    ResetItemGrid();
    ClearDatabaseSelection();
    SelectDatabase(static_cast<int>(kind) - 1);
    SetControlState(true);
    widgets_.statusText->clear();
    patolisRefusal_.clear();
    if (settings_.databaseKind == DatabaseKind::Patolis) {
      controls_.ShowPatolisSide();
      ShowAnswerLayout();
      Mirror();
      UpdatePreview();
    } else {
      DiscoverItems();
    }
    CountItems();
    RememberLog();
    if (settings_.databaseKind == DatabaseKind::Patolis) CheckPatolisLayout();
  } catch (const IoError&) {
    // A log that cannot be read after all leaves the window with the log it had.
    Restore(before);
    ShowFailure(captions::kLoadFailed, std::current_exception());
  }
}

void MainWindow::ResetItemGrid() {
  grid_.Reset();
  undo_.clear();
  itemRows_.clear();
  ShowGrid();
  RefreshCodeEdit();
}

bool MainWindow::DetectService(ConversionSettings& candidate, std::optional<LogEncoding> known) {
  const OpenedLog opened = OpenLogInto(candidate, known);
  if (opened.kind != DatabaseKind::None) return true;
  const std::u16string text =
      std::u16string(captions::kNotALog) + u"\r" + FromUtf8(candidate.inputPath) + u"\r" + RefusalText(opened);
  return Say(text, Icon::None, Buttons::OkCancel) != Answer::Cancel;
}

void MainWindow::CheckPatolisLayout() {
  patolisRefusal_ = PatolisRefusal(PatolisLayout(settings_));
  if (patolisRefusal_.empty()) return;
  Mirror();
  widgets_.statusText->setText(ToQt(patolisRefusal_));
  Say(std::u16string(captions::kPatolisNotConvertible) + u"\r" + FromUtf8(settings_.inputPath) + u"\r" +
          patolisRefusal_,
      Icon::Warning, Buttons::Ok);
}

void MainWindow::ShowAnswerLayout() {
  const std::optional<AnswerHeader> header = PatolisLayout(settings_);
  if (!header) return;
  layoutCaption_ = std::u16string(captions::kLayoutPrefix) + header->layoutCharacter;
  controls_.layoutLabelVisible = true;
}

void MainWindow::DiscoverItems() {
  const Discovery found = FirstAnswerItems(settings_, Discovering());
  FillGrid(found.items);
  controls_.ShowTaggedSide();
  Mirror();
  GridChanged();
  if (Discovering() == DiscoveryStart::FirstBlock && !found.holdsAnswer && !found.items.empty()) {
    widgets_.statusText->setText(ToQt(Fill(captions::kNoAnswerInFirstBlock, {Number(found.firstLine)})));
  }
  if (found.leftOut > 0) {
    Say(Fill(captions::kTooManyItems, {Number(kMaxTaggedItems), Number(found.leftOut)}), Icon::Warning, Buttons::Ok);
  }
}

}  // namespace trovlin::app
