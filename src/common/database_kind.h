// The online services a log can come from, and their captions as the Data
// Base options show them.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace trovlin {

// The numbers are the ones users see in saved settings and messages, 0
// meaning "not recognised".
enum class DatabaseKind : int { None = 0, Stn = 1, Dialog = 2, Jois = 3, Patolis = 4 };

inline constexpr std::array<std::string_view, 4> kDatabaseCaptions = {"STN", "DIALOG", "JOIS", "PATOLIS"};

// "STN", "DIALOG", "JOIS", "PATOLIS", or "" for DatabaseKind::None.
inline std::string_view DatabaseCaption(DatabaseKind kind) {
  const int i = static_cast<int>(kind);
  return i >= 1 && i <= 4 ? kDatabaseCaptions[static_cast<std::size_t>(i - 1)] : std::string_view();
}

// The kind whose caption is exactly name.
inline std::optional<DatabaseKind> DatabaseFromCaption(std::string_view name) {
  for (std::size_t i = 0; i < kDatabaseCaptions.size(); ++i) {
    if (kDatabaseCaptions[i] == name) return static_cast<DatabaseKind>(i + 1);
  }
  return std::nullopt;
}

}  // namespace trovlin
