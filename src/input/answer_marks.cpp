#include "input/answer_marks.h"

#include <array>

#include "text/spaces.h"

namespace trovlin {
namespace {

// Reads a line from the left; every step leaves it unmoved when it fails.
class Scanner {
 public:
  explicit Scanner(std::u16string_view line) : s_(TrimLeadingSpaces(line)) {}

  bool AtEnd() const { return i_ == s_.size(); }
  // What was read since position from.
  std::u16string_view Since(std::size_t from) const { return s_.substr(from, i_ - from); }
  std::size_t Position() const { return i_; }
  std::u16string_view Rest() const { return s_.substr(i_); }

  bool Char(char16_t c) {
    if (i_ < s_.size() && Upper(s_[i_]) == c) {
      ++i_;
      return true;
    }
    return false;
  }
  // word is upper-case ASCII.
  bool Word(std::u16string_view word) {
    if (s_.size() - i_ < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
      if (Upper(s_[i_ + k]) != word[k]) return false;
    }
    i_ += word.size();
    return true;
  }
  // At least one space (or the end, when endCounts).
  bool Spaces(bool endCounts = false) {
    const std::size_t from = i_;
    while (i_ < s_.size() && s_[i_] == kSpace) ++i_;
    return i_ > from || (endCounts && AtEnd());
  }
  // A number of ASCII digits, or of either width with wide.
  std::optional<std::uint64_t> Number(bool wide = false) {
    std::uint64_t n = 0;
    const std::size_t from = i_;
    for (; i_ < s_.size() && i_ - from < 18; ++i_) {
      const char16_t c = s_[i_];
      if (c >= u'0' && c <= u'9') {
        n = n * 10 + (c - u'0');
      } else if (wide && c >= u'０' && c <= u'９') {
        n = n * 10 + (c - u'０');
      } else {
        break;
      }
    }
    if (i_ == from) return std::nullopt;
    return n;
  }
  // Characters up to the next space or the end.
  std::u16string_view Token() {
    const std::size_t from = i_;
    while (i_ < s_.size() && s_[i_] != kSpace) ++i_;
    return s_.substr(from, i_ - from);
  }

 private:
  static char16_t Upper(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c; }

  std::u16string_view s_;
  std::size_t i_ = 0;
};

// "n/m" with 1 <= n <= m.
std::optional<AnswerMark> AnswerOfTotal(Scanner& s) {
  const auto n = s.Number();
  if (!n || !s.Char(u'/')) return std::nullopt;
  const auto m = s.Number();
  if (!m || *n < 1 || *n > *m) return std::nullopt;
  return AnswerMark{{}, *n, *m};
}

std::optional<NumberRange> Range(Scanner& s) {
  const auto first = s.Number();
  if (!first) return std::nullopt;
  if (!s.Char(u'-')) return NumberRange{*first, *first};
  const auto last = s.Number();
  return NumberRange{*first, last.value_or(0)};
}

}  // namespace

// Every STN record passes here, so this reads the line by hand rather than
// with the Scanner.
std::optional<AnswerMark> StnAnswerHeader(std::u16string_view line) {
  const char16_t* p = line.data();
  const char16_t* const end = p + line.size();
  const auto digits = [&](std::uint64_t& n) {
    const char16_t* const from = p;
    for (n = 0; p != end && *p >= u'0' && *p <= u'9' && p - from < 18; ++p) n = n * 10 + (*p - u'0');
    return p != from;
  };
  const auto spaces = [&] {
    const char16_t* const from = p;
    while (p != end && *p == kSpace) ++p;
    return p != from;
  };
  const auto word = [&](std::u16string_view w) {  // w upper-case
    if (static_cast<std::size_t>(end - p) < w.size()) return false;
    for (const char16_t c : w) {
      const char16_t have = *p++;
      if (have != c && have != c + 32) return false;
    }
    return true;
  };
  std::uint64_t set = 0, number = 0, total = 0;
  if (p == end || (*p != u'L' && *p != u'l')) return std::nullopt;
  ++p;
  if (!digits(set)) return std::nullopt;
  const std::u16string_view name(line.data(), static_cast<std::size_t>(p - line.data()));
  if (!spaces() || !word(u"ANSWER") || !spaces() || !digits(number) || !spaces() || !word(u"OF") || !spaces() ||
      !digits(total) || (p != end && *p != kSpace)) {
    return std::nullopt;
  }
  return AnswerMark{name, number, total};
}

std::optional<AnswerMark> JoisRecordHeader(std::u16string_view line) {
  constexpr std::size_t kCodeWidth = 4;
  // An indented "1/3 of ..." is field text running on.
  if (line.empty() || line.front() == kSpace) return std::nullopt;
  if (line.front() >= u'0' && line.front() <= u'9') {
    Scanner first(line);
    if (auto mark = AnswerOfTotal(first); mark && first.Spaces(true)) {
      mark->set = first.Token();
      return mark;
    }
  }
  if (line.size() <= kCodeWidth || line[kCodeWidth] == kSpace) return std::nullopt;
  Scanner second(line);
  const std::u16string_view file = second.Token();
  if (file.size() <= kCodeWidth || !second.Spaces()) return std::nullopt;
  auto mark = AnswerOfTotal(second);
  if (!mark) return std::nullopt;
  second.Spaces();
  if (!second.AtEnd()) return std::nullopt;
  mark->set = file;
  return mark;
}

std::optional<AnswerMark> DialogRecordNumber(std::u16string_view line) {
  Scanner s(line);
  if (!s.Number()) return std::nullopt;
  const std::u16string_view set = s.Since(0);
  if (!s.Char(u'/')) return std::nullopt;
  const std::u16string_view rest = s.Rest();
  const std::size_t slash = rest.find(u'/');
  if (slash == 0 || slash == std::u16string_view::npos) return std::nullopt;
  Scanner after(rest.substr(slash + 1));
  const auto number = after.Number();
  after.Spaces();
  if (!number || !after.AtEnd()) return std::nullopt;
  return AnswerMark{set, *number, 0};
}

bool IsDialogFirstField(std::u16string_view line) { return Scanner(line).Word(u"FN-"); }

std::optional<DialogSetSize> DialogSearchLine(std::u16string_view line) {
  Scanner s(line);
  if (!s.Char(u'S')) return std::nullopt;
  const std::size_t from = s.Position();
  if (!s.Number()) return std::nullopt;
  const std::u16string_view set = s.Since(from);
  if (!s.Spaces()) return std::nullopt;
  const auto size = s.Number();
  if (!size || !s.Spaces(true)) return std::nullopt;
  return DialogSetSize{set, *size};
}

std::optional<DialogDisplay> DialogDisplayCommand(std::u16string_view line) {
  static constexpr std::array<std::u16string_view, 6> kCommands = {u"DISPLAY", u"PRINT", u"TYPE", u"D", u"P", u"T"};
  Scanner s(line);
  if (!s.Char(u'?')) return std::nullopt;
  s.Spaces();
  bool named = false;
  for (const std::u16string_view command : kCommands) {
    if (s.Word(command)) {
      named = true;
      break;
    }
  }
  if (!named) return std::nullopt;
  s.Spaces();
  s.Char(u'S');
  const std::size_t from = s.Position();
  if (!s.Number()) return std::nullopt;
  const std::u16string_view set = s.Since(from);
  if (!s.Char(u'/')) return std::nullopt;
  const std::u16string_view format = s.Token();
  const std::size_t slash = format.find(u'/');
  if (slash == 0 || slash == std::u16string_view::npos) return std::nullopt;
  DialogDisplay display{set, false, {}};
  Scanner records(format.substr(slash + 1));
  if (records.Word(u"ALL") && records.AtEnd()) {
    display.all = true;
    return display;
  }
  do {
    const auto range = Range(records);
    if (!range) return std::nullopt;
    display.ranges.push_back(*range);
  } while (records.Char(u','));
  if (!records.AtEnd()) return std::nullopt;
  return display;
}

std::optional<std::uint64_t> PatolisAnswerCount(std::u16string_view line) {
  constexpr std::u16string_view kLabel = u"回答件数";
  if (!TrimLeadingSpaces(line).starts_with(u"＊")) return std::nullopt;
  const std::size_t at = line.find(kLabel);
  if (at == std::u16string_view::npos) return std::nullopt;
  Scanner s(line.substr(at + kLabel.size()));
  const auto count = s.Number(true);
  s.Spaces();
  if (!count || !s.Char(u'件')) return std::nullopt;
  return count;
}

std::optional<std::uint64_t> PatolisRecordNumber(std::u16string_view line) {
  Scanner s(line);
  if (s.Word(u"-----")) {
    s.Spaces();
    const auto number = s.Number(true);
    s.Spaces();
    if (number && s.Word(u"-----")) return number;
    return std::nullopt;
  }
  const auto number = s.Number(true);
  if (number && s.Spaces() && s.Rest().starts_with(u"特許出願")) return number;
  return std::nullopt;
}

bool IsCommandLine(std::u16string_view line) {
  Scanner s(line);
  return s.Word(u"=>") || s.Char(u'?');
}

bool OpensAnswer(DatabaseKind kind, std::u16string_view line) {
  switch (kind) {
    case DatabaseKind::Stn:
      return StnAnswerHeader(line).has_value();
    case DatabaseKind::Jois:
      return JoisRecordHeader(line).has_value();
    case DatabaseKind::Dialog:
      return IsDialogFirstField(line);
    default:
      return false;
  }
}

}  // namespace trovlin
