// Drives the real program the way weeks of use would and reports how its resident memory grows.
// Usage:
//   MnemoraSoak memory PROGRAM.exe [menus] [ticks]
//     starts the program, warms it up, then opens and closes the tray menu `menus` times and
//     runs `ticks` refresh ticks, reading the process's working set before and after each;
//     prints the growth per 1,000 menus and per 10,000 ticks.
//   MnemoraSoak close TITLE
//     asks the top-level window with that caption to close (WM_CLOSE), as the user would.
// Automatic freeing is switched off in the registry first, so no optimization pass ever starts.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "MnemoraMessages.h"
#include "BenchSupport.h"
#include "resource.h"

namespace {

constexpr DWORD kStepTimeoutMs = 5000;
constexpr int kWarmUpMenus = 300;
constexpr int kWarmUpTicks = 3000;

using bench::Handle;
using bench::kSettingsKey;

// Both roots, so the value is found whichever the program reads first.
void SwitchOffAutomaticFreeing() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
      continue;
    }
    static const char kFalse[] = "FALSE";
    RegSetValueExA(key, "AutoFree", 0, REG_SZ, reinterpret_cast<const BYTE*>(kFalse), sizeof kFalse);
    RegCloseKey(key);
  }
}

struct WindowQuery {
  DWORD pid;
  const char* className;
  const char* title;  // nullptr: any
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND hWnd, LPARAM lParam) {
  auto* q = reinterpret_cast<WindowQuery*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hWnd, &pid);
  if (pid != q->pid) return TRUE;
  if (q->visibleOnly && !IsWindowVisible(hWnd)) return TRUE;
  char cls[64] = {};
  GetClassNameA(hWnd, cls, static_cast<int>(sizeof cls));
  cls[sizeof cls - 1] = '\0';
  if (lstrcmpA(cls, q->className) != 0) return TRUE;
  if (q->title) {
    char text[128] = {};
    GetWindowTextA(hWnd, text, static_cast<int>(sizeof text));
    text[sizeof text - 1] = '\0';
    if (lstrcmpA(text, q->title) != 0) return TRUE;
  }
  q->found = hWnd;
  return FALSE;
}

HWND FindWindowOf(DWORD pid, const char* className, const char* title, bool visibleOnly) {
  WindowQuery q{pid, className, title, visibleOnly, nullptr};
  EnumWindows(&MatchWindow, reinterpret_cast<LPARAM>(&q));
  return q.found;
}

template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(1);
  }
}

// A popup menu is a visible top-level window of class #32768 of the program.
bool MenuShown(DWORD pid) { return FindWindowOf(pid, "#32768", nullptr, true) != nullptr; }

// One right click on the tray icon as the shell reports it, then the menu dismissed without a
// choice, the way a click elsewhere would.
bool OpenAndCloseTrayMenu(HWND hDlg, DWORD pid) {
  if (!PostMessageA(hDlg, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP)) return false;
  if (!WaitFor([&] { return MenuShown(pid); }, kStepTimeoutMs)) return false;
  DWORD_PTR result = 0;
  SendMessageTimeoutA(hDlg, WM_CANCELMODE, 0, 0, SMTO_ABORTIFHUNG, kStepTimeoutMs, &result);
  if (!WaitFor([&] { return !MenuShown(pid); }, kStepTimeoutMs)) return false;
  // Returns once the dialog's loop is back: the tray handler has finished.
  return SendMessageTimeoutA(hDlg, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kStepTimeoutMs, &result) != 0;
}

bool RefreshTick(HWND hDlg) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(hDlg, WM_TIMER, 1 /* IDT_MEMORY_STATUS */, 0, SMTO_ABORTIFHUNG, kStepTimeoutMs, &result) !=
         0;
}

struct Memory {
  double workingSetKb = 0;
  double privateKb = 0;
};

Memory ReadMemory(HANDLE hProcess) {
  // Let queued paints and the idle clean-up run before reading.
  Sleep(1500);
  PROCESS_MEMORY_COUNTERS pmc{};
  pmc.cb = sizeof pmc;
  Memory m;
  if (GetProcessMemoryInfo(hProcess, &pmc, sizeof pmc)) {
    m.workingSetKb = static_cast<double>(pmc.WorkingSetSize) / 1024.0;
    m.privateKb = static_cast<double>(pmc.PagefileUsage) / 1024.0;
  }
  return m;
}

int Fail(const char* what) {
  std::fprintf(stderr, "MnemoraSoak: %s (error %lu)\n", what, GetLastError());
  return 1;
}

int RunMemory(const char* exe, int menus, int ticks) {
  SwitchOffAutomaticFreeing();
  std::string commandLine = std::string("\"") + exe + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return Fail("cannot start the program");
  }
  Handle process(pi.hProcess);
  Handle thread(pi.hThread);
  const DWORD pid = pi.dwProcessId;

  HWND hDlg = nullptr;
  if (!WaitFor([&] { return (hDlg = FindWindowOf(pid, "#32770", "Mnemora", false)) != nullptr; }, 30000)) {
    TerminateProcess(process.Get(), 1);
    return Fail("the main dialog did not appear");
  }

  auto menusOk = [&](int n) {
    for (int i = 0; i < n; ++i) {
      if (!OpenAndCloseTrayMenu(hDlg, pid)) return false;
    }
    return true;
  };
  auto ticksOk = [&](int n) {
    for (int i = 0; i < n; ++i) {
      if (!RefreshTick(hDlg)) return false;
    }
    return true;
  };

  int rc = 0;
  const DWORD started = GetTickCount();
  if (!menusOk(kWarmUpMenus) || !ticksOk(kWarmUpTicks)) {
    rc = Fail("warm-up did not complete");
  } else {
    const Memory m0 = ReadMemory(process.Get());
    const DWORD t0 = GetTickCount();
    const bool menusDone = menusOk(menus);
    const DWORD t1 = GetTickCount();
    const Memory m1 = ReadMemory(process.Get());
    const bool ticksDone = menusDone && ticksOk(ticks);
    const DWORD t2 = GetTickCount();
    const Memory m2 = ReadMemory(process.Get());
    if (!menusDone || !ticksDone) {
      rc = Fail("the program stopped answering");
    } else {
      std::printf("warm-up: %d menus, %d ticks (%.1f s)\n", kWarmUpMenus, kWarmUpTicks, (t0 - started) / 1000.0);
      std::printf("working set after warm-up: %.0f KB (private %.0f KB)\n", m0.workingSetKb, m0.privateKb);
      std::printf("%d tray menus in %.1f s: working set %+.0f KB, private %+.0f KB\n", menus, (t1 - t0) / 1000.0,
                  m1.workingSetKb - m0.workingSetKb, m1.privateKb - m0.privateKb);
      std::printf("%d refresh ticks in %.1f s: working set %+.0f KB, private %+.0f KB\n", ticks, (t2 - t1) / 1000.0,
                  m2.workingSetKb - m1.workingSetKb, m2.privateKb - m1.privateKb);
      std::printf("growth per 1,000 tray menus: %.1f KB (private %.1f KB)\n",
                  (m1.workingSetKb - m0.workingSetKb) * 1000.0 / menus, (m1.privateKb - m0.privateKb) * 1000.0 / menus);
      std::printf("growth per 10,000 refresh ticks: %.1f KB (private %.1f KB)\n",
                  (m2.workingSetKb - m1.workingSetKb) * 10000.0 / ticks,
                  (m2.privateKb - m1.privateKb) * 10000.0 / ticks);
    }
  }

  PostMessageA(hDlg, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.Get(), 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    if (rc == 0) rc = Fail("the program did not close");
  }
  return rc;
}

int RunClose(const char* title) {
  HWND hWnd = FindWindowA(nullptr, title);
  if (!hWnd) return Fail("no such window");
  return PostMessageA(hWnd, WM_CLOSE, 0, 0) ? 0 : Fail("cannot post WM_CLOSE");
}

int Count(int argc, char** argv, int index, int fallback) {
  if (argc <= index) return fallback;
  int n = std::atoi(argv[index]);
  return n > 0 ? n : fallback;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && lstrcmpA(argv[1], "memory") == 0) {
    return RunMemory(argv[2], Count(argc, argv, 3, 2000), Count(argc, argv, 4, 20000));
  }
  if (argc >= 3 && lstrcmpA(argv[1], "close") == 0) return RunClose(argv[2]);
  std::fprintf(stderr,
               "usage: MnemoraSoak memory PROGRAM.exe [menus] [ticks]\n"
               "       MnemoraSoak close TITLE\n");
  return 2;
}
