// An output file that appears under its name only when it is complete.
//
// A regular file (or a new name) is written as a temporary file beside it,
// unnamed where the system allows, and Commit() flushes it and puts it in
// place in one step; if the object dies uncommitted nothing is left, so a
// failed, cancelled or killed run never leaves a half-written file and never
// destroys a previous file of that name. A symbolic link is followed: the
// file it names is replaced and the link stays. A replaced file keeps its
// permission bits, owner and group. A character device, FIFO or socket is
// written straight into; "-" is standard output.
//
// Refused, with OutputError: a folder, a block device, a file with other hard
// links (replacing it would separate them), and unless rules.force a file
// with no write permission bit, or anything at all under a name Trovlin chose
// (rules.namedByUser false) that does not end in ".csv". A stop signal turns
// a failure into RunCancelled.
//
// A long output is pushed to the disk while it is written and the pages the
// disk already holds are handed back, so the cache the output occupies stays
// at a few blocks and Commit() has little left to flush.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/conversion_settings.h"
#include "common/errors.h"
#include "platform/file_system.h"

namespace trovlin {

class OutputFile {
 public:
  // operation is what every error says was being done.
  explicit OutputFile(std::string path, IoOperation operation = IoOperation::WriteCsv, OutputRules rules = {});
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  void Commit();

  const std::string& path() const { return path_; }

 private:
  [[noreturn]] void Fail(int error) const;
  void Refuse(const platform::OutputTarget& target, const OutputRules& rules) const;
  void WriteBack();

  std::string path_;
  const IoOperation operation_;
  platform::PendingFile pending_;    // a regular file or a new name
  platform::FileDescriptor stream_;  // a device, FIFO or socket
  int fd_ = -1;
  bool toStandardOutput_ = false;
  bool committed_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t writebackStarted_ = 0;   // bytes before this are on their way to the disk
  std::uint64_t writebackPrevious_ = 0;  // where the chunk started last time ends
  std::uint64_t writebackDone_ = 0;      // bytes before this are on the disk and out of the cache
  bool writeBackEarly_ = false;
};

// Whether path's last name ends in extension (lower case, ".csv"), in any letter case.
bool HasExtension(std::string_view path, std::string_view extension);

}  // namespace trovlin
