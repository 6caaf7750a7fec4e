// The main window: loading a log, the Data Base options, the item grid and
// its edit menu (item lists saved to and loaded from files included), the
// CSV options, the preview of a tagged log's first CSV rows, the conversion
// run with its report, and the ending of the program.
//
// The handlers are public, so that the widgets, main() and tests all go
// through the same code. Every question
// goes through the Prompts given at construction. Conversions run on a
// worker thread; while one is under way a second run, a load, a grid edit
// and the exit entry are refused (commandRefused() is emitted), and closing
// the window asks whether to stop the run; a stopped or failed run writes no
// CSV and keeps an older file of that name.
//
// After a tagged log is loaded, a second worker reads it through once more,
// writing nothing, to count in how many records each item of the grid has a
// value (the grid's tooltips); each run's report renews those counts. A new
// load stops a count under way.
//
// Every grid edit (clicks that toggle a mark, the edit box, the row entries,
// an item list loaded) can be undone and redone until the next load. The
// window remembers (WindowMemory) its geometry, the CSV options, the folders
// last used and the logs loaded last. Its title names the loaded log.
//
// "Ending the program" hides the window and emits programEnded(); main()
// quits the application on it. After that no handler does anything.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUndoStack>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "app/common_dialog.h"
#include "app/control_state.h"
#include "app/conversion_worker.h"
#include "app/item_grid_model.h"
#include "app/prompts.h"
#include "app/window_layout.h"
#include "app/window_memory.h"
#include "common/conversion_settings.h"
#include "input/discover.h"
#include "session/conversion.h"

namespace trovlin::app {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(Prompts& prompts, QWidget* parent = nullptr);
  ~MainWindow() override;

  // Loading: ask for a log with the open dialog; load the log at path, as a
  // drop of that one file does; write the clipboard's text to the paste file
  // and load that; load the first local file of data dropped on the window.
  void OpenLog();
  void LoadFile(const std::string& path);
  void PasteLog();
  void LoadDropped(const QMimeData* data, Qt::DropAction effect);
  // An entry of the recent logs; a log no longer there is taken off the
  // list, with a message.
  void OpenRecentLog(const QString& path);

  // The convert button and menu entry: asks for the output file and starts
  // the run.
  void StartConversion();
  // The exit entry; during a run it asks first, as closing does.
  void Exit();
  void ShowAbout();
  // index: 0 STN, 1 DIALOG, 2 JOIS, 3 PATOLIS.
  void ChooseDatabase(int index);
  // The CSV options of the 設定 menu: the output encoding and the quoting.
  void ChooseCsvEncoding(CsvEncoding encoding);
  void ChooseDoubleQuotes(bool checked);
  void ChooseSkipEmptyRows(bool checked);
  void ChooseProtectFormulas(bool checked);
  void ChangeCsvOption(const std::function<void(ConversionSettings&)>& change);
  // Where the items of a tagged log are read: its first block (unchecked) or
  // its first answer record. A change reloads the loaded log, as a drop of
  // it would; during a run it is refused and the check mark goes back.
  void ChooseFirstAnswer(bool checked);
  // The report entry: the last run's report in a dialog of its own.
  void ShowReport();
  // The CSV the last run wrote, and its folder, in the desktop's programs.
  void OpenCsv();
  void OpenCsvFolder();
  void SetControlState(bool on);

  // The item grid: a click on the cell (row, column), the edit box's change,
  // the four row entries of the edit menu and its two item-list entries.
  void ClickGridCell(int row, int column);
  void EditCurrentCode();
  void InsertRow();
  void PasteRow();
  void DeleteRow();
  void CutRow();
  void Undo();
  void Redo();
  void LoadItemList();
  void SaveItemList();

  bool IsRunning() const { return worker_.IsRunning(); }
  bool IsCounting() const { return counter_.IsRunning(); }
  bool IsEnded() const { return ended_; }
  // Stops the run under way: nothing is written, nothing is asked. The
  // 中止 button and Escape do this; a workbook being finished cannot be
  // stopped, and then nothing happens.
  void CancelRun();
  // F1: the manual, in the desktop's program for it.
  void ShowManual();

  const ConversionSettings& settings() const { return settings_; }
  const ItemGridModel& grid() const { return grid_; }
  const ControlState& controls() const { return controls_; }
  const WindowWidgets& widgets() const { return widgets_; }
  const CommonDialog& commonDialog() const { return dialog_; }

 signals:
  void programEnded();
  // A run has been handled to its end: completion answered, failure shown,
  // or stopped.
  void runFinished();
  void commandRefused();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct Snapshot {
    ConversionSettings settings;
    ItemGridModel grid;
    ControlState controls;
    std::u16string layoutCaption;
    int selectedDatabase = -1;
    QString statusText;
    std::u16string patolisRefusal;
  };

  void Connect();
  void Mirror();
  void ShowGrid();
  // After every change to what a tagged run would write.
  void UpdatePreview();
  void GridChanged();
  Snapshot Take() const;
  void Restore(const Snapshot& snapshot);

  // The load routine: asks for a file first when ask is set, otherwise loads
  // path. Keeps the previous log when the new one cannot be read. known: the
  // encoding of path when the window wrote it itself (the paste file); a log
  // chosen in the dialog is always sniffed.
  void Load(bool ask, const std::string& path, std::optional<LogEncoding> known = std::nullopt);
  // The open dialog until a name is chosen (true, in path) or the user
  // cancels (false).
  bool AskForLog(std::string& path);
  // Into candidate: its service, or a question whether to choose another
  // file. Returns false when the user cancelled.
  bool DetectService(ConversionSettings& candidate, std::optional<LogEncoding> known);
  // A PATOLIS log whose layout cannot be converted says so now.
  void CheckPatolisLayout();
  void ResetItemGrid();
  void SelectDatabase(int index);
  void ClearDatabaseSelection();
  void ShowAnswerLayout();
  void DiscoverItems();
  void FillGrid(const std::vector<DiscoveredItem>& items);
  // An entry of the edit menu: the grid edit, with the grid focused.
  void EditGrid(bool (ItemGridModel::*edit)());
  // Keeps the edit from before to the grid as it is now for undo; a typing
  // edit joins the typing before it in the same cell.
  void KeepEdit(const ItemGridModel& before, bool typing = false);
  // Undo and redo: the grid as it was, the cut row as it is.
  void ApplyGrid(const ItemGridModel& grid);
  // The edit box shows the current cell's code, or nothing off a code cell.
  void RefreshCodeEdit();
  void RememberLog();
  void ShowRecentLogs();
  std::string AskItemList(FileDialogRequest::Kind kind);

  // Asks for the output until it names a file the request may write.
  bool ChooseOutputFile(ConversionRequest& request);
  // What the window's log, grid and menus ask of a run.
  ConversionRequest RequestFromWindow(RunMode mode) const;
  void StartRun(ConversionWorker::Job job);
  void OnProgress(quint64 bytesRead, quint64 bytesTotal);
  void OnRunFinished();
  // The run's controls: the progress, the 中止 button in place of 変換, and
  // the commands that wait for the run's end disabled.
  void MirrorRun();
  // The status bar during a run: the percentage read, or the workbook
  // being finished (which cannot be stopped).
  void ShowRunPhase(quint64 bytesRead, quint64 bytesTotal);
  // The run has ended: its controls give way to the window's own state.
  void EndRunControls();
  // After No to the completion question: no log is loaded any more.
  void Unload();
  // The items the grid's empty row leaves out, in the status bar.
  void ShowUnreadItems();
  // path to the desktop's program; noOpener (with the path) when there is none.
  void OpenOnDesktop(const QString& path, std::u16string_view noOpener);
  // Warns of bytes carried over and characters replaced by a finished run.
  void ReportTrouble(const RunResult& result);
  // A PATOLIS run that found no answer layout 1-4 to convert.
  void ReportNothingConverted(const std::optional<AnswerHeader>& header);
  void KeepReport(const ConversionReport& report);
  DiscoveryStart Discovering() const;
  // Starts counting the grid's items in the loaded log; a count under way is
  // stopped and this one follows it.
  void CountItems();
  void OnCountFinished();
  void KeepItemRows(const ConversionReport& report);

  bool Busy();  // true (and refused) while a run is under way or after the end
  Answer Say(std::u16string_view text, Icon icon, Buttons buttons);
  // failure: an exception caught, usually an IoError.
  void ShowFailure(std::u16string_view heading, std::exception_ptr failure);
  void End();

  Prompts& prompts_;
  WindowWidgets widgets_;
  CommonDialog dialog_;
  ConversionSettings settings_;
  ItemGridModel grid_;
  ControlState controls_ = InitialControlState();
  std::u16string layoutCaption_;
  std::string lastItemList_;  // the item list file last saved or loaded
  std::string lastCsv_;       // the CSV the last run wrote
  QUndoStack undo_;
  WindowMemory memory_;
  QElapsedTimer runClock_;
  ConversionWorker worker_;
  ConversionWorker counter_;
  bool countAgain_ = false;
  std::map<std::u16string, std::uint64_t> itemRows_;  // code -> records with a value
  std::uint64_t records_ = 0;
  std::optional<ConversionReport> lastReport_;
  bool lastSkippedEmptyRows_ = false;
  QPlainTextEdit* reportView_ = nullptr;  // in the report dialog, made when first asked for
  // Why the loaded PATOLIS log cannot be converted; "" when it can.
  std::u16string patolisRefusal_;
  ItemGridModel::UnreadItems runUnread_;   // of the grid the run under way read
  ItemGridModel::UnreadItems lastUnread_;  // of the grid the last report's run read
  bool finishingBook_ = false;             // the run's log is read; its workbook is being written
  bool ended_ = false;
  bool askingToStop_ = false;
  bool finishDeferred_ = false;
};

}  // namespace trovlin::app
