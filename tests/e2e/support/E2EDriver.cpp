#include "E2EDriver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <vector>

namespace e2e {

namespace {

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (m_key) RegCloseKey(m_key);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  HKEY* Out() { return &m_key; }
  HKEY Get() const { return m_key; }

 private:
  HKEY m_key = nullptr;
};

class ScreenDC {
 public:
  ScreenDC() : m_dc(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (m_dc) ReleaseDC(nullptr, m_dc);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

class MemoryDC {
 public:
  explicit MemoryDC(HDC compatible) : m_dc(CreateCompatibleDC(compatible)) {}
  ~MemoryDC() {
    if (m_dc) DeleteDC(m_dc);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Get() const { return m_dc; }

 private:
  HDC m_dc;
};

class Bitmap {
 public:
  Bitmap(HDC compatible, int width, int height) : m_bitmap(CreateCompatibleBitmap(compatible, width, height)) {}
  ~Bitmap() {
    if (m_bitmap) DeleteObject(m_bitmap);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HBITMAP Get() const { return m_bitmap; }

 private:
  HBITMAP m_bitmap;
};

class SelectGuard {
 public:
  SelectGuard(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
  ~SelectGuard() {
    if (m_old) SelectObject(m_dc, m_old);
  }
  SelectGuard(const SelectGuard&) = delete;
  SelectGuard& operator=(const SelectGuard&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

std::string ClassOf(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

DWORD ProcessOf(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

bool IsMessageBoxText(HWND child) {
  if (lstrcmpiA(ClassOf(child).c_str(), "Static") != 0) return false;
  if ((GetDlgCtrlID(child) & 0xFFFF) != 0xFFFF) return false;
  return (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON;
}

HWND MessageBoxTextControl(HWND box) {
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsMessageBoxText(child)) return child;
  return nullptr;
}

// Rows of 24-bit pixels, bottom-up, each padded to 4 bytes: the plain BMP layout.
bool WriteBmp(const std::string& path, HDC dc, HBITMAP bitmap, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
  std::vector<char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(height));
  if (GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS) != height) return false;

  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  info.bmiHeader.biSizeImage = static_cast<DWORD>(pixels.size());

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return static_cast<bool>(out);
}

void CreateDirectories(const std::string& path) {
  for (size_t i = 3; i <= path.size(); ++i) {
    if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
  }
}

bool SendInputs(std::vector<INPUT> inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = dx;
  input.mi.dy = dy;
  input.mi.dwFlags = flags;
  return input;
}

}  // namespace

UniqueHandle& UniqueHandle::operator=(UniqueHandle&& other) noexcept {
  if (this != &other) Reset(other.Release());
  return *this;
}

HANDLE UniqueHandle::Release() {
  HANDLE handle = m_handle;
  m_handle = nullptr;
  return handle;
}

void UniqueHandle::Reset(HANDLE handle) {
  if (*this) CloseHandle(m_handle);
  m_handle = handle;
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    Terminate();
    m_process = std::move(other.m_process);
    m_pid = other.m_pid;
    other.m_pid = 0;
  }
  return *this;
}

ChildProcess ChildProcess::Launch(const std::string& exe, const std::string& arguments, std::string* error) {
  auto wide = [](const std::string& text) {
    std::wstring out(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                      static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
  };
  return LaunchWide(wide(exe), wide(arguments), error);
}

ChildProcess ChildProcess::LaunchWide(const std::wstring& exe, const std::wstring& arguments, std::string* error) {
  ChildProcess child;
  std::wstring commandLine = L"\"" + exe + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  std::vector<wchar_t> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(L'\0');

  const size_t slash = exe.find_last_of(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : exe.substr(0, slash);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    if (error) *error = "CreateProcess failed, error " + std::to_string(GetLastError());
    return child;
  }
  UniqueHandle thread(info.hThread);
  child.m_process.Reset(info.hProcess);
  child.m_pid = info.dwProcessId;
  return child;
}

bool ChildProcess::IsRunning() const { return m_process && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT; }

bool ChildProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
  if (!m_process || WaitForSingleObject(m_process.Get(), timeoutMs) != WAIT_OBJECT_0) return false;
  if (exitCode && !GetExitCodeProcess(m_process.Get(), exitCode)) return false;
  return true;
}

void ChildProcess::Terminate() {
  if (IsRunning()) {
    TerminateProcess(m_process.Get(), 1);
    WaitForSingleObject(m_process.Get(), 5000);
  }
  m_process.Reset();
}

int TerminateProcessesNamed(const std::string& exeName, DWORD exceptPid) {
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  int ended = 0;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry)) {
    entry.szExeFile[sizeof entry.szExeFile - 1] = '\0';
    if (entry.th32ProcessID == exceptPid || entry.th32ProcessID == GetCurrentProcessId()) continue;
    if (lstrcmpiA(entry.szExeFile, exeName.c_str()) != 0) continue;
    UniqueHandle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (process && TerminateProcess(process.Get(), 1)) {
      WaitForSingleObject(process.Get(), 5000);
      ++ended;
    }
  }
  return ended;
}

std::string ToWindowsPath(const std::string& path) {
  std::string result = (!path.empty() && path[0] == '/') ? "Z:" + path : path;
  for (char& c : result)
    if (c == '/') c = '\\';
  return result;
}

std::string GetEnv(const char* name) {
  char buffer[2048] = {};
  const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return (length > 0 && length < sizeof buffer) ? std::string(buffer, length) : std::string();
}

std::string PathFromEnv(const char* name) {
  const std::string value = GetEnv(name);
  return value.empty() ? value : ToWindowsPath(value);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(pollMs);
  }
}

HWND FindTopLevelWindow(DWORD pid, const std::string& title, const char* className) {
  struct Search {
    DWORD pid;
    const std::string* title;
    const char* className;
    HWND found;
  } search{pid, &title, className, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (ProcessOf(window) != s->pid) return TRUE;
        if (s->className && lstrcmpiA(ClassOf(window).c_str(), s->className) != 0) return TRUE;
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        if (*s->title != text) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForTopLevelWindow(DWORD pid, const std::string& title, DWORD timeoutMs, const char* className) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevelWindow(pid, title, className)) != nullptr; }, timeoutMs);
  return found;
}

bool WaitForVisibility(HWND window, bool visible, DWORD timeoutMs) {
  return WaitUntil([&] { return IsWindow(window) && (IsWindowVisible(window) != FALSE) == visible; }, timeoutMs);
}

std::optional<std::string> WindowText(HWND window, DWORD timeoutMs) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &length)) return std::nullopt;
  std::vector<char> buffer(length + 2, '\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()), SMTO_ABORTIFHUNG,
                           timeoutMs, &copied))
    return std::nullopt;
  buffer.back() = '\0';
  return std::string(buffer.data(), strnlen(buffer.data(), buffer.size()));
}

std::optional<std::string> ControlText(HWND dialog, int controlId, DWORD timeoutMs) {
  HWND control = GetDlgItem(dialog, controlId);
  if (!control) return std::nullopt;
  return WindowText(control, timeoutMs);
}

bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, DWORD timeoutMs) {
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, timeoutMs, &answer)) return false;
  if (result) *result = static_cast<LRESULT>(answer);
  return true;
}

bool Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return PostMessageA(window, message, wParam, lParam) != FALSE;
}

bool SyncWithThreadOf(HWND window, int rounds, DWORD timeoutMs) {
  for (int i = 0; i < rounds; ++i)
    if (!SendWithTimeout(window, WM_NULL, 0, 0, nullptr, timeoutMs)) return false;
  return true;
}

HWND FindMessageBox(DWORD pid, HWND exclude) {
  struct Search {
    DWORD pid;
    HWND exclude;
    HWND found;
  } search{pid, exclude, nullptr};
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (window == s->exclude || ProcessOf(window) != s->pid) return TRUE;
        if (ClassOf(window) != "#32770" || !MessageBoxTextControl(window)) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs, HWND exclude) {
  HWND found = nullptr;
  // Until its modal loop answers: a thread that was busy for 5 s before it showed the box counts
  // as hung till then, and SMTO_ABORTIFHUNG turns every question to the box away at once.
  WaitUntil([&] { return (found = FindMessageBox(pid, exclude)) != nullptr && SendWithTimeout(found, WM_NULL, 0, 0); },
            timeoutMs);
  return found;
}

std::optional<std::string> MessageBoxText(HWND box) {
  HWND text = MessageBoxTextControl(box);
  if (!text) return std::nullopt;
  return WindowText(text);
}

std::optional<std::string> MessageBoxCaption(HWND box) { return WindowText(box); }

bool PressMessageBoxOk(HWND box) {
  HWND ok = GetDlgItem(box, IDOK);
  if (!ok) return false;
  // A posted command needs no activation, unlike BM_CLICK, which a background box may ignore.
  return Post(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

std::optional<RegValue> ReadRegValue(const std::string& subkey, const std::string& name, HKEY root) {
  RegKey key;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, key.Out()) != ERROR_SUCCESS) return std::nullopt;
  RegValue value;
  std::vector<BYTE> buffer;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type, nullptr, &size);
  // The value can grow between the two calls; a few rounds settle it.
  for (int attempt = 0; attempt < 4 && status == ERROR_SUCCESS; ++attempt) {
    buffer.assign(size + 2, 0);
    DWORD capacity = size;
    status = RegQueryValueExA(key.Get(), name.c_str(), nullptr, &value.type, buffer.data(), &capacity);
    if (status == ERROR_SUCCESS) {
      size = capacity;
      break;
    }
    if (status == ERROR_MORE_DATA) {
      size = capacity;
      status = ERROR_SUCCESS;
      continue;
    }
  }
  if (status != ERROR_SUCCESS || buffer.empty()) return std::nullopt;
  if (value.type == REG_SZ || value.type == REG_EXPAND_SZ) {
    buffer[size] = 0;
    value.data.assign(reinterpret_cast<const char*>(buffer.data()),
                      strnlen(reinterpret_cast<const char*>(buffer.data()), size));
  } else {
    value.data.assign(reinterpret_cast<const char*>(buffer.data()), size);
  }
  return value;
}

std::optional<std::string> ReadRegString(const std::string& subkey, const std::string& name, HKEY root) {
  auto value = ReadRegValue(subkey, name, root);
  if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return std::nullopt;
  return value->data;
}

bool WriteRegValue(const std::string& subkey, const std::string& name, DWORD type, const std::string& bytes,
                   HKEY root) {
  RegKey key;
  if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.Out(), nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(key.Get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool WriteRegString(const std::string& subkey, const std::string& name, const std::string& data, HKEY root) {
  return WriteRegValue(subkey, name, REG_SZ, std::string(data.c_str(), data.size() + 1), root);
}

bool DeleteRegValue(const std::string& subkey, const std::string& name, HKEY root) {
  RegKey key;
  const LONG open = RegOpenKeyExA(root, subkey.c_str(), 0, KEY_SET_VALUE, key.Out());
  if (open == ERROR_FILE_NOT_FOUND) return true;
  if (open != ERROR_SUCCESS) return false;
  const LONG status = RegDeleteValueA(key.Get(), name.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool DeleteRegKey(const std::string& subkey, HKEY root) {
  const LONG status = RegDeleteTreeA(root, subkey.c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::string ShotPath(const std::string& fileName) {
  std::string folder = PathFromEnv("MNEMORA_E2E_OUT");
  if (folder.empty()) return fileName;
  if (folder.back() != '\\') folder += '\\';
  CreateDirectories(folder);
  return folder + fileName;
}

std::string SaveScreenRect(const RECT& r, const std::string& fileName) {
  const int width = r.right - r.left;
  const int height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return {};
  ScreenDC screen;
  MemoryDC memory(screen.Get());
  Bitmap bitmap(screen.Get(), width, height);
  if (!screen.Get() || !memory.Get() || !bitmap.Get()) return {};
  {
    SelectGuard select(memory.Get(), bitmap.Get());
    if (!BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY)) return {};
  }
  const std::string path = ShotPath(fileName);
  return WriteBmp(path, memory.Get(), bitmap.Get(), width, height) ? path : std::string();
}

std::string SaveWindowShot(HWND window, const std::string& fileName) {
  RECT r;
  if (!GetWindowRect(window, &r)) return {};
  return SaveScreenRect(r, fileName);
}

COLORREF ScreenPixel(int x, int y) {
  ScreenDC screen;
  return screen.Get() ? GetPixel(screen.Get(), x, y) : CLR_INVALID;
}

COLORREF ClientPixel(HWND window, int x, int y) {
  POINT p{x, y};
  if (!ClientToScreen(window, &p)) return CLR_INVALID;
  return ScreenPixel(p.x, p.y);
}

bool MoveMouse(int x, int y) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
  const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
  const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
  if (width <= 1 || height <= 1) return false;
  // Normalised 0..65535 coordinates, rounded to the pixel's centre so they map back exactly.
  const LONG dx = static_cast<LONG>(((x - left) * 65536LL + 32768) / width);
  const LONG dy = static_cast<LONG>(((y - top) * 65536LL + 32768) / height);
  if (!SendInputs({MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK, dx, dy)}))
    return false;
  return WaitUntil(
      [&] {
        POINT p;
        return GetCursorPos(&p) && p.x == x && p.y == y;
      },
      1000, 10);
}

bool Click(int x, int y, MouseButton button) {
  if (!MoveMouse(x, y)) return false;
  const bool left = button == MouseButton::Left;
  return SendInputs({MouseInput(left ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
                     MouseInput(left ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)});
}

bool DoubleClick(int x, int y) {
  if (!Click(x, y)) return false;
  Sleep(std::min<UINT>(GetDoubleClickTime() / 4, 100));
  return SendInputs({MouseInput(MOUSEEVENTF_LEFTDOWN), MouseInput(MOUSEEVENTF_LEFTUP)});
}

HWND TaskbarWindow() {
  HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
  return (taskbar && IsWindowVisible(taskbar)) ? taskbar : nullptr;
}

std::optional<POINT> TrayIconCenter(int slot) {
  // Wine's explorer paints the icons into the taskbar itself, from the right edge, each in a
  // small-icon square with a 2-pixel border; there is no child window per icon.
  if (HWND taskbar = TaskbarWindow()) {
    RECT r;
    if (!GetWindowRect(taskbar, &r)) return std::nullopt;
    const int cell = GetSystemMetrics(SM_CXSMICON) + 4;
    return POINT{r.right - cell * slot - cell / 2, (r.top + r.bottom) / 2};
  }
  // Without a virtual desktop the X11 driver shows a stand-alone tray window with one child
  // per icon, left to right.
  HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
  if (!tray || !IsWindowVisible(tray)) return std::nullopt;
  std::vector<RECT> icons;
  for (HWND child = GetWindow(tray, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r;
    if (IsWindowVisible(child) && GetWindowRect(child, &r)) icons.push_back(r);
  }
  std::sort(icons.begin(), icons.end(), [](const RECT& a, const RECT& b) { return a.left < b.left; });
  if (slot < 0 || static_cast<size_t>(slot) >= icons.size()) return std::nullopt;
  const RECT& r = icons[static_cast<size_t>(slot)];
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace e2e
