// The setup program as a user gets it: installed through its pages or silently, the installed
// program started, then uninstalled silently while it runs, after which nothing of it may be left
// but the settings the user chose to keep.

#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "ProductInfo.h"

namespace {

using namespace e2e;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mnemora.Net";
constexpr char kSettingsKey[] = "SOFTWARE\\Mnemora.Net";
constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunValue[] = "Mnemora.Net";
constexpr DWORD kSetupMs = 120000;
constexpr DWORD kUninstallMs = 90000;
constexpr char kShellRunRecord[] = "MNEMORA_SHELL_RUN_RECORD";

std::string Folder(int csidl) {
  char path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool KeyExists(HKEY root, const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

std::optional<std::string> FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Takes the default button (Next, I Agree, Install, Finish) whenever it is enabled, so every page
// keeps its defaults, until the setup has ended. The window is found by the caption of its first
// page; later pages add to it.
bool ClickThroughPages(const ChildProcess& setup) {
  const HWND window =
      WaitForTopLevelWindow(setup.Pid(), MNEMORA_PRODUCT_NAME " " MNEMORA_VERSION_DISPLAY " Setup", kSetupMs, "#32770");
  return window && WaitUntil(
                       [&] {
                         const HWND button = GetDlgItem(window, IDOK);
                         if (button && IsWindowEnabled(button))
                           Post(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(button));
                         return !setup.IsRunning();
                       },
                       kSetupMs, 500);
}

void ForgetEverything() {
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    DeleteRegKey(kSettingsKey, root);
    DeleteRegValue(kRunKey, kRunValue, root);
  }
}

struct RoundTripCase {
  const char* name;
  const char* setupArguments;  // none: through the pages
  const char* uninstallArguments;
  bool settingsKept;
};

void PrintTo(const RoundTripCase& c, std::ostream* os) {
  *os << c.name << " (" << c.setupArguments << ", " << c.uninstallArguments << ")";
}

const RoundTripCase kCases[] = {
    {"PagesThenSilent", "", "/S", true},
    {"SilentThenSilentRemovingSettings", "/S", "/S /REMOVESETTINGS", false},
};

class InstallTest : public ::testing::TestWithParam<RoundTripCase> {
 protected:
  void SetUp() override {
    TerminateProcessesNamed("Mnemora.exe");
    m_setup = PathFromEnv("MNEMORA_SETUP_EXE");
    ASSERT_FALSE(m_setup.empty()) << "MNEMORA_SETUP_EXE is not set";
    ASSERT_TRUE(Exists(m_setup)) << m_setup << " is not there: build the target MnemoraPackages";
    if (!maindlg::ShippedProgramIsSafeToStart())
      GTEST_SKIP() << "only " << maindlg::AvailablePhysPercent()
                   << "% physical memory available: the installed program could start a pass";
    m_folder = Folder(CSIDL_PROGRAM_FILES) + "\\Mnemora.Net";
    m_shortcut = Folder(CSIDL_COMMON_PROGRAMS) + "\\Mnemora.Net.lnk";
    ASSERT_FALSE(Exists(m_folder)) << m_folder << " is there before the installation";
    ForgetEverything();
    // The setup's finish page then records the start it asks of the shell, instead of starting.
    char temp[MAX_PATH] = {};
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    m_record = std::string(temp) + "mnemora-shell-run.txt";
    DeleteFileA(m_record.c_str());
    ASSERT_TRUE(SetEnvironmentVariableA(kShellRunRecord, m_record.c_str()));
  }

  void TearDown() override {
    TerminateProcessesNamed("Mnemora.exe");
    // After a failure: take away what an aborted round trip left, within a bound.
    const std::string uninstaller = m_folder + "\\Uninstall.exe";
    if (!m_folder.empty() && Exists(uninstaller)) {
      ChildProcess::Launch(uninstaller, "/S /REMOVESETTINGS").WaitForExit(kUninstallMs);
      WaitUntil([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, kUninstallMs, 250);
    }
    ForgetEverything();
    SetEnvironmentVariableA(kShellRunRecord, nullptr);
    if (!m_record.empty()) DeleteFileA(m_record.c_str());
  }

  std::string Installed(const char* file) const { return m_folder + "\\" + file; }

  std::string m_setup;
  std::string m_folder;
  std::string m_shortcut;
  std::string m_record;
};

TEST_P(InstallTest, InstallRunAndUninstall_NoStartUpEntryForAllUsersNoFilesLeftSettingsAsChosen) {
  // An earlier version's setup started the program for every user.
  ASSERT_TRUE(WriteRegString(kRunKey, kRunValue, "\"C:\\Old\\Mnemora.exe\" -m"));
  const bool pages = !*GetParam().setupArguments;
  std::string error;
  ChildProcess setup = ChildProcess::Launch(m_setup, GetParam().setupArguments, &error);
  ASSERT_TRUE(setup) << error;
  if (pages) {
    EXPECT_TRUE(ClickThroughPages(setup)) << "the setup's pages did not lead to its end";
  }
  DWORD exitCode = 1;
  ASSERT_TRUE(setup.WaitForExit(kSetupMs, &exitCode)) << "the setup program did not finish within 120 s";
  ASSERT_EQ(exitCode, 0u);

  for (const char* file : {"Mnemora.exe", "MnemoraNet.chm", "License.txt", "ReadMe.txt", "Uninstall.exe"})
    EXPECT_TRUE(Exists(Installed(file))) << file << " is not installed";
  EXPECT_TRUE(Exists(m_shortcut)) << "no Start-menu shortcut";
  const std::string quotedExe = "\"" + Installed("Mnemora.exe") + "\"";
  struct {
    const char* name;
    std::string expected;
  } const entry[] = {
      {"DisplayName", MNEMORA_PRODUCT_NAME},
      {"DisplayVersion", MNEMORA_VERSION_DISPLAY},
      {"Publisher", MNEMORA_COMPANY_NAME},
      {"InstallLocation", m_folder},
      {"UninstallString", "\"" + Installed("Uninstall.exe") + "\""},
  };
  for (const auto& e : entry)
    EXPECT_EQ(ReadRegString(kUninstallKey, e.name), std::optional<std::string>(e.expected)) << e.name;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    EXPECT_EQ(ReadRegString(kRunKey, kRunValue, root), std::nullopt)
        << "the setup left a start-up entry under " << (root == HKEY_LOCAL_MACHINE ? "HKLM" : "HKCU");
  EXPECT_EQ(ReadRegString(kSettingsKey, "AutoStart"), std::optional<std::string>("TRUE"))
      << "start with Windows is not the machine's default";
  // The finish page asks the logged-on user's shell to start the program; a silent setup starts nothing.
  EXPECT_EQ(FileText(m_record),
            pages ? std::optional<std::string>(Installed("Mnemora.exe") + "\n\n" + m_folder + "\n") : std::nullopt);

  // The installed program, running while it is uninstalled. Automatic freeing stays off.
  ASSERT_TRUE(WriteRegString(kSettingsKey, "AutoFree", "FALSE"));
  maindlg::RunningDialog app = maindlg::RunningDialog::Start(Installed("Mnemora.exe"), {}, &error);
  ASSERT_TRUE(app) << error;
  EXPECT_EQ(app.Check(1046), BST_CHECKED) << "the installed program does not show start with Windows";
  // The uninstaller's own user's entry, and a machine entry an earlier version left.
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    ASSERT_TRUE(WriteRegString(kRunKey, kRunValue, quotedExe + " -m", root));
  ASSERT_TRUE(WriteRegString(kSettingsKey, "AutoFree", "FALSE", HKEY_CURRENT_USER));

  ChildProcess uninstall = ChildProcess::Launch(Installed("Uninstall.exe"), GetParam().uninstallArguments, &error);
  ASSERT_TRUE(uninstall) << error;
  EXPECT_TRUE(app.Process().WaitForExit(kUninstallMs)) << "the uninstaller did not close the running program";
  // The uninstaller runs on from a copy of itself in the temporary folder, so the one started
  // here ends at once; the copy takes the Apps and features entry away last.
  EXPECT_TRUE(WaitUntil([&] { return !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey); }, kUninstallMs, 250))
      << "the Apps and features entry is still there " << kUninstallMs / 1000 << " s after the uninstaller started";
  EXPECT_TRUE(uninstall.WaitForExit(10000));

  EXPECT_FALSE(Exists(m_folder)) << m_folder << " is left";
  EXPECT_FALSE(Exists(m_shortcut)) << "the Start-menu shortcut is left";
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    const char* where = root == HKEY_LOCAL_MACHINE ? "machine" : "user";
    EXPECT_EQ(ReadRegString(kRunKey, kRunValue, root), std::nullopt) << "the " << where << "'s Run value is left";
    EXPECT_EQ(KeyExists(root, kSettingsKey), GetParam().settingsKept) << "the " << where << "'s settings";
  }
}

INSTANTIATE_TEST_SUITE_P(RoundTrip, InstallTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

}  // namespace
