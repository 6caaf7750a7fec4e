// Exceptions the core throws to its front ends.
//
// IoError carries the path and the system's reason; the window shows it in a
// message box, the CLI prints it and exits non-zero. RunCancelled is thrown by
// a front end's event hook to stop a run that the user cancelled.
#pragma once

#include <stdexcept>
#include <string>
#include <system_error>

namespace trovlin {

class IoError : public std::runtime_error {
 public:
  IoError(std::string path, const std::string& what, const std::string& reason)
      : std::runtime_error(what + " '" + path + "': " + reason), path_(std::move(path)) {}
  const std::string& path() const { return path_; }
  // A conversion that failed part way and kept the rows it had written (the
  // CSV holds them) says so here; the front ends tell the user.
  bool rowsKept() const { return rowsKept_; }
  void MarkRowsKept() { rowsKept_ = true; }

 private:
  std::string path_;
  bool rowsKept_ = false;
};

// The message of errno as text, for IoError reasons.
inline std::string SystemReason(int error_number) {
  return std::generic_category().message(error_number);
}

// An IoError of the output side: the CSV could not be created or written.
// forceable: an existing file was refused that the user may still ask to
// have replaced.
class OutputError : public IoError {
 public:
  OutputError(std::string path, const std::string& what, const std::string& reason, bool forceable = false)
      : IoError(std::move(path), what, reason), forceable_(forceable) {}
  bool forceable() const { return forceable_; }

 private:
  bool forceable_;
};

class RunCancelled : public std::runtime_error {
 public:
  RunCancelled() : std::runtime_error("conversion cancelled") {}
};

}  // namespace trovlin
