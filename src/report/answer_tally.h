// The answers a log announces and the ones it shows, from its lines.
//
// Fed every line of a run in order. STN answer headers and JOIS record
// headers each show one answer of a set named by the header and announce the
// set's size (a set is its name with its size, so a later search that reuses
// the name is a set of its own). DIALOG: a search line gives a set's size; a
// display command says which records of a set follow (ALL: the whole set);
// each record (a first field line, with the record number line right before
// it if there is one) is one answer: the number that line gives, else the
// next number of the display before it, else an unnumbered answer. A DIALOG
// set that is shown without a display command is expected whole when its
// size is known. PATOLIS: the answer header's count, and the numbered
// records.
//
// Memory grows with the gaps and repeats, not with the answers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/run_observer.h"
#include "report/conversion_report.h"

namespace trovlin {

class AnswerTally {
 public:
  static constexpr std::size_t kRepeatsKept = 1000;

  explicit AnswerTally(DatabaseKind kind) : kind_(kind) {}

  // The lines that can hold a mark of the service; OnLine needs no other.
  LineInterest Interest() const;
  void OnLine(std::uint64_t lineNumber, std::u16string_view line);
  // A record read whose first line is firstLine (PATOLIS: the text of the
  // answer whose number line came last).
  void OnRecord(std::uint64_t firstLine);
  // The sets in order of their first appearance, with what is missing. A
  // PATOLIS answer whose number line no record follows before the log ends
  // is not shown.
  std::vector<AnswerSetReport> Finish();
  // After Finish: the number line of the answer the log's end cut off, and
  // its number; 0 when there is none.
  std::pair<std::uint64_t, std::uint64_t> CutOff() const { return cutOff_; }

 private:
  // Consecutive numbers shown, with the lines of the first and the last.
  struct Run {
    std::uint64_t first, last, firstLine, lastLine;
  };
  struct Set {
    std::u16string name;
    std::uint64_t total = 0;  // announced size; 0 unknown
    std::vector<NumberRange> displayed;
    bool displayedAll = false;
    std::vector<Run> shown;
    std::uint64_t unnumbered = 0;
    std::vector<std::uint64_t> repeated, repeatedAt;
    std::uint64_t repeatedLeftOut = 0;
    std::uint64_t firstLine = 0;
  };
  // What a DIALOG display command still has to show.
  struct Display {
    std::size_t set;
    std::vector<NumberRange> ranges;  // empty: the whole set
    std::size_t range = 0;
    std::uint64_t next = 0;
  };

  // The set a line names ("3" for DIALOG's S3), made when first met.
  Set& SetNamed(std::u16string_view name, std::uint64_t total, std::uint64_t line, bool byTotal);
  std::u16string_view Key(const Set& set) const {
    return kind_ == DatabaseKind::Dialog && !set.name.empty() ? std::u16string_view(set.name).substr(1) : set.name;
  }
  void Show(Set& set, std::uint64_t number, std::uint64_t line);
  void OnDialogLine(std::uint64_t lineNumber, std::u16string_view line);
  void OnDialogRecord(std::uint64_t lineNumber);
  std::optional<std::uint64_t> NextDisplayed();
  static AnswerSetReport Report(const Set& set);

  DatabaseKind kind_;
  std::vector<Set> sets_;
  std::size_t lastSet_ = 0;
  std::optional<Display> display_;
  // A DIALOG record number line just read (pendingLine_ 0: none).
  std::u16string pendingSet_;
  std::uint64_t pendingNumber_ = 0;
  std::uint64_t pendingLine_ = 0;
  std::vector<std::pair<std::u16string, std::uint64_t>> sizes_;  // DIALOG set sizes, as searched
  // A PATOLIS answer number not yet followed by its record: set, number, line.
  struct PendingAnswer {
    std::size_t set;
    std::uint64_t number, line;
  };
  void ShowPendingAnswer();
  std::optional<PendingAnswer> pendingAnswer_;
  std::pair<std::uint64_t, std::uint64_t> cutOff_{0, 0};
};

}  // namespace trovlin
