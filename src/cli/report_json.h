// A conversion report as JSON, with the keys the README documents.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "report/conversion_report.h"

namespace trovlin::cli {

// One report as a JSON object, indented by two spaces.
std::string ReportJson(const ConversionReport& report);
// A log of a batch that wrote nothing, for the batch's report.
struct FailedLog {
  std::string log;
  std::string kind;  // "input", "output" or "nothing-to-convert"
  std::string message;
  int exitCode = 0;
};
// One entry per log, in order: its report, or why it failed.
std::string ReportsJson(const std::vector<std::variant<ConversionReport, FailedLog>>& entries);

}  // namespace trovlin::cli
