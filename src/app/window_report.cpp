// The report of a run and the counts of the items: the status bar's
// summary, the report dialog, the grid's counts read by a second worker,
// and what a PATOLIS run with nothing to convert says instead of "done".
#include <QDialog>
#include <QDialogButtonBox>
#include <QVBoxLayout>

#include "app/captions.h"
#include "app/main_window.h"
#include "app/report_page.h"
#include "app/window_text.h"
#include "common/database_kind.h"
#include "session/conversion.h"

namespace trovlin::app {

DiscoveryStart MainWindow::Discovering() const {
  return widgets_.firstAnswerEntry->isChecked() ? DiscoveryStart::FirstAnswer : DiscoveryStart::FirstBlock;
}

void MainWindow::ReportNothingConverted(const std::optional<AnswerHeader>& header) {
  const std::u16string reason = header && !header->layoutCharacter.empty()
                                    ? Fill(captions::kLayoutNotConvertible, {header->layoutCharacter})
                                    : std::u16string(captions::kNoAnswerHeader);
  widgets_.statusText->clear();
  Say(std::u16string(captions::kConvertFailed) + u"\r" + FromUtf8(settings_.inputPath) + u"\r" + reason, Icon::Warning,
      Buttons::Ok);
}

void MainWindow::KeepReport(const ConversionReport& report) {
  lastReport_ = report;
  lastSkippedEmptyRows_ = settings_.skipEmptyRows;
  widgets_.statusText->setText(ToQt(ReportSummary(report)));
  KeepItemRows(report);
  ShowGrid();
  Mirror();
  if (reportView_ != nullptr) reportView_->setPlainText(ToQt(ReportPage(report, lastSkippedEmptyRows_)));
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
    column->addWidget(reportView_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, dialog);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::hide);
    column->addWidget(buttons);
    // Wide enough for a warning's line, tall enough for a page of items.
    dialog->resize(reportView_->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 60,
                   reportView_->fontMetrics().lineSpacing() * 28);
  }
  reportView_->setPlainText(ToQt(ReportPage(*lastReport_, lastSkippedEmptyRows_)));
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
