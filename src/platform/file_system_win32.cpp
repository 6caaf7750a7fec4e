// The Windows side of file_system.h. Paths are UTF-8 inside Trovlin and
// UTF-16 for the system; descriptors are the C runtime's, opened in binary
// mode. There are no unnamed files here: a pending output is a named file
// beside its target, put in place with MoveFileExW, which replaces a file
// of that name in one step.
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <random>
#include <vector>

#include "platform/file_system.h"
#include "platform/stop_signals.h"
#include "text/utf8.h"

namespace trovlin::platform {

const char kPathSeparator = '\\';

namespace {

std::wstring Wide(std::string_view path) {
  const std::u16string utf16 = Utf8ToUtf16(path);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string Narrow(std::wstring_view path) { return Utf16ToUtf8(std::u16string(path.begin(), path.end())); }

// The errno value nearest to what GetLastError() says.
int ErrnoOfLastError() {
  switch (::GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILENAME_EXCED_RANGE:
      return ENAMETOOLONG;
    case ERROR_NOT_SAME_DEVICE:
      return EXDEV;
    default:
      return EIO;
  }
}

std::string RandomSuffix() {
  static thread_local std::mt19937_64 engine{std::random_device{}()};
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string s(8, '0');
  for (char& c : s) c = kDigits[engine() % 36];
  return s;
}

// A new file for writing (and reading, with read), never one that exists.
int CreateNew(const std::string& path, bool read) {
  const int access = read ? _O_RDWR : _O_WRONLY;
  return ::_wopen(Wide(path).c_str(), access | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

}  // namespace

std::filesystem::path PathOf(std::string_view path) { return std::filesystem::path(Wide(path)); }

std::string PathString(const std::filesystem::path& path) { return Narrow(path.native()); }

bool IsFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(PathOf(path), ec);
}

std::FILE* OpenForReading(const std::string& path) { return ::_wfopen(Wide(path).c_str(), L"rb"); }

int BinaryStandardOutput() {
  ::_setmode(1, _O_BINARY);
  return 1;
}

FileDescriptor::~FileDescriptor() { Close(); }

FileDescriptor& FileDescriptor::operator=(FileDescriptor&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = other.release();
  }
  return *this;
}

int FileDescriptor::Close() {
  if (fd_ < 0) return 0;
  return ::_close(release()) == 0 ? 0 : errno;
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const unsigned chunk = static_cast<unsigned>(std::min<std::size_t>(bytes.size(), 1u << 30));
    const int n = ::_write(fd, bytes.data(), chunk);
    if (n < 0) return errno;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int ReadSome(int fd, char* data, std::size_t size, std::size_t* got) {
  const int n = ::_read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)));
  if (n < 0) return errno;
  *got = static_cast<std::size_t>(n);
  return 0;
}

int SyncFile(int fd) {
  // A console or pipe cannot be flushed to a disk, and has nothing to flush.
  return ::_commit(fd) == 0 || errno == EBADF || errno == EINVAL ? 0 : errno;
}

bool IsDiskFailure(int error) { return error == EIO || error == ENOSPC; }

int WriteBackRange(int, std::uint64_t, std::uint64_t, bool) { return ENOSYS; }

// A symbolic link is followed by the calls that open the target, and its own
// name is the one replaced.
int InspectOutputTarget(const std::string& path, OutputTarget* target) {
  *target = OutputTarget{};
  target->path = path;
  const HANDLE handle = ::CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const int error = ErrnoOfLastError();
    return error == ENOENT ? 0 : error;
  }
  int error = 0;
  switch (::GetFileType(handle)) {
    case FILE_TYPE_CHAR:
    case FILE_TYPE_PIPE:
      target->kind = OutputTarget::Kind::Stream;
      break;
    case FILE_TYPE_DISK: {
      BY_HANDLE_FILE_INFORMATION info{};
      if (!::GetFileInformationByHandle(handle, &info)) {
        error = ErrnoOfLastError();
        break;
      }
      const bool folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      target->kind = folder ? OutputTarget::Kind::Folder : OutputTarget::Kind::File;
      target->mode = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
      target->links = info.nNumberOfLinks;
      break;
    }
    default:
      target->kind = OutputTarget::Kind::Other;
  }
  ::CloseHandle(handle);
  return error;
}

int OpenStream(const OutputTarget& target, FileDescriptor* out) {
  const int fd = ::_wopen(Wide(target.path).c_str(), _O_WRONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) return errno;
  *out = FileDescriptor(fd);
  return 0;
}

int PendingFile::Create(const OutputTarget& target) {
  target_ = target.path;
  targetExisted_ = target.kind != OutputTarget::Kind::Missing;
  for (int attempt = 0; attempt < 100 && !fd_.valid(); ++attempt) {
    named_ = target_ + std::string(kPartialMarker) + RandomSuffix();
    fd_ = FileDescriptor(CreateNew(named_, false));
    if (!fd_.valid() && errno != EEXIST) {
      const int error = errno;
      named_.clear();
      return error;
    }
  }
  if (!fd_.valid()) {
    named_.clear();
    return EEXIST;
  }
  RememberPartialFile(named_);
  return 0;
}

int PendingFile::LinkAside(std::string*) { return ENOSYS; }

// A read-only target (replaced only under --force) would refuse the move:
// the attribute is lifted for it and given to the new file, which so keeps
// the target's mode as on POSIX systems.
int PendingFile::Publish() {
  if (const int error = fd_.Close()) return error;
  const std::wstring target = Wide(target_);
  const DWORD attributes = targetExisted_ ? ::GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if (!::MoveFileExW(Wide(named_).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const int error = ErrnoOfLastError();
    if (readOnly) ::SetFileAttributesW(target.c_str(), attributes);
    return error;
  }
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes);
  ForgetPartialFile();
  named_.clear();
  return 0;
}

void PendingFile::Discard() noexcept {
  fd_.Close();
  if (named_.empty()) return;
  ::_wunlink(Wide(named_).c_str());
  ForgetPartialFile();
  named_.clear();
}

SpooledInput::~SpooledInput() {
  fd_.Close();
  if (!named_.empty()) ::_wunlink(Wide(named_).c_str());
}

int SpooledInput::Spool() {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return ErrnoOfLastError();
  for (int attempt = 0; attempt < 100 && !fd_.valid(); ++attempt) {
    named_ = Narrow(std::wstring_view(folder, length)) + "trovlin-input-" + RandomSuffix();
    fd_ = FileDescriptor(CreateNew(named_, true));
    if (!fd_.valid() && errno != EEXIST) {
      const int error = errno;
      named_.clear();
      return error;
    }
  }
  if (!fd_.valid()) {
    named_.clear();
    return EEXIST;
  }
  path_ = named_;
  ::_setmode(0, _O_BINARY);
  std::vector<char> block(1 << 20);
  for (;;) {
    std::size_t got = 0;
    if (const int error = ReadSome(0, block.data(), block.size(), &got)) return error;
    if (got == 0) return 0;
    if (const int error = WriteAll(fd_.get(), std::string_view(block.data(), got))) return error;
  }
}

}  // namespace trovlin::platform
