#include "support/text_paths.h"

#include <fstream>
#include <iterator>

#include "tagged/tagged_run.h"
#include "text/cp932.h"
#include "text/utf8.h"

namespace trovlin::testing {
namespace {

// Everything an observer is told, as one text.
class EventLog : public RunObserver {
 public:
  explicit EventLog(const LineInterest& interest) : interest_(interest) {}
  LineInterest InterestInLines() const override { return interest_; }
  void OnInvalidBytes(std::uint64_t line, std::size_t count) override {
    text += "invalid " + std::to_string(line) + " " + std::to_string(count) + "\n";
  }
  void OnUnencodable(std::uint64_t line, std::size_t count) override {
    text += "unencodable " + std::to_string(line) + " " + std::to_string(count) + "\n";
  }
  void OnLine(std::uint64_t line, std::u16string_view content) override {
    text += "line " + std::to_string(line) + " " + Utf16ToUtf8(content) + "\n";
  }
  // Values as the code page 932 bytes they are written as: a record of
  // bytes holds exactly those (decoding them again may pair bytes that a
  // deleted star kept apart).
  void OnRecord(std::uint64_t firstLine, const RecordBuffer& record, bool written) override {
    Cp932RecordBuffer encoded;
    for (const auto& value : record.values) EncodeCp932(value, encoded.values.emplace_back());
    OnCp932Record(firstLine, encoded, written);
  }
  void OnCp932Record(std::uint64_t firstLine, const Cp932RecordBuffer& record, bool written) override {
    text += "record " + std::to_string(firstLine) + (written ? " written" : " skipped");
    for (const auto& value : record.values) text += " [" + value + "]";
    text += "\n";
  }

  std::string text;

 private:
  LineInterest interest_;
};

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Statistics(const RunStatistics& s) {
  return std::to_string(s.rows) + " rows, " + std::to_string(s.unencodable) + " unencodable, " +
         std::to_string(s.replaced) + " replaced, " + std::to_string(s.bytesRead) + " bytes, " +
         std::to_string(s.linesRead) + " lines, " + std::to_string(s.protectedValues) + " protected";
}

}  // namespace

std::string CompareTextPaths(const ConversionSettings& settings, const ItemTable& items, const LineInterest& interest) {
  struct Run {
    std::string csv, statistics, events;
  };
  const auto run = [&](TextPath path, const char* suffix) {
    ConversionSettings s = settings;
    s.outputPath += suffix;
    EventLog events(interest);
    const RunStatistics statistics = RunTaggedConversion(s, items, &events, RunMode::Convert, path);
    return Run{Slurp(s.outputPath), Statistics(statistics), events.text};
  };
  const Run bytes = run(TextPath::Fastest, ".bytes");
  const Run utf16 = run(TextPath::Utf16, ".utf16");
  if (bytes.csv != utf16.csv) return "CSV bytes differ:\n" + bytes.csv + "\n---- through UTF-16:\n" + utf16.csv;
  if (bytes.statistics != utf16.statistics) return "statistics differ: " + bytes.statistics + " / " + utf16.statistics;
  if (bytes.events != utf16.events) return "events differ:\n" + bytes.events + "---- through UTF-16:\n" + utf16.events;
  return "";
}

}  // namespace trovlin::testing
