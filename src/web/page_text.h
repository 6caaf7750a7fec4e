// The page's Japanese for what the core reports as facts, in the window's
// words (app/captions.h) wherever the window has them. UTF-8.
#pragma once

#include <string>

#include "common/errors.h"
#include "input/open_log.h"
#include "report/conversion_report.h"
#include "session/log_session.h"

namespace trovlin::web {

// Why a file could not be used.
std::string FailureReason(const IoError& error);
// Why a log was not recognised as a search log.
std::string RefusalText(const OpenedLog& opened);
// Why a log whose output would bear its own name gave no file.
std::string SameFileText();
// Why a PATOLIS log gave no file.
std::string NoLayoutText(const std::optional<AnswerHeader>& header);
// The same after a run, which says that no file was made, as the window does.
std::string NothingWrittenText(const std::optional<AnswerHeader>& header);
// One warning of a report, as the window's report page words it.
std::string WarningText(const ReportWarning& warning);

}  // namespace trovlin::web
