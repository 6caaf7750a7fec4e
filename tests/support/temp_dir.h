// Test support: a temporary folder removed with its contents, whole-file
// reads and writes of raw bytes, log bytes from readable text, and the
// settings that convert such a log.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "common/conversion_settings.h"

namespace trovlin::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const;  // path()/name
  // Writes bytes to path()/name and returns that path.
  std::string Write(std::string_view name, std::string_view bytes) const;

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, std::string_view bytes);
// text in code page 932, for building logs from readable literals.
std::string Sjis(std::u16string_view text);
// Lines joined with CR LF after each.
std::string CrLfLines(std::initializer_list<std::string_view> lines);
// A conversion of logBytes, written to in.log in dir, into out.csv in dir.
ConversionSettings LogSettings(const TempDir& dir, std::string_view logBytes, DatabaseKind kind = DatabaseKind::None);

}  // namespace trovlin::testing
