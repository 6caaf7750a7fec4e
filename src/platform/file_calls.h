// The file calls beneath file_system.h that differ from one system to
// another. file_system_posix.cpp or file_system_win32.cpp gives them (the
// build takes one); file_system.cpp builds on them whatever is the same on
// every system, and gives the pair files the search for a free name. Each
// answers 0 or an errno value, as file_system.h does. Only src/platform uses
// this.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "platform/file_system.h"

namespace trovlin::platform {

// Writes some of bytes, at least one; *wrote says how many.
int WriteSome(int fd, std::string_view bytes, std::size_t* wrote);

// The descriptor of standard input, set to pass bytes unchanged.
int BinaryStandardInput();

// Calls create with prefix followed by a random suffix until it takes a name
// no file has (it answers EEXIST for one that is taken), up to 100 times.
// *name is the name taken, empty when none was.
int CreateUnderFreshName(const std::string& prefix, std::string* name,
                         const std::function<int(const std::string&)>& create);

// A new pending output file at path, which no file may have yet (EEXIST).
int CreateNew(const std::string& path, FileDescriptor* out);

// An unnamed pending output file in the folder of target; *out is left
// invalid where the system or the folder's file system has no such files.
int OpenUnnamedBeside(const std::string& target, FileDescriptor* out);
// Gives the unnamed file fd the name target, replacing what is there when
// targetExisted, and closes it.
int PublishUnnamed(FileDescriptor* fd, const std::string& target, bool targetExisted);

// Gives a pending output the owner, group and permission bits of the
// regular file it is to replace.
int TakeOwnerAndMode(int fd, const OutputTarget& target);

// Renames from to to in one step, replacing a file there when toExists.
int MoveIntoPlace(const std::string& from, const std::string& to, bool toExists);

// Removes the file, if it can.
void RemoveFile(const std::string& path);

// Opens a scratch file in the temporary folder (standard input is copied
// into one, a workbook is built in one): *path reopens it, *named is the
// name to remove at the end (empty where none is left).
int OpenSpoolFile(FileDescriptor* fd, std::string* path, std::string* named);

}  // namespace trovlin::platform
