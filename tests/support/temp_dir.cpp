#include "support/temp_dir.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "text/cp932.h"

namespace trovlin::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "trovlin-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(std::string_view name) const { return path_ + "/" + std::string(name); }

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
  std::string p = File(name);
  WriteBytes(p, bytes);
  return p;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string Sjis(std::u16string_view text) {
  std::string out;
  if (EncodeCp932(text, out) != 0) throw std::runtime_error("test text has no code page 932 form");
  return out;
}

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view line : lines) out.append(line).append("\r\n");
  return out;
}

ConversionSettings LogSettings(const TempDir& dir, std::string_view logBytes, DatabaseKind kind) {
  ConversionSettings settings;
  settings.inputPath = dir.Write("in.log", logBytes);
  settings.outputPath = dir.File("out.csv");
  settings.databaseKind = kind;
  return settings;
}

}  // namespace trovlin::testing
