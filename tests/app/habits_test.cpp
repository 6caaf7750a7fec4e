// The window's habits around the design: growing with the window, keys,
// undo and redo, what it remembers, the title and the desktop, and Qt's own
// Japanese.
#include <QDesktopServices>
#include <QFileDialog>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "app/captions.h"
#include "app/qt_prompts.h"
#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

TEST_F(WindowTest, ALargerWindowGoesToTheGridAndPreviewWhoseHeaderAndNumbersStayReadable) {
  std::string log = "L1   ANSWER 1 OF 1\r\n";
  for (char b = 'A'; b <= 'Z'; ++b) log += std::string{'A', b} + "   v\r\n";  // 27 rows
  Drop(dir.Write("many.log", log));
  ItemGridView* grid = w().itemGrid;
  grid->scrollToBottom();
  EXPECT_GT(grid->verticalScrollBar()->value(), 0);
  EXPECT_TRUE(grid->horizontalHeader()->isVisible() && grid->horizontalHeaderItem(1)->text() == ToQt(u"項目"));
  const QSize first = window().size(), gridSize = grid->size(), previewSize = w().preview->size();
  const int codeWidth = grid->columnWidth(1);
  window().resize(first + QSize(200, 300));
  QTest::qWait(50);
  EXPECT_EQ(grid->width(), gridSize.width() + 200);
  // The mark column stays beside the codes, wide enough for its title.
  EXPECT_EQ(grid->columnWidth(1), codeWidth);
  EXPECT_GE(grid->columnWidth(2), grid->horizontalHeader()->fontMetrics().horizontalAdvance(ToQt(u"行連結→*")));
  EXPECT_GT(grid->height(), gridSize.height() + 100);
  EXPECT_GT(w().preview->height(), previewSize.height() + 20);
  // A number is painted whole: its ink as wide as the number drawn alone.
  const auto inkWidth = [](const QImage& image) {
    int left = image.width(), right = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, y)) < 100) left = std::min(left, x), right = std::max(right, x);
    return right - left;
  };
  const QImage painted = grid->viewport()->grab(grid->visualItemRect(grid->item(27, 0))).toImage();
  QImage alone(80, 40, QImage::Format_RGB32);
  alone.fill(Qt::white);
  QPainter(&alone).drawText(alone.rect(), Qt::AlignCenter, QStringLiteral("27"));
  EXPECT_NEAR(inkWidth(painted), inkWidth(alone), 1);
}

TEST_F(WindowTest, KeysMoveAsInASpreadsheetOverTheCellsThatCanBeCurrent) {
  Drop(dir.Write("a.log", StnLog()));
  ItemGridView* grid = w().itemGrid;
  grid->setFocus();
  struct Step {
    QKeyCombination key;
    int row, column;  // the current cell after it
  };
  const auto ctrl = Qt::ControlModifier;
  // clang-format off
  const Step steps[] = {
      {Qt::Key_Down, 1, 1} /* from the header, where a load leaves it */, {Qt::Key_Right, 1, 2}, {Qt::Key_Tab, 2, 1},
      {Qt::ShiftModifier | Qt::Key_Tab, 1, 2}, {Qt::Key_Home, 1, 1}, {Qt::Key_End, 1, 2}, {ctrl | Qt::Key_End, 5, 2},
      {ctrl | Qt::Key_Home, 1, 1}, {Qt::Key_Up, 1, 1}, {Qt::Key_Left, 1, 1}, {Qt::Key_PageDown, 5, 1},
      {Qt::Key_PageUp, 1, 1}, {Qt::Key_Right, 1, 2}};
  // clang-format on
  for (const Step& step : steps) {
    QTest::keyClick(grid, step.key.key(), step.key.keyboardModifiers());
    EXPECT_EQ(std::pair(window().grid().CurrentRow(), window().grid().CurrentColumn()),
              std::pair(step.row, step.column))
        << QKeySequence(step.key).toString().toStdString();
  }
  QTest::keyClick(grid, Qt::Key_Space);  // as a click: the mark goes
  EXPECT_EQ(Rows(window().grid())[0], u"1|L1|");
}

// Each edit, made with the mouse, the edit box or the menu, undone and redone
// with Ctrl+Z and Ctrl+Y once Escape has given the keys back to the grid.
TEST_F(WindowTest, EveryGridEditIsUndoneAndRedone) {
  struct Case {
    const char* steps;  // cRC: a click on (R, C); I, D, X, V: the row entries; t: "x" typed; k: Escape, Del; |: before
    Strings after;
    std::u16string boxAfterUndo;
  };
  const Case cases[] = {
      {"c21|I", {u"1|L1|*", u"2||", u"3|AN|*", u"4|TI|*", u"5|PI|", u"||"}, u"AN"},
      {"c21|D", {u"1|L1|*", u"2|TI|*", u"3|PI|", u"||"}, u"AN"},
      {"c21|X", {u"1|L1|*", u"2|TI|*", u"3|PI|", u"||"}, u"AN"},
      {"c21|k", {u"1|L1|*", u"2|TI|*", u"3|PI|", u"||"}, u"AN"},  // Del deletes the row once Escape left the box
      {"c21Xc11|V", {u"1|AN|*", u"2|L1|*", u"3|TI|*", u"4|PI|", u"||"}, u"L1"},
      {"c31|tt", {u"1|L1|*", u"2|AN|*", u"3|TIXX|*", u"4|PI|", u"||"}, u"TI"},
      {"|c42", {u"1|L1|*", u"2|AN|*", u"3|TI|*", u"4|PI|*", u"||"}, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.steps);
    Reopen();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    Drop(dir.Write("a.log", StnLog()));
    Strings before;
    for (const char* s = c.steps; *s != '\0'; ++s) {
      if (*s == '|') before = Rows(window().grid());
      if (*s == 'c') window().ClickGridCell(s[1] - '0', s[2] - '0'), s += 2;
      if (*s == 't') QTest::keyClick(w().codeEdit, Qt::Key_X);
      for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Delete})
        if (*s == 'k') QTest::keyClick(QApplication::focusWidget(), key);
      QAction* const entries[] = {w().insertRowEntry, w().deleteRowEntry, w().cutRowEntry, w().pasteRowEntry};
      if (const std::size_t i = std::string_view("IDXV").find(*s); i != std::string_view::npos) entries[i]->trigger();
    }
    EXPECT_EQ(Rows(window().grid()), c.after);
    // The box shows the code of the current cell, not one from before (typed
    // text stays as typed).
    const bool onCode = window().grid().CurrentColumn() == 1;
    EXPECT_TRUE(std::string(c.steps).ends_with('t') ||
                w().codeEdit->text() ==
                    (onCode ? ToQt(window().grid().Cell(window().grid().CurrentRow(), 1)) : QString()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Rows(window().grid()), before);
    EXPECT_EQ(w().codeEdit->text(), ToQt(c.boxAfterUndo));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(Rows(window().grid()), c.after);
  }
}

// Besides what is remembered: the title names the log, the last CSV and its
// folder go to the desktop's programs.
TEST_F(WindowTest, OptionsFoldersGeometryAndRecentLogsAreRemembered) {
  for (QAction* entry : {w().csvEncodingEntries[2], w().doubleQuotesEntry, w().skipEmptyRowsEntry}) entry->trigger();
  for (const char* folder : {"logs", "csv"}) std::filesystem::create_directories(dir.File(folder));
  std::vector<std::string> logs;
  for (int i = 0; i < 9; ++i) Drop(logs.emplace_back(dir.Write("logs/" + std::to_string(i) + ".log", DialogLog())));
  Drop({logs[3], logs[8]});  // several files: the first is taken
  EXPECT_EQ(window().settings().inputPath, logs[3]);
  EXPECT_EQ(window().windowTitle(), ToQt(u"3.log - 検索結果Trovlin"));
  UrlCatcher desktop;  // the CSV and its folder handed to the desktop
  QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "Open");
  EXPECT_FALSE(w().openCsvEntry->isEnabled());
  Convert(dir.File("csv/out.csv"), Answer::No);
  w().openCsvEntry->trigger();
  w().openCsvFolderEntry->trigger();
  QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
  EXPECT_EQ(desktop.urls, (QList<QUrl>{QUrl::fromLocalFile(ToQt(FromUtf8(dir.File("csv/out.csv")))),
                                       QUrl::fromLocalFile(ToQt(FromUtf8(dir.File("csv"))))}));
  w().firstAnswerEntry->trigger();
  window().resize(window().size() + QSize(120, 80));
  const QSize size = window().size();
  window().close();
  Reopen(true);
  EXPECT_EQ(window().size(), size);
  EXPECT_TRUE(w().csvEncodingEntries[2]->isChecked() && w().doubleQuotesEntry->isChecked() &&
              w().skipEmptyRowsEntry->isChecked() && w().firstAnswerEntry->isChecked());
  w().firstAnswerEntry->trigger();  // a DIALOG log's items are in its first block
  QStringList shown, expected;
  for (QAction* entry : w().recentMenu->actions()) shown << entry->text();
  for (int i : {3, 8, 7, 6, 5, 4, 2, 1})
    expected << QStringLiteral("&%1 %2").arg(expected.size() + 1).arg(logs[i].c_str());
  EXPECT_EQ(shown, expected);
  std::filesystem::remove(logs[8]);
  prompts.Reply(Answer::Ok);
  w().recentMenu->actions()[1]->trigger();
  EXPECT_EQ(Transcript(prompts),
            "W ログファイルが見つかりません\r" + logs[8] + "\r最近使ったログの一覧から外しました。");
  EXPECT_EQ(w().recentMenu->actions().size(), 7);
  w().recentMenu->actions()[0]->trigger();
  prompts.Play("xc");
  window().StartConversion();
  EXPECT_EQ(prompts.asked()[1].request.fileName, dir.File("csv/3.csv"));  // in the CSV's last folder
  Reopen(true);
  prompts.Play("xc");
  window().OpenLog();
  EXPECT_EQ(prompts.asked()[0].request.folder, dir.File("logs"));
  Reopen();
  EXPECT_TRUE(w().csvEncodingEntries[0]->isChecked() && w().recentMenu->actions().isEmpty());
}

// Qt's buttons in Japanese, and the open dialog's "All Files" with a name
// typed without a dot, as the window asks for a log.
TEST_F(WindowTest, QtSpeaksJapaneseAndTheOpenDialogTakesAnyFileAsTyped) {
  const QMessageBox box(QMessageBox::NoIcon, {}, {}, QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text() + box.button(QMessageBox::No)->text(), ToQt(u"はい(&Y)いいえ(&N)"));
  EXPECT_EQ(QtPrompts::NameFilters(u"LOG File (*.LOG)|*.LOG|All Files (*.*)|*.*|"),
            (QStringList{QStringLiteral("LOG File (*.LOG)"), QStringLiteral("All Files (*)")}));
  dir.Write("noext", "");
  dir.Write("noext.LOG", "");
  QSize dialogSize;
  QLocale dialogLocale;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialogSize = dialog->size();
    dialogLocale = dialog->locale();
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("noext"));
    static_cast<QDialog*>(dialog)->accept();
  });
  QtPrompts qt(&window());
  EXPECT_EQ(CommonDialog().AskLogFile(qt, dir.path()), dir.File("noext"));  // "All Files", no extension added
  // Wide enough for the name, size, type and date columns; in Japanese.
  EXPECT_GE(dialogSize.width(), window().fontMetrics().averageCharWidth() * 100);
  EXPECT_EQ(dialogLocale.language(), QLocale::Japanese);
}

// The first start is larger than the smallest window and invites a log where
// the grid will be; a PATOLIS log, which has no grid, gives the room to the
// preview.
TEST_F(WindowTest, TheFirstStartInvitesALogAndAPatolisLogGivesTheGridsRoomToThePreview) {
  Reopen();
  EXPECT_GT(window().width(), window().minimumWidth() + 100);
  EXPECT_GT(window().height(), window().minimumHeight() + 100);
  EXPECT_FALSE(w().hint->isHidden());
  EXPECT_EQ(w().hint->text(), ToQt(u"ここに検索結果のログファイルをドロップするか、［読込］ボタンで開いてください。"));
  Drop(dir.Write("a.log", StnLog()));
  QTest::qWait(20);
  EXPECT_TRUE(w().hint->isHidden());
  const int taggedPreview = w().preview->height();
  Drop(dir.Write("p.log", PatolisLog()));
  QTest::qWait(20);
  EXPECT_GT(w().preview->height(), taggedPreview + 50);
}

// After each row entry the current cell is where the user acted, in view;
// after 追加 the edit box takes the new row's code.
TEST_F(WindowTest, TheCurrentCellStaysInViewAndInsertHandsTheNewRowToTheEditBox) {
  std::string log = "L1   ANSWER 1 OF 1\r\n";
  for (char b = 'A'; b <= 'Z'; ++b) log += std::string{'A', b} + "   v\r\n";  // 27 rows: L1, AA to AZ
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  Drop(dir.Write("many.log", log));
  ItemGridView* grid = w().itemGrid;
  const auto inView = [grid] { return grid->viewport()->rect().contains(grid->visualRect(grid->currentIndex())); };
  struct Case {
    QAction* WindowWidgets::*entry;
    std::u16string code;  // in row 20 afterwards
  };
  const Case cases[] = {
      {&WindowWidgets::cutRowEntry, u"AT"},     // AS (row 20) cut, AT moves up
      {&WindowWidgets::deleteRowEntry, u"AU"},  // AT deleted
      {&WindowWidgets::pasteRowEntry, u"AS"},   // AS pasted before AU
      {&WindowWidgets::insertRowEntry, u""},
  };
  for (const Case& c : cases) {
    grid->scrollToTop();
    window().ClickGridCell(20, 1);
    grid->scrollToTop();  // the user scrolled away from it
    (w().*c.entry)->trigger();
    EXPECT_EQ(std::pair(window().grid().CurrentRow(), window().grid().CurrentColumn()), std::pair(20, 1));
    EXPECT_EQ(window().grid().Cell(20, 1), c.code);
    EXPECT_TRUE(inView()) << Utf16ToUtf8(c.code) << " " << grid->visualRect(grid->currentIndex()).y() << " "
                          << grid->viewport()->height() << " " << grid->currentIndex().row();
  }
  EXPECT_EQ(QApplication::focusWidget(), w().codeEdit);
  QTest::keyClicks(w().codeEdit, "zz");
  EXPECT_EQ(window().grid().Cell(20, 1), u"ZZ");
  EXPECT_EQ(window().grid().Cell(21, 1), u"AS");
}

// Keys of the desktop: F5 and Ctrl+Enter convert, Ctrl+Q ends the program.
TEST_F(WindowTest, KeysConvertAndQuit) {
  struct Case {
    QKeyCombination key;
    const char* asked;
    bool ended;
  };
  const Case cases[] = {
      {Qt::Key_F5, "save", false},
      {Qt::CTRL | Qt::Key_Return, "save", false},
      {Qt::CTRL | Qt::Key_Q, "", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QKeySequence(c.key).toString().toStdString());
    Reopen();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), c.key.key(), c.key.keyboardModifiers());  // no log: nothing to convert
    EXPECT_EQ(Transcript(prompts), c.ended ? "" : "");
    if (c.ended) {
      EXPECT_TRUE(window().IsEnded());
      continue;
    }
    Drop(dir.Write("a.log", StnLog()));
    prompts.Play("x").Reply(Answer::Ok).Play("x").Reply(Answer::Cancel);
    QTest::keyClick(w().itemGrid, c.key.key(), c.key.keyboardModifiers());
    EXPECT_EQ(Transcript(prompts), "save / bad name / save / bad name");
    EXPECT_FALSE(window().IsEnded());
  }
}

// The save dialog proposes a workbook's name while its workbook filter is
// chosen; in Qt's dialog a filter chosen renames the file it shows.
TEST_F(WindowTest, TheWorkbookFilterAndTheProposedNameAgree) {
  Drop(dir.Write("a.log", StnLog()));
  prompts.filterChosen = CommonDialog::kWorkbookFilterIndex;
  prompts.Play("xoxc");
  window().StartConversion();
  ASSERT_EQ(prompts.asked().size(), 4u);
  EXPECT_EQ(prompts.asked()[0].request.fileName, dir.File("a.csv"));
  EXPECT_EQ(prompts.asked()[2].request.fileName, dir.File("a.xlsx"));
  EXPECT_EQ(prompts.asked()[2].request.filterIndex, 3);
  const std::pair<std::string, int> proposals[][2] = {
      {{"/d/a.csv", 3}, {"/d/a.xlsx", 0}},
      {{"/d/a.csv", 1}, {"/d/a.csv", 0}},
      {{"/d.x/a", 3}, {"/d.x/a.xlsx", 0}},
      {{"/d/.a", 3}, {"/d/.a.xlsx", 0}},
  };
  for (const auto& [given, expected] : proposals) {
    EXPECT_EQ(CommonDialog::WithFilterExtension(given.first, given.second), expected.first);
  }
  const QStringList filters = QtPrompts::NameFilters(std::u16string(captions::kSaveCsvFilter));
  const std::pair<const char*, const char*> names[][2] = {
      {{"a.CSV", "xlsx"}, {"a.xlsx", ""}},
      {{"a.xlsx", "CSV"}, {"a.CSV", ""}},
      {{"a.b", "xlsx"}, {"a.b", ""}},
      {{"noext", "xlsx"}, {"noext", ""}},
  };
  for (const auto& [given, expected] : names) {
    EXPECT_EQ(QtPrompts::WithExtension(QString::fromLatin1(given.first), QString::fromLatin1(given.second), filters),
              QString::fromLatin1(expected.first));
  }
}

// Without a program for the CSV or its folder, the window says so.
TEST_F(WindowTest, WithoutADesktopOpenerTheWindowSaysSo) {
  Drop(dir.Write("a.log", StnLog()));
  Convert(dir.File("out.csv"), Answer::No);
  prompts.Reply(Answer::Ok).Reply(Answer::Ok);
  w().openCsvEntry->trigger();
  w().openCsvFolderEntry->trigger();
  EXPECT_EQ(Transcript(prompts), "save / done / W このファイルを開くプログラムが見つかりません。\r" +
                                     dir.File("out.csv") + " / W このフォルダを開くプログラムが見つかりません。\r" +
                                     dir.path());
}

// Tab goes as the window reads, left column first; the grid and the preview
// show a frame in the highlight colour while they have the keys.
TEST_F(WindowTest, TabFollowsTheReadingOrderAndTheGridAndPreviewShowTheirFocus) {
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  Drop(dir.Write("a.log", StnLog()));
  w().databaseOptions[0]->setFocus();
  QStringList order;
  for (int i = 0; i < 4; ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    order << QApplication::focusWidget()->objectName();
  }
  EXPECT_EQ(order, (QStringList{QStringLiteral("fileopen"), QStringLiteral("conv"), QStringLiteral("Text1"),
                                QStringLiteral("dispcode")}));
  const QColor highlight = window().palette().color(QPalette::Highlight);
  const auto edge = [](QWidget* widget) { return widget->grab().toImage().pixelColor(0, widget->height() / 2); };
  for (QWidget* focused : {static_cast<QWidget*>(w().itemGrid), static_cast<QWidget*>(w().preview)}) {
    focused->setFocus();
    QWidget* other = focused == w().itemGrid ? static_cast<QWidget*>(w().preview) : w().itemGrid;
    EXPECT_EQ(edge(focused), highlight) << focused->objectName().toStdString();
    EXPECT_NE(edge(other), highlight) << other->objectName().toStdString();
  }
}

}  // namespace
}  // namespace trovlin::app::testing
