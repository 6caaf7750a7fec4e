// File access below the output file, the paste file and standard input.
//
// Every call answers 0 or the system's error number, never throws, and
// retries a call that a signal interrupted unless a stop signal has been
// received (platform/stop_signals.h): then it answers EINTR so the run can
// unwind.
//
// An output is written in one of two ways. A device, FIFO or socket is
// written straight into (StreamTarget). A regular file is written as a
// PendingFile beside its target: an unnamed file where the system has them,
// so nothing at all is left by a crash or SIGKILL, otherwise a named file
// "<target>.trovlin-partial-<random>"; Publish() gives it the target's name
// in one step.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace trovlin::platform {

inline constexpr std::string_view kPartialMarker = ".trovlin-partial-";
// What separates a folder from a name in a path.
extern const char kPathSeparator;

// Paths are UTF-8 strings everywhere in Trovlin (on a POSIX system, any
// bytes); these turn one into what std::filesystem takes and back. Where the
// system names files in UTF-16, bytes that are not UTF-8 survive as escaped
// bytes (text/utf8.h).
std::filesystem::path PathOf(std::string_view path);
std::string PathString(const std::filesystem::path& path);

// Whether path names a folder (following links).
bool IsFolder(const std::string& path);

// std::fopen(path, "rb") for a UTF-8 path; errno says why it failed.
std::FILE* OpenForReading(const std::string& path);

// The descriptor of standard output, set to pass bytes unchanged.
int BinaryStandardOutput();

// An open file descriptor, closed when the object goes.
class FileDescriptor {
 public:
  FileDescriptor() = default;
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor();
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.release()) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept;
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }
  // Closes now, answering the error a late write failure may show only here.
  int Close();

 private:
  int fd_ = -1;
};

// Writes every byte of bytes to fd.
int WriteAll(int fd, std::string_view bytes);
// Reads up to size bytes; *got is 0 at the end.
int ReadSome(int fd, char* data, std::size_t size, std::size_t* got);
int SyncFile(int fd);
// Whether error says the disk failed or is full, rather than refused a call.
bool IsDiskFailure(int error);

// Sends bytes [from, to) of fd towards the disk; with wait, waits for them
// and drops them from the cache. ENOSYS where the system has no such call.
int WriteBackRange(int fd, std::uint64_t from, std::uint64_t to, bool wait);

// What an output path names once symbolic links are followed.
struct OutputTarget {
  enum class Kind { Missing, File, Folder, Stream, Socket, BlockDevice, Other };
  std::string path;  // the final name, every link followed
  Kind kind = Kind::Missing;
  unsigned mode = 0;  // permission bits
  std::uint64_t links = 0;
  std::uint32_t owner = 0;
  std::uint32_t group = 0;
};
int InspectOutputTarget(const std::string& path, OutputTarget* target);

// Opens a Stream or Socket target for writing.
int OpenStream(const OutputTarget& target, FileDescriptor* out);

// What a name in a folder other users may share holds, when it is refused
// for a file this user writes alone.
enum class SharedNameRefusal { None, SymbolicLink, NotOrdinaryFile, OtherOwner, OtherNames };
// Opens path to be written from its start in a folder other users may share:
// created readable and writable by this user only, or emptied. It is never
// opened through a symbolic link, and a FIFO planted at the name cannot hold
// the caller up. Answers an errno value, or 0 with *refused saying what the
// name holds instead of a file this user may write (None: *out is open). The
// window, its only user, is built for POSIX systems; Windows and the page answer ENOSYS.
int OpenOwnFile(const std::string& path, FileDescriptor* out, SharedNameRefusal* refused);

// A scratch file for a library that writes only by name (the workbook
// library): fd() reads it back and path() opens it again. Where the system
// allows, it has no name in any folder (an unnamed file reached through
// /proc/self/fd), so a killed run leaves nothing; elsewhere (the page's
// in-memory files) its name is removed with the object.
class ScratchFile {
 public:
  ScratchFile() = default;
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  // 0, or the errno value of the failure.
  int Open();
  int fd() const { return fd_.get(); }
  const std::string& path() const { return path_; }

 private:
  FileDescriptor fd_;
  std::string path_;
  std::string named_;  // the name to remove, where the file has one
};

class PendingFile {
 public:
  PendingFile() = default;
  ~PendingFile() { Discard(); }
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;

  // Starts a file in the folder of target.path; a File target's owner, group
  // and permission bits are given to it, a new one gets the usual mode.
  int Create(const OutputTarget& target);
  int fd() const { return fd_.get(); }
  // Closes the file and puts it at the target's name, replacing what is there.
  int Publish();
  // Closes and removes the file unless it was published.
  void Discard() noexcept;

 private:
  FileDescriptor fd_;
  std::string target_;
  std::string named_;  // the named fallback file, empty when unnamed
  bool unnamed_ = false;
  bool targetExisted_ = false;
};

// Standard input copied into an unnamed temporary file that path() reopens,
// since a log is read more than once.
class SpooledInput {
 public:
  SpooledInput() = default;
  ~SpooledInput();
  SpooledInput(const SpooledInput&) = delete;
  SpooledInput& operator=(const SpooledInput&) = delete;

  int Spool();
  const std::string& path() const { return path_; }

 private:
  FileDescriptor fd_;
  std::string path_;
  std::string named_;  // where the file has to keep a name until the end
};

}  // namespace trovlin::platform
