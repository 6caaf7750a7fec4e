// Text conversions at the window's edge: the core speaks UTF-8 and UTF-16
// strings, Qt speaks QString, and the window's messages are patterns from
// captions.h with numbered places ("%1", "%2", ...) filled in here.
#pragma once

#include <QString>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/conversion_settings.h"
#include "common/errors.h"
#include "input/open_log.h"
#include "session/log_session.h"

namespace trovlin::app {

// Text between the core and Qt: UTF-16 into a QString, UTF-8 into UTF-16,
// and a QString back.
QString ToQt(std::u16string_view text);
std::u16string FromUtf8(std::string_view utf8);
std::u16string FromQt(const QString& text);
std::u16string Number(std::uint64_t n);

// pattern with each "%n" (n from 1 to 9) replaced by the n-th of args; a
// place may be used more than once.
std::u16string Fill(std::u16string_view pattern, std::initializer_list<std::u16string_view> args);

bool IsUtf16(LogEncoding encoding);

// Why a file could not be used, in the window's words.
std::u16string FailureReason(const IoError& error);
// The lines under a failure message's heading: the file, then why. A failure
// that is not about a file gives its own text.
std::u16string FailureDetail(std::exception_ptr failure);

// Why a PATOLIS log with this answer header cannot be converted; "" when
// its layout is one of 1 to 4.
std::u16string PatolisRefusal(const std::optional<AnswerHeader>& header);

// Why opened was not recognised as a search log, in the window's words.
std::u16string RefusalText(const OpenedLog& opened);

}  // namespace trovlin::app
