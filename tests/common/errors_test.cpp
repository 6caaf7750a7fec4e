#include "common/errors.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace trovlin {
namespace {

// The English sentences that no test of a reader, writer or the command line
// meets whole; the command line prints them as they stand.
TEST(IoError, WhatIsTheEnglishSentenceOfTheKinds) {
  const struct {
    IoOperation operation;
    IoReason reason;
    int error;
    const char* what;
  } cases[] = {
      {IoOperation::ReadStandardInput, IoReason::System, EIO, "cannot read the log from 'p': Input/output error"},
      {IoOperation::WriteCsv, IoReason::NotFileOrStream, 0,
       "cannot write the CSV file 'p': it is not a file, character device, FIFO or socket"},
      {IoOperation::WritePasteFile, IoReason::SymbolicLink, 0,
       "cannot write the paste file 'p': it is a symbolic link"},
      {IoOperation::WritePasteFile, IoReason::OtherNames, 0,
       "cannot write the paste file 'p': it has other names (hard links)"},
      {IoOperation::WritePasteFile, IoReason::NotOrdinaryFile, 0,
       "cannot write the paste file 'p': it is not an ordinary file"},
      {IoOperation::WritePasteFile, IoReason::OtherOwner, 0,
       "cannot write the paste file 'p': it belongs to another user"},
  };
  for (const auto& c : cases) EXPECT_STREQ(IoError("p", c.operation, c.reason, c.error).what(), c.what);
}

}  // namespace
}  // namespace trovlin
