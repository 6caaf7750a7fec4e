#include "input/open_log.h"

#include "input/detect.h"
#include "input/log_encoding.h"

namespace trovlin {

OpenedLog OpenLog(const std::string& path, std::optional<LogEncoding> encoding) {
  const LogSniff sniff = SniffLog(path, encoding);
  OpenedLog opened;
  opened.format = sniff.format;
  opened.loneLfLines = sniff.loneLfLines;
  const Detection found = DetectLog(path, opened.format);
  opened.kind = found.kind;
  opened.format.repairLfCr = found.kind == DatabaseKind::Patolis;
  if (found.kind != DatabaseKind::None) return opened;
  if (sniff.empty) {
    opened.refusal = Refusal::Empty;
  } else if (sniff.utf16WithoutBom) {
    opened.refusal = Refusal::Utf16WithoutBom;
  } else if (sniff.nulBytes) {
    opened.refusal = Refusal::NulBytes;
  } else {
    opened.refusal = Refusal::NoMarker;
    opened.linesExamined = found.linesExamined;
    opened.shortLine = found.shortLine;
  }
  return opened;
}

}  // namespace trovlin
