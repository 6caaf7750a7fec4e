#include "micro/bench_logs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "input/discover.h"
#include "text/cp932.h"

namespace trovlin::bench {
namespace {

// Removes the files it made when the process ends.
class TempFiles {
 public:
  ~TempFiles() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  const std::string& Folder() {
    if (folder_.empty()) {
      folder_ =
          (std::filesystem::temp_directory_path() / ("trovlin-microbench-" + std::to_string(::getpid()))).string();
      std::filesystem::create_directories(folder_);
    }
    return folder_;
  }

 private:
  std::string folder_;
};

TempFiles& Temp() {
  static TempFiles files;
  return files;
}

}  // namespace

const char* KindName(LogKind kind) {
  switch (kind) {
    case LogKind::Stn:
      return "stn";
    case LogKind::Jois:
      return "jois";
    case LogKind::PatolisLayout3:
      return "patolis3";
  }
  return "";
}

const std::string& LogBytes(LogKind kind) {
  static std::map<LogKind, std::string> logs;
  auto it = logs.find(kind);
  if (it == logs.end()) it = logs.emplace(kind, GenerateLog(kind, kMicroLogBytes)).first;
  return it->second;
}

const std::vector<std::string_view>& RawLines(LogKind kind) {
  static std::map<LogKind, std::vector<std::string_view>> lines;
  auto it = lines.find(kind);
  if (it != lines.end()) return it->second;
  std::vector<std::string_view> split;
  std::string_view rest = LogBytes(kind);
  while (!rest.empty()) {
    const std::size_t end = rest.find("\r\n");
    split.push_back(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 2);
  }
  return lines.emplace(kind, std::move(split)).first->second;
}

const std::vector<std::u16string>& DecodedLines(LogKind kind) {
  static std::map<LogKind, std::vector<std::u16string>> lines;
  auto it = lines.find(kind);
  if (it != lines.end()) return it->second;
  std::vector<std::u16string> decoded;
  for (std::string_view raw : RawLines(kind)) {
    decoded.emplace_back();
    DecodeCp932(raw, decoded.back());
  }
  return lines.emplace(kind, std::move(decoded)).first->second;
}

const std::string& LogFile(LogKind kind) {
  static std::map<LogKind, std::string> files;
  auto it = files.find(kind);
  if (it != files.end()) return it->second;
  const std::string path = Temp().Folder() + "/" + KindName(kind) + ".log";
  const std::string& bytes = LogBytes(kind);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0) {
    std::perror(path.c_str());
    std::exit(1);
  }
  return files.emplace(kind, path).first->second;
}

std::string OutputPath(std::string_view name) { return Temp().Folder() + "/" + std::string(name); }

ItemTable LogItems(LogKind kind) {
  ItemTable items;
  for (DiscoveredItem& item : DiscoverItems(LogFile(kind)).items) {
    items.notJoined.push_back(item.mark != u"*");
    items.codes.push_back(std::move(item.code));
  }
  return items;
}

}  // namespace trovlin::bench
