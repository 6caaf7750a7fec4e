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

#include "app/words.h"
#include "common/conversion_settings.h"
#include "common/errors.h"
#include "input/open_log.h"
#include "session/log_session.h"

namespace trovlin::app {

// Text between the core and Qt: UTF-16 into a QString and back (the
// window's words for the core's facts, without Qt, are in words.h).
QString ToQt(std::u16string_view text);
std::u16string FromQt(const QString& text);

// The lines under a failure message's heading: the file, then why. A failure
// that is not about a file gives its own text.
std::u16string FailureDetail(std::exception_ptr failure);

}  // namespace trovlin::app
