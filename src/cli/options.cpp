#include "cli/options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "common/database_kind.h"
#include "input/output_name.h"
#include "session/conversion.h"
#include "text/utf8.h"

namespace trovlin::cli {
namespace {

std::string Upper(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return s;
}

void AddItem(ConvertOptions& options, const std::string& code) {
  if (code.empty()) throw UsageError("an item code must not be empty");
  options.items.push_back(Utf8ToUtf16(code));
  if (options.items.size() > kMaxTaggedItems) {
    throw UsageError("at most " + std::to_string(kMaxTaggedItems) + " items can be converted");
  }
}

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

// Other names people give a value, each with the name it stands for.
constexpr std::pair<std::string_view, std::string_view> kValueAliases[] = {{"utf8", "utf-8"},
                                                                           {"utf_8", "utf-8"},
                                                                           {"utf8-bom", "utf-8-bom"},
                                                                           {"utf_8_bom", "utf-8-bom"},
                                                                           {"utf-8bom", "utf-8-bom"},
                                                                           {"utf16", "utf-16"},
                                                                           {"utf_16", "utf-16"},
                                                                           {"sjis", "cp932"},
                                                                           {"shift_jis", "cp932"},
                                                                           {"shift-jis", "cp932"},
                                                                           {"shiftjis", "cp932"},
                                                                           {"ms932", "cp932"},
                                                                           {"windows-31j", "cp932"},
                                                                           {"windows-932", "cp932"},
                                                                           {"excel", "xlsx"},
                                                                           {"rfc4180", "double"},
                                                                           {"first_block", "first-block"},
                                                                           {"first_answer", "first-answer"}};

// The value of option named by name among choices, in any letter case or
// by one of its aliases; anything else is a usage error.
template <typename T>
T Choose(const std::string& option, const std::string& name,
         std::initializer_list<std::pair<std::string_view, T>> choices) {
  std::string word = Lower(name);
  for (const auto& [alias, meant] : kValueAliases) {
    if (alias == word) word = meant;
  }
  std::string names;
  std::vector<std::string> words;
  for (const auto& [choice, value] : choices) {
    if (choice == word) return value;
    names += (names.empty() ? "" : ", ") + std::string(choice);
    words.emplace_back(choice);
  }
  throw UsageError(option + " takes " + names + ", not " + name + DidYouMean(word, words));
}

DiscoveryStart ChooseDiscovery(const std::string& option, const std::string& name) {
  return Choose<DiscoveryStart>(
      option, name, {{"first-block", DiscoveryStart::FirstBlock}, {"first-answer", DiscoveryStart::FirstAnswer}});
}

unsigned ChooseJobs(const std::string& value) {
  unsigned jobs = 0;
  for (const char c : value) {
    if (c < '0' || c > '9' || jobs > 9999) {
      jobs = 0;
      break;
    }
    jobs = jobs * 10 + static_cast<unsigned>(c - '0');
  }
  if (jobs == 0) throw UsageError("--jobs takes a number of logs to convert at once, 1 or more, not " + value);
  return jobs;
}

std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// CLI11 splits the words (--opt value, --opt=value, "--" ending the options);
// each value is checked here, in the order given, so that the messages and
// the last-one-wins rule stay as they were.
class Parser {
 public:
  Parser() {
    app_.set_help_flag();
    app_.allow_extras();
    app_.add_option("PATH", paths_);
  }

  void Value(const std::string& name, std::function<void(const std::string&)> take) {
    app_.add_option_function<std::string>(name, std::move(take))->trigger_on_parse();
    names_.push_back(name);
  }
  void Flag(const std::string& name, bool& flag) {
    app_.add_flag_callback(name, [&flag] { flag = true; });
    names_.push_back(name);
  }

  // The operands, in order; an unknown option or a missing value is a usage error.
  std::vector<std::string> Parse(const std::vector<std::string>& args) {
    std::vector<std::string> reversed(args.rbegin(), args.rend());
    try {
      app_.parse(reversed);
    } catch (const CLI::ArgumentMismatch&) {
      // Only the last word can lack its value: any word after an option is taken as its value.
      throw UsageError(args.back() + " needs a value");
    } catch (const CLI::ParseError& e) {
      throw UsageError(e.what());
    }
    // CLI11 lists the "--" that ended the options among the words it did not know.
    for (const std::string& word : app_.remaining()) {
      if (word == "--") continue;
      throw UsageError("unknown option " + word + DidYouMean(word.substr(0, word.find('=')), names_));
    }
    return paths_;
  }

 private:
  CLI::App app_;
  std::vector<std::string> paths_;
  std::vector<std::string> names_;
};

}  // namespace

std::string DidYouMean(const std::string& word, const std::vector<std::string>& names) {
  const std::string* best = nullptr;
  std::size_t bestDistance = 3;  // more than two edits is a different word
  for (const std::string& name : names) {
    const std::size_t distance = EditDistance(word, name);
    if (distance < bestDistance && distance < name.size() / 2) {
      best = &name;
      bestDistance = distance;
    }
  }
  return best ? "; did you mean " + *best + "?" : "";
}

bool WantsHelp(const std::vector<std::string>& args) {
  const auto end = std::find(args.begin(), args.end(), "--");
  return std::any_of(args.begin(), end, [](const std::string& a) { return a == "--help" || a == "-h"; });
}

std::string ParseSinglePath(const std::vector<std::string>& args) {
  Parser parser;
  const std::vector<std::string> paths = parser.Parse(args);
  if (paths.size() != 1) throw UsageError("expected exactly one path");
  return paths[0];
}

ItemsOptions ParseItemsOptions(const std::vector<std::string>& args) {
  ItemsOptions options;
  Parser parser;
  parser.Value("--discover", [&](const std::string& v) { options.discover = ChooseDiscovery("--discover", v); });
  parser.Value("--save", [&](const std::string& v) { options.save = v; });
  const std::vector<std::string> paths = parser.Parse(args);
  if (paths.size() != 1) throw UsageError("expected exactly one path");
  options.log = paths[0];
  return options;
}

ConvertOptions ParseConvertOptions(const std::vector<std::string>& args, OptionsFor command) {
  ConvertOptions options;
  const bool inspect = command == OptionsFor::Inspect;
  Parser parser;
  if (!inspect) {
    parser.Value("-o", [&](const std::string& v) { options.output = v; });
    parser.Value("--out-dir", [&](const std::string& v) { options.outDir = v; });
    parser.Value("--report", [&](const std::string& v) { options.report = v; });
    parser.Value("--jobs", [&](const std::string& v) { options.jobs = ChooseJobs(v); });
    parser.Flag("--quiet", options.quiet);
    parser.Flag("--force", options.force);
    parser.Value("--format", [&](const std::string& v) {
      options.format = Choose<OutputFormat>("--format", v, {{"csv", OutputFormat::Csv}, {"xlsx", OutputFormat::Xlsx}});
    });
  } else {
    parser.Flag("--json", options.json);
  }
  parser.Value("--db", [&](const std::string& name) {
    const std::optional<DatabaseKind> chosen = DatabaseFromCaption(Upper(name));
    if (!chosen) {
      throw UsageError("--db takes STN, DIALOG, JOIS or PATOLIS, not " + name +
                       DidYouMean(Upper(name), {"STN", "DIALOG", "JOIS", "PATOLIS"}));
    }
    if (options.database) options.dbRepeated = true;
    options.database = chosen;
  });
  parser.Value("--item", [&](const std::string& code) { AddItem(options, code); });
  parser.Value("--items", [&](const std::string& list) {
    for (std::size_t start = 0;;) {
      const std::size_t comma = list.find(',', start);
      AddItem(options, list.substr(start, comma - start));
      if (comma == std::string::npos) break;
      start = comma + 1;
    }
  });
  parser.Value("--items-file", [&](const std::string& v) { options.itemsFile = v; });
  parser.Value("--input-encoding", [&](const std::string& v) {
    options.inputEncoding = Choose<std::optional<LogEncoding>>("--input-encoding", v,
                                                               {{"auto", std::nullopt},
                                                                {"cp932", LogEncoding::Cp932},
                                                                {"utf-8", LogEncoding::Utf8},
                                                                {"utf-16", LogEncoding::Utf16Le}});
  });
  parser.Value("--encoding", [&](const std::string& v) {
    options.csvEncoding = Choose<CsvEncoding>(
        "--encoding", v,
        {{"cp932", CsvEncoding::Cp932}, {"utf-8", CsvEncoding::Utf8}, {"utf-8-bom", CsvEncoding::Utf8Bom}});
  });
  parser.Value("--quotes", [&](const std::string& v) {
    options.quoteStyle =
        Choose<QuoteStyle>("--quotes", v, {{"apostrophe", QuoteStyle::Apostrophe}, {"double", QuoteStyle::Double}});
  });
  parser.Value("--discover", [&](const std::string& v) { options.discover = ChooseDiscovery("--discover", v); });
  parser.Flag("--keep-stars", options.keepStars);
  parser.Flag("--keep-width", options.keepWidth);
  parser.Flag("--skip-empty-rows", options.skipEmptyRows);
  parser.Flag("--strict", options.strict);
  parser.Flag("--protect-formulas", options.protectFormulas);
  options.logs = parser.Parse(args);
  if (options.logs.empty()) throw UsageError("no log given");
  if (options.logs.size() > 1 && inspect) throw UsageError("inspect takes one log");
  if (options.logs.size() > 1 && !options.outDir) throw UsageError("several logs need --out-dir DIR");
  if (options.outDir && std::find(options.logs.begin(), options.logs.end(), "-") != options.logs.end()) {
    throw UsageError("standard input (\"-\") cannot be part of a batch with --out-dir");
  }
  if (options.output && options.outDir) throw UsageError("-o and --out-dir exclude each other");
  if (options.itemsFile && !options.items.empty()) throw UsageError("--items-file excludes --item and --items");
  if (options.jobs != 0 && !options.outDir) options.idle.emplace_back("--jobs does nothing without --out-dir");
  if (options.dbRepeated) options.idle.emplace_back("--db is given more than once; the last one counts");
  if (options.format && options.output && *options.output != "-" &&
      ChosenOutputFormat(std::nullopt, *options.output) != *options.format) {
    options.idle.push_back(*options.format == OutputFormat::Xlsx
                               ? "--format xlsx writes a workbook, whatever the name " + *options.output + " says"
                               : "--format csv writes a CSV, whatever the name " + *options.output + " says");
  }
  return options;
}

}  // namespace trovlin::cli
