#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QGuiApplication>
#include <QUrl>
#include <cstdlib>
#include <string>

#include "app/captions.h"
#include "app/paste_file.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "input/detect.h"
#include "input/discover.h"
#include "input/output_name.h"
#include "patolis/patolis.h"
#include "tagged/tagged_run.h"
#include "text/utf8.h"

namespace trovlin::app {
namespace {

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string U(std::string_view utf8) { return Utf8ToUtf16(utf8); }

std::u16string Number(std::uint64_t n) { return U(std::to_string(n)); }

// The path of a local file in the form the core opens.
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

MainWindow::MainWindow(Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), w_(BuildWindowWidgets(this)), label2Caption_(captions::kLabel2) {
  setAcceptDrops(true);
  Connect();
  Mirror();
  ShowGrid();
  adjustSize();
  setFixedSize(sizeHint());
}

MainWindow::~MainWindow() {
  worker_.Cancel();
  worker_.Wait();
}

void MainWindow::Connect() {
  connect(w_.fileopen, &QPushButton::clicked, this, &MainWindow::FileopenClick);
  connect(w_.fopen, &QAction::triggered, this, &MainWindow::FopenClick);
  connect(w_.fpaste, &QAction::triggered, this, &MainWindow::FpasteClick);
  connect(w_.conv, &QPushButton::clicked, this, &MainWindow::ConvClick);
  connect(w_.mconv, &QAction::triggered, this, &MainWindow::MconvClick);
  connect(w_.pend, &QAction::triggered, this, &MainWindow::PendClick);
  connect(w_.about, &QAction::triggered, this, &MainWindow::AboutClick);
  connect(w_.dbGroup, &QButtonGroup::idClicked, this, &MainWindow::DbClick);
  connect(w_.dispcode, &ItemGridView::cellPicked, this, &MainWindow::DispcodeClick);
  connect(w_.dispcode, &ItemGridView::currentMoved, this, [this](int row, int column) {
    // The fixed row and column cannot hold the current cell.
    if (row >= 1 && column >= 1) {
      grid_.SetCurrentCell(row, column);
    } else {
      ShowGrid();
    }
  });
  connect(w_.text1, &QLineEdit::textChanged, this, &MainWindow::Text1Change);
  // The entries of the edit menu, shortcuts included, are reachable only
  // while the menu itself is enabled.
  auto editEntry = [this](QAction* action, void (MainWindow::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] {
      if (controls_.editMenuEnabled) (this->*handler)();
    });
  };
  editEntry(w_.insertCsv, &MainWindow::InsertCsvClick);
  editEntry(w_.pastCsv, &MainWindow::PastCsvClick);
  editEntry(w_.delCsv, &MainWindow::DelCsvClick);
  editEntry(w_.cutCsv, &MainWindow::CutCsvClick);
  connect(&worker_, &ConversionWorker::progress, this, &MainWindow::OnProgress);
  connect(&worker_, &ConversionWorker::finished, this, &MainWindow::OnRunFinished);
}

void MainWindow::Mirror() {
  w_.conv->setEnabled(controls_.convEnabled);
  w_.frame1->setEnabled(controls_.frameEnabled);
  w_.label1->setVisible(controls_.label1Visible);
  w_.label2->setVisible(controls_.label2Visible);
  w_.label2->setText(Q(label2Caption_));
  w_.text1->setVisible(controls_.text1Visible);
  w_.dispcode->setVisible(controls_.gridVisible);
  for (std::size_t i = 0; i < w_.db.size(); ++i) w_.db[i]->setEnabled(controls_.dbEnabled[i]);
  w_.editMenu->menuAction()->setEnabled(controls_.editMenuEnabled);
}

void MainWindow::ShowGrid() { w_.dispcode->Show(grid_); }

MainWindow::Snapshot MainWindow::Take() const {
  return {settings_, grid_, controls_, label2Caption_, w_.dbGroup->checkedId()};
}

void MainWindow::Restore(const Snapshot& snapshot) {
  settings_ = snapshot.settings;
  grid_ = snapshot.grid;
  controls_ = snapshot.controls;
  label2Caption_ = snapshot.label2Caption;
  ClearDbSelection();
  if (snapshot.selectedDb >= 0) w_.db[static_cast<std::size_t>(snapshot.selectedDb)]->setChecked(true);
  Mirror();
  ShowGrid();
}

bool MainWindow::Busy() {
  if (ended_) return true;
  if (!worker_.IsRunning()) return false;
  QApplication::beep();
  emit commandRefused();
  return true;
}

Answer MainWindow::Say(std::u16string_view text, Icon icon, Buttons buttons) {
  return prompts_.Ask(Message{std::u16string(captions::kAppTitle), std::u16string(text), icon, buttons});
}

void MainWindow::ShowFailure(std::u16string_view heading, const std::string& detail) {
  Say(std::u16string(heading) + u"\r" + U(detail), Icon::Critical, Buttons::Ok);
}

void MainWindow::End() {
  if (ended_) return;
  ended_ = true;
  emit programEnded();
  close();
}

// ---- Control state, Data Base options, About, exit -------------------------

void MainWindow::SetControlState(bool on) {
  controls_.Set(on);
  Mirror();
}

void MainWindow::DbClick(int index) {
  if (ended_ || index < 0 || index > 3) return;
  settings_.databaseKind = static_cast<DatabaseKind>(index + 1);
}

void MainWindow::SelectDb(int index) {
  w_.db[static_cast<std::size_t>(index)]->setChecked(true);
  DbClick(index);
}

void MainWindow::ClearDbSelection() {
  // An exclusive group cannot be emptied button by button.
  w_.dbGroup->setExclusive(false);
  for (QRadioButton* button : w_.db) button->setChecked(false);
  w_.dbGroup->setExclusive(true);
}

void MainWindow::AboutClick() {
  if (ended_) return;
  Say(captions::kAboutText, Icon::Information, Buttons::Ok);
}

void MainWindow::PendClick() {
  if (ended_) return;
  // During a run, exit goes the way of closing: ask, then stop the run cleanly.
  if (worker_.IsRunning()) {
    close();
    return;
  }
  End();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (ended_) {
    event->accept();
    return;
  }
  if (worker_.IsRunning()) {
    // The run may end while the question is open; its completion waits.
    askingToStop_ = true;
    const Answer answer = Say(captions::kStopRunQuestion, Icon::Warning, Buttons::YesNo);
    askingToStop_ = false;
    if (answer != Answer::Yes) {
      event->ignore();
      if (finishDeferred_) {
        finishDeferred_ = false;
        OnRunFinished();
      }
      return;
    }
    worker_.Cancel();
    worker_.Wait();
  }
  ended_ = true;
  emit programEnded();
  event->accept();
}

// ---- Loading ----------------------------------------------------------------

void MainWindow::FileopenClick() { LoadLog(0); }

void MainWindow::FopenClick() { LoadLog(0); }

void MainWindow::LoadLog(int source) { Load(source != 1, settings_.inputPath); }

void MainWindow::LoadFile(const std::string& path) { Load(false, path); }

void MainWindow::FormOleDragDrop(const QMimeData* data, Qt::DropAction effect) {
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

void MainWindow::FpasteClick() {
  if (Busy()) return;
  const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
  if (text.isEmpty()) return;
  const std::string path = PasteFilePath(std::getenv("TMP"));
  const std::u16string content = ClipboardLineBreaks(std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                                                                    static_cast<std::size_t>(text.size())));
  std::uint64_t unencodable = 0;
  try {
    unencodable = WritePasteFile(path, content);
  } catch (const IoError& e) {
    ShowFailure(captions::kPasteFailed, e.what());
    return;
  }
  if (unencodable > 0) {
    Say(u"貼り付けたテキストのうち " + Number(unencodable) +
            u" 文字はコードページ932で表せないため、「?」に置き換えて読み込みます。",
        Icon::Warning, Buttons::Ok);
  }
  LoadFile(path);
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
        FormOleDragDrop(data, effect);
        delete data;
      },
      Qt::QueuedConnection);
}

bool MainWindow::AskForLog() {
  for (;;) {
    settings_.inputPath = dialog_.AskLogFile(prompts_);
    if (!settings_.inputPath.empty()) return true;
    if (Say(U(kBadFileNameMessage), Icon::None, Buttons::OkCancel) == Answer::Cancel) {
      End();
      return false;
    }
  }
}

void MainWindow::Load(bool ask, const std::string& path) {
  if (Busy()) return;
  const Snapshot before = Take();
  if (!ask) settings_.inputPath = path;
  try {
    for (;;) {
      if (ask && !AskForLog()) return;
      ResetItemGrid();
      if (!ChkDb()) return;
      if (settings_.databaseKind != DatabaseKind::None) break;
      ask = true;
    }
    SetControlState(true);
    if (settings_.databaseKind == DatabaseKind::Patolis) {
      controls_.ShowPatolisSide();
      ShowAnswerLayout();
      Mirror();
    } else {
      DiscoverItems();
    }
  } catch (const IoError& e) {
    // A log that cannot be read leaves the window with the log it had.
    Restore(before);
    ShowFailure(captions::kLoadFailed, e.what());
  }
}

void MainWindow::ResetItemGrid() {
  grid_.Reset();
  ShowGrid();
}

bool MainWindow::ChkDb() {
  settings_.databaseKind = DatabaseKind::None;
  ClearDbSelection();
  const DatabaseKind kind = DetectDatabase(settings_.inputPath);
  if (kind != DatabaseKind::None) {
    SelectDb(static_cast<int>(kind) - 1);
    return true;
  }
  if (Say(U(kNotALogMessage), Icon::None, Buttons::OkCancel) == Answer::Cancel) {
    End();
    return false;
  }
  return true;
}

void MainWindow::ShowAnswerLayout() {
  const std::optional<AnswerHeader> header = FindAnswerHeader(settings_.inputPath);
  if (!header) return;
  label2Caption_ = std::u16string(captions::kLayoutPrefix) + header->layoutCharacter;
  controls_.label2Visible = true;
}

void MainWindow::DiscoverItems() {
  const Discovery found = trovlin::DiscoverItems(settings_.inputPath);
  std::vector<std::u16string> codes;
  std::vector<std::u16string> marks;
  for (const DiscoveredItem& item : found.items) {
    codes.push_back(item.code);
    marks.push_back(item.mark);
  }
  grid_.Fill(codes, marks);
  controls_.ShowTaggedSide();
  Mirror();
  ShowGrid();
  if (found.leftOut > 0) {
    Say(u"最初の回答の項目は" + Number(kMaxTaggedItems) + u"を超えています。\r先頭から" + Number(kMaxTaggedItems) +
            u"項目を表に載せました（載せていない項目: " + Number(found.leftOut) + u"）。",
        Icon::Warning, Buttons::Ok);
  }
}

// ---- The item grid ------------------------------------------------------------

void MainWindow::DispcodeClick(int row, int column) {
  if (Busy()) return;
  // A click on the fixed header row or row-number column selects nothing.
  if (row < 1 || column < 1) {
    ShowGrid();
    return;
  }
  grid_.SetCurrentCell(row, column);
  const ItemGridModel::ClickResult click = grid_.Click();
  ShowGrid();
  if (click.editCode) {
    const QString code = Q(click.codeText);
    if (w_.text1->text() != code) w_.text1->setText(code);
    w_.text1->setFocus();
  }
}

void MainWindow::Text1Change() {
  if (ended_) return;
  if (worker_.IsRunning()) {
    // The box is read-only during a run; a change can only come from code.
    emit commandRefused();
    return;
  }
  const QString text = w_.text1->text();
  if (grid_.EditCurrentCell(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                                static_cast<std::size_t>(text.size())))) {
    ShowGrid();
  }
}

void MainWindow::InsertCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Insert();
  ShowGrid();
}

void MainWindow::PastCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Paste();
  ShowGrid();
}

void MainWindow::DelCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Delete();
  ShowGrid();
}

void MainWindow::CutCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Cut();
  ShowGrid();
}

// ---- The conversion run -------------------------------------------------------

void MainWindow::MconvClick() { ConvClick(); }

bool MainWindow::ChooseOutputFile() {
  for (;;) {
    const std::string proposal = ProposeOutputName(settings_.inputPath);
    settings_.outputPath = proposal;
    settings_.outputPath = dialog_.AskOutputFile(prompts_, proposal);
    std::string_view problem;
    if (settings_.outputPath.empty()) {
      problem = kBadFileNameMessage;
    } else if (IsSameFile(settings_.inputPath, settings_.outputPath)) {
      problem = kSameFileMessage;
    } else {
      return true;
    }
    if (Say(U(problem), Icon::None, Buttons::OkCancel) == Answer::Cancel) {
      End();
      return false;
    }
  }
}

void MainWindow::ConvClick() {
  if (Busy()) return;
  // The menu entry can start a run before any log has been loaded.
  if (settings_.inputPath.empty() || settings_.databaseKind == DatabaseKind::None) return;
  if (!ChooseOutputFile()) return;
  SetRunOptions(settings_, w_.delHit->isChecked(), w_.conH->isChecked());

  const ConversionSettings settings = settings_;
  if (settings.databaseName == u"PATOLIS") {
    StartRun([settings](EventListener* listener, DecodeReporter* reporter) {
      const PatolisOutcome outcome = ConvertPatolis(settings, listener, reporter);
      RunResult result;
      result.rows = outcome.rows;
      result.patolisFailed = outcome.status == PatolisOutcome::Status::Failed;
      result.patolisFailure = outcome.failure;
      return result;
    });
    return;
  }
  ItemTable items = grid_.ReadItemTable();
  if (items.codes.empty()) return;
  StartRun([settings, items = std::move(items)](EventListener* listener, DecodeReporter* reporter) {
    const RunStatistics stats = RunTaggedConversion(settings, items, listener, reporter);
    RunResult result;
    result.rows = stats.rows;
    result.unencodable = stats.unencodable;
    return result;
  });
}

void MainWindow::StartRun(ConversionWorker::Job job) {
  w_.progress->setValue(0);
  w_.progress->show();
  w_.text1->setReadOnly(true);
  worker_.Start(std::move(job));
}

void MainWindow::OnProgress(quint64 bytesRead, quint64 bytesTotal) {
  if (bytesTotal > 0) w_.progress->setValue(static_cast<int>(bytesRead * 1000 / bytesTotal));
}

void MainWindow::OnRunFinished() {
  if (askingToStop_) {
    finishDeferred_ = true;
    return;
  }
  w_.progress->hide();
  w_.text1->setReadOnly(false);
  if (ended_) return;
  const RunResult result = worker_.result();
  if (result.status == RunResult::Status::Cancelled) {
    emit runFinished();
    return;
  }
  if (result.status == RunResult::Status::Failed) {
    // Nothing was written; the window stays as it was before the run.
    ShowFailure(captions::kConvertFailed, result.error);
    emit runFinished();
    return;
  }
  if (result.patolisFailed) {
    prompts_.Ask(Message{U(kPatolisFailureTitle), U(result.patolisFailure), Icon::Critical, Buttons::Ok});
  }
  std::u16string trouble;
  if (result.invalidBytes > 0) {
    trouble += u"ログの " + Number(result.invalidBytes) + u" バイトはコードページ932の文字ではないため、そのままCSVに書き込みました（最初は " +
               Number(result.firstInvalidLine) + u" 行目）。";
  }
  if (result.unencodable > 0) {
    if (!trouble.empty()) trouble += u"\r";
    trouble += u"コードページ932で表せない " + Number(result.unencodable) + u" 文字を「?」としてCSVに書き込みました。";
  }
  if (!trouble.empty()) Say(trouble, Icon::Warning, Buttons::Ok);

  if (Say(captions::kDone, Icon::None, Buttons::YesNo) == Answer::Yes) {
    emit runFinished();
    End();
    return;
  }
  SetControlState(false);
  emit runFinished();
}

}  // namespace trovlin::app
