// A conversion report as JSON, with the keys the README documents.
#pragma once

#include <string>
#include <vector>

#include "report/conversion_report.h"

namespace trovlin::cli {

// One report as a JSON object, indented by two spaces.
std::string ReportJson(const ConversionReport& report);
// Several reports as a JSON array, in their order.
std::string ReportsJson(const std::vector<ConversionReport>& reports);

}  // namespace trovlin::cli
