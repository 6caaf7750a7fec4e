// Where a log says which answer a record is, and how many there are.
//
// Each service prints its own marks; each reader here looks at one line,
// after its leading spaces (STN and JOIS headers have none: they start in
// the first column), with ASCII letters in either case:
//   STN      answer header "L3   ANSWER 7 OF 25  CAPLUS ...": set L3, answer 7 of 25
//   JOIS     record header "7/25 JICST 08A5122477" or "JICST-EPlus  7/25": answer 7 of
//            25 of that file (1 <= 7 <= 25; in the second form the file is the only
//            other word and is longer than a field code)
//   DIALOG   record number "3/5/7" (set 3, format 5, record 7) as the whole line;
//            first field line "FN- ..."; search line "S3     25  A AND B" (set S3
//            holds 25); display command "?t s3/5/1-10" or "?TYPE 3/5/ALL" (T, TYPE,
//            D, DISPLAY, P or PRINT; records as ALL, or numbers and ranges such as
//            "1,4-6" or "5-", the last running to the set's end)
//   PATOLIS  "回答件数   4件" in the answer header (a line that starts with "＊"):
//            4 answers; a record's number in
//            "----- 2 -----" or "2 特許出願 ..." (digits of either width)
// A command line begins with "=>" (STN) or "?" (DIALOG, JOIS).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/database_kind.h"

namespace trovlin {

// Names are views into the line read: "L3", the JOIS file, and for DIALOG
// the set's number ("3" of S3); "" when the line names none.
struct AnswerMark {
  std::u16string_view set;
  std::uint64_t number = 0;
  std::uint64_t total = 0;  // 0: the line does not say
};

std::optional<AnswerMark> StnAnswerHeader(std::u16string_view line);
std::optional<AnswerMark> JoisRecordHeader(std::u16string_view line);
std::optional<AnswerMark> DialogRecordNumber(std::u16string_view line);
bool IsDialogFirstField(std::u16string_view line);

struct NumberRange {
  std::uint64_t first = 0;
  std::uint64_t last = 0;  // 0: to the end of the set
  bool operator==(const NumberRange&) const = default;
};

struct DialogSetSize {
  std::u16string_view set;
  std::uint64_t size = 0;
};
std::optional<DialogSetSize> DialogSearchLine(std::u16string_view line);

struct DialogDisplay {
  std::u16string_view set;
  bool all = false;
  std::vector<NumberRange> ranges;  // when not all
};
std::optional<DialogDisplay> DialogDisplayCommand(std::u16string_view line);

std::optional<std::uint64_t> PatolisAnswerCount(std::u16string_view line);
std::optional<std::uint64_t> PatolisRecordNumber(std::u16string_view line);

bool IsCommandLine(std::u16string_view line);

// Whether line opens an answer record of a tagged service: an STN answer
// header, a JOIS record header, a DIALOG first field line. (A DIALOG record
// number right before its first field line opens the record too; the caller,
// who sees both lines, decides that.)
bool OpensAnswer(DatabaseKind kind, std::u16string_view line);

}  // namespace trovlin
