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
#include "app/refusal_message.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "input/detect.h"
#include "input/discover.h"
#include "input/item_preset.h"
#include "input/log_encoding.h"
#include "input/open_log.h"
#include "input/output_name.h"
#include "patolis/patolis.h"
#include "tagged/tagged_run.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin::app {
namespace {

QString Q(std::u16string_view text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

std::u16string U(std::string_view utf8) { return Utf8ToUtf16(utf8); }

std::u16string Number(std::uint64_t n) { return U(std::to_string(n)); }

bool IsUtf16(LogEncoding e) { return e == LogEncoding::Utf16Le || e == LogEncoding::Utf16Be; }

// The path of a local file in the form the core opens.
std::string LocalPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

constexpr std::size_t kPreviewRows = 5;

// The preview's text of CSV bytes: one line per row.
std::u16string PreviewText(std::string_view csv, CsvEncoding encoding) {
  std::u16string decoded;
  if (encoding == CsvEncoding::Cp932) {
    DecodeCp932(csv, decoded);
  } else {
    if (csv.starts_with(kUtf8Bom)) csv.remove_prefix(kUtf8Bom.size());
    decoded = Utf8ToUtf16(csv);
  }
  std::u16string text;
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    if (decoded[i] == u'\r' && i + 1 < decoded.size() && decoded[i + 1] == u'\n') {
      if (i + 2 < decoded.size()) text += u'\n';
      ++i;
    } else if (decoded[i] == u'\n') {
      text += captions::kPreviewLineFeed;
    } else {
      text += decoded[i];
    }
  }
  return text;
}

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
  editEntry(w_.loadItems, &MainWindow::LoadItemsClick);
  editEntry(w_.saveItems, &MainWindow::SaveItemsClick);
  for (std::size_t i = 0; i < w_.csvEncoding.size(); ++i) {
    connect(w_.csvEncoding[i], &QAction::triggered, this, [this, i] { CsvEncodingClick(static_cast<CsvEncoding>(i)); });
  }
  connect(w_.rfcQuotes, &QAction::triggered, this, &MainWindow::RfcQuotesClick);
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
  w_.previewPanel->setVisible(controls_.gridVisible);
  w_.logEncoding->setVisible(settings_.databaseKind != DatabaseKind::None);
  w_.logEncoding->setText(Q(settings_.inputEncoding == LogEncoding::Utf8 ? captions::kLogUtf8
                            : IsUtf16(settings_.inputEncoding)           ? captions::kLogUtf16
                                                                         : captions::kLogCp932));
  w_.csvEncoding[static_cast<std::size_t>(settings_.csvEncoding)]->setChecked(true);
  w_.rfcQuotes->setChecked(settings_.quoteStyle == QuoteStyle::Double);
}

void MainWindow::ShowGrid() { w_.dispcode->Show(grid_); }

void MainWindow::GridChanged() {
  ShowGrid();
  UpdatePreview();
}

void MainWindow::UpdatePreview() {
  ConversionSettings settings = settings_;
  SetRunOptions(settings, w_.delHit->isChecked(), w_.conH->isChecked());
  const ItemTable items = grid_.ReadItemTable();
  std::u16string text;
  // A PATOLIS run writes its layout's fixed columns, not the grid's.
  if (settings.databaseKind != DatabaseKind::None && settings.databaseKind != DatabaseKind::Patolis &&
      !items.codes.empty()) {
    try {
      text = PreviewText(PreviewTaggedConversion(settings, items, kPreviewRows), settings.csvEncoding);
    } catch (const IoError& e) {
      text = std::u16string(captions::kPreviewFailed) + U(e.what());
    }
  }
  w_.preview->setPlainText(Q(text));
}

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
  GridChanged();
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
  UpdatePreview();
}

void MainWindow::CsvEncodingClick(CsvEncoding encoding) {
  if (ended_) return;
  settings_.csvEncoding = encoding;
  Mirror();
  UpdatePreview();
}

void MainWindow::RfcQuotesClick(bool checked) {
  if (ended_) return;
  settings_.quoteStyle = checked ? QuoteStyle::Double : QuoteStyle::Apostrophe;
  Mirror();
  UpdatePreview();
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
  const std::u16string content = ClipboardLineBreaks(
      std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size())));
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

void MainWindow::Load(bool ask, const std::string& path, std::optional<LogEncoding> known) {
  if (Busy()) return;
  const Snapshot before = Take();
  if (!ask) settings_.inputPath = path;
  try {
    for (;;) {
      if (ask) {
        if (!AskForLog()) return;
        known.reset();
      }
      ResetItemGrid();
      if (!ChkDb(known)) return;
      if (settings_.databaseKind != DatabaseKind::None) break;
      ask = true;
    }
    SetControlState(true);
    if (settings_.databaseKind == DatabaseKind::Patolis) {
      controls_.ShowPatolisSide();
      ShowAnswerLayout();
      Mirror();
      UpdatePreview();
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

bool MainWindow::ChkDb(std::optional<LogEncoding> known) {
  settings_.databaseKind = DatabaseKind::None;
  ClearDbSelection();
  const OpenedLog opened = OpenLog(settings_.inputPath, known);
  settings_.SetInputFormat(opened.format);
  if (opened.kind != DatabaseKind::None) {
    SelectDb(static_cast<int>(opened.kind) - 1);
    return true;
  }
  if (Say(RefusalMessage(settings_.inputPath, opened), Icon::None, Buttons::OkCancel) == Answer::Cancel) {
    End();
    return false;
  }
  return true;
}

void MainWindow::ShowAnswerLayout() {
  const std::optional<AnswerHeader> header = FindAnswerHeader(settings_.inputPath, settings_.InputFormat());
  if (!header) return;
  label2Caption_ = std::u16string(captions::kLayoutPrefix) + header->layoutCharacter;
  controls_.label2Visible = true;
}

void MainWindow::DiscoverItems() {
  const Discovery found = trovlin::DiscoverItems(settings_.inputPath, settings_.InputFormat());
  std::vector<std::u16string> codes;
  std::vector<std::u16string> marks;
  for (const DiscoveredItem& item : found.items) {
    codes.push_back(item.code);
    marks.push_back(item.mark);
  }
  grid_.Fill(codes, marks);
  controls_.ShowTaggedSide();
  Mirror();
  GridChanged();
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
    GridChanged();
  }
}

void MainWindow::InsertCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Insert();
  GridChanged();
}

void MainWindow::PastCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Paste();
  GridChanged();
}

void MainWindow::DelCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Delete();
  GridChanged();
}

void MainWindow::CutCsvClick() {
  if (Busy()) return;
  w_.dispcode->setFocus();
  grid_.Cut();
  GridChanged();
}

// The open or save dialog of an item list: the chosen path, or "".
std::string MainWindow::AskItemList(FileDialogRequest::Kind kind) {
  const bool open = kind == FileDialogRequest::Kind::Open;
  FileDialogRequest request;
  request.kind = kind;
  request.title = open ? captions::kLoadItemsTitle : captions::kSaveItemsTitle;
  request.filter = captions::kItemsFilter;
  request.filterIndex = 1;
  request.defaultExt = captions::kItemsDefaultExt;
  request.flags = open ? CommonDialog::kFileMustExist | CommonDialog::kHideReadOnly : CommonDialog::kSaveFlags;
  request.fileName = lastItemList_;
  const FileDialogResult result = prompts_.ShowFileDialog(request);
  if (!result.accepted || result.fileName.empty()) return std::string();
  lastItemList_ = result.fileName;
  return result.fileName;
}

void MainWindow::LoadItemsClick() {
  if (Busy()) return;
  const std::string path = AskItemList(FileDialogRequest::Kind::Open);
  if (path.empty()) return;
  std::vector<DiscoveredItem> list;
  std::vector<std::u16string> missing;
  try {
    list = LoadItemPreset(path);
    CheckPresetConvertible(path, list);
    missing = CodesMissingFrom(list, trovlin::DiscoverItems(settings_.inputPath, settings_.InputFormat()));
  } catch (const IoError& e) {
    ShowFailure(captions::kItemsLoadFailed, e.what());
    return;
  }
  std::vector<std::u16string> codes;
  std::vector<std::u16string> marks;
  for (const DiscoveredItem& item : list) {
    codes.push_back(item.code);
    marks.push_back(item.mark);
  }
  grid_.Reset();
  grid_.Fill(codes, marks);
  GridChanged();
  if (!missing.empty()) {
    std::u16string names;
    for (const std::u16string& code : missing) names += (names.empty() ? u"" : u", ") + code;
    Say(u"このログの最初の回答にない項目があります: " + names + u"\rこれらの項目は表に残し、CSVの列は空になります。",
        Icon::Warning, Buttons::Ok);
  }
}

void MainWindow::SaveItemsClick() {
  if (Busy()) return;
  const ItemTable table = grid_.ReadItemTable();
  // A list of no item could not be loaded again.
  if (table.codes.empty()) return;
  std::vector<DiscoveredItem> list;
  for (std::size_t i = 0; i < table.codes.size(); ++i) {
    list.push_back({table.codes[i], table.notJoined[i] ? u"" : std::u16string(ItemGridModel::kJoinMark)});
  }
  const std::string path = AskItemList(FileDialogRequest::Kind::Save);
  if (path.empty()) return;
  try {
    SaveItemPreset(path, list);
  } catch (const IoError& e) {
    ShowFailure(captions::kItemsSaveFailed, e.what());
  }
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
      result.unencodable = outcome.unencodable;
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
    const std::u16string_view encoding = settings_.inputEncoding == LogEncoding::Utf8 ? u"UTF-8"
                                         : IsUtf16(settings_.inputEncoding)           ? u"UTF-16"
                                                                                      : u"コードページ932";
    const std::u16string_view written =
        settings_.csvEncoding == CsvEncoding::Cp932 ? u"そのまま" : u"U+FFFD（�）として";
    trouble += u"ログの " + Number(result.invalidBytes) + u" バイトは" + std::u16string(encoding) +
               u"の文字ではないため、" + std::u16string(written) + u"CSVに書き込みました（最初は " +
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
