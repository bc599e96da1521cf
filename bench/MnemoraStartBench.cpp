// How long a program takes from CreateProcess to its first figure on screen, for several
// programs side by side, each round in a new order.
// Usage:
//   MnemoraStartBench ROUNDS NAME KIND EXE ARGS [NAME KIND EXE ARGS ...]
//     KIND "program": the main dialog "Mnemora", figure in the total physical memory label;
//     KIND "ref": MnemoraIdleRef, figure in its one label;
//     KIND "dialog": MnemoraIdleRefShell showing the program's dialog bare, figure in the same
//     label as the program's on the system's dialog colour. ARGS may be "" (none).
// A figure counts as shown once its dialog is visible, the label's text is set and the label's
// rectangle on the screen holds its background colour and text pixels: the text has been
// painted, not only stored. Prints every round's times, then per program the medians and
// ranges of each step (window created, visible, text set, painted) and how it compares with the
// first program: the ratio of the painted medians, the median of the ratios within each round,
// which a machine busy with other work disturbs less, and the ratio of the best rounds, which
// is what the start costs when nothing else runs.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "resource.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
constexpr DWORD kCloseTimeoutMs = 10000;
// Lets the shell, the wineserver and the X server finish with the last program.
constexpr DWORD kSettleMs = 1500;
constexpr int kReferenceLabelId = 100;

using bench::Handle;
using bench::kSettingsKey;

class ScreenDC {
 public:
  ScreenDC() : m_hdc(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (m_hdc) ReleaseDC(nullptr, m_hdc);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC Get() const { return m_hdc; }

 private:
  HDC m_hdc;
};

class MemoryDC {
 public:
  explicit MemoryDC(HDC hdc) : m_hdc(CreateCompatibleDC(hdc)) {}
  ~MemoryDC() {
    if (m_hdc) DeleteDC(m_hdc);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Get() const { return m_hdc; }

 private:
  HDC m_hdc;
};

class Bitmap {
 public:
  explicit Bitmap(HBITMAP h) : m_h(h) {}
  ~Bitmap() {
    if (m_h) DeleteObject(m_h);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP Get() const { return m_h; }

 private:
  HBITMAP m_h;
};

class SelectGuard {
 public:
  SelectGuard(HDC hdc, HGDIOBJ obj) : m_hdc(hdc), m_old(SelectObject(hdc, obj)) {}
  ~SelectGuard() {
    if (m_old) SelectObject(m_hdc, m_old);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC m_hdc;
  HGDIOBJ m_old;
};

struct Target {
  std::string name;
  std::string exe;
  std::string args;
  const char* caption;
  int labelId;
  COLORREF background;
};

// Milliseconds after CreateProcess; negative where the step was not reached.
struct Steps {
  double created = -1;
  double visible = -1;
  double text = -1;
  double painted = -1;
};

LARGE_INTEGER g_frequency;

double MsSince(const LARGE_INTEGER& t0) {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart - t0.QuadPart) * 1000.0 / static_cast<double>(g_frequency.QuadPart);
}

// No pass may start during the bench: the program reads the machine's value when the user has none.
bool SwitchOffAutomaticFreeing() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return false;
  }
  static const char kFalse[] = "FALSE";
  const bool ok =
      RegSetValueExA(key, "AutoFree", 0, REG_SZ, reinterpret_cast<const BYTE*>(kFalse), sizeof kFalse) == ERROR_SUCCESS;
  RegCloseKey(key);
  HKEY userKey = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_SET_VALUE, &userKey) == ERROR_SUCCESS) {
    RegDeleteValueA(userKey, "AutoFree");
    RegCloseKey(userKey);
  }
  return ok;
}

HWND FindDialogOf(DWORD pid, const char* caption) {
  HWND hWnd = nullptr;
  while ((hWnd = FindWindowExA(nullptr, hWnd, "#32770", caption)) != nullptr) {
    DWORD owner = 0;
    GetWindowThreadProcessId(hWnd, &owner);
    if (owner == pid) return hWnd;
  }
  return nullptr;
}

// A window of another process answers GetWindowText from the server, without a message, so
// polling does not make the program do work.
bool HasText(HWND hCtl) {
  char text[64] = {};
  GetWindowTextA(hCtl, text, static_cast<int>(sizeof text));
  text[sizeof text - 1] = '\0';
  return text[0] != '\0';
}

// The label's screen rectangle shows its background and at least a few text-dark pixels:
// an unpainted window shows neither the background alone nor text on it.
bool LabelPainted(HWND hCtl, COLORREF background) {
  RECT rc{};
  if (!GetWindowRect(hCtl, &rc)) return false;
  const int w = rc.right - rc.left;
  const int h = rc.bottom - rc.top;
  if (w <= 0 || h <= 0) return false;
  ScreenDC screen;
  if (!screen.Get()) return false;
  MemoryDC mem(screen.Get());
  BITMAPINFO bmi{};
  bmi.bmiHeader.biSize = sizeof bmi.bmiHeader;
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap dib(CreateDIBSection(screen.Get(), &bmi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!mem.Get() || !dib.Get() || !bits) return false;
  {
    SelectGuard select(mem.Get(), dib.Get());
    if (!BitBlt(mem.Get(), 0, 0, w, h, screen.Get(), rc.left, rc.top, SRCCOPY)) return false;
  }
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  int backgroundPixels = 0, darkPixels = 0;
  for (int i = 0; i < w * h; ++i) {
    const DWORD p = pixels[i];  // 0x00RRGGBB
    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
    if (RGB(r, g, b) == background) ++backgroundPixels;
    if (r * 3 + g * 6 + b < 1600) ++darkPixels;  // luminance below about 160
  }
  return backgroundPixels * 4 >= w * h && darkPixels >= 3;
}

Steps Measure(const Target& target) {
  Steps steps;
  std::string commandLine = "\"" + target.exe + "\"";
  if (!target.args.empty()) commandLine += " " + target.args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER t0;
  QueryPerformanceCounter(&t0);
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::fprintf(stderr, "cannot start %s (error %lu)\n", target.exe.c_str(), GetLastError());
    return steps;
  }
  Handle process(pi.hProcess);
  Handle thread(pi.hThread);

  HWND hDlg = nullptr;
  HWND hLabel = nullptr;
  while (MsSince(t0) < kStartTimeoutMs) {
    if (!hDlg && (hDlg = FindDialogOf(pi.dwProcessId, target.caption)) != nullptr) steps.created = MsSince(t0);
    if (hDlg && !hLabel) hLabel = GetDlgItem(hDlg, target.labelId);
    if (hDlg && steps.visible < 0 && IsWindowVisible(hDlg)) steps.visible = MsSince(t0);
    if (hLabel && steps.text < 0 && HasText(hLabel)) steps.text = MsSince(t0);
    if (steps.visible >= 0 && steps.text >= 0 && LabelPainted(hLabel, target.background)) {
      steps.painted = MsSince(t0);
      break;
    }
    if (WaitForSingleObject(process.Get(), 1) == WAIT_OBJECT_0) break;
  }
  if (steps.painted < 0) std::fprintf(stderr, "%s: no figure shown\n", target.name.c_str());

  if (hDlg) PostMessageA(hDlg, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.Get(), kCloseTimeoutMs) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "%s did not close; terminated\n", target.name.c_str());
    TerminateProcess(process.Get(), 1);
    WaitForSingleObject(process.Get(), kCloseTimeoutMs);
  }
  return steps;
}

struct Summary {
  double median = -1, low = -1, high = -1;
};

Summary Summarize(std::vector<double> values) {
  values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
  Summary s;
  if (values.empty()) return s;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  s.median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  s.low = values.front();
  s.high = values.back();
  return s;
}

int Usage() {
  std::fprintf(stderr,
               "usage: MnemoraStartBench ROUNDS NAME KIND EXE ARGS [NAME KIND EXE ARGS ...]\n"
               "       KIND: program (Mnemora.exe), ref (MnemoraIdleRef.exe) or dialog\n"
               "       (MnemoraIdleRefShell.exe dialog); ARGS may be \"\"\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 6 || (argc - 2) % 4 != 0) return Usage();
  const int rounds = std::atoi(argv[1]);
  if (rounds <= 0) return Usage();
  std::vector<Target> targets;
  for (int i = 2; i + 3 < argc; i += 4) {
    Target t{argv[i], argv[i + 2], argv[i + 3], nullptr, 0, 0};
    if (lstrcmpA(argv[i + 1], "program") == 0) {
      t.caption = "Mnemora";
      t.labelId = IDC_TOTAL_PHYS;
      t.background = RGB(255, 255, 255);
    } else if (lstrcmpA(argv[i + 1], "ref") == 0) {
      t.caption = "MnemoraIdleRef";
      t.labelId = kReferenceLabelId;
      t.background = GetSysColor(COLOR_BTNFACE);
    } else if (lstrcmpA(argv[i + 1], "dialog") == 0) {
      t.caption = "Mnemora";
      t.labelId = IDC_TOTAL_PHYS;
      t.background = GetSysColor(COLOR_BTNFACE);
    } else {
      return Usage();
    }
    targets.push_back(t);
  }
  if (!SwitchOffAutomaticFreeing()) {
    std::fprintf(stderr, "cannot switch automatic freeing off\n");
    return 1;
  }
  QueryPerformanceFrequency(&g_frequency);

  // One start of each first, unmeasured: the files come into the page cache, the shell's
  // notification area exists.
  for (const Target& t : targets) {
    Measure(t);
    Sleep(kSettleMs);
  }
  std::vector<std::vector<Steps>> results(targets.size());
  int failures = 0;
  // A new order every round (the same ones every run): what the program before leaves behind,
  // such as the shell tidying up after its icon and taskbar button, falls on each in turn.
  std::vector<size_t> order(targets.size());
  std::iota(order.begin(), order.end(), 0);
  std::mt19937 shuffler(20240601);
  for (int r = 1; r <= rounds; ++r) {
    std::shuffle(order.begin(), order.end(), shuffler);
    for (size_t i : order) {
      const Steps s = Measure(targets[i]);
      if (s.painted < 0) ++failures;
      results[i].push_back(s);
      std::printf("round %2d  %-28s created %6.1f  visible %6.1f  text %6.1f  painted %6.1f ms\n", r,
                  targets[i].name.c_str(), s.created, s.visible, s.text, s.painted);
      std::fflush(stdout);
      Sleep(kSettleMs);
    }
  }

  std::printf("\n%-28s %22s %22s %22s %22s  %s\n", "median (range), ms", "created", "visible", "text set",
              "figure painted", "ratio: medians, per round, best");
  Summary baseline;
  for (size_t i = 0; i < targets.size(); ++i) {
    std::vector<double> created, visible, text, painted, ratios;
    for (size_t r = 0; r < results[i].size(); ++r) {
      const Steps& s = results[i][r];
      created.push_back(s.created);
      visible.push_back(s.visible);
      text.push_back(s.text);
      painted.push_back(s.painted);
      const double first = results[0][r].painted;
      if (s.painted >= 0 && first > 0) ratios.push_back(s.painted / first);
    }
    std::printf("%-28s", targets[i].name.c_str());
    for (const auto* values : {&created, &visible, &text, &painted}) {
      const Summary s = Summarize(*values);
      char cell[64];
      std::snprintf(cell, sizeof cell, "%.0f (%.0f-%.0f)", s.median, s.low, s.high);
      std::printf(" %22s", cell);
    }
    const Summary shown = Summarize(painted);
    if (i == 0) baseline = shown;
    if (i > 0 && baseline.median > 0 && shown.median > 0) {
      std::printf("  %.2fx, %.2fx, %.2fx", shown.median / baseline.median, Summarize(ratios).median,
                  shown.low / baseline.low);
    }
    std::printf("\n");
  }
  return failures == 0 ? 0 : 1;
}
