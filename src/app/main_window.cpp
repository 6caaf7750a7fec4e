// The window's frame: construction and wiring, the mirror of its state in the
// widgets, the preview, and the handlers that belong to no single section
// (the Data Base options, the CSV options, About and the end of the program).
// Loading, grid editing, the conversion run and its report have files of
// their own.
#include "app/main_window.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QScreen>
#include <QUrl>
#include <functional>

#include "app/captions.h"
#include "app/report_page.h"
#include "app/window_text.h"
#include "common/database_kind.h"
#include "common/errors.h"
#include "session/log_session.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin::app {
namespace {

constexpr std::size_t kPreviewRows = 5;
constexpr int kFirstWidthTwips = 9600;
constexpr int kFirstHeightTwips = 9000;

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
    : QMainWindow(parent),
      prompts_(prompts),
      widgets_(BuildWindowWidgets(this)),
      layoutCaption_(captions::kLayoutLabel) {
  bool firstAnswer = false;
  memory_.ReadCsvOptions(settings_, firstAnswer);
  widgets_.firstAnswerEntry->setChecked(firstAnswer);
  bool removeStars = true, halfWidth = true;
  memory_.ReadRunOptions(removeStars, halfWidth);
  widgets_.removeStarsEntry->setChecked(removeStars);
  widgets_.halfWidthEntry->setChecked(halfWidth);
  setAcceptDrops(true);
  Connect();
  Mirror();
  ShowGrid();
  ShowRecentLogs();
  // The design's size is the smallest and the first; the user's own size
  // and place follow from the last session.
  adjustSize();
  setMinimumSize(minimumSizeHint());
  // A first start opens at a size that shows the grid and the preview;
  // the remembered size is the user's.
  resize(
      minimumSize().expandedTo(QSize(TwipsToPixelsX(this, kFirstWidthTwips), TwipsToPixelsY(this, kFirstHeightTwips))));
  restoreGeometry(memory_.Geometry());
  // The place may not survive another screen or scale factor; the size
  // does, as far as the screen holds it.
  const QSize kept = memory_.Size();
  if (kept.isValid()) resize(kept);
  if (const QScreen* shown = screen())
    resize(size().boundedTo(shown->availableGeometry().size()).expandedTo(minimumSize()));
}

MainWindow::~MainWindow() {
  worker_.Cancel();
  counter_.Cancel();
  worker_.Wait();
  counter_.Wait();
}

void MainWindow::Connect() {
  connect(widgets_.loadButton, &QPushButton::clicked, this, &MainWindow::OpenLog);
  connect(widgets_.loadEntry, &QAction::triggered, this, &MainWindow::OpenLog);
  connect(widgets_.pasteEntry, &QAction::triggered, this, &MainWindow::PasteLog);
  connect(widgets_.convertButton, &QPushButton::clicked, this, &MainWindow::StartConversion);
  connect(widgets_.convertEntry, &QAction::triggered, this, &MainWindow::StartConversion);
  connect(widgets_.exitEntry, &QAction::triggered, this, &MainWindow::Exit);
  connect(widgets_.aboutEntry, &QAction::triggered, this, &MainWindow::ShowAbout);
  connect(widgets_.databaseGroup, &QButtonGroup::idClicked, this, &MainWindow::ChooseDatabase);
  connect(widgets_.itemGrid, &ItemGridView::cellPicked, this, &MainWindow::ClickGridCell);
  connect(widgets_.itemGrid, &ItemGridView::currentMoved, this, [this](int row, int column) {
    // The fixed row and column cannot hold the current cell.
    if (row >= 1 && column >= 1) {
      grid_.SetCurrentCell(row, column);
    } else {
      ShowGrid();
    }
  });
  connect(widgets_.codeEdit, &QLineEdit::textChanged, this, &MainWindow::EditCurrentCode);
  // The entries of the edit menu, shortcuts included, are reachable only
  // while the menu itself is enabled.
  auto editEntry = [this](QAction* action, void (MainWindow::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] {
      if (controls_.editMenuEnabled) (this->*handler)();
    });
  };
  editEntry(widgets_.insertRowEntry, &MainWindow::InsertRow);
  editEntry(widgets_.pasteRowEntry, &MainWindow::PasteRow);
  editEntry(widgets_.deleteRowEntry, &MainWindow::DeleteRow);
  editEntry(widgets_.cutRowEntry, &MainWindow::CutRow);
  editEntry(widgets_.undoEntry, &MainWindow::Undo);
  editEntry(widgets_.redoEntry, &MainWindow::Redo);
  connect(&undo_, &QUndoStack::canUndoChanged, widgets_.undoEntry, &QAction::setEnabled);
  connect(&undo_, &QUndoStack::canRedoChanged, widgets_.redoEntry, &QAction::setEnabled);
  // Return and Escape hand the keys back to the grid, where the edit
  // menu's shortcuts act on rows rather than on the box's text.
  connect(widgets_.codeEdit, &QLineEdit::returnPressed, widgets_.itemGrid, [this] { widgets_.itemGrid->setFocus(); });
  auto* back = new QAction(widgets_.codeEdit);
  back->setShortcut(Qt::Key_Escape);
  back->setShortcutContext(Qt::WidgetShortcut);
  widgets_.codeEdit->addAction(back);
  connect(back, &QAction::triggered, widgets_.itemGrid, [this] { widgets_.itemGrid->setFocus(); });
  connect(widgets_.openCsvEntry, &QAction::triggered, this, &MainWindow::OpenCsv);
  connect(widgets_.openCsvFolderEntry, &QAction::triggered, this, &MainWindow::OpenCsvFolder);
  editEntry(widgets_.loadListEntry, &MainWindow::LoadItemList);
  editEntry(widgets_.saveListEntry, &MainWindow::SaveItemList);
  for (std::size_t i = 0; i < widgets_.csvEncodingEntries.size(); ++i) {
    connect(widgets_.csvEncodingEntries[i], &QAction::triggered, this,
            [this, i] { ChooseCsvEncoding(static_cast<CsvEncoding>(i)); });
  }
  connect(widgets_.doubleQuotesEntry, &QAction::triggered, this, &MainWindow::ChooseDoubleQuotes);
  connect(widgets_.skipEmptyRowsEntry, &QAction::triggered, this, &MainWindow::ChooseSkipEmptyRows);
  connect(widgets_.protectFormulasEntry, &QAction::triggered, this, &MainWindow::ChooseProtectFormulas);
  connect(widgets_.firstAnswerEntry, &QAction::triggered, this, &MainWindow::ChooseFirstAnswer);
  for (QAction* option : {widgets_.removeStarsEntry, widgets_.halfWidthEntry}) {
    connect(option, &QAction::triggered, this, [this] {
      memory_.KeepRunOptions(widgets_.removeStarsEntry->isChecked(), widgets_.halfWidthEntry->isChecked());
      UpdatePreview();
    });
  }
  connect(widgets_.stopButton, &QPushButton::clicked, this, &MainWindow::CancelRun);
  auto* stop = new QAction(this);
  stop->setObjectName(QStringLiteral("stop_run"));
  stop->setShortcut(Qt::Key_Escape);
  stop->setEnabled(false);
  addAction(stop);
  connect(stop, &QAction::triggered, this, [this] {
    if (worker_.IsRunning()) CancelRun();
  });
  connect(widgets_.manualEntry, &QAction::triggered, this, &MainWindow::ShowManual);
  connect(widgets_.reportEntry, &QAction::triggered, this, &MainWindow::ShowReport);
  connect(&worker_, &ConversionWorker::progress, this, &MainWindow::OnProgress);
  connect(&worker_, &ConversionWorker::finished, this, &MainWindow::OnRunFinished);
  connect(&counter_, &ConversionWorker::finished, this, &MainWindow::OnCountFinished);
}

void MainWindow::Mirror() {
  // A PATOLIS log in a layout the converters do not know cannot be converted.
  const bool convertible = controls_.convertEnabled && patolisRefusal_.empty();
  widgets_.convertButton->setEnabled(convertible);
  widgets_.convertEntry->setEnabled(convertible);
  widgets_.databaseFrame->setEnabled(controls_.databaseFrameEnabled);
  widgets_.codeLabel->setVisible(controls_.codeLabelVisible);
  widgets_.layoutLabel->setVisible(controls_.layoutLabelVisible);
  widgets_.layoutLabel->setText(ToQt(layoutCaption_));
  widgets_.codeEdit->setVisible(controls_.codeEditVisible);
  widgets_.itemGrid->setVisible(controls_.gridVisible);
  for (std::size_t i = 0; i < widgets_.databaseOptions.size(); ++i)
    widgets_.databaseOptions[i]->setEnabled(controls_.databaseOptionsEnabled[i]);
  widgets_.editMenu->menuAction()->setEnabled(controls_.editMenuEnabled);
  widgets_.previewPanel->setVisible(controls_.gridVisible || controls_.layoutLabelVisible);
  widgets_.hint->setVisible(!controls_.gridVisible && !controls_.layoutLabelVisible);
  // Without the grid (a PATOLIS log) the room below the design goes to the preview.
  auto* column = static_cast<QBoxLayout*>(centralWidget()->layout());
  column->setStretch(0, controls_.gridVisible || !controls_.layoutLabelVisible ? 3 : 0);
  widgets_.logEncoding->setVisible(settings_.databaseKind != DatabaseKind::None);
  widgets_.logEncoding->setText(ToQt(settings_.inputEncoding == LogEncoding::Utf8 ? captions::kLogUtf8
                                     : IsUtf16(settings_.inputEncoding)           ? captions::kLogUtf16
                                                                                  : captions::kLogCp932));
  widgets_.csvEncodingEntries[static_cast<std::size_t>(settings_.csvEncoding)]->setChecked(true);
  widgets_.doubleQuotesEntry->setChecked(settings_.quoteStyle == QuoteStyle::Double);
  widgets_.skipEmptyRowsEntry->setChecked(settings_.skipEmptyRows);
  widgets_.protectFormulasEntry->setChecked(settings_.protectFormulas);
  widgets_.reportEntry->setEnabled(lastReport_.has_value());
  widgets_.openCsvEntry->setEnabled(!lastCsv_.empty());
  widgets_.openCsvFolderEntry->setEnabled(!lastCsv_.empty());
  widgets_.undoEntry->setEnabled(undo_.canUndo());
  widgets_.redoEntry->setEnabled(undo_.canRedo());
  const bool loaded = settings_.databaseKind != DatabaseKind::None && !settings_.inputPath.empty();
  const QString name = QFileInfo(QFile::decodeName(settings_.inputPath.c_str())).fileName();
  setWindowTitle(loaded ? ToQt(Fill(captions::kWindowWithLog, {FromQt(name)})) : ToQt(captions::kWindow));
  MirrorRun();
}

void MainWindow::ShowGrid() {
  widgets_.itemGrid->Show(grid_);
  for (int r = 1; r < grid_.RowCount(); ++r) {
    const auto counted = itemRows_.find(grid_.Cell(r, ItemGridModel::kCodeColumn));
    const QString tip = counted == itemRows_.end() ? QString() : ToQt(ItemRowsTip(counted->second, records_));
    for (int c = 0; c < ItemGridModel::kColumns; ++c) widgets_.itemGrid->item(r, c)->setToolTip(tip);
  }
}

void MainWindow::GridChanged() {
  ShowGrid();
  UpdatePreview();
  ShowUnreadItems();
}

void MainWindow::UpdatePreview() {
  ConversionSettings settings = settings_;
  SetRunOptions(settings, widgets_.removeStarsEntry->isChecked(), widgets_.halfWidthEntry->isChecked());
  const ItemTable items = grid_.ReadItemTable();
  std::u16string text;
  // A PATOLIS log shows its layout's fixed columns, not the grid's.
  if (settings.databaseKind != DatabaseKind::None &&
      (settings.databaseKind == DatabaseKind::Patolis || !items.codes.empty())) {
    try {
      text = PreviewText(Preview(settings, items, kPreviewRows), settings.csvEncoding);
    } catch (const IoError& e) {
      text = std::u16string(captions::kPreviewFailed) + FailureReason(e);
    }
  }
  widgets_.preview->setPlainText(ToQt(text));
}

MainWindow::Snapshot MainWindow::Take() const {
  return {settings_,
          grid_,
          controls_,
          layoutCaption_,
          widgets_.databaseGroup->checkedId(),
          widgets_.statusText->text(),
          patolisRefusal_};
}

void MainWindow::Restore(const Snapshot& snapshot) {
  settings_ = snapshot.settings;
  grid_ = snapshot.grid;
  controls_ = snapshot.controls;
  layoutCaption_ = snapshot.layoutCaption;
  patolisRefusal_ = snapshot.patolisRefusal;
  widgets_.statusText->setText(snapshot.statusText);
  ClearDatabaseSelection();
  if (snapshot.selectedDatabase >= 0)
    widgets_.databaseOptions[static_cast<std::size_t>(snapshot.selectedDatabase)]->setChecked(true);
  Mirror();
  GridChanged();
  CountItems();
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

void MainWindow::ShowFailure(std::u16string_view heading, std::exception_ptr failure) {
  Say(std::u16string(heading) + u"\r" + FailureDetail(std::move(failure)), Icon::Critical, Buttons::Ok);
}

void MainWindow::End() {
  if (ended_) return;
  ended_ = true;
  emit programEnded();
  close();
}

void MainWindow::SetControlState(bool on) {
  controls_.Set(on);
  Mirror();
}

void MainWindow::ChooseDatabase(int index) {
  if (ended_ || index < 0 || index > 3) return;
  ChooseService(settings_, static_cast<DatabaseKind>(index + 1));
  UpdatePreview();
  ShowUnreadItems();
}

// A CSV option: the settings take it, the menus mirror it, the preview shows it.
void MainWindow::ChangeCsvOption(const std::function<void(ConversionSettings&)>& change) {
  if (ended_) return;
  change(settings_);
  memory_.KeepCsvOptions(settings_, widgets_.firstAnswerEntry->isChecked());
  Mirror();
  UpdatePreview();
}

void MainWindow::ChooseCsvEncoding(CsvEncoding encoding) {
  ChangeCsvOption([&](ConversionSettings& s) { s.csvEncoding = encoding; });
}

void MainWindow::ChooseDoubleQuotes(bool checked) {
  ChangeCsvOption([&](ConversionSettings& s) { s.quoteStyle = checked ? QuoteStyle::Double : QuoteStyle::Apostrophe; });
}

void MainWindow::ChooseSkipEmptyRows(bool checked) {
  ChangeCsvOption([&](ConversionSettings& s) { s.skipEmptyRows = checked; });
}

void MainWindow::ChooseProtectFormulas(bool checked) {
  ChangeCsvOption([&](ConversionSettings& s) { s.protectFormulas = checked; });
}

void MainWindow::ChooseFirstAnswer(bool checked) {
  if (ended_) return;
  if (Busy()) {
    widgets_.firstAnswerEntry->setChecked(!checked);
    return;
  }
  memory_.KeepCsvOptions(settings_, checked);
  // A PATOLIS log has no items to read.
  if (settings_.inputPath.empty() || settings_.databaseKind == DatabaseKind::None ||
      settings_.databaseKind == DatabaseKind::Patolis) {
    return;
  }
  Load(false, settings_.inputPath, settings_.inputEncoding);
}

void MainWindow::SelectDatabase(int index) {
  widgets_.databaseOptions[static_cast<std::size_t>(index)]->setChecked(true);
  ChooseDatabase(index);
}

void MainWindow::ClearDatabaseSelection() {
  // An exclusive group cannot be emptied button by button.
  widgets_.databaseGroup->setExclusive(false);
  for (QRadioButton* button : widgets_.databaseOptions) button->setChecked(false);
  widgets_.databaseGroup->setExclusive(true);
}

void MainWindow::ShowAbout() {
  if (ended_) return;
  Say(Fill(captions::kAboutText, {Utf8ToUtf16(TROVLIN_VERSION)}), Icon::Information, Buttons::Ok);
}

void MainWindow::Exit() {
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
    memory_.KeepGeometry(saveGeometry());
    memory_.KeepSize(size());
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
  memory_.KeepGeometry(saveGeometry());
  memory_.KeepSize(size());
  emit programEnded();
  event->accept();
}

}  // namespace trovlin::app
