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

#include "platform/file_calls.h"
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

// A new file for writing (and reading, with read), never one that exists.
int CreateNewFile(const std::string& path, bool read, FileDescriptor* out) {
  const int access = read ? _O_RDWR : _O_WRONLY;
  const int fd =
      ::_wopen(Wide(path).c_str(), access | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) return errno;
  *out = FileDescriptor(fd);
  return 0;
}

// The C runtime takes at most an int's worth of bytes a call.
unsigned Chunk(std::size_t size) { return static_cast<unsigned>(std::min<std::size_t>(size, 1u << 30)); }

int Counted(int n, std::size_t* done) {
  if (n < 0) return errno;
  *done = static_cast<std::size_t>(n);
  return 0;
}

}  // namespace

std::filesystem::path PathOf(std::string_view path) { return std::filesystem::path(Wide(path)); }

std::string PathString(const std::filesystem::path& path) { return Narrow(path.native()); }

std::FILE* OpenForReading(const std::string& path) { return ::_wfopen(Wide(path).c_str(), L"rb"); }

int BinaryStandardOutput() {
  ::_setmode(1, _O_BINARY);
  return 1;
}

int BinaryStandardInput() {
  ::_setmode(0, _O_BINARY);
  return 0;
}

int FileDescriptor::Close() {
  if (fd_ < 0) return 0;
  return ::_close(release()) == 0 ? 0 : errno;
}

int WriteSome(int fd, std::string_view bytes, std::size_t* wrote) {
  return Counted(::_write(fd, bytes.data(), Chunk(bytes.size())), wrote);
}

int ReadSome(int fd, char* data, std::size_t size, std::size_t* got) {
  return Counted(::_read(fd, data, Chunk(size)), got);
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

int CreateNew(const std::string& path, FileDescriptor* out) { return CreateNewFile(path, false, out); }

int OpenUnnamedBeside(const std::string&, FileDescriptor*) { return 0; }

// Never reached: OpenUnnamedBeside gives no unnamed file to publish.
int PublishUnnamed(FileDescriptor*, const std::string&, bool) { return ENOSYS; }

// The permission bits come down to the read-only attribute, which
// MoveIntoPlace carries over.
int TakeOwnerAndMode(int, const OutputTarget&) { return 0; }

// A read-only target (replaced only under --force) would refuse the move:
// the attribute is lifted for it and given to the new file, which so keeps
// the target's mode as on POSIX systems.
int MoveIntoPlace(const std::string& from, const std::string& to, bool toExists) {
  const std::wstring target = Wide(to);
  const DWORD attributes = toExists ? ::GetFileAttributesW(target.c_str()) : INVALID_FILE_ATTRIBUTES;
  const bool readOnly = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
  if (!::MoveFileExW(Wide(from).c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const int error = ErrnoOfLastError();
    if (readOnly) ::SetFileAttributesW(target.c_str(), attributes);
    return error;
  }
  if (readOnly) ::SetFileAttributesW(target.c_str(), attributes);
  return 0;
}

void RemoveFile(const std::string& path) { ::_wunlink(Wide(path).c_str()); }

int OpenSpoolFile(FileDescriptor* fd, std::string* path, std::string* named) {
  wchar_t folder[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
  if (length == 0 || length > MAX_PATH) return ErrnoOfLastError();
  const std::string prefix = Narrow(std::wstring_view(folder, length)) + "trovlin-input-";
  const auto create = [fd](const std::string& name) { return CreateNewFile(name, true, fd); };
  if (const int error = CreateUnderFreshName(prefix, named, create)) return error;
  *path = *named;
  return 0;
}

int OpenOwnFile(const std::string&, FileDescriptor*, SharedNameRefusal* refused) {
  *refused = SharedNameRefusal::None;
  return ENOSYS;
}

}  // namespace trovlin::platform
