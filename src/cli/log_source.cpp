#include "cli/log_source.h"

#include "common/errors.h"

namespace trovlin::cli {

LogSource::LogSource(const std::string& operand) : standardInput_(operand == "-"), path_(operand), name_(operand) {
  if (!standardInput_) return;
  name_ = "standard input";
  if (const int error = spool_.Spool()) {
    throw IoError(name_, IoOperation::ReadStandardInput, IoReason::System, error);
  }
  path_ = spool_.path();
}

}  // namespace trovlin::cli
