// The window itself: controls, menus, start-up state, the control-state
// table, and the handlers that belong to no other part of the window.
#include <QApplication>
#include <QFileInfo>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

#include "window_fixture.h"

namespace trovlin::app::testing {
namespace {

int PxX(const QWidget* w, int twips) { return static_cast<int>(std::lround(twips * w->logicalDpiX() / 1440.0)); }
int PxY(const QWidget* w, int twips) { return static_cast<int>(std::lround(twips * w->logicalDpiY() / 1440.0)); }

// conv, frame and options enabled; Label1, Label2, Text1, grid shown; edit menu enabled.
struct Look {
  bool conv, frame, label1, label2, text1, grid, edit;
};

void ExpectLook(MainWindow& window, const Look& e) {
  const WindowWidgets& w = window.widgets();
  EXPECT_EQ(w.convertButton->isEnabled(), e.conv);
  EXPECT_EQ(w.databaseFrame->isEnabled(), e.frame);
  for (QRadioButton* b : w.databaseOptions) EXPECT_EQ(b->isEnabled(), e.frame);
  EXPECT_EQ(!w.codeLabel->isHidden(), e.label1);
  EXPECT_EQ(!w.layoutLabel->isHidden(), e.label2);
  EXPECT_EQ(!w.codeEdit->isHidden(), e.text1);
  EXPECT_EQ(!w.itemGrid->isHidden(), e.grid);
  EXPECT_EQ(!w.previewPanel->isHidden(), e.grid);
  EXPECT_EQ(w.editMenu->menuAction()->isEnabled(), e.edit);
  // Always available, whatever the state.
  EXPECT_TRUE(w.loadButton->isEnabled());
  for (QAction* a : {w.loadEntry, w.pasteEntry, w.convertEntry, w.exitEntry, w.removeStarsEntry, w.halfWidthEntry, w.aboutEntry, w.insertRowEntry, w.pasteRowEntry,
                     w.deleteRowEntry, w.cutRowEntry, w.loadListEntry, w.saveListEntry, w.doubleQuotesEntry, w.csvEncodingEntries[0], w.csvEncodingEntries[1],
                     w.csvEncodingEntries[2]}) {
    EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
  }
  EXPECT_TRUE(w.fileMenu->menuAction()->isEnabled());
  EXPECT_TRUE(w.settingsMenu->menuAction()->isEnabled());
}

using WindowLayoutTest = WindowTest;

TEST_F(WindowLayoutTest, CaptionsOfWindowAndControls) {
  EXPECT_EQ(window().windowTitle(), Q(u"検索結果Trovlin"));
  EXPECT_EQ(w().convertButton->text(), Q(u"変換&C"));
  EXPECT_EQ(w().loadButton->text(), Q(u"読込&O"));
  EXPECT_EQ(w().codeLabel->text(), Q(u"項目名"));
  EXPECT_EQ(w().layoutLabel->text(), Q(u"回答様式"));
  EXPECT_EQ(w().databaseFrame->title(), Q(u"Data Base"));
  EXPECT_EQ(w().codeEdit->text(), QString());
  const char* options[] = {"STN", "DIALOG", "JOIS", "PATOLIS"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(w().databaseOptions[i]->text(), QString::fromLatin1(options[i]));
    EXPECT_EQ(w().databaseGroup->id(w().databaseOptions[i]), i);
    EXPECT_EQ(w().databaseOptions[i]->parentWidget(), w().databaseFrame);
  }
}

TEST_F(WindowLayoutTest, PositionsInTwipsAtTheScreensDpi) {
  struct Place {
    QWidget* widget;
    const char* name;  // the design's name; the option buttons have none
    int left, top, width, height;
  };
  const Place places[] = {
      {w().itemGrid, "dispcode", 1794, 481, 2236, 2301}, {w().convertButton, "conv", 936, 2223, 715, 375},
      {w().codeEdit, "Text1", 2520, 117, 735, 270},         {w().codeLabel, "Label1", 1794, 117, 741, 260},
      {w().layoutLabel, "Label2", 1794, 117, 2769, 260},      {w().databaseFrame, "Frame1", 120, 117, 1455, 1937},
      {w().databaseOptions[3], nullptr, 120, 1440, 1095, 255},        {w().databaseOptions[2], nullptr, 120, 1080, 1095, 255},
      {w().databaseOptions[1], nullptr, 120, 720, 1095, 255},         {w().databaseOptions[0], nullptr, 120, 351, 1095, 255},
      {w().loadButton, "fileopen", 117, 2223, 715, 364},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.widget->objectName().toStdString());
    const QWidget* w = p.widget;
    if (p.name != nullptr) {
      EXPECT_EQ(window().findChild<QWidget*>(QString::fromLatin1(p.name)), w);
    }
    EXPECT_EQ(w->geometry(), QRect(PxX(w, p.left), PxY(w, p.top), PxX(w, p.width), PxY(w, p.height)));
  }
  EXPECT_EQ(window().findChild<QWidget*>(QStringLiteral("preview")), w().preview);
  EXPECT_EQ(window().findChild<QWidget*>(QStringLiteral("logEncoding")), w().logEncoding);
  const QWidget* client = window().findChild<QWidget*>(QStringLiteral("client"));
  ASSERT_NE(client, nullptr);
  EXPECT_EQ(client->size(), QSize(PxX(client, 4095), PxY(client, 2865)));
  // The preview follows the design's area, no wider.
  EXPECT_GE(w().previewPanel->y(), client->geometry().bottom());
  EXPECT_LE(w().previewPanel->width(), client->width());
}

TEST_F(WindowLayoutTest, GridColumnsAndHeaderRowInTwips) {
  const ItemGridView* grid = w().itemGrid;
  EXPECT_EQ(grid->columnCount(), 3);
  EXPECT_EQ(grid->columnWidth(0), PxX(grid, 250));
  EXPECT_EQ(grid->columnWidth(1), PxX(grid, 600));
  EXPECT_EQ(grid->columnWidth(2), PxX(grid, 1000));
  EXPECT_EQ(grid->rowHeight(0), PxY(grid, 400));
  ASSERT_EQ(grid->rowCount(), 2);
  EXPECT_EQ(grid->item(0, 1)->text(), Q(u"項目"));
  EXPECT_EQ(grid->item(0, 2)->text(), Q(u"行連結→*"));
}

TEST_F(WindowLayoutTest, TabOrder) {
  const std::vector<QWidget*> expected = {w().itemGrid, w().convertButton,  w().codeEdit, w().databaseOptions[3],
                                          w().databaseOptions[2],    w().databaseOptions[1], w().databaseOptions[0], w().loadButton};
  std::vector<QWidget*> order;
  QWidget* at = w().itemGrid;
  do {
    if (std::find(expected.begin(), expected.end(), at) != expected.end()) order.push_back(at);
    at = at->nextInFocusChain();
  } while (at != w().itemGrid && order.size() < expected.size());
  EXPECT_EQ(order, expected);
}

TEST_F(WindowLayoutTest, MenusEntriesAccessKeysAndShortcuts) {
  struct Entry {
    QAction* action;
    std::u16string_view caption;
    QKeySequence shortcut;
    const char* name = nullptr;  // the design's name; the submenu has none
  };
  const QList<QAction*> bar = window().menuBar()->actions();
  ASSERT_EQ(bar.size(), 4);
  EXPECT_EQ(bar[0], w().fileMenu->menuAction());
  EXPECT_EQ(bar[1], w().editMenu->menuAction());
  EXPECT_EQ(bar[2], w().settingsMenu->menuAction());
  EXPECT_EQ(bar[3], w().aboutEntry);
  EXPECT_EQ(w().fileMenu->title(), Q(u"ﾌｧｲﾙ&F"));
  EXPECT_EQ(w().editMenu->title(), Q(u"項目編集&E"));
  EXPECT_EQ(w().settingsMenu->title(), Q(u"設定&S"));
  EXPECT_EQ(w().aboutEntry->text(), Q(u"About"));
  EXPECT_EQ(w().aboutEntry->objectName(), QStringLiteral("About"));

  const std::vector<std::pair<QMenu*, std::vector<Entry>>> menus = {
      {w().fileMenu,
       {{w().loadEntry, u"読込&O", QKeySequence(Qt::CTRL | Qt::Key_O), "fopen"},
        {w().pasteEntry, u"貼付&P", QKeySequence(Qt::CTRL | Qt::Key_P), "fpaste"},
        {w().convertEntry, u"変換&C", QKeySequence(), "mconv"},
        {w().exitEntry, u"終了&E", QKeySequence(), "pend"}}},
      {w().editMenu,
       {{w().insertRowEntry, u"追加&I", QKeySequence(Qt::CTRL | Qt::Key_I), "insert_csv"},
        {w().pasteRowEntry, u"貼付&P", QKeySequence(Qt::CTRL | Qt::Key_V), "past_csv"},
        {w().deleteRowEntry, u"削除&D", QKeySequence(Qt::Key_Delete), "del_csv"},
        {w().cutRowEntry, u"切抜&X", QKeySequence(Qt::CTRL | Qt::Key_X), "cut_csv"},
        {w().loadListEntry, u"項目リスト読込&L...", QKeySequence(), "load_items"},
        {w().saveListEntry, u"項目リスト保存&S...", QKeySequence(), "save_items"}}},
      {w().settingsMenu,
       {{w().removeStarsEntry, u"STNで***を削除", QKeySequence(), "del_hit"},
        {w().halfWidthEntry, u"全角を半角に変換", QKeySequence(), "con_h"},
        {w().csvEncodingMenu->menuAction(), u"CSVの文字コード&K", QKeySequence()},
        {w().doubleQuotesEntry, u"値の\"を\"\"と書く（RFC 4180）", QKeySequence(), "rfc_quotes"}}},
      {w().csvEncodingMenu,
       {{w().csvEncodingEntries[0], u"Shift_JIS（コードページ932）", QKeySequence(), "csv_cp932"},
        {w().csvEncodingEntries[1], u"UTF-8", QKeySequence(), "csv_utf8"},
        {w().csvEncodingEntries[2], u"UTF-8（BOM付き）", QKeySequence(), "csv_utf8_bom"}}},
  };
  for (const auto& [menu, entries] : menus) {
    QList<QAction*> actions = menu->actions();
    actions.removeIf([](const QAction* a) { return a->isSeparator(); });
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
      SCOPED_TRACE(actions[i]->objectName().toStdString());
      EXPECT_EQ(actions[i], entries[i].action);
      EXPECT_EQ(actions[i]->text(), Q(entries[i].caption));
      EXPECT_EQ(actions[i]->shortcut(), entries[i].shortcut);
      if (entries[i].name != nullptr) {
        EXPECT_EQ(actions[i]->objectName().toStdString(), entries[i].name);
      }
    }
  }
  EXPECT_TRUE(w().removeStarsEntry->isCheckable() && w().removeStarsEntry->isChecked());
  EXPECT_TRUE(w().halfWidthEntry->isCheckable() && w().halfWidthEntry->isChecked());
  // Code page 932 and apostrophes unless chosen otherwise.
  EXPECT_TRUE(w().csvEncodingGroup->isExclusive());
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_TRUE(w().csvEncodingEntries[i]->isCheckable());
    EXPECT_EQ(w().csvEncodingEntries[i]->isChecked(), i == 0);
    EXPECT_EQ(w().csvEncodingEntries[i]->actionGroup(), w().csvEncodingGroup);
  }
  EXPECT_TRUE(w().doubleQuotesEntry->isCheckable());
  EXPECT_FALSE(w().doubleQuotesEntry->isChecked());
  for (QAction* a : {w().loadEntry, w().pasteEntry, w().convertEntry, w().exitEntry, w().insertRowEntry, w().pasteRowEntry, w().deleteRowEntry, w().cutRowEntry,
                     w().loadListEntry, w().saveListEntry}) {
    EXPECT_FALSE(a->isCheckable());
  }
}

TEST_F(WindowLayoutTest, WindowIconIn16And32Pixels) {
  const QList<QSize> sizes = window().windowIcon().availableSizes();
  EXPECT_TRUE(sizes.contains(QSize(16, 16)));
  EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

// ---- States ------------------------------------------------------------------

using WindowStateTest = WindowTest;

TEST_F(WindowStateTest, StartState) {
  // Form_Load does nothing: what the window shows comes from its design (its
  // controls: the state table's first row).
  EXPECT_TRUE(w().logEncoding->isHidden());
  EXPECT_EQ(window().settings().databaseKind, DatabaseKind::None);
  EXPECT_EQ(window().settings().inputPath, "");
  EXPECT_EQ(window().settings().outputPath, "");
  EXPECT_FALSE(window().IsEnded());
  EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(WindowStateTest, StateTable) {
  struct Case {
    const char* name;
    const char* steps;  // S, D, J, P: an STN, DIALOG, JOIS, PATOLIS log dropped; n: converted, No
    Look look;
    int selected;  // checked option, -1 none
    std::u16string_view label2;
  };
  const std::u16string_view kLayoutLabel = u"回答様式";
  const std::u16string_view kLayout1 = u"回答様式　1";
  const Look kNoLog{false, false, false, false, false, false, false};
  const Look kTagged{true, true, true, false, true, true, true};
  const Look kPatolis{true, true, false, true, false, false, false};
  const Case cases[] = {
      {"no log: program start", "", kNoLog, -1, kLayoutLabel},
      {"STN log loaded", "S", kTagged, 0, kLayoutLabel},
      {"DIALOG log loaded", "D", kTagged, 1, kLayoutLabel},
      {"JOIS log loaded", "J", kTagged, 2, kLayoutLabel},
      {"PATOLIS log loaded", "P", kPatolis, 3, kLayout1},
      {"no log: No after converting a tagged log (edit as loading left it)", "Sn",
       {false, false, false, false, false, false, true}, 0, kLayoutLabel},
      {"no log: No after converting a PATOLIS log", "Pn", kNoLog, 3, kLayout1},
      {"PATOLIS log loaded after a tagged one", "SP", kPatolis, 3, kLayout1},
      {"tagged log loaded after a PATOLIS one", "PJ", kTagged, 2, kLayout1},
      {"loaded again after No", "SnD", kTagged, 1, kLayoutLabel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Reopen();
    for (const char* step = c.steps; *step != '\0'; ++step) {
      if (*step == 'n') {
        Convert(dir.File("a.csv"), Answer::No);
        continue;
      }
      const std::string log = *step == 'S' ? StnLog() : *step == 'D' ? DialogLog() : *step == 'J' ? JoisLog() : PatolisLog();
      Drop(Write(std::string(1, *step) + ".log", log));
    }
    ExpectLook(window(), c.look);
    EXPECT_EQ(w().databaseGroup->checkedId(), c.selected);
    EXPECT_EQ(w().layoutLabel->text(), Q(c.label2));
    EXPECT_FALSE(window().IsEnded());
    EXPECT_TRUE(prompts.ScriptUsedUp());
  }
}

TEST_F(WindowStateTest, EndedByTheExitEntryOrByClosingEvenWithALogLoadedAskingNothing) {
  for (bool byExitEntry : {true, false}) {
    SCOPED_TRACE(byExitEntry ? "exit entry" : "closing");
    Reopen();
    Drop(Write("a.log", StnLog()));
    QSignalSpy ended(&window(), &MainWindow::programEnded);
    if (byExitEntry) {
      w().exitEntry->trigger();
    } else {
      EXPECT_TRUE(window().close());
    }
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(window().IsEnded());
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(dir.File("a.csv"))));
  }
}

TEST_F(WindowStateTest, NothingRunsAfterTheEnd) {
  w().exitEntry->trigger();
  window().OpenLog();
  window().ShowAbout();
  window().StartConversion();
  EXPECT_TRUE(prompts.asked().empty());
}

// ---- Handlers of this part ----------------------------------------------------

using WindowHandlerTest = WindowTest;

TEST_F(WindowHandlerTest, AboutBoxHasThreeLinesAndAnInformationIcon) {
  prompts.Reply(Answer::Ok);
  w().aboutEntry->trigger();
  EXPECT_EQ(prompts.Messages(), (std::vector<Message>{{u"Trovlin", u"検索結果Trovlinプログラム\r ver 1.23\r2005/12/17",
                                                        Icon::Information, Buttons::Ok}}));
  EXPECT_FALSE(window().IsEnded());
}

TEST_F(WindowHandlerTest, OptionEntriesKeepTheirCheckMarksAndDoNothing) {
  Drop(Write("a.log", StnLog()));
  const ConversionSettings before = window().settings();
  for (int i = 0; i < 3; ++i) {
    w().removeStarsEntry->trigger();
    w().halfWidthEntry->trigger();
  }
  EXPECT_TRUE(w().removeStarsEntry->isChecked());
  EXPECT_TRUE(w().halfWidthEntry->isChecked());
  EXPECT_EQ(window().settings().databaseKind, before.databaseKind);
  EXPECT_EQ(window().settings().deleteStars, before.deleteStars);
  EXPECT_EQ(window().settings().toHalfWidth, before.toHalfWidth);
  EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(WindowHandlerTest, ClickingADataBaseOptionSetsTheKindAndNothingElse) {
  Drop(Write("a.log", StnLog()));
  const std::vector<std::u16string> rowsBefore = {window().grid().Cell(1, 1), window().grid().Cell(2, 1)};
  const DatabaseKind expected[] = {DatabaseKind::Stn, DatabaseKind::Dialog, DatabaseKind::Jois, DatabaseKind::Patolis};
  for (int i : {3, 1, 2, 0, 3}) {
    QTest::mouseClick(w().databaseOptions[i], Qt::LeftButton);
    EXPECT_EQ(window().settings().databaseKind, expected[i]);
    EXPECT_TRUE(w().databaseOptions[i]->isChecked());
    ExpectLook(window(), {true, true, true, false, true, true, true});
  }
  EXPECT_EQ(window().grid().Cell(1, 1), rowsBefore[0]);
  EXPECT_EQ(window().grid().ItemRowCount(), 4);
}

TEST_F(WindowHandlerTest, SetControlStateSwitchesOnlyItsControls) {
  Drop(Write("a.log", PatolisLog()));
  window().SetControlState(true);
  ExpectLook(window(), {true, true, true, true, true, true, false});
  window().SetControlState(false);
  ExpectLook(window(), {false, false, false, false, false, false, false});
  EXPECT_EQ(w().databaseGroup->checkedId(), 3);
  EXPECT_EQ(w().layoutLabel->text(), Q(u"回答様式　1"));
}

TEST_F(WindowHandlerTest, EveryEventReachesItsHandler) {
  // The buttons and menu entries are wired to the handlers of the window.
  prompts.CancelDialog().Reply(Answer::Ok).Choose(Write("a.log", StnLog()));
  QTest::mouseClick(w().loadButton, Qt::LeftButton);
  EXPECT_EQ(window().settings().inputPath, dir.File("a.log"));

  prompts.Choose(Write("b.log", DialogLog()));
  w().loadEntry->trigger();
  EXPECT_EQ(window().settings().inputPath, dir.File("b.log"));

  prompts.Choose(dir.File("b.csv")).Reply(Answer::No);
  QTest::mouseClick(w().convertButton, Qt::LeftButton);
  ASSERT_TRUE(WaitForRun());
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir.File("b.csv"))));
  EXPECT_FALSE(w().convertButton->isEnabled());

  prompts.Choose(dir.File("c.csv")).Reply(Answer::No);
  w().convertEntry->trigger();
  ASSERT_TRUE(WaitForRun());
  EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dir.File("c.csv"))));
}

}  // namespace
}  // namespace trovlin::app::testing
