// Exceptions the core throws to its front ends.
//
// IoError carries facts, not sentences: what was being done (IoOperation),
// why it failed (IoReason), the path, and the numbers the reason has (the
// errno value, a line, a count). Each front end words them itself; what()
// gives the English sentence the CLI prints ("cannot write the CSV file 'x':
// No such file or directory"). RunCancelled is thrown by a front end's event
// hook to stop a run that the user cancelled.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace trovlin {

enum class IoOperation {
  OpenLog,
  ReadLog,
  ReadStandardInput,
  WriteCsv,
  WriteIntoFolder,
  LoadItemList,
  SaveItemList,
  UseItemList,
  WritePasteFile,
  WriteReport,
  WriteWorkbook,
};

// The numbers a reason has are named in brackets.
enum class IoReason {
  System,               // [number: the errno value]
  Folder,               // a folder where a file was expected
  BlockDevice,          //
  NotFileOrStream,      // not a file, character device, FIFO or socket
  NotCsv,               // a file exists under a name Trovlin chose and is not a CSV file
  OtherNames,           // hard links: writing into it would change them too
  OtherNamesSeparated,  // [number: how many] hard links: replacing it would separate them
  ReadOnly,             //
  SymbolicLink,         //
  NotOrdinaryFile,      //
  OtherOwner,           // belongs to another user
  NotAFolder,           // missing, or not a folder
  LineTooLong,          // [number: the line; limit: MiB]
  NotAnItemList,        // [number: the line] the first line is not the item-list signature
  NoTab,                // [number: the line]
  EmptyCode,            // [number: the line]
  BadJoinMark,          // [number: the line]
  NoItem,               //
  TooManyItems,         // [number: how many; limit: the most a conversion takes]
  NoWorkbooks,          // this build writes no workbooks
};

class IoError : public std::runtime_error {
 public:
  IoError(std::string path, IoOperation operation, IoReason reason, std::uint64_t number = 0, std::uint64_t limit = 0);
  const std::string& path() const { return path_; }
  IoOperation operation() const { return operation_; }
  IoReason reason() const { return reason_; }
  std::uint64_t number() const { return number_; }
  std::uint64_t limit() const { return limit_; }

 private:
  std::string path_;
  IoOperation operation_;
  IoReason reason_;
  std::uint64_t number_;
  std::uint64_t limit_;
};

// An IoError of the output side: the CSV could not be created or written.
class OutputError : public IoError {
 public:
  using IoError::IoError;
  // An existing file was refused that the user may still ask to have replaced.
  bool forceable() const { return reason() == IoReason::NotCsv || reason() == IoReason::ReadOnly; }
};

class RunCancelled : public std::runtime_error {
 public:
  RunCancelled() : std::runtime_error("conversion cancelled") {}
};

}  // namespace trovlin
