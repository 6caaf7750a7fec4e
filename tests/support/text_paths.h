// Test and fuzz support: a tagged conversion run both ways, keeping the
// code page 932 bytes and through UTF-16, which must agree on everything.
#pragma once

#include <string>

#include "common/conversion_settings.h"
#include "common/run_observer.h"

namespace trovlin::testing {

// Converts settings.inputPath twice (into two files beside
// settings.outputPath) and returns "" when both runs wrote the same CSV
// bytes, gave the same statistics and told an observer with interest the
// same lines, invalid bytes and records; otherwise what differs first.
std::string CompareTextPaths(const ConversionSettings& settings, const ItemTable& items, const LineInterest& interest);

}  // namespace trovlin::testing
