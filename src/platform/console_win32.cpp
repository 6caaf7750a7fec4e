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
#include <cstdlib>

#include "platform/console.h"
#include "text/utf8.h"

namespace trovlin::platform {

namespace {

UINT previousOutputPage = 0;
DWORD previousErrorMode = 0;

}  // namespace

// The code page and the modes belong to the console, which outlives the
// process: the shell gets its own back at the end.
void PrepareCommandLineProcess() {
  previousOutputPage = ::GetConsoleOutputCP();
  if (previousOutputPage != 0 && ::SetConsoleOutputCP(CP_UTF8)) {
    std::atexit([] { ::SetConsoleOutputCP(previousOutputPage); });
  }
  // The progress line is redrawn with terminal sequences.
  if (::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &previousErrorMode) &&
      ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), previousErrorMode | ENABLE_VIRTUAL_TERMINAL_PROCESSING)) {
    std::atexit([] { ::SetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), previousErrorMode); });
  }
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
