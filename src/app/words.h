// The window's Japanese words for what the core reports as facts: a
// pattern of captions.h filled in, why a file could not be used, why a log
// is refused or has nothing to convert, a report's warning. No Qt, so the
// page says the same in the same words.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "common/errors.h"
#include "input/open_log.h"
#include "report/conversion_report.h"
#include "session/log_session.h"

namespace trovlin::app {

std::u16string FromUtf8(std::string_view utf8);
std::u16string Number(std::uint64_t n);

// pattern with each "%n" (n from 1 to 9) replaced by the n-th of args; a
// place may be used more than once.
std::u16string Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> args);

bool IsUtf16(LogEncoding encoding);

// Why a file could not be used, in the window's words.
std::u16string FailureReason(const IoError& error);

// Why a PATOLIS log with this answer header cannot be converted; "" when
// its layout is one of 1 to 4.
std::u16string PatolisRefusal(const std::optional<AnswerHeader>& header);

// Why opened was not recognised as a search log, in the window's words.
std::u16string RefusalText(const OpenedLog& opened);

// One warning of a report, as the report page words it.
std::u16string WarningText(const ReportWarning& warning);

}  // namespace trovlin::app
