// trovlin-cli convert: one log into one CSV, or a batch of logs into a folder;
// and inspect, which makes the same pass and reports instead of writing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trovlin::cli {

extern const std::string_view kConvertUsage;
extern const std::string_view kInspectUsage;

// Returns the exit code; in a batch, the worst of the logs' codes.
int RunConvert(const std::vector<std::string>& args);
// trovlin-cli inspect: the report of a conversion, with nothing written.
int RunInspect(const std::vector<std::string>& args);

}  // namespace trovlin::cli
