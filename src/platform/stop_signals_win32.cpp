// The Windows side of stop_signals.h. Ctrl+C and Ctrl+Break stand for the
// interrupt signal, closing the console window, logging off and shutting
// down for the hang-up signal; the console's handler runs in a thread of its
// own, so it may take a lock, and a second event removes the partial files
// and ends the process with the shell's code for the first.
#include <windows.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

#include "platform/file_system.h"
#include "platform/stop_signals.h"

namespace trovlin::platform {
namespace {

constexpr int kInterrupt = 2;
constexpr int kHangUp = 1;

std::atomic<int> caught{0};

// The partial file of each thread that has one.
std::mutex partialLock;
std::map<std::thread::id, std::filesystem::path>& PartialFiles() {
  static std::map<std::thread::id, std::filesystem::path> files;
  return files;
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
  const int signal = event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? kInterrupt : kHangUp;
  int none = 0;
  if (caught.compare_exchange_strong(none, signal)) return TRUE;
  {
    const std::lock_guard<std::mutex> lock(partialLock);
    for (const auto& [thread, path] : PartialFiles()) ::DeleteFileW(path.c_str());
  }
  ::ExitProcess(static_cast<UINT>(128 + caught.load()));
}

}  // namespace

StopSignals::StopSignals() {
  caught.store(0);
  ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals() { ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE); }

int StopSignal() { return caught.load(); }

void RememberPartialFile(const std::string& path) {
  const std::lock_guard<std::mutex> lock(partialLock);
  PartialFiles()[std::this_thread::get_id()] = PathOf(path);
}

void ForgetPartialFile() {
  const std::lock_guard<std::mutex> lock(partialLock);
  PartialFiles().erase(std::this_thread::get_id());
}

}  // namespace trovlin::platform
