// The main window's controls and menus, built once with their captions,
// names, positions, tab order, shortcuts, check marks and start-up state.
//
// Positions are the design's twips (1/1440 inch) converted at the screen's
// logical DPI, so the window keeps its proportions on any display. Every
// control and menu entry carries its design name as its objectName. The
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

struct WindowWidgets {
  ItemGridView* dispcode = nullptr;
  QPushButton* conv = nullptr;
  QLineEdit* text1 = nullptr;
  QLabel* label1 = nullptr;
  QLabel* label2 = nullptr;
  QGroupBox* frame1 = nullptr;
  std::array<QRadioButton*, 4> db{};  // STN, DIALOG, JOIS, PATOLIS
  QButtonGroup* dbGroup = nullptr;    // ids 0 to 3
  QPushButton* fileopen = nullptr;
  QProgressBar* progress = nullptr;  // shown only while a conversion runs
  // Below the design's client area, which keeps its size and positions.
  QWidget* previewPanel = nullptr;  // keeps its room when hidden
  QLabel* previewLabel = nullptr;
  QPlainTextEdit* preview = nullptr;
  QLabel* logEncoding = nullptr;  // in the status bar

  QMenu* fileMenu = nullptr;
  QAction* fopen = nullptr;
  QAction* fpaste = nullptr;
  QAction* mconv = nullptr;
  QAction* pend = nullptr;
  QMenu* editMenu = nullptr;
  QAction* insertCsv = nullptr;
  QAction* pastCsv = nullptr;
  QAction* delCsv = nullptr;
  QAction* cutCsv = nullptr;
  QAction* loadItems = nullptr;
  QAction* saveItems = nullptr;
  QMenu* stnMenu = nullptr;
  QAction* delHit = nullptr;
  QAction* conH = nullptr;
  QMenu* csvEncodingMenu = nullptr;
  QActionGroup* csvEncodingGroup = nullptr;  // exclusive
  std::array<QAction*, 3> csvEncoding{};     // indexed by CsvEncoding
  QAction* rfcQuotes = nullptr;
  QAction* about = nullptr;
};

// Builds the central area, the menu bar and the status bar of window. The
// design's client area ("client") is 4095 x 2865 twips below the menu bar;
// the preview panel follows it, as wide.
WindowWidgets BuildWindowWidgets(QMainWindow* window);

// The window's icon, drawn at 16 x 16 and 32 x 32.
QIcon WindowIcon();

}  // namespace trovlin::app
