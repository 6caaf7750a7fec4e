// A conversion report in trovlin-cli's English: the part the summary line
// gains, each warning as a sentence, and the page `inspect` prints.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "report/conversion_report.h"

namespace trovlin::cli {

// "11-20, 25": ranges as a reader writes them.
std::string RangeList(const std::vector<NumberRange>& ranges);

// "answers: 20 of 30, missing 11-20, repeated 7" (sets named when there are
// several, joined by "; "); "" when the log announces no answers.
std::string AnswersSummary(const ConversionReport& report);

// What the summary says of records that hold none of the items; "" when
// every record holds one.
std::string EmptyRowsSummary(const ConversionReport& report, bool skipped);

std::string WarningMessage(const ReportWarning& warning);

// How the log was read: "code page 932, CR line ends".
std::string HowRead(const LogFormat& format);

void PrintInspection(std::FILE* to, const ConversionReport& report);

}  // namespace trovlin::cli
