#include "app/window_text.h"

#include "app/captions.h"
#include "text/utf8.h"

namespace trovlin::app {

QString ToQt(std::u16string_view text) { return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())); }

std::u16string FromQt(const QString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<std::size_t>(text.size()));
}

std::u16string FailureDetail(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const IoError& e) {
    return FromUtf8(e.path()) + u"\r" + FailureReason(e);
  } catch (const std::exception& e) {
    return Fill(captions::kUnexpectedError, {FromUtf8(e.what())});
  }
}

}  // namespace trovlin::app
