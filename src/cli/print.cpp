#include "cli/print.h"

namespace trovlin::cli {

void Print(std::FILE* to, std::string_view text) { std::fwrite(text.data(), 1, text.size(), to); }

void Error(std::string_view message) {
  Print(stderr, "trovlin-cli: ");
  Print(stderr, message);
  Print(stderr, "\n");
}

std::string NoPatolisLayoutMessage(const std::string& log) {
  return log + ": no PATOLIS answer header (\"＊＊検索回答\" with \"様式\" and a layout 1-4): " +
         "nothing to convert, no file written";
}

}  // namespace trovlin::cli
