#include "app/refusal_message.h"

#include <cstdint>

#include "app/captions.h"
#include "input/detect.h"
#include "text/utf8.h"

namespace trovlin::app {
namespace {

std::u16string Number(std::uint64_t n) { return Utf8ToUtf16(std::to_string(n)); }

std::u16string Reason(const OpenedLog& opened) {
  namespace c = captions;
  switch (opened.refusal) {
    case Refusal::Empty:
      return std::u16string(c::kRefusedEmpty);
    case Refusal::Utf16WithoutBom:
      return std::u16string(c::kRefusedUtf16);
    case Refusal::NulBytes:
      return std::u16string(c::kRefusedNul);
    case Refusal::NoMarker:
    case Refusal::None:
      break;
  }
  std::u16string text(c::kRefusedMarkers);
  if (opened.linesExamined > 0) {
    text +=
        std::u16string(c::kRefusedLinesBefore) + Number(opened.linesExamined) + std::u16string(c::kRefusedLinesAfter);
  } else if (opened.shortLine == 0) {
    return text + std::u16string(c::kRefusedOnlyLine);
  } else {
    text += c::kRefusedNowhere;
  }
  if (opened.shortLine != 0) {
    text += std::u16string(c::kRefusedShortBefore) + Number(opened.shortLine) + std::u16string(c::kRefusedShortAfter);
  }
  return text;
}

}  // namespace

std::u16string RefusalMessage(const std::string& path, const OpenedLog& opened) {
  return Utf8ToUtf16(kNotALogMessage) + u"\r" + Utf8ToUtf16(path) + u"\r" + Reason(opened);
}

}  // namespace trovlin::app
