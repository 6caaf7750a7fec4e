// The Windows side of console.h. The arguments are taken from the UTF-16
// command line, not from argv, which holds them in the ANSI code page and
// loses every character that page lacks.
// shellapi.h needs what windows.h declares first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include <io.h>

#include <cstdio>

#include "platform/console.h"
#include "text/utf8.h"

namespace trovlin::platform {

void PrepareCommandLineProcess() {
  ::SetConsoleOutputCP(CP_UTF8);
  // The progress line is redrawn with terminal sequences.
  const HANDLE error = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (::GetConsoleMode(error, &mode)) ::SetConsoleMode(error, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i) {
    const std::wstring_view arg(wide[i]);
    args.push_back(Utf16ToUtf8(std::u16string(arg.begin(), arg.end())));
  }
  ::LocalFree(wide);
  return args;
}

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return ::_isatty(::_fileno(stderr)) != 0 && ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode);
}

}  // namespace trovlin::platform
