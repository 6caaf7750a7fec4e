// trovlin-cli convert: one log into one CSV, or a batch of logs into a folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trovlin::cli {

extern const std::string_view kConvertUsage;

// Returns the exit code; in a batch, the worst of the logs' codes.
int RunConvert(const std::vector<std::string>& args);

}  // namespace trovlin::cli
