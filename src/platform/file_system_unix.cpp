// The file calls that are the same wherever paths are UTF-8 bytes and the
// standard streams pass bytes unchanged: POSIX systems and the browser's
// file system alike.
#include <unistd.h>

#include <cstdio>

#include "platform/file_calls.h"
#include "platform/file_system.h"

namespace trovlin::platform {

std::filesystem::path PathOf(std::string_view path) { return std::filesystem::path(path); }

std::string PathString(const std::filesystem::path& path) { return path.string(); }

std::FILE* OpenForReading(const std::string& path) { return std::fopen(path.c_str(), "rb"); }

int BinaryStandardOutput() { return STDOUT_FILENO; }

int BinaryStandardInput() { return STDIN_FILENO; }

}  // namespace trovlin::platform
