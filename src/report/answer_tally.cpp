#include "report/answer_tally.h"

#include <algorithm>
#include <utility>

#include "text/spaces.h"

namespace trovlin {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

void AddRange(std::vector<NumberRange>& ranges, NumberRange r) {
  if (r.last < r.first) return;
  ranges.push_back(r);
}

// Sorted, with overlapping and touching ranges joined.
std::vector<NumberRange> Merged(std::vector<NumberRange> ranges) {
  std::sort(ranges.begin(), ranges.end(), [](NumberRange a, NumberRange b) { return a.first < b.first; });
  std::vector<NumberRange> merged;
  for (const NumberRange& r : ranges) {
    if (!merged.empty() && r.first <= merged.back().last + 1) {
      merged.back().last = std::max(merged.back().last, r.last);
    } else {
      merged.push_back(r);
    }
  }
  return merged;
}

}  // namespace

AnswerTally::Set& AnswerTally::SetNamed(std::u16string_view name, std::uint64_t total, std::uint64_t line,
                                        bool byTotal) {
  // Most marks name the set the last one named.
  if (lastSet_ < sets_.size() && Key(sets_[lastSet_]) == name && (!byTotal || sets_[lastSet_].total == total)) {
    return sets_[lastSet_];
  }
  for (Set& set : sets_) {
    if (Key(set) == name && (!byTotal || set.total == total)) {
      lastSet_ = static_cast<std::size_t>(&set - sets_.data());
      return set;
    }
  }
  lastSet_ = sets_.size();
  Set& set = sets_.emplace_back();
  set.name = kind_ == DatabaseKind::Dialog && !name.empty() ? u"S" + std::u16string(name) : std::u16string(name);
  set.total = total;
  set.firstLine = line;
  return set;
}

void AnswerTally::Show(Set& set, std::uint64_t number, std::uint64_t line) {
  if (number == 0) return;  // answers count from 1
  auto next = std::upper_bound(set.shown.begin(), set.shown.end(), number,
                               [](std::uint64_t n, const Run& run) { return n < run.first; });
  if (next != set.shown.begin()) {
    Run& before = *(next - 1);
    if (number <= before.last) {
      if (std::find(set.repeated.begin(), set.repeated.end(), number) == set.repeated.end()) {
        if (set.repeated.size() < kRepeatsKept) {
          set.repeated.push_back(number);
          set.repeatedAt.push_back(line);
        } else {
          ++set.repeatedLeftOut;
        }
      }
      return;
    }
    if (before.last + 1 == number) {
      before.last = number;
      before.lastLine = line;
      if (next != set.shown.end() && next->first == number + 1) {
        before.last = next->last;
        before.lastLine = next->lastLine;
        set.shown.erase(next);
      }
      return;
    }
  }
  if (next != set.shown.end() && next->first == number + 1) {
    next->first = number;
    next->firstLine = line;
    return;
  }
  set.shown.insert(next, Run{number, number, line, line});
}

LineInterest AnswerTally::Interest() const {
  LineInterest interest;
  const auto add = [&](std::string_view chars) {
    for (const char c : chars) interest.Add(c);
  };
  switch (kind_) {
    case DatabaseKind::Stn:
      add("Ll");
      break;
    case DatabaseKind::Jois:  // a number, or a file name, first
      for (char c = '!'; c <= '~'; ++c) interest.AddIfLongWord(c);
      add("0123456789");
      break;
    case DatabaseKind::Dialog:
      interest.SkipSpaces();
      add("FfSs?0123456789");
      break;
    case DatabaseKind::Patolis:
      interest.SkipSpaces();
      add("-0123456789");
      interest.wideFirst = u'０';
      interest.wideLast = u'９';
      interest.wideOther = u'＊';
      break;
    default:
      break;
  }
  return interest;
}

void AnswerTally::OnLine(std::uint64_t lineNumber, std::u16string_view line) {
  if (line.empty()) return;
  switch (kind_) {
    case DatabaseKind::Stn:
      if (line.front() != u'L' && line.front() != u'l') break;
      [[fallthrough]];
    case DatabaseKind::Jois: {
      const auto mark = kind_ == DatabaseKind::Stn ? StnAnswerHeader(line) : JoisRecordHeader(line);
      if (mark) Show(SetNamed(mark->set, mark->total, lineNumber, true), mark->number, lineNumber);
      break;
    }
    case DatabaseKind::Dialog:
      OnDialogLine(lineNumber, line);
      break;
    case DatabaseKind::Patolis: {
      const std::u16string_view text = TrimLeadingSpaces(line);
      const char16_t c = text.empty() ? u' ' : text.front();
      if (c == u'＊') {
        if (const auto count = PatolisAnswerCount(text)) {
          Set& set = sets_.emplace_back();
          set.total = *count;
          set.firstLine = lineNumber;
        }
      } else if (c == u'-' || IsDigit(c) || (c >= u'０' && c <= u'９')) {
        if (const auto number = PatolisRecordNumber(text)) {
          // An answer counts as shown once its record follows, or another answer does.
          ShowPendingAnswer();
          const Set& set = sets_.empty() ? SetNamed(u"", 0, lineNumber, false) : sets_.back();
          pendingAnswer_ = PendingAnswer{static_cast<std::size_t>(&set - sets_.data()), *number, lineNumber};
        }
      }
      break;
    }
    default:
      break;
  }
}

void AnswerTally::OnDialogLine(std::uint64_t lineNumber, std::u16string_view line) {
  if (pendingLine_ != 0) {
    const std::uint64_t numberLine = std::exchange(pendingLine_, 0);
    if (lineNumber == numberLine + 1 && IsDialogFirstField(line)) {
      Show(SetNamed(pendingSet_, 0, numberLine, false), pendingNumber_, numberLine);
      return;
    }
  }
  if (IsDialogFirstField(line)) {
    OnDialogRecord(lineNumber);
  } else if (const auto number = DialogRecordNumber(line)) {
    // The record opens here if a first field line follows.
    pendingSet_ = number->set;
    pendingNumber_ = number->number;
    pendingLine_ = lineNumber;
  } else if (const auto search = DialogSearchLine(line)) {
    sizes_.emplace_back(search->set, search->size);
    for (Set& set : sets_) {
      if (Key(set) == search->set) set.total = search->size;
    }
  } else if (const auto display = DialogDisplayCommand(line)) {
    Set& set = SetNamed(display->set, 0, lineNumber, false);
    for (auto size = sizes_.rbegin(); size != sizes_.rend() && set.total == 0; ++size) {
      if (size->first == display->set) set.total = size->second;
    }
    if (display->all) {
      set.displayedAll = true;
    } else {
      set.displayed.insert(set.displayed.end(), display->ranges.begin(), display->ranges.end());
    }
    display_ = Display{static_cast<std::size_t>(&set - sets_.data()), display->ranges};
  }
}

void AnswerTally::OnDialogRecord(std::uint64_t lineNumber) {
  if (const auto number = NextDisplayed()) {
    Show(sets_[display_->set], *number, lineNumber);
    return;
  }
  Set& set = SetNamed(u"", 0, lineNumber, false);
  ++set.unnumbered;
}

std::optional<std::uint64_t> AnswerTally::NextDisplayed() {
  if (!display_) return std::nullopt;
  Display& d = *display_;
  const std::uint64_t total = sets_[d.set].total;
  if (d.ranges.empty()) {
    if (total != 0 && d.next >= total) return std::nullopt;
    return ++d.next;
  }
  for (; d.range < d.ranges.size(); ++d.range, d.next = 0) {
    const NumberRange r = d.ranges[d.range];
    const std::uint64_t n = d.next == 0 ? r.first : d.next + 1;
    const bool inside = r.last != 0 ? n <= r.last : total == 0 || n <= total;
    if (inside) {
      d.next = n;
      return n;
    }
  }
  return std::nullopt;
}

AnswerSetReport AnswerTally::Report(const Set& set) {
  AnswerSetReport report;
  report.set = set.name;
  report.firstLine = set.firstLine;
  report.repeated = set.repeated;
  report.repeatedAt = set.repeatedAt;
  report.repeatedLeftOut = set.repeatedLeftOut;
  if (!set.shown.empty()) {
    report.firstShown = set.shown.front().first;
    report.lastShown = set.shown.back().last;
  }
  std::vector<NumberRange> expected;
  const bool displayed = set.displayedAll || !set.displayed.empty();
  if (set.total != 0 && (set.displayedAll || !displayed)) AddRange(expected, {1, set.total});
  for (NumberRange r : set.displayed) {
    if (r.last == 0) r.last = set.total != 0 ? set.total : std::max(r.first, report.lastShown);
    AddRange(expected, r);
  }
  report.expected = Merged(expected);
  report.found = set.unnumbered;
  for (const Run& run : set.shown) report.found += run.last - run.first + 1;
  for (const NumberRange& r : report.expected) {
    report.announced += r.last - r.first + 1;
    std::uint64_t from = r.first;
    for (std::size_t i = 0; i <= set.shown.size() && from <= r.last; ++i) {
      const bool end = i == set.shown.size();
      const std::uint64_t upTo = end ? r.last : std::min(r.last, set.shown[i].first - 1);
      if (upTo >= from) {
        report.missing.push_back({from, upTo});
        report.missingAt.push_back(!end ? set.shown[i].firstLine : i > 0 ? set.shown[i - 1].lastLine : 0);
      }
      if (!end) from = std::max(from, set.shown[i].last + 1);
    }
  }
  return report;
}

void AnswerTally::ShowPendingAnswer() {
  if (!pendingAnswer_) return;
  const PendingAnswer answer = *std::exchange(pendingAnswer_, std::nullopt);
  Show(sets_[answer.set], answer.number, answer.line);
}

void AnswerTally::OnRecord(std::uint64_t firstLine) {
  if (pendingAnswer_ && firstLine >= pendingAnswer_->line) ShowPendingAnswer();
}

std::vector<AnswerSetReport> AnswerTally::Finish() {
  if (pendingAnswer_) cutOff_ = {pendingAnswer_->line, pendingAnswer_->number};
  pendingAnswer_.reset();
  std::vector<AnswerSetReport> reports;
  for (const Set& set : sets_) reports.push_back(Report(set));
  return reports;
}

}  // namespace trovlin
