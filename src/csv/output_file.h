// An output file that appears under its name only when it is complete.
//
// Bytes go to a temporary file beside the target, named
// "<target>.trovlin-partial-<random>", created afresh (never through a link).
// Commit() flushes, closes and renames it over the target in one step; if the
// object dies uncommitted the temporary file is removed, so a failed or
// cancelled run never leaves a half-written file under the target's name and
// never destroys a previous file of that name. The path "-" is standard
// output, written straight through. Failures throw IoError.
//
// A long output is pushed to the disk while it is written and the pages the
// disk already holds are handed back, so the cache the output occupies stays
// at a few blocks and Commit() has little left to flush.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trovlin {

class OutputFile {
 public:
  static constexpr std::string_view kPartialMarker = ".trovlin-partial-";

  // failure opens the message of every error ("cannot write the CSV file").
  explicit OutputFile(std::string path, std::string failure = "cannot write the CSV file");
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  void Write(std::string_view bytes);
  void Commit();

  const std::string& path() const { return path_; }
  bool IsStandardOutput() const { return path_ == "-"; }

 private:
  void Discard() noexcept;
  void WriteBack();

  std::string path_;
  const std::string failure_;
  std::string temporaryPath_;
  int fd_ = -1;
  bool committed_ = false;
  std::uint64_t written_ = 0;
  std::uint64_t writebackStarted_ = 0;   // bytes before this are on their way to the disk
  std::uint64_t writebackPrevious_ = 0;  // where the chunk started last time ends
  std::uint64_t writebackDone_ = 0;      // bytes before this are on the disk and out of the cache
  bool writeBackEarly_ = true;
};

}  // namespace trovlin
