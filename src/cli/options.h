// The command line of trovlin-cli, parsed.
//
// Usage problems throw UsageError with a one-line message; the caller prints
// it with a pointer to the subcommand's help and exits 1. Options take their
// value as the next word or after "="; "--" ends the options.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/conversion_settings.h"
#include "input/discover.h"

namespace trovlin::cli {

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ConvertOptions {
  std::vector<std::string> logs;         // one, or several with --out-dir; "-" is standard input
  std::optional<std::string> output;     // -o; "-" is standard output
  std::optional<std::string> outDir;     // --out-dir: each log's proposed name in this folder
  std::optional<std::string> itemsFile;  // --items-file: a saved item list
  std::optional<DatabaseKind> database;  // --db
  std::vector<std::u16string> items;     // --item / --items, in order
  bool keepStars = false;
  bool keepWidth = false;
  bool force = false;  // --force: replace a read-only file, or a non-CSV file at a proposed name
  // --input-encoding; unset: decided from the log. Utf16Le stands for UTF-16
  // of either byte order, which the log then decides.
  std::optional<LogEncoding> inputEncoding;
  CsvEncoding csvEncoding = CsvEncoding::Cp932;
  QuoteStyle quoteStyle = QuoteStyle::Apostrophe;
  DiscoveryStart discover = DiscoveryStart::FirstBlock;  // --discover
  bool skipEmptyRows = false;                            // --skip-empty-rows
  std::optional<std::string> report;                     // --report FILE; "-" is standard error
  bool strict = false;                                   // --strict: gaps or repeats exit 4
  bool json = false;                                     // inspect --json
  std::optional<OutputFormat> format;                    // --format; unset: as the output's name says
  bool protectFormulas = false;                          // --protect-formulas
  unsigned jobs = 0;                                     // --jobs: logs converted at once; 0: one per core
  bool quiet = false;                                    // --quiet: stderr keeps errors and warnings only
  bool dbRepeated = false;                               // --db was given more than once
  std::vector<std::string> idle;                         // options given that change nothing, each in a line
};

// Which subcommand's words: inspect takes convert's options but those that
// name an output, and --json.
enum class OptionsFor { Convert, Inspect };

// args are the words after "convert" (or "inspect").
ConvertOptions ParseConvertOptions(const std::vector<std::string>& args, OptionsFor command = OptionsFor::Convert);

struct ItemsOptions {
  std::string log;
  DiscoveryStart discover = DiscoveryStart::FirstBlock;
  std::optional<std::string> save;  // --save FILE: the list as an item list --items-file loads
};
ItemsOptions ParseItemsOptions(const std::vector<std::string>& args);

// The one path operand of detect, items and propose-name.
std::string ParseSinglePath(const std::vector<std::string>& args);

// -h or --help before any "--".
bool WantsHelp(const std::vector<std::string>& args);

// "; did you mean NAME?" for the name among names that word is a near miss
// of (at most two letters off), else "".
std::string DidYouMean(const std::string& word, const std::vector<std::string>& names);

}  // namespace trovlin::cli
