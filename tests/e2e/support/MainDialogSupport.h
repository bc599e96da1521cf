#pragma once

// The program's main dialog as the lifecycle, read-out, settings and pass tests see it: a
// started copy with its dialog, its settings in the registry, the clipboard and memory figures
// the driver reads itself. Built on E2EDriver; every wait is bounded.

#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "E2EDriver.h"

namespace e2e::maindlg {

inline constexpr char kDialogTitle[] = "Mnemora";
inline constexpr char kSettingsKey[] = "SOFTWARE\\Mnemora.Net";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValueName[] = "Mnemora.Net";

// Removes the settings key and the Run value, per machine and per user: the next start is a
// first start.
bool ResetSettings();
// Writes the given REG_SZ values under the settings key.
bool PresetSettings(std::initializer_list<std::pair<const char*, const char*>> values);
std::optional<std::string> Setting(const char* name);
bool SettingsKeyExists();
// The user's start-up entry, and the machine-wide one that only an earlier version made.
std::optional<std::string> RunValue();
std::optional<std::string> MachineRunValue();

// The shipped program runs a full pass by itself when available physical memory is at or below
// its threshold (at most 50); it is only started when this machine is well clear of that.
double AvailablePhysPercent();
bool ShippedProgramIsSafeToStart();

// A started copy and its main dialog. The destructor asks the copy to close and terminates it
// if it is still there, so no test leaves one behind.
class RunningDialog {
 public:
  RunningDialog() = default;
  ~RunningDialog();
  RunningDialog(RunningDialog&& other) noexcept;
  RunningDialog& operator=(RunningDialog&& other) noexcept;
  RunningDialog(const RunningDialog&) = delete;
  RunningDialog& operator=(const RunningDialog&) = delete;

  // Starts exe (a Windows path) and waits until its dialog exists and its initialisation has
  // run (the first read-out is on screen). On failure the result is empty and *error says why.
  static RunningDialog Start(const std::string& exe, const std::string& arguments, std::string* error);

  explicit operator bool() const { return m_dialog != nullptr; }
  HWND Dialog() const { return m_dialog; }
  HWND Control(int id) const { return GetDlgItem(m_dialog, id); }
  const ChildProcess& Process() const { return m_process; }
  ChildProcess& Process() { return m_process; }
  // Closes the copy (WM_CLOSE, then termination) and waits for it to end.
  void Stop();

  std::optional<std::string> Text(int id) const { return ControlText(m_dialog, id); }
  // BM_GETCHECK; -1 when the control does not answer.
  int Check(int id) const;
  // PBM_GETPOS; -1 when the control does not answer.
  int BarPos(int id) const;
  bool Enabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
  bool Visible() const { return IsWindowVisible(m_dialog) != FALSE; }

  // BM_CLICK on a button of the dialog, with the dialog in front as for a user's click.
  bool ClickButton(int id) const;
  // Posts WM_COMMAND id as a menu item does (no control handle).
  bool PostCommand(int id) const;
  // Moves the keyboard focus inside the dialog: the dialog's own thread does it, so the
  // controls get the real focus messages (EN_KILLFOCUS and so on).
  bool FocusControl(int id) const;
  HWND FocusedWindow() const;

  bool WaitForText(int id, const std::string& expected, DWORD timeoutMs) const;
  // True when the text stays as expected for the whole period (false as soon as it differs).
  bool TextStays(int id, const std::string& expected, DWORD periodMs) const;

 private:
  ChildProcess m_process;
  HWND m_dialog = nullptr;
};

// Whether the virtual desktop's taskbar shows a task button for the window. Wine's explorer
// draws its buttons itself (no text) and gives each the window's handle as its control id.
bool TaskbarHasButton(HWND window);

// Text on the clipboard (CF_TEXT); empty optional when there is none.
bool PutTextOnClipboard(const std::string& text);
std::optional<std::string> ClipboardText();

// Counts processes with this executable name (e.g. "winedbg.exe"), the caller excluded.
int CountProcessesNamed(const std::string& exeName);

// The figures the dialog shows, computed here the same way from the driver's own reading.
struct MemoryFigures {
  uint64_t totalPhys, availPhys, totalPageFile, availPageFile, totalVirtual, availVirtual;
};
MemoryFigures ReadMemoryFigures();
// bytes / 1024 (or / 1048576) rounded to a whole number plus " KB" (" MB"); a figure of more
// than seven digits is divided by 1024 again and takes the next unit (up to " TB"); then the same
// amount in each larger unit, which a label too narrow for the first may show.
std::vector<std::string> FormatKilobytes(uint64_t bytes);
std::vector<std::string> FormatMegabytes(uint64_t bytes);
// The leading number of "123456 KB" or "37.54%"; empty when the text has none.
std::optional<double> LeadingNumber(const std::string& text);
// The bytes an amount text such as "24105 MB" stands for; empty without a number and a unit.
std::optional<double> ShownBytes(const std::string& text);

// Tests that start the shipped program: no copy left over before or after, fresh settings, and a
// skip when too little memory is free for the automatic rule to stay quiet.
class ShippedProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  RunningDialog Start(const std::string& arguments = {});

  std::string m_exe;
};

}  // namespace e2e::maindlg
