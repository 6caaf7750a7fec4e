// The main window's controls and menus, built once with their captions,
// names, positions, tab order, shortcuts, check marks and start-up state.
//
// Positions are the design's twips (1/1440 inch) converted at the screen's
// logical DPI, so the window keeps its proportions on any display. The design
// gives the window's smallest size; a larger window gives the room to the
// grid and the preview. Every
// control and menu entry carries its design name as its objectName (the
// glossary below). The
// window wires the handlers; this module only builds.
#pragma once

#include <QAction>
#include <QActionGroup>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <array>

#include "app/item_grid_view.h"

namespace trovlin::app {

int TwipsToPixelsX(const QWidget* widget, int twips);
int TwipsToPixelsY(const QWidget* widget, int twips);

// Object names of the controls, as the design named them (the window's own
// names for them on the right):
//   dispcode itemGrid, conv convertButton, Text1 codeEdit, Label1 codeLabel,
//   Label2 layoutLabel, Frame1 databaseFrame, DB0-DB3 databaseOptions,
//   fileopen loadButton; menus file, edit, stn (settingsMenu); entries
//   fopen loadEntry, fpaste pasteEntry, mconv convertEntry, pend exitEntry,
//   insert_csv insertRowEntry, past_csv pasteRowEntry, del_csv deleteRowEntry,
//   cut_csv cutRowEntry, load_items loadListEntry, save_items saveListEntry,
//   del_hit removeStarsEntry, con_h halfWidthEntry, rfc_quotes
//   doubleQuotesEntry, About aboutEntry; the window's own additions keep
//   names of that kind: mreport reportEntry, skip_empty_rows
//   skipEmptyRowsEntry, protect_formulas protectFormulasEntry, first_answer
//   firstAnswerEntry, recent_logs
//   recentMenu, open_csv openCsvEntry, open_csv_folder openCsvFolderEntry,
//   undo_items undoEntry, redo_items redoEntry, stop stopButton, hint,
//   grid_note gridNote, help helpMenu, manual manualEntry.
struct WindowWidgets {
  ItemGridView* itemGrid = nullptr;
  QPushButton* convertButton = nullptr;
  QLineEdit* codeEdit = nullptr;  // edits the grid's current cell
  QLabel* codeLabel = nullptr;    // "項目名", beside the edit box
  QLabel* layoutLabel = nullptr;  // a PATOLIS log's answer layout
  QGroupBox* databaseFrame = nullptr;
  std::array<QRadioButton*, 4> databaseOptions{};  // STN, DIALOG, JOIS, PATOLIS
  QButtonGroup* databaseGroup = nullptr;           // ids 0 to 3
  QPushButton* loadButton = nullptr;
  QProgressBar* progress = nullptr;   // shown only while a conversion runs
  QPushButton* stopButton = nullptr;  // 中止: in the convert button's place while a conversion runs
  QLabel* hint = nullptr;             // in the grid's place while no log is loaded
  // Below the design's client area, which keeps its size and positions.
  QWidget* previewPanel = nullptr;  // keeps its room when hidden
  QLabel* previewLabel = nullptr;
  QPlainTextEdit* preview = nullptr;
  QLabel* logEncoding = nullptr;  // in the status bar
  QLabel* gridNote = nullptr;     // under it, when shown: items the list's empty row leaves out
  QLabel* statusText = nullptr;   // under it: what the last load or run has to say

  QMenu* fileMenu = nullptr;
  QAction* loadEntry = nullptr;
  QAction* pasteEntry = nullptr;
  QAction* convertEntry = nullptr;
  QAction* reportEntry = nullptr;   // the last run's report
  QMenu* recentMenu = nullptr;      // the logs loaded last
  QAction* openCsvEntry = nullptr;  // the CSV the last run wrote, in the desktop's program
  QAction* openCsvFolderEntry = nullptr;
  QAction* exitEntry = nullptr;
  QMenu* editMenu = nullptr;
  QAction* insertRowEntry = nullptr;
  QAction* pasteRowEntry = nullptr;
  QAction* deleteRowEntry = nullptr;
  QAction* cutRowEntry = nullptr;
  QAction* loadListEntry = nullptr;
  QAction* saveListEntry = nullptr;
  QAction* undoEntry = nullptr;  // of the grid's edits
  QAction* redoEntry = nullptr;
  QMenu* settingsMenu = nullptr;
  QAction* removeStarsEntry = nullptr;  // STN: remove the asterisks of hits
  QAction* halfWidthEntry = nullptr;    // JOIS, PATOLIS: full width to half width
  QMenu* csvEncodingMenu = nullptr;
  QActionGroup* csvEncodingGroup = nullptr;      // exclusive
  std::array<QAction*, 3> csvEncodingEntries{};  // indexed by CsvEncoding
  QAction* doubleQuotesEntry = nullptr;
  QAction* skipEmptyRowsEntry = nullptr;    // records without any of the items give no row
  QAction* protectFormulasEntry = nullptr;  // an apostrophe before a value a spreadsheet would calculate
  QAction* firstAnswerEntry = nullptr;      // items read from the first answer record
  QAction* aboutEntry = nullptr;
  QMenu* helpMenu = nullptr;
  QAction* manualEntry = nullptr;  // F1
};

// Builds the central area, the menu bar and the status bar of window. The
// design's client area ("client") is at least 4095 x 2865 twips below the
// menu bar; the preview panel follows it, as wide.
WindowWidgets BuildWindowWidgets(QMainWindow* window);

// The window's icon, drawn at 16 x 16 and 32 x 32.
QIcon WindowIcon();

}  // namespace trovlin::app
