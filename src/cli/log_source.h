// The LOG operand of detect, items and convert: a path, or "-" for standard
// input.
//
// Standard input is copied into an unnamed temporary file first, since a log
// is read more than once (encoding, detection, items, conversion); path() is
// what the core opens, name() what messages call it. Failing to read standard
// input throws IoError.
#pragma once

#include <string>

#include "platform/file_system.h"

namespace trovlin::cli {

class LogSource {
 public:
  explicit LogSource(const std::string& operand);

  bool IsStandardInput() const { return standardInput_; }
  const std::string& path() const { return path_; }
  const std::string& name() const { return name_; }

 private:
  platform::SpooledInput spool_;
  bool standardInput_;
  std::string path_;
  std::string name_;
};

}  // namespace trovlin::cli
