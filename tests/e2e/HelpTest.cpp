// Help opened from the three places that offer it (the Help button, the caption's Help button,
// the tray menu), and nothing at all when the help file is missing. Under Wine, hh.exe shows
// a help file in a window titled by the file's title; its HTML pane stays blank without an
// HTML engine, which does not matter here.

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

// The title compiled into MnemoraNet.chm (docs/help/MnemoraNet.hhp).
constexpr char kHelpTitle[] = "Mnemora.Net Help";
constexpr int kHelpButton = 1034;

// A visible top-level window of any process with the help file's title.
HWND FindHelpWindow() {
  HWND found = nullptr;
  EnumWindows(
      [](HWND window, LPARAM param) -> BOOL {
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        if (!IsWindowVisible(window) || std::string(text) != kHelpTitle) return TRUE;
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

DWORD ProcessOfWindow(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

void CloseHelpWindows() {
  for (int i = 0; i < 5; ++i) {
    HWND help = FindHelpWindow();
    if (!help) break;
    Post(help, WM_CLOSE);
    WaitUntil([&] { return !IsWindow(help) || !IsWindowVisible(help); }, 5000);
  }
  TerminateProcessesNamed("hh.exe");
}

// Each way of asking for help, as a user does it.
struct HelpRequest {
  const char* name;
  std::function<bool(const RunningProgram&)> open;
};

bool ClickHelpButton(const RunningProgram& app) {
  const POINT at = CenterOf(ControlScreenRect(app.dialog, kHelpButton));
  return Click(at.x, at.y);
}

bool ClickCaptionHelp(const RunningProgram& app) {
  const POINT at = CenterOf(CaptionButtonRect(app.dialog, CaptionButton::Help));
  return Click(at.x, at.y);
}

bool ChooseTrayHelp(const RunningProgram& app) {
  if (!MoveMouse(400, 300) || !Post(app.dialog, kWmTrayNotify, kTrayIconId, WM_RBUTTONUP)) return false;
  HWND menu = WaitForPopupMenu(app.Pid(), 5000);
  return menu && Post(menu, WM_CHAR, 'h', 0);
}

void PrintTo(const HelpRequest& request, std::ostream* os) { *os << request.name; }

const HelpRequest kRequests[] = {
    {"HelpButton", ClickHelpButton},
    {"CaptionHelpButton", ClickCaptionHelp},
    {"TrayMenuHelp", ChooseTrayHelp},
};

class HelpTest : public ProgramTest, public ::testing::WithParamInterface<HelpRequest> {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    CloseHelpWindows();
  }
  void TearDown() override {
    CloseHelpWindows();
    ProgramTest::TearDown();
  }

  void StartOnTop(const std::string& exe = ShippedExe()) {
    ASSERT_NO_FATAL_FAILURE(Start({}, exe));
    ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));
    ASSERT_TRUE(BringToFront(m_app.dialog));
  }
};

TEST_P(HelpTest, Request_HelpFileBesideProgram_OpensHelpWindowTitledByHelpFile) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  ASSERT_EQ(FindHelpWindow(), nullptr) << "a help window is open before asking for help";

  ASSERT_TRUE(GetParam().open(m_app)) << "could not ask for help";
  HWND help = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (help = FindHelpWindow()) != nullptr; }, 30000))
      << "no window titled \"" << kHelpTitle << "\" within 30 s";

  EXPECT_NE(ProcessOfWindow(help), m_app.Pid()) << "the help window belongs to the program, not to the help viewer";
  EXPECT_GE(maindlg::CountProcessesNamed("hh.exe"), 1) << "no help viewer runs";
  Shot(WindowRectOf(help), std::string("help-") + GetParam().name + ".bmp");
  // Opening help changes nothing in the program: it runs on, its window where it was.
  EXPECT_TRUE(m_app.process.IsRunning());
  EXPECT_TRUE(IsWindowVisible(m_app.dialog));
  EXPECT_EQ(FindMessageBox(m_app.Pid(), m_app.dialog), nullptr);
}

INSTANTIATE_TEST_SUITE_P(FromEachPlace, HelpTest, ::testing::ValuesIn(kRequests),
                         [](const ::testing::TestParamInfo<HelpRequest>& info) { return info.param.name; });

// A copy of the program in a folder without MnemoraNet.chm.
class HelpFileMissingTest : public HelpTest {
 protected:
  void SetUp() override {
    HelpTest::SetUp();
    char temp[MAX_PATH] = {};
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    m_folder = std::string(temp) + "mnemora-no-help";
    CreateDirectoryA(m_folder.c_str(), nullptr);
    m_exe = m_folder + "\\Mnemora.exe";
    DeleteFileA((m_folder + "\\MnemoraNet.chm").c_str());
    ASSERT_TRUE(CopyFileA(ShippedExe().c_str(), m_exe.c_str(), FALSE)) << "could not copy the program to " << m_exe;
  }
  void TearDown() override {
    HelpTest::TearDown();
    DeleteFileA(m_exe.c_str());
    RemoveDirectoryA(m_folder.c_str());
  }

  std::string m_folder;
  std::string m_exe;
};

TEST_F(HelpFileMissingTest, EveryRequest_NoHelpFile_ShowsNothingAndProgramRunsOn) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop(m_exe));
  for (const HelpRequest& request : kRequests) {
    SCOPED_TRACE(request.name);
    ASSERT_TRUE(BringToFront(m_app.dialog));
    ASSERT_TRUE(request.open(m_app));
    // Give a viewer or an error box the time it takes to show up when the file is there.
    WaitUntil([&] { return FindHelpWindow() || FindMessageBox(m_app.Pid(), m_app.dialog); }, 4000);
    EXPECT_EQ(FindHelpWindow(), nullptr);
    EXPECT_EQ(maindlg::CountProcessesNamed("hh.exe"), 0) << "a help viewer was started";
    EXPECT_EQ(FindMessageBox(m_app.Pid(), m_app.dialog), nullptr) << "the program reported the missing file";
    EXPECT_TRUE(m_app.process.IsRunning());
    EXPECT_TRUE(IsWindowVisible(m_app.dialog));
  }
}

// A folder named outside the ANSI code page (1252 here), "C:\\Программы Łukasz": through the
// ANSI calls its name came back as question marks, so the start-up entry named no file and Help
// opened nothing.
class FolderOutsideCodePageTest : public HelpTest {
 protected:
  void SetUp() override {
    HelpTest::SetUp();
    const std::string exe = ShippedExe();
    const std::string folder = exe.substr(0, exe.find_last_of('\\'));  // the build's: ASCII
    CreateDirectoryW(m_folder.c_str(), nullptr);
    for (const wchar_t* name : kFiles)
      ASSERT_TRUE(
          CopyFileW((std::wstring(folder.begin(), folder.end()) + name).c_str(), (m_folder + name).c_str(), FALSE));
  }
  void TearDown() override {
    m_copy.Terminate();
    HelpTest::TearDown();
    for (const wchar_t* name : kFiles) DeleteFileW((m_folder + name).c_str());
    RemoveDirectoryW(m_folder.c_str());
  }

  static constexpr const wchar_t* kFiles[] = {L"\\Mnemora.exe", L"\\MnemoraNet.chm"};

  const std::wstring m_folder = L"C:\\\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B \u0141ukasz";
  ChildProcess m_copy;
};

TEST_F(FolderOutsideCodePageTest, Start_ThenHelp_StartupEntryNamesTheFileAndHelpOpens) {
  const std::wstring exe = m_folder + L"\\Mnemora.exe";
  std::string error;
  m_copy = ChildProcess::LaunchWide(exe, {}, &error);
  ASSERT_TRUE(m_copy) << error;
  HWND dialog = WaitForTopLevelWindow(m_copy.Pid(), "Mnemora", 30000, "#32770");
  ASSERT_NE(dialog, nullptr);

  wchar_t entry[MAX_PATH] = {};
  EXPECT_TRUE(WaitUntil(
      [&] {
        DWORD size = sizeof entry - sizeof(wchar_t);
        return RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"Mnemora.Net",
                            RRF_RT_REG_SZ, nullptr, entry, &size) == ERROR_SUCCESS;
      },
      10000));
  EXPECT_TRUE(std::wstring(entry) == L"\"" + exe + L"\" -m") << "the entry names no file";

  ASSERT_TRUE(Post(dialog, WM_COMMAND, kHelpButton, 0));
  EXPECT_TRUE(WaitUntil([] { return FindHelpWindow() != nullptr; }, 30000)) << "Help opened nothing";
}

}  // namespace
