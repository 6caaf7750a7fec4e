#include "cli/options.h"

#include <algorithm>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "common/database_kind.h"
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

// The value of option named by name among choices; anything else is a usage error.
template <typename T>
T Choose(const std::string& option, const std::string& name,
         std::initializer_list<std::pair<std::string_view, T>> choices) {
  std::string names;
  for (const auto& [word, value] : choices) {
    if (word == name) return value;
    names += (names.empty() ? "" : ", ") + std::string(word);
  }
  throw UsageError(option + " takes " + names + ", not " + name);
}

DiscoveryStart ChooseDiscovery(const std::string& option, const std::string& name) {
  return Choose<DiscoveryStart>(
      option, name, {{"first-block", DiscoveryStart::FirstBlock}, {"first-answer", DiscoveryStart::FirstAnswer}});
}

}  // namespace

bool WantsHelp(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return a == "--help" || a == "-h"; });
}

std::string ParseSinglePath(const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError("expected exactly one path");
  if (args[0].size() > 1 && args[0][0] == '-') throw UsageError("unknown option " + args[0]);
  return args[0];
}

ItemsOptions ParseItemsOptions(const std::vector<std::string>& args) {
  ItemsOptions options;
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--discover") {
      if (i + 1 >= args.size()) throw UsageError("--discover needs a value");
      options.discover = ChooseDiscovery(args[i], args[i + 1]);
      ++i;
    } else {
      paths.push_back(args[i]);
    }
  }
  options.log = ParseSinglePath(paths);
  return options;
}

ConvertOptions ParseConvertOptions(const std::vector<std::string>& args, OptionsFor command) {
  ConvertOptions options;
  const bool inspect = command == OptionsFor::Inspect;
  auto value = [&](std::size_t& i) -> const std::string& {
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "-o" && !inspect) {
      options.output = value(i);
    } else if (a == "--db") {
      const std::string name = value(i);
      options.database = DatabaseFromCaption(Upper(name));
      if (!options.database) throw UsageError("--db takes STN, DIALOG, JOIS or PATOLIS, not " + name);
    } else if (a == "--item") {
      AddItem(options, value(i));
    } else if (a == "--items") {
      const std::string& list = value(i);
      std::size_t start = 0;
      for (;;) {
        const std::size_t comma = list.find(',', start);
        AddItem(options, list.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
      }
    } else if (a == "--out-dir" && !inspect) {
      options.outDir = value(i);
    } else if (a == "--items-file") {
      options.itemsFile = value(i);
    } else if (a == "--input-encoding") {
      options.inputEncoding = Choose<std::optional<LogEncoding>>(a, value(i),
                                                                 {{"auto", std::nullopt},
                                                                  {"cp932", LogEncoding::Cp932},
                                                                  {"utf-8", LogEncoding::Utf8},
                                                                  {"utf-16", LogEncoding::Utf16Le}});
    } else if (a == "--encoding") {
      options.csvEncoding = Choose<CsvEncoding>(
          a, value(i),
          {{"cp932", CsvEncoding::Cp932}, {"utf-8", CsvEncoding::Utf8}, {"utf-8-bom", CsvEncoding::Utf8Bom}});
    } else if (a == "--quotes") {
      options.quoteStyle =
          Choose<QuoteStyle>(a, value(i), {{"apostrophe", QuoteStyle::Apostrophe}, {"double", QuoteStyle::Double}});
    } else if (a == "--keep-stars") {
      options.keepStars = true;
    } else if (a == "--keep-width") {
      options.keepWidth = true;
    } else if (a == "--force" && !inspect) {
      options.force = true;
    } else if (a == "--discover") {
      options.discover = ChooseDiscovery(a, value(i));
    } else if (a == "--skip-empty-rows") {
      options.skipEmptyRows = true;
    } else if (a == "--report" && !inspect) {
      options.report = value(i);
    } else if (a == "--strict") {
      options.strict = true;
    } else if (a == "--json" && inspect) {
      options.json = true;
    } else if (a.size() > 1 && a[0] == '-') {
      throw UsageError("unknown option " + a);
    } else {
      options.logs.push_back(a);
    }
  }
  if (options.logs.empty()) throw UsageError("no log given");
  if (options.logs.size() > 1 && inspect) throw UsageError("inspect takes one log");
  if (options.logs.size() > 1 && !options.outDir) throw UsageError("several logs need --out-dir DIR");
  if (options.outDir && std::find(options.logs.begin(), options.logs.end(), "-") != options.logs.end()) {
    throw UsageError("standard input (\"-\") cannot be part of a batch with --out-dir");
  }
  if (options.output && options.outDir) throw UsageError("-o and --out-dir exclude each other");
  if (options.itemsFile && !options.items.empty()) throw UsageError("--items-file excludes --item and --items");
  return options;
}

}  // namespace trovlin::cli
