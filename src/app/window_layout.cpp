#include "app/window_layout.h"

#include <QIcon>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cmath>
#include <span>
#include <string_view>

#include "app/captions.h"
#include "app/design_layout.h"
#include "app/window_text.h"
#include "common/conversion_settings.h"
#include "common/database_kind.h"

namespace trovlin::app {
namespace {

constexpr int kTwipsPerInch = 1440;

QRect TwipsRect(const QWidget* widget, int left, int top, int width, int height) {
  return QRect(TwipsToPixelsX(widget, left), TwipsToPixelsY(widget, top), TwipsToPixelsX(widget, width),
               TwipsToPixelsY(widget, height));
}

// A widget of the design area, placed by its layout.
void Place(QWidget* widget, int left, int top, int width, int height, int growth = DesignLayout::kFixed) {
  auto* layout = static_cast<DesignLayout*>(widget->parentWidget()->layout());
  layout->Place(widget, TwipsRect(widget, left, top, width, height), growth);
}

// One entry of a menu, as the menu tables below list them.
struct Entry {
  enum class Kind { Plain, Checkable, StartsChecked, Separator, CsvEncodingMenu, RecentMenu };
  Kind kind;
  QAction* WindowWidgets::*field = nullptr;
  const char* name = nullptr;  // the object name
  std::u16string_view caption = {};
  QKeyCombination shortcut = Qt::Key_unknown;
};

struct Menu {
  QMenu* WindowWidgets::*field;
  const char* name;
  std::u16string_view caption;
  std::span<const Entry> entries;
};

using K = Entry::Kind;

const Entry kFileEntries[] = {
    {K::Plain, &WindowWidgets::loadEntry, "fopen", captions::kLoadEntry, Qt::CTRL | Qt::Key_O},
    {K::Plain, &WindowWidgets::pasteEntry, "fpaste", captions::kPasteEntry, Qt::CTRL | Qt::Key_P},
    {K::RecentMenu, nullptr, "recent_logs", captions::kRecentMenu},
    {K::Plain, &WindowWidgets::convertEntry, "mconv", captions::kConvertEntry},
    {K::Plain, &WindowWidgets::reportEntry, "mreport", captions::kReportEntry},
    {K::Plain, &WindowWidgets::openCsvEntry, "open_csv", captions::kOpenCsvEntry},
    {K::Plain, &WindowWidgets::openCsvFolderEntry, "open_csv_folder", captions::kOpenCsvFolderEntry},
    {K::Plain, &WindowWidgets::exitEntry, "pend", captions::kExitEntry, Qt::CTRL | Qt::Key_Q},
};

const Entry kEditEntries[] = {
    {K::Plain, &WindowWidgets::insertRowEntry, "insert_csv", captions::kInsertRow, Qt::CTRL | Qt::Key_I},
    {K::Plain, &WindowWidgets::pasteRowEntry, "past_csv", captions::kPasteRow, Qt::CTRL | Qt::Key_V},
    {K::Plain, &WindowWidgets::deleteRowEntry, "del_csv", captions::kDeleteRow, Qt::Key_Delete},
    {K::Plain, &WindowWidgets::cutRowEntry, "cut_csv", captions::kCutRow, Qt::CTRL | Qt::Key_X},
    {K::Separator},
    {K::Plain, &WindowWidgets::loadListEntry, "load_items", captions::kLoadList},
    {K::Plain, &WindowWidgets::saveListEntry, "save_items", captions::kSaveList},
    {K::Separator},
    {K::Plain, &WindowWidgets::undoEntry, "undo_items", captions::kUndo, Qt::CTRL | Qt::Key_Z},
    {K::Plain, &WindowWidgets::redoEntry, "redo_items", captions::kRedo, Qt::CTRL | Qt::Key_Y},
};

const Entry kSettingsEntries[] = {
    {K::StartsChecked, &WindowWidgets::removeStarsEntry, "del_hit", captions::kRemoveStars},
    {K::StartsChecked, &WindowWidgets::halfWidthEntry, "con_h", captions::kHalfWidth},
    {K::Separator},
    {K::CsvEncodingMenu, nullptr, "csv_encoding", captions::kCsvEncodingMenu},
    {K::Checkable, &WindowWidgets::doubleQuotesEntry, "rfc_quotes", captions::kDoubleQuotes},
    {K::Checkable, &WindowWidgets::skipEmptyRowsEntry, "skip_empty_rows", captions::kSkipEmptyRows},
    {K::Checkable, &WindowWidgets::protectFormulasEntry, "protect_formulas", captions::kProtectFormulas},
    {K::Separator},
    {K::Checkable, &WindowWidgets::firstAnswerEntry, "first_answer", captions::kFirstAnswer},
};

const Menu kMenus[] = {
    {&WindowWidgets::fileMenu, "file", captions::kFileMenu, kFileEntries},
    {&WindowWidgets::editMenu, "edit", captions::kEditMenu, kEditEntries},
    {&WindowWidgets::settingsMenu, "stn", captions::kSettingsMenu, kSettingsEntries},
};

struct EncodingChoice {
  CsvEncoding encoding;
  const char* name;
  std::u16string_view caption;
};

const EncodingChoice kEncodingChoices[] = {
    {CsvEncoding::Cp932, "csv_cp932", captions::kCsvCp932},
    {CsvEncoding::Utf8, "csv_utf8", captions::kCsvUtf8},
    {CsvEncoding::Utf8Bom, "csv_utf8_bom", captions::kCsvUtf8Bom},
};

QMenu* AddMenu(QWidget* parent, const char* name, std::u16string_view caption) {
  QMenu* menu = new QMenu(ToQt(caption), parent);
  menu->setObjectName(QString::fromLatin1(name));
  menu->menuAction()->setObjectName(QString::fromLatin1(name));
  return menu;
}

QAction* AddAction(QMenu* menu, const char* name, std::u16string_view caption) {
  QAction* action = menu->addAction(ToQt(caption));
  action->setObjectName(QString::fromLatin1(name));
  return action;
}

// The exclusive choice of the CSV file's encoding, code page 932 first.
void AddCsvEncodingMenu(QMainWindow* window, QMenu* parent, const Entry& entry, WindowWidgets& w) {
  w.csvEncodingMenu = AddMenu(parent, entry.name, entry.caption);
  parent->addMenu(w.csvEncodingMenu);
  w.csvEncodingGroup = new QActionGroup(window);
  w.csvEncodingGroup->setExclusive(true);
  for (const EncodingChoice& choice : kEncodingChoices) {
    QAction* action = AddAction(w.csvEncodingMenu, choice.name, choice.caption);
    action->setCheckable(true);
    w.csvEncodingGroup->addAction(action);
    w.csvEncodingEntries[static_cast<std::size_t>(choice.encoding)] = action;
  }
  w.csvEncodingEntries[static_cast<std::size_t>(CsvEncoding::Cp932)]->setChecked(true);
}

void AddEntries(QMainWindow* window, QMenu* menu, std::span<const Entry> entries, WindowWidgets& w) {
  for (const Entry& entry : entries) {
    if (entry.kind == K::Separator) {
      menu->addSeparator();
      continue;
    }
    if (entry.kind == K::CsvEncodingMenu) {
      AddCsvEncodingMenu(window, menu, entry, w);
      continue;
    }
    if (entry.kind == K::RecentMenu) {
      // Filled by the window from what it remembers.
      w.recentMenu = AddMenu(menu, entry.name, entry.caption);
      menu->addMenu(w.recentMenu);
      continue;
    }
    QAction* action = AddAction(menu, entry.name, entry.caption);
    if (entry.shortcut.key() != Qt::Key_unknown) action->setShortcut(QKeySequence(entry.shortcut));
    if (entry.kind == K::Checkable || entry.kind == K::StartsChecked) action->setCheckable(true);
    if (entry.kind == K::StartsChecked) action->setChecked(true);
    w.*entry.field = action;
  }
}

// A header row and five CSV rows, with room for the horizontal scroll bar.
int PreviewHeight(const QPlainTextEdit* edit) {
  const int lines = 6;
  return edit->fontMetrics().lineSpacing() * lines + 2 * edit->frameWidth() +
         2 * static_cast<int>(std::ceil(edit->document()->documentMargin())) +
         edit->horizontalScrollBar()->sizeHint().height();
}

QPixmap DrawIcon(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const qreal u = size / 16.0;
  // A sheet of log text turning into a table.
  p.setPen(QPen(QColor(60, 60, 60), u * 0.8));
  p.setBrush(QColor(250, 250, 245));
  p.drawRect(QRectF(1.5 * u, 0.5 * u, 10 * u, 13 * u));
  p.setPen(QPen(QColor(120, 120, 120), u * 0.7));
  for (int i = 0; i < 4; ++i) p.drawLine(QPointF(3 * u, (3 + 2.5 * i) * u), QPointF(10 * u, (3 + 2.5 * i) * u));
  p.setPen(QPen(QColor(20, 90, 40), u * 0.8));
  p.setBrush(QColor(120, 200, 130));
  const QRectF table(7 * u, 7 * u, 8.5 * u, 8.5 * u);
  p.drawRect(table);
  p.drawLine(QPointF(table.left(), table.center().y()), QPointF(table.right(), table.center().y()));
  p.drawLine(QPointF(table.center().x(), table.top()), QPointF(table.center().x(), table.bottom()));
  return pixmap;
}

// The design's client area: the grid, the buttons, the edit box and its
// labels, and the progress bar.
void BuildClient(QWidget* client, WindowWidgets& w) {
  w.itemGrid = new ItemGridView(client);
  w.itemGrid->setObjectName(QStringLiteral("dispcode"));
  Place(w.itemGrid, 1794, 481, 2236, 2301, DesignLayout::kWider | DesignLayout::kTaller);
  w.itemGrid->ApplyTwipSizes(&TwipsToPixelsX, &TwipsToPixelsY);

  w.convertButton = new QPushButton(ToQt(captions::kConvertButton), client);
  w.convertButton->setObjectName(QStringLiteral("conv"));
  Place(w.convertButton, 936, 2223, 715, 375);

  // No log yet: the grid's place invites one.
  w.hint = new QLabel(ToQt(captions::kDropHint), client);
  w.hint->setObjectName(QStringLiteral("hint"));
  w.hint->setWordWrap(true);
  w.hint->setAlignment(Qt::AlignCenter);
  w.hint->setForegroundRole(QPalette::PlaceholderText);
  w.hint->setFrameShape(QFrame::StyledPanel);
  Place(w.hint, 1794, 117, 2236, 2665, DesignLayout::kWider | DesignLayout::kTaller);

  w.stopButton = new QPushButton(ToQt(captions::kStopButton), client);
  w.stopButton->setObjectName(QStringLiteral("stop"));
  Place(w.stopButton, 936, 2223, 715, 375);
  w.stopButton->hide();

  w.codeEdit = new QLineEdit(client);
  w.codeEdit->setObjectName(QStringLiteral("Text1"));
  // A file dropped here is a log for the window, not text for the box.
  w.codeEdit->setAcceptDrops(false);
  // A code is one line without tabs: a pasted log is refused, not made a code.
  w.codeEdit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\t\\r\\n]*")), w.codeEdit));
  Place(w.codeEdit, 2520, 117, 735, 270);

  w.codeLabel = new QLabel(ToQt(captions::kCodeLabel), client);
  w.codeLabel->setObjectName(QStringLiteral("Label1"));
  Place(w.codeLabel, 1794, 117, 741, 260);

  w.layoutLabel = new QLabel(ToQt(captions::kLayoutLabel), client);
  w.layoutLabel->setObjectName(QStringLiteral("Label2"));
  Place(w.layoutLabel, 1794, 117, 2769, 260);
}

void BuildDatabaseFrame(QMainWindow* window, QWidget* client, WindowWidgets& w) {
  w.databaseFrame = new QGroupBox(ToQt(captions::kDatabaseFrame), client);
  w.databaseFrame->setObjectName(QStringLiteral("Frame1"));
  Place(w.databaseFrame, 120, 117, 1455, 1937);

  w.databaseGroup = new QButtonGroup(window);
  constexpr std::array<int, 4> kTops = {351, 720, 1080, 1440};
  for (int i = 0; i < 4; ++i) {
    const std::string_view caption = kDatabaseCaptions[static_cast<std::size_t>(i)];
    auto* button =
        new QRadioButton(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())), w.databaseFrame);
    button->setObjectName(QStringLiteral("DB%1").arg(i));
    button->setGeometry(TwipsRect(button, 120, kTops[static_cast<std::size_t>(i)], 1095, 255));
    w.databaseGroup->addButton(button, i);
    w.databaseOptions[static_cast<std::size_t>(i)] = button;
  }
}

void BuildLoadButtonAndProgress(QWidget* client, WindowWidgets& w) {
  w.loadButton = new QPushButton(ToQt(captions::kLoadButton), client);
  w.loadButton->setObjectName(QStringLiteral("fileopen"));
  Place(w.loadButton, 117, 2223, 715, 364);

  w.progress = new QProgressBar(client);
  w.progress->setObjectName(QStringLiteral("progress"));
  w.progress->setRange(0, 1000);
  // The percentage on the bar, as the status bar says it too.
  w.progress->setFormat(QStringLiteral("%p%"));
  w.progress->setTextVisible(true);
  Place(w.progress, 117, 2640, 1534, 225);
  w.progress->hide();
}

void BuildPreviewPanel(QWidget* central, const QWidget* client, WindowWidgets& w) {
  w.previewPanel = new QWidget(central);
  w.previewPanel->setObjectName(QStringLiteral("previewPanel"));
  QSizePolicy keepRoom = w.previewPanel->sizePolicy();
  keepRoom.setRetainSizeWhenHidden(true);
  w.previewPanel->setSizePolicy(keepRoom);
  auto* panel = new QVBoxLayout(w.previewPanel);
  // Aligned with the load button on the left and the grid on the right.
  panel->setContentsMargins(TwipsToPixelsX(client, 117), 0, TwipsToPixelsX(client, 65), TwipsToPixelsY(client, 60));
  panel->setSpacing(TwipsToPixelsY(client, 30));
  w.previewLabel = new QLabel(ToQt(captions::kPreviewLabel), w.previewPanel);
  w.previewLabel->setObjectName(QStringLiteral("previewLabel"));
  panel->addWidget(w.previewLabel);
  w.preview = new QPlainTextEdit(w.previewPanel);
  w.preview->setObjectName(QStringLiteral("preview"));
  w.preview->setReadOnly(true);
  w.preview->setLineWrapMode(QPlainTextEdit::NoWrap);
  w.preview->setAcceptDrops(false);
  w.preview->setMinimumHeight(PreviewHeight(w.preview));
  panel->addWidget(w.preview);
}

void BuildStatusBar(QMainWindow* window, const QWidget* client, WindowWidgets& w) {
  QStatusBar* status = window->statusBar();
  auto* panel = new QWidget(status);
  auto* lines = new QVBoxLayout(panel);
  lines->setContentsMargins(0, 0, 0, 0);
  lines->setSpacing(0);
  // The status bar's own margin and this indent line the labels up with the preview.
  const int indent = TwipsToPixelsX(client, 90);
  w.logEncoding = new QLabel(panel);
  w.logEncoding->setObjectName(QStringLiteral("logEncoding"));
  w.logEncoding->setIndent(indent);
  w.logEncoding->setText(ToQt(captions::kLogCp932));
  lines->addWidget(w.logEncoding);
  w.gridNote = new QLabel(panel);
  w.gridNote->setObjectName(QStringLiteral("grid_note"));
  w.gridNote->setContentsMargins(indent, 0, 0, 0);
  w.gridNote->setToolTip(ToQt(captions::kUnreadItemsTip));
  // Its line is kept when it is hidden: the grid does not jump as it comes and goes.
  QSizePolicy keepLine = w.gridNote->sizePolicy();
  keepLine.setRetainSizeWhenHidden(true);
  w.gridNote->setSizePolicy(keepLine);
  w.gridNote->hide();
  lines->addWidget(w.gridNote);
  w.statusText = new QLabel(panel);
  w.statusText->setObjectName(QStringLiteral("statusText"));
  // An indent would not be taken off the width the text wraps in.
  w.statusText->setContentsMargins(indent, 0, 0, 0);
  w.statusText->setWordWrap(true);
  w.statusText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // The window is narrow: the longest text wraps to three lines.
  // (A wrapped line is as high as a label of one line, more than the font's line spacing.)
  w.statusText->setFixedHeight(w.logEncoding->sizeHint().height() * 3);
  lines->addWidget(w.statusText);
  status->addWidget(panel, 1);
  // The labels are hidden or empty until a log is loaded; the window's
  // smallest size must already hold them.
  status->setMinimumHeight(status->sizeHint().height());
}

// Keyboard order as the window reads: the Data Base options and the two
// buttons on the left, the edit box and the grid on the right, the preview
// below.
void SetTabOrder(const WindowWidgets& w) {
  QWidget* const order[] = {
      w.databaseOptions[0], w.databaseOptions[1], w.databaseOptions[2], w.databaseOptions[3], w.loadButton,
      w.convertButton,      w.stopButton,         w.codeEdit,           w.itemGrid,           w.preview};
  for (std::size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

// The grid and the preview take the keys without a caret of their own to
// show it: a frame in the highlight colour says which has them.
void ShowFocusFrames(const WindowWidgets& w) {
  const QString frame = QStringLiteral(
      "%1 { border: 1px solid palette(mid); padding: 1px; }"
      " %1:focus { border: 2px solid palette(highlight); padding: 0px; }");
  w.itemGrid->setStyleSheet(frame.arg(QStringLiteral("QTableView")));
  w.preview->setStyleSheet(frame.arg(QStringLiteral("QPlainTextEdit")));
}

void BuildMenus(QMainWindow* window, WindowWidgets& w) {
  QMenuBar* bar = window->menuBar();
  for (const Menu& table : kMenus) {
    QMenu* menu = AddMenu(bar, table.name, table.caption);
    bar->addMenu(menu);
    w.*table.field = menu;
    AddEntries(window, menu, table.entries, w);
  }
  w.aboutEntry = bar->addAction(ToQt(captions::kAboutEntry));
  w.aboutEntry->setObjectName(QStringLiteral("About"));
  w.helpMenu = AddMenu(bar, "help", captions::kHelpMenu);
  bar->addMenu(w.helpMenu);
  w.manualEntry = AddAction(w.helpMenu, "manual", captions::kManualEntry);
  w.manualEntry->setShortcut(QKeySequence(Qt::Key_F1));
  // 変換 from the keyboard, wherever the focus is.
  w.convertEntry->setShortcuts(
      {QKeySequence(Qt::Key_F5), QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
}

}  // namespace

int TwipsToPixelsX(const QWidget* widget, int twips) {
  return static_cast<int>(std::lround(twips * widget->logicalDpiX() / double(kTwipsPerInch)));
}

int TwipsToPixelsY(const QWidget* widget, int twips) {
  return static_cast<int>(std::lround(twips * widget->logicalDpiY() / double(kTwipsPerInch)));
}

QIcon WindowIcon() {
  QIcon icon;
  icon.addPixmap(DrawIcon(16));
  icon.addPixmap(DrawIcon(32));
  return icon;
}

WindowWidgets BuildWindowWidgets(QMainWindow* window) {
  WindowWidgets w;
  window->setWindowTitle(ToQt(captions::kWindow));
  window->setWindowIcon(WindowIcon());

  auto* central = new QWidget(window);
  central->setObjectName(QStringLiteral("central"));
  window->setCentralWidget(central);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* client = new QWidget(central);
  client->setObjectName(QStringLiteral("client"));
  new DesignLayout(client, TwipsRect(client, 0, 0, 4095, 2865).size());
  // Room beyond the design goes to the grid first; the preview grows once
  // it has a quarter of the height.
  column->addWidget(client, 3);

  BuildClient(client, w);
  BuildDatabaseFrame(window, client, w);
  BuildLoadButtonAndProgress(client, w);
  BuildPreviewPanel(central, client, w);
  column->addWidget(w.previewPanel, 1);
  BuildStatusBar(window, client, w);
  SetTabOrder(w);
  ShowFocusFrames(w);
  BuildMenus(window, w);
  return w;
}

}  // namespace trovlin::app
