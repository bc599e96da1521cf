#include "CommandLine.h"

#include <windows.h>

#include <cctype>
#include <string>

#include "SingleInstance.h"
#include "win/WideText.h"

namespace {

constexpr DWORD kCopyStartMs = 30000;
constexpr DWORD kPollMs = 100;

std::string Lower(const char* text) {
  std::string lower(text ? text : "");
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

// A hidden copy of this very program, as the start-up entry starts it.
HANDLE StartHiddenCopy() {
  const std::wstring exe = ModulePathW();
  if (exe.empty()) return nullptr;
  std::wstring commandLine = L"\"" + exe + L"\" -m";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return nullptr;
  ::CloseHandle(info.hThread);
  return info.hProcess;
}

}  // namespace

const char kUsageText[] =
    "Mnemora [/optimize | -m | /?]\n"
    "\n"
    "/optimize\tAsks the running Mnemora.Net for an optimization pass and ends at once; where none "
    "runs, starts it hidden in the notification area first. Exit code 0 when the request was "
    "delivered, 1 when it could not be.\n"
    "-m\tStarts hidden in the notification area (so does any other argument).\n"
    "/?\tShows this list.";

LaunchRequest ParseLaunchRequest(int argc, char** argv) {
  LaunchRequest request = LaunchRequest::kRun;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = Lower(argv[i]);
    if (arg == "/?") return LaunchRequest::kUsage;
    if (arg == "/optimize" || arg == "-optimize") request = LaunchRequest::kOptimize;
  }
  return request;
}

bool RequestPassFromRunningCopy() {
  HANDLE hStarted = nullptr;
  // A copy that holds the marker but has no dialog yet is still starting: wait for it.
  if (!FindRunningCopy() && !AnotherCopyRuns()) {
    hStarted = StartHiddenCopy();
    if (!hStarted) return false;
  }
  HWND hRunning = nullptr;
  for (DWORD waited = 0; !(hRunning = FindRunningCopy()) && waited < kCopyStartMs; waited += kPollMs) {
    // A started copy that ended (it found another copy after all, or failed) brings no dialog.
    if (hStarted && ::WaitForSingleObject(hStarted, kPollMs) == WAIT_OBJECT_0 && !FindRunningCopy()) break;
    if (!hStarted) ::Sleep(kPollMs);
  }
  if (hStarted) ::CloseHandle(hStarted);
  return hRunning && AskRunningCopy(hRunning, OptimizeRequestMessage());
}
