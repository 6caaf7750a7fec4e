// The report of a run and the counts of the items: the status bar's
// summary, the report dialog, the grid's counts read by a second worker,
// and what a PATOLIS run with nothing to convert says instead of "done".
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/captions.h"
#include "app/main_window.h"
#include "app/report_page.h"
#include "app/window_text.h"
#include "common/database_kind.h"
#include "session/conversion.h"

namespace trovlin::app {

namespace {

// A fixed font keeps the page's columns aligned; the text stays selectable.
void ReportViewHabits(QPlainTextEdit* view) {
  view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

void AddCopyButton(QDialogButtonBox* buttons, const QPlainTextEdit* view) {
  QPushButton* copy = buttons->addButton(ToQt(captions::kCopyReport), QDialogButtonBox::ActionRole);
  copy->setObjectName(QStringLiteral("copyReport"));
  QObject::connect(copy, &QPushButton::clicked, view,
                   [view] { QGuiApplication::clipboard()->setText(view->toPlainText()); });
}

}  // namespace

DiscoveryStart MainWindow::Discovering() const {
  return widgets_.firstAnswerEntry->isChecked() ? DiscoveryStart::FirstAnswer : DiscoveryStart::FirstBlock;
}

void MainWindow::ReportNothingConverted(const std::optional<AnswerHeader>& header) {
  std::u16string reason = PatolisRefusal(header);
  if (reason.empty()) reason = Fill(captions::kLayoutNotConvertible, {header->layoutCharacter});
  widgets_.statusText->clear();
  Say(std::u16string(captions::kConvertFailed) + u"\r" + FromUtf8(settings_.inputPath) + u"\r" + reason +
          std::u16string(captions::kNoFileMade),
      Icon::Warning, Buttons::Ok);
}

void MainWindow::KeepReport(const ConversionReport& report) {
  lastReport_ = report;
  lastSkippedEmptyRows_ = settings_.skipEmptyRows;
  lastUnread_ = settings_.databaseKind == DatabaseKind::Patolis ? ItemGridModel::UnreadItems{} : runUnread_;
  widgets_.statusText->setText(ToQt(ReportSummary(report)));
  KeepItemRows(report);
  ShowGrid();
  Mirror();
  if (reportView_ != nullptr)
    reportView_->setPlainText(ToQt(ReportPage(report, lastSkippedEmptyRows_, lastUnread_.blankRow, lastUnread_.count)));
}

void MainWindow::ShowReport() {
  if (ended_ || !lastReport_) return;
  if (reportView_ == nullptr) {
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("reportDialog"));
    dialog->setWindowTitle(ToQt(captions::kReportTitle));
    auto* column = new QVBoxLayout(dialog);
    reportView_ = new QPlainTextEdit(dialog);
    reportView_->setObjectName(QStringLiteral("reportText"));
    reportView_->setReadOnly(true);
    reportView_->setLineWrapMode(QPlainTextEdit::NoWrap);
    ReportViewHabits(reportView_);
    column->addWidget(reportView_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
    AddCopyButton(buttons, reportView_);
    column->addWidget(buttons);
    // Wide enough for a warning's line, tall enough for a page of items.
    dialog->resize(reportView_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 80,
                   reportView_->fontMetrics().lineSpacing() * 28);
  }
  reportView_->setPlainText(
      ToQt(ReportPage(*lastReport_, lastSkippedEmptyRows_, lastUnread_.blankRow, lastUnread_.count)));
  QWidget* dialog = reportView_->window();
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}

void MainWindow::CountItems() {
  itemRows_.clear();
  if (counter_.IsRunning()) {
    // Its counts would be of the log before.
    counter_.Cancel();
    countAgain_ = true;
    return;
  }
  countAgain_ = false;
  if (settings_.databaseKind == DatabaseKind::None || settings_.databaseKind == DatabaseKind::Patolis) return;
  ConversionRequest request = RequestFromWindow(RunMode::Inspect);
  if (CheckRequest(request) != RequestProblem::None) return;
  counter_.Start([request = std::move(request)](RunObserver* observer) { return Convert(request, observer); });
}

void MainWindow::OnCountFinished() {
  if (ended_) return;
  if (countAgain_) {
    CountItems();
    return;
  }
  if (counter_.result().status != RunResult::Status::Done) return;
  KeepItemRows(counter_.result().outcome.report);
  ShowGrid();
}

void MainWindow::KeepItemRows(const ConversionReport& report) {
  records_ = report.records;
  for (const ItemCount& item : report.items) itemRows_[item.code] = item.rows;
}

}  // namespace trovlin::app
