// The conversion run: the output-file question, the run on the worker
// thread, what the window says when it has ended, and the CSV it wrote
// handed to the desktop.
#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include "app/captions.h"
#include "app/main_window.h"
#include "app/window_text.h"
#include "common/database_kind.h"
#include "input/output_name.h"
#include "session/conversion.h"

namespace trovlin::app {

bool MainWindow::ChooseOutputFile(ConversionRequest& request) {
  for (;;) {
    std::string proposal =
        CommonDialog::WithFilterExtension(ProposeOutputName(settings_.inputPath), dialog_.filterIndex());
    // In the folder the last CSV went to, while it is there.
    const QString folder = memory_.CsvFolder();
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
      const QString name = QFileInfo(QFile::decodeName(proposal.c_str())).fileName();
      proposal = QFile::encodeName(folder + QLatin1Char('/') + name).toStdString();
    }
    settings_.outputPath = proposal;
    settings_.outputPath = dialog_.AskOutputFile(prompts_, proposal);
    request.settings.outputPath = settings_.outputPath;
    std::u16string_view problem;
    if (settings_.outputPath.empty()) {
      problem = captions::kBadFileName;
    } else if (CheckRequest(request) == RequestProblem::SameFile) {
      problem = captions::kSameFile;
    } else {
      memory_.KeepCsvFolder(QFile::decodeName(settings_.outputPath.c_str()));
      return true;
    }
    // Cancel goes back to the window as it was.
    if (Say(problem, Icon::None, Buttons::OkCancel) == Answer::Cancel) return false;
  }
}

ConversionRequest MainWindow::RequestFromWindow(RunMode mode) const {
  ConversionRequest request;
  request.settings = settings_;
  // A PATOLIS run writes its layout's fixed columns, not the grid's.
  request.itemSource = ItemSource::Given;
  if (settings_.databaseKind != DatabaseKind::Patolis) request.items = grid_.ReadItemTable().codes;
  request.discover = Discovering();
  request.removeStars = widgets_.removeStarsEntry->isChecked();
  request.toHalfWidth = widgets_.halfWidthEntry->isChecked();
  request.mode = mode;
  return request;
}

void MainWindow::StartConversion() {
  if (Busy()) return;
  // The menu entry can start a run before any log has been loaded.
  if (settings_.inputPath.empty() || settings_.databaseKind == DatabaseKind::None || !patolisRefusal_.empty()) return;
  ConversionRequest request = RequestFromWindow(RunMode::Convert);
  // Said before the output is asked for; no output is chosen yet.
  request.settings.outputPath.clear();
  if (CheckRequest(request) == RequestProblem::NoItems) {
    Say(captions::kNoItemsToConvert, Icon::Warning, Buttons::Ok);
    return;
  }
  const std::string outputBefore = settings_.outputPath;
  if (!ChooseOutputFile(request)) {
    settings_.outputPath = outputBefore;
    return;
  }
  if (CheckRequest(request) != RequestProblem::None) return;
  runUnread_ = grid_.Unread();
  // The report tells of grid codes the first answer does not show, as it is
  // read when the run starts.
  StartRun([request = std::move(request)](RunObserver* observer) { return Convert(request, observer); });
}

void MainWindow::StartRun(ConversionWorker::Job job) {
  widgets_.progress->setValue(0);
  widgets_.progress->show();
  widgets_.codeEdit->setReadOnly(true);
  runClock_.start();
  worker_.Start(std::move(job));
  ShowRunPhase(0, 0);
  MirrorRun();
}

void MainWindow::OnProgress(quint64 bytesRead, quint64 bytesTotal) {
  if (bytesTotal > 0) widgets_.progress->setValue(static_cast<int>(bytesRead * 1000 / bytesTotal));
  ShowRunPhase(bytesRead, bytesTotal);
}

void MainWindow::OnRunFinished() {
  if (askingToStop_) {
    finishDeferred_ = true;
    return;
  }
  widgets_.progress->hide();
  widgets_.codeEdit->setReadOnly(false);
  if (ended_) return;
  EndRunControls();
  const RunResult result = worker_.result();
  const ConversionOutcome& outcome = result.outcome;
  if (result.status != RunResult::Status::Done) widgets_.statusText->clear();
  if (result.status == RunResult::Status::Cancelled) {
    widgets_.statusText->setText(ToQt(captions::kRunStopped));
    emit runFinished();
    return;
  }
  if (result.status == RunResult::Status::Failed) {
    // Nothing was written; the window stays as it was before the run.
    ShowFailure(captions::kConvertFailed, result.error);
    emit runFinished();
    return;
  }
  switch (outcome.status) {
    case ConversionOutcome::Status::Converted:
    case ConversionOutcome::Status::RowsKept:
      break;
    case ConversionOutcome::Status::NothingToConvert:
      ReportNothingConverted(outcome.patolisHeader);
      emit runFinished();
      return;
    case ConversionOutcome::Status::Refused:
      emit runFinished();
      return;
  }
  KeepReport(outcome.report);
  lastCsv_ = settings_.outputPath;
  const QString seconds = QString::number(static_cast<double>(runClock_.elapsed()) / 1000.0, 'f', 1);
  const QString csvName = QFileInfo(QFile::decodeName(lastCsv_.c_str())).fileName();
  widgets_.statusText->setText(ToQt(Fill(captions::kRunWritten, {FromQt(csvName), FromQt(seconds)})) +
                               QStringLiteral("  ") + widgets_.statusText->text());
  Mirror();
  if (outcome.status == ConversionOutcome::Status::RowsKept) {
    prompts_.Ask(Message{std::u16string(captions::kPatolisFailureTitle), FailureDetail(outcome.stoppedBy),
                         Icon::Critical, Buttons::Ok});
  }
  ReportTrouble(result);
  if (Say(captions::kDone, Icon::None, Buttons::YesNo) == Answer::Yes) {
    emit runFinished();
    End();
    return;
  }
  Unload();
  emit runFinished();
}

void MainWindow::OpenCsv() {
  if (ended_ || lastCsv_.empty()) return;
  OpenOnDesktop(QFile::decodeName(lastCsv_.c_str()), captions::kNoOpener);
}

void MainWindow::OpenCsvFolder() {
  if (ended_ || lastCsv_.empty()) return;
  OpenOnDesktop(QFileInfo(QFile::decodeName(lastCsv_.c_str())).absolutePath(), captions::kNoFolderOpener);
}

void MainWindow::ReportTrouble(const RunResult& result) {
  std::u16string trouble;
  if (result.invalidBytes > 0) {
    const std::u16string_view encoding = settings_.inputEncoding == LogEncoding::Utf8 ? captions::kUtf8Name
                                         : IsUtf16(settings_.inputEncoding)           ? captions::kUtf16Name
                                                                                      : captions::kCp932Name;
    const std::u16string_view written =
        settings_.csvEncoding == CsvEncoding::Cp932 ? captions::kWrittenAsTheyAre : captions::kWrittenAsReplacement;
    trouble += Fill(captions::kInvalidBytes,
                    {Number(result.invalidBytes), encoding, Number(result.firstInvalidLine), written});
  }
  if (result.outcome.unencodable > 0) {
    if (!trouble.empty()) trouble += u"\r";
    trouble += Fill(captions::kUnencodable, {Number(result.outcome.unencodable)});
  }
  if (!trouble.empty()) Say(trouble, Icon::Warning, Buttons::Ok);
}

}  // namespace trovlin::app
