#pragma once

// Drives the real program from outside, the way a user and the shell would: start it, find
// its windows, read and poke controls, answer message boxes, click, look at pixels, inspect
// the registry. Every wait is bounded; nothing here throws.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace e2e {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE handle) : m_handle(handle) {}
  ~UniqueHandle() { Reset(); }
  UniqueHandle(UniqueHandle&& other) noexcept : m_handle(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept;
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;

  HANDLE Get() const { return m_handle; }
  explicit operator bool() const { return m_handle != nullptr && m_handle != INVALID_HANDLE_VALUE; }
  HANDLE Release();
  void Reset(HANDLE handle = nullptr);

 private:
  HANDLE m_handle = nullptr;
};

// A started program; the destructor terminates it if it is still running, so a failed
// assertion never leaves a copy behind to disturb the next test.
class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Terminate(); }
  ChildProcess(ChildProcess&&) noexcept = default;
  ChildProcess& operator=(ChildProcess&& other) noexcept;

  // exe is a Windows path; arguments are appended after the quoted path. On failure the
  // result is empty and *error (if given) says why.
  static ChildProcess Launch(const std::string& exe, const std::string& arguments = {}, std::string* error = nullptr);
  // For paths outside the ANSI code page.
  static ChildProcess LaunchWide(const std::wstring& exe, const std::wstring& arguments = {},
                                 std::string* error = nullptr);

  explicit operator bool() const { return static_cast<bool>(m_process); }
  DWORD Pid() const { return m_pid; }
  HANDLE Handle() const { return m_process.Get(); }
  bool IsRunning() const;
  // True when the process ended within timeoutMs; *exitCode receives its exit code.
  bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
  void Terminate();

 private:
  UniqueHandle m_process;
  DWORD m_pid = 0;
};

// Ends every process with this executable name (e.g. "Mnemora.exe") but exceptPid; returns
// how many were ended. For copies started by the program itself or by a crashed test.
int TerminateProcessesNamed(const std::string& exeName, DWORD exceptPid = 0);

// Paths. Wine maps "/" to drive Z:, so a Unix path becomes Z: plus the path with backslashes;
// other paths only get backslashes.
std::string ToWindowsPath(const std::string& path);
std::string GetEnv(const char* name);
// The environment variable as a Windows path; empty if unset.
std::string PathFromEnv(const char* name);

// Polls condition every pollMs until it holds or timeoutMs has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 50);

// Windows.
HWND FindTopLevelWindow(DWORD pid, const std::string& title, const char* className = nullptr);
HWND WaitForTopLevelWindow(DWORD pid, const std::string& title, DWORD timeoutMs, const char* className = nullptr);
bool WaitForVisibility(HWND window, bool visible, DWORD timeoutMs);
// WM_GETTEXT through SendMessageTimeout, so a hung target cannot hang the test.
std::optional<std::string> WindowText(HWND window, DWORD timeoutMs = 5000);
std::optional<std::string> ControlText(HWND dialog, int controlId, DWORD timeoutMs = 5000);
bool SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr,
                     DWORD timeoutMs = 5000);
bool Post(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
// Returns once the thread of window has handled what was queued for it before the call (posted
// and input messages, then paints), up to rounds of them: each round is a sent message, which
// the thread takes before anything queued, so the next round gets in only after one queued
// message was handled. False when a round went unanswered within timeoutMs.
bool SyncWithThreadOf(HWND window, int rounds = 64, DWORD timeoutMs = 5000);

// Message boxes: a "#32770" window of pid holding the box's text control (id 0xFFFF).
// Pass the program's own dialogs as exclude when they could also match.
HWND FindMessageBox(DWORD pid, HWND exclude = nullptr);
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs, HWND exclude = nullptr);
std::optional<std::string> MessageBoxText(HWND box);
std::optional<std::string> MessageBoxCaption(HWND box);
bool PressMessageBoxOk(HWND box);

// Registry values, HKEY_LOCAL_MACHINE unless another root is given. Strings come back
// NUL-terminated and cut at the first NUL, whatever the stored size says.
struct RegValue {
  DWORD type = REG_NONE;
  std::string data;
};
std::optional<RegValue> ReadRegValue(const std::string& subkey, const std::string& name,
                                     HKEY root = HKEY_LOCAL_MACHINE);
std::optional<std::string> ReadRegString(const std::string& subkey, const std::string& name,
                                         HKEY root = HKEY_LOCAL_MACHINE);
bool WriteRegString(const std::string& subkey, const std::string& name, const std::string& data,
                    HKEY root = HKEY_LOCAL_MACHINE);
bool WriteRegValue(const std::string& subkey, const std::string& name, DWORD type, const std::string& bytes,
                   HKEY root = HKEY_LOCAL_MACHINE);
// True when the value is gone afterwards (also when it never existed).
bool DeleteRegValue(const std::string& subkey, const std::string& name, HKEY root = HKEY_LOCAL_MACHINE);
bool DeleteRegKey(const std::string& subkey, HKEY root = HKEY_LOCAL_MACHINE);

// Screen. Shots are 24-bit BMP files in MNEMORA_E2E_OUT (or the current folder); the
// functions return the file's path, empty on failure.
std::string ShotPath(const std::string& fileName);
std::string SaveScreenRect(const RECT& screenRect, const std::string& fileName);
// What the user sees of the window: the screen under its rectangle, so bring it to the top
// first. (PrintWindow is no use from another process under Wine: the image stays black.)
std::string SaveWindowShot(HWND window, const std::string& fileName);
COLORREF ScreenPixel(int x, int y);
COLORREF ClientPixel(HWND window, int x, int y);

// Mouse input through SendInput, in screen coordinates.
enum class MouseButton { Left, Right };
bool MoveMouse(int x, int y);
bool Click(int x, int y, MouseButton button = MouseButton::Left);
bool DoubleClick(int x, int y);

// Notification area. Centre of the icon in slot (0 = first icon added) on Wine's taskbar
// (virtual desktop) or stand-alone tray window; empty when neither is there.
HWND TaskbarWindow();
std::optional<POINT> TrayIconCenter(int slot = 0);

}  // namespace e2e
