#include "MainDialogSupport.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

#include "resource.h"

namespace e2e::maindlg {

namespace {

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

bool HasClass(HWND window, const char* className) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return lstrcmpiA(name, className) == 0;
}

// The main dialog, told apart from a message box with the same caption by its read-out labels.
HWND FindMainDialog(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND found;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (ProcessOf(window) != s->pid || !HasClass(window, "#32770")) return TRUE;
        char title[64] = {};
        GetWindowTextA(window, title, sizeof title);
        if (lstrcmpA(title, kDialogTitle) != 0 || !GetDlgItem(window, IDC_TOTAL_PHYS)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Owns the clipboard's data while this test program runs: with no owner window,
// SetClipboardData is refused.
class ClipboardOwner {
 public:
  ClipboardOwner()
      : m_window(CreateWindowExA(0, "STATIC", "e2e clipboard owner", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleA(nullptr), nullptr)) {}
  ~ClipboardOwner() {
    if (m_window) DestroyWindow(m_window);
  }
  ClipboardOwner(const ClipboardOwner&) = delete;
  ClipboardOwner& operator=(const ClipboardOwner&) = delete;
  HWND Get() const { return m_window; }

 private:
  HWND m_window;
};

class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    // Another program (explorer's clipboard sync, the program under test) may hold it a moment.
    m_open = WaitUntil([&] { return OpenClipboard(owner) != FALSE; }, 2000, 20);
  }
  ~OpenedClipboard() {
    if (m_open) CloseClipboard();
  }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
  explicit operator bool() const { return m_open; }

 private:
  bool m_open = false;
};

class GlobalMemory {
 public:
  explicit GlobalMemory(size_t bytes) : m_memory(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
  ~GlobalMemory() {
    if (m_memory) GlobalFree(m_memory);
  }
  GlobalMemory(const GlobalMemory&) = delete;
  GlobalMemory& operator=(const GlobalMemory&) = delete;
  HGLOBAL Get() const { return m_memory; }
  // The clipboard owns it once SetClipboardData has taken it.
  void Release() { m_memory = nullptr; }

 private:
  HGLOBAL m_memory;
};

const char* const kUnitsFromKilo[] = {" KB", " MB", " GB", " TB", nullptr};
const char* const kUnitsFromMega[] = {" MB", " GB", " TB", nullptr};

// Up to seven digits in the area's own unit; a figure that needs more moves on to the next unit.
// The larger units follow: a label too narrow for the text may take one of them.
std::vector<std::string> FormatScaled(uint64_t bytes, double divisor, const char* const* units) {
  double value = static_cast<double>(bytes) / divisor;
  char buffer[64];
  std::vector<std::string> choices;
  for (; *units; ++units, value /= 1024.0) {
    std::snprintf(buffer, sizeof buffer, "%.0f", value);
    if (choices.empty() && std::strlen(buffer) > 7 && units[1]) continue;
    choices.push_back(std::string(buffer) + *units);
  }
  return choices;
}

}  // namespace

bool ResetSettings() {
  // Per machine and per user: the program falls back to the user's keys where it cannot
  // write the machine's.
  bool ok = true;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    ok = DeleteRegKey(kSettingsKey, root) && DeleteRegValue(kRunKey, kRunValueName, root) && ok;
  return ok;
}

bool PresetSettings(std::initializer_list<std::pair<const char*, const char*>> values) {
  bool ok = true;
  for (const auto& [name, data] : values) ok = WriteRegString(kSettingsKey, name, data) && ok;
  return ok;
}

std::optional<std::string> Setting(const char* name) { return ReadRegString(kSettingsKey, name); }

bool SettingsKeyExists() {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
  std::unique_ptr<std::remove_pointer_t<HKEY>, decltype(&RegCloseKey)> key(raw, &RegCloseKey);
  return true;
}

std::optional<std::string> RunValue() { return ReadRegString(kRunKey, kRunValueName, HKEY_CURRENT_USER); }
std::optional<std::string> MachineRunValue() { return ReadRegString(kRunKey, kRunValueName); }

double AvailablePhysPercent() {
  const MemoryFigures m = ReadMemoryFigures();
  return m.totalPhys ? 100.0 * static_cast<double>(m.availPhys) / static_cast<double>(m.totalPhys) : 0.0;
}

bool ShippedProgramIsSafeToStart() {
  // Thresholds go up to 50; keep a margin for memory that others use meanwhile.
  return AvailablePhysPercent() > 60.0;
}

RunningDialog::~RunningDialog() { Stop(); }

RunningDialog::RunningDialog(RunningDialog&& other) noexcept
    : m_process(std::move(other.m_process)), m_dialog(other.m_dialog) {
  other.m_dialog = nullptr;
}

RunningDialog& RunningDialog::operator=(RunningDialog&& other) noexcept {
  if (this != &other) {
    Stop();
    m_process = std::move(other.m_process);
    m_dialog = other.m_dialog;
    other.m_dialog = nullptr;
  }
  return *this;
}

void RunningDialog::Stop() {
  if (m_process.IsRunning() && m_dialog && IsWindow(m_dialog)) {
    Post(m_dialog, WM_CLOSE);
    m_process.WaitForExit(5000);
  }
  m_process.Terminate();
  m_dialog = nullptr;
}

RunningDialog RunningDialog::Start(const std::string& exe, const std::string& arguments, std::string* error) {
  RunningDialog running;
  std::string launchError;
  running.m_process = ChildProcess::Launch(exe, arguments, &launchError);
  if (!running.m_process) {
    if (error) *error = launchError;
    return running;
  }
  HWND dialog = nullptr;
  const DWORD pid = running.m_process.Pid();
  if (!WaitUntil([&] { return (dialog = FindMainDialog(pid)) != nullptr; }, 20000)) {
    if (error) *error = "no main dialog within 20 s";
    running.m_process.Terminate();
    return running;
  }
  // The first read-out is the last step of the dialog's initialisation.
  if (!WaitUntil(
          [&] {
            auto text = ControlText(dialog, IDC_TOTAL_PHYS, 1000);
            return text && !text->empty();
          },
          10000)) {
    if (error) *error = "the dialog showed no read-out within 10 s";
    running.m_process.Terminate();
    return running;
  }
  running.m_dialog = dialog;
  return running;
}

int RunningDialog::Check(int id) const {
  LRESULT state = -1;
  return SendWithTimeout(Control(id), BM_GETCHECK, 0, 0, &state) ? static_cast<int>(state) : -1;
}

int RunningDialog::BarPos(int id) const {
  LRESULT pos = -1;
  return SendWithTimeout(Control(id), PBM_GETPOS, 0, 0, &pos) ? static_cast<int>(pos) : -1;
}

bool RunningDialog::ClickButton(int id) const {
  HWND button = Control(id);
  if (!button) return false;
  SetForegroundWindow(m_dialog);
  return SendWithTimeout(button, BM_CLICK, 0, 0);
}

bool RunningDialog::PostCommand(int id) const { return Post(m_dialog, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

HWND RunningDialog::FocusedWindow() const {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(m_dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool RunningDialog::FocusControl(int id) const {
  HWND control = Control(id);
  if (!control) return false;
  SetForegroundWindow(m_dialog);
  if (!Post(m_dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE)) return false;
  return WaitUntil([&] { return FocusedWindow() == control; }, 3000);
}

bool RunningDialog::WaitForText(int id, const std::string& expected, DWORD timeoutMs) const {
  return e2e::WaitUntil([&] { return Text(id) == expected; }, timeoutMs, 10);
}

bool RunningDialog::TextStays(int id, const std::string& expected, DWORD periodMs) const {
  return !e2e::WaitUntil([&] { return Text(id) != expected; }, periodMs, 50);
}

bool TaskbarHasButton(HWND window) {
  HWND taskbar = TaskbarWindow();
  if (!taskbar || !window) return false;
  // Handles are 32-bit values even in 64-bit processes.
  const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(window));
  for (HWND child = GetWindow(taskbar, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !HasClass(child, "Button")) continue;
    if (static_cast<DWORD>(GetWindowLongPtrA(child, GWLP_ID)) == id) return true;
  }
  return false;
}

bool PutTextOnClipboard(const std::string& text) {
  static ClipboardOwner owner;
  if (!owner.Get()) return false;
  OpenedClipboard clipboard(owner.Get());
  if (!clipboard || !EmptyClipboard()) return false;
  GlobalMemory memory(text.size() + 1);
  if (!memory.Get()) return false;
  void* p = GlobalLock(memory.Get());
  if (!p) return false;
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(memory.Get());
  if (!SetClipboardData(CF_TEXT, memory.Get())) return false;
  memory.Release();
  return true;
}

std::optional<std::string> ClipboardText() {
  OpenedClipboard clipboard(nullptr);
  if (!clipboard) return std::nullopt;
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return std::nullopt;
  const SIZE_T size = GlobalSize(data);
  const char* p = static_cast<const char*>(GlobalLock(data));
  if (!p) return std::nullopt;
  std::string text(p, strnlen(p, size));
  GlobalUnlock(data);
  return text;
}

int CountProcessesNamed(const std::string& exeName) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  int count = 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
    if (entry.th32ProcessID != GetCurrentProcessId() && lstrcmpiA(entry.szExeFile, exeName.c_str()) == 0) ++count;
  }
  return count;
}

MemoryFigures ReadMemoryFigures() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  GlobalMemoryStatusEx(&status);
  return {status.ullTotalPhys,     status.ullAvailPhys,    status.ullTotalPageFile,
          status.ullAvailPageFile, status.ullTotalVirtual, status.ullAvailVirtual};
}

std::vector<std::string> FormatKilobytes(uint64_t bytes) { return FormatScaled(bytes, 1024.0, kUnitsFromKilo); }

std::vector<std::string> FormatMegabytes(uint64_t bytes) { return FormatScaled(bytes, 1048576.0, kUnitsFromMega); }

std::optional<double> ShownBytes(const std::string& text) {
  const auto number = LeadingNumber(text);
  if (!number) return std::nullopt;
  double bytesPerUnit = 1024.0;
  for (const char* unit : {" KB", " MB", " GB", " TB"}) {
    const size_t n = std::strlen(unit);
    if (text.size() > n && text.compare(text.size() - n, n, unit) == 0) return *number * bytesPerUnit;
    bytesPerUnit *= 1024.0;
  }
  return std::nullopt;
}

std::optional<double> LeadingNumber(const std::string& text) {
  const char* begin = text.c_str();
  char* end = nullptr;
  const double value = std::strtod(begin, &end);
  if (end == begin) return std::nullopt;
  return value;
}

void ShippedProgramTest::SetUp() {
  TerminateProcessesNamed("Mnemora.exe");
  m_exe = PathFromEnv("MNEMORA_EXE");
  ASSERT_FALSE(m_exe.empty()) << "MNEMORA_EXE is not set";
  if (!ShippedProgramIsSafeToStart())
    GTEST_SKIP() << "only " << AvailablePhysPercent()
                 << "% physical memory available: the shipped program could start a pass";
  ASSERT_TRUE(ResetSettings());
}

void ShippedProgramTest::TearDown() { TerminateProcessesNamed("Mnemora.exe"); }

RunningDialog ShippedProgramTest::Start(const std::string& arguments) {
  std::string error;
  RunningDialog app = RunningDialog::Start(m_exe, arguments, &error);
  if (!app) ADD_FAILURE() << "start of " << m_exe << " " << arguments << ": " << error;
  return app;
}

}  // namespace e2e::maindlg
