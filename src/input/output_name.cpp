#include "input/output_name.h"

#include <unicode/utf8.h>

#include <filesystem>
#include <vector>

#include "platform/file_system.h"
#include "platform/output_file.h"

namespace trovlin {
namespace {

// Byte offset of each character's start, and the total length at the end.
std::vector<std::size_t> CharacterStarts(std::string_view s) {
  std::vector<std::size_t> starts;
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
  const int32_t length = static_cast<int32_t>(s.size());
  int32_t i = 0;
  while (i < length) {
    starts.push_back(static_cast<std::size_t>(i));
    const int32_t from = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) i = from + 1;  // an invalid byte counts as one character
  }
  starts.push_back(s.size());
  return starts;
}

std::string ProposeCsvName(std::string_view inputPath) {
  static constexpr std::string_view kCsv = "csv";
  const std::vector<std::size_t> starts = CharacterStarts(inputPath);
  const std::size_t n = starts.size() - 1;
  auto isDot = [&](std::size_t k) { return inputPath[starts[k]] == '.'; };  // k: 0-based character index
  std::size_t k = 0;
  while (k < n && !isDot(k)) ++k;
  while (k < n && n - (k + 1) > kCsv.size()) {
    ++k;
    while (k < n && !isDot(k)) ++k;
  }
  if (k == n) return std::string(inputPath) + ".csv";
  const std::size_t following = n - (k + 1);
  if (following == 0) return std::string(inputPath) + std::string(kCsv);
  std::string proposal(inputPath.substr(0, starts[k] + 1));
  proposal.append(kCsv.substr(0, following));
  return proposal;
}

}  // namespace

std::string ProposeOutputName(std::string_view inputPath, OutputFormat format) {
  if (format != OutputFormat::Xlsx) return ProposeCsvName(inputPath);
  return platform::PathString(platform::PathOf(inputPath).replace_extension(".xlsx"));
}

OutputFormat OutputFormatFor(std::string_view outputPath) {
  return HasExtension(outputPath, ".xlsx") ? OutputFormat::Xlsx : OutputFormat::Csv;
}

bool IsSameFile(const std::string& inputPath, const std::string& outputPath) {
  if (inputPath == outputPath) return true;
  std::error_code ec;
  return std::filesystem::equivalent(platform::PathOf(inputPath), platform::PathOf(outputPath), ec) && !ec;
}

}  // namespace trovlin
