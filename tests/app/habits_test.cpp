// The window's habits around the design: growing with the window, keys,
// undo and redo, what it remembers, the title and the desktop, and Qt's own
// Japanese.
#include <QDesktopServices>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPainter>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <filesystem>

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
  EXPECT_EQ(window().minimumSize(), first);
  window().resize(first + QSize(200, 300));
  QTest::qWait(50);
  EXPECT_EQ(grid->width(), gridSize.width() + 200);
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
    EXPECT_TRUE(std::string(c.steps).ends_with('t') || w().codeEdit->text().isEmpty());  // no stale code
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
  QTimer::singleShot(0, [] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("noext"));
    static_cast<QDialog*>(dialog)->accept();
  });
  QtPrompts qt(&window());
  EXPECT_EQ(CommonDialog().AskLogFile(qt, dir.path()), dir.File("noext"));  // "All Files", no extension added
}

}  // namespace
}  // namespace trovlin::app::testing
