// Start, hide, show, single instance and the ways out, with the shipped program.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "UiSupport.h"
#include "resource.h"

namespace {

using e2e::maindlg::RunningDialog;

const char kSecondCopyHint[] =
    "Left click on the system tray icon to display Mnemora.Net main window.\n"
    "Right click on the system tray icon to display its context menu.";

const char kSingleInstanceMutex[] = "0x6510f64b, 0x8e55, 0x4cab, 0xac, 0x10, 0xc1, 0xd2, 0xdd, 0x61, 0x75, 0x6e";

class Lifecycle : public e2e::maindlg::ShippedProgramTest {};

bool SingleInstanceMutexExists() {
  HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kSingleInstanceMutex);
  if (!mutex) return false;
  CloseHandle(mutex);
  return true;
}

// The copy's main dialog: a "#32770" titled "Mnemora" with the Optimize button (its message
// boxes have the same class and title).
HWND FindMainDialog(DWORD pid) {
  HWND dialog = e2e::FindTopLevelWindow(pid, "Mnemora", "#32770");
  return dialog && GetDlgItem(dialog, IDC_OPTIMIZE) ? dialog : nullptr;
}

// A minimized top-level window titled "Mnemora" that is not the program: of a class of its own,
// as a folder of that name would be, or of the dialog class, as another copy's message box is.
// Its own thread serves it, so whatever another process does to it takes effect.
class OtherMnemoraWindow {
 public:
  explicit OtherMnemoraWindow(const char* className = nullptr) : m_className(className) {
    m_thread = std::thread([this] { Run(); });
    e2e::WaitUntil([this] { return m_window.load() != nullptr; }, 5000);
  }
  ~OtherMnemoraWindow() {
    if (HWND window = m_window.load())
      PostMessageA(window, WM_CLOSE, 0, 0);
    else
      PostThreadMessageA(m_threadId.load(), WM_QUIT, 0, 0);
    m_thread.join();
  }
  OtherMnemoraWindow(const OtherMnemoraWindow&) = delete;
  OtherMnemoraWindow& operator=(const OtherMnemoraWindow&) = delete;

  HWND Get() const { return m_window.load(); }

 private:
  static LRESULT CALLBACK WndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_CLOSE && base) return DestroyWindow(window), 0;
    if (message == WM_DESTROY) PostQuitMessage(0);
    return base ? CallWindowProcA(base, window, message, wParam, lParam)
                : DefWindowProcA(window, message, wParam, lParam);
  }
  void Run() {
    m_threadId = GetCurrentThreadId();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = "MnemoraE2EOtherWindow";
    if (!m_className) RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, m_className ? m_className : wc.lpszClassName, "Mnemora", WS_OVERLAPPEDWINDOW, 100,
                                  100, 300, 200, nullptr, nullptr, instance, nullptr);
    if (!window) return;
    if (m_className) {
      // A system class keeps its own procedure underneath; ours only adds closing.
      SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_WNDPROC));
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WndProc));
    }
    ShowWindow(window, SW_SHOWMINNOACTIVE);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    m_window = window;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    if (!m_className) UnregisterClassA(wc.lpszClassName, instance);
  }

  const char* m_className;
  std::thread m_thread;
  std::atomic<HWND> m_window{nullptr};
  std::atomic<DWORD> m_threadId{0};
};

TEST_F(Lifecycle, Start_NoArguments_DialogShownWithTaskbarButtonAndFocusOnOptimize) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  EXPECT_EQ(e2e::WindowText(app.Dialog()), "Mnemora");
  EXPECT_NE(GetWindowLongA(app.Dialog(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  EXPECT_FALSE(IsIconic(app.Dialog()));
  ASSERT_TRUE(e2e::WaitUntil([] { return e2e::TaskbarWindow() != nullptr; }, 10000))
      << "no taskbar: not running in a virtual desktop";
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::maindlg::TaskbarHasButton(app.Dialog()); }, 3000));

  SetForegroundWindow(app.Dialog());
  EXPECT_TRUE(e2e::WaitUntil([&] { return app.FocusedWindow() == app.Control(IDC_OPTIMIZE); }, 3000))
      << "focus is on " << app.FocusedWindow();

  // Every read-out filled in: the shot shows the dialog as the user first sees it.
  ASSERT_TRUE(e2e::WaitUntil([&] { return !app.Text(IDC_VIRTUAL_PERCENT).value_or("").empty(); }, 3000));
  e2e::CaptureSettled(e2e::WindowRectOf(app.Dialog()));  // painted as it reads
  EXPECT_FALSE(e2e::SaveWindowShot(app.Dialog(), "main-dialog.bmp").empty());
}

TEST_F(Lifecycle, Start_WithArgument_DialogHiddenWithoutTaskbarButton) {
  RunningDialog app = Start("-m");
  ASSERT_TRUE(app);
  EXPECT_TRUE(e2e::WaitForVisibility(app.Dialog(), false, 5000));
  // Hidden for good, not flashing back once the modal loop runs.
  EXPECT_FALSE(e2e::WaitUntil([&] { return app.Visible(); }, 1500));
  EXPECT_FALSE(IsIconic(app.Dialog())) << "minimized instead of hidden";
  ASSERT_TRUE(e2e::WaitUntil([] { return e2e::TaskbarWindow() != nullptr; }, 10000))
      << "no taskbar: not running in a virtual desktop";
  EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::maindlg::TaskbarHasButton(app.Dialog()); }, 3000));
  EXPECT_TRUE(app.Process().IsRunning());
}

TEST_F(Lifecycle, MinimizeThenShowWindowCommand_HidesThenRestoresInPlace) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  RECT before = {};
  GetWindowRect(app.Dialog(), &before);

  ASSERT_TRUE(e2e::Post(app.Dialog(), WM_SYSCOMMAND, SC_MINIMIZE, 0));
  EXPECT_TRUE(e2e::WaitForVisibility(app.Dialog(), false, 5000));
  EXPECT_FALSE(IsIconic(app.Dialog())) << "minimized instead of hidden";
  EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::maindlg::TaskbarHasButton(app.Dialog()); }, 3000));

  ASSERT_TRUE(app.PostCommand(ID_SHOW_WINDOW));
  EXPECT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  EXPECT_FALSE(IsIconic(app.Dialog()));
  EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::maindlg::TaskbarHasButton(app.Dialog()); }, 3000));
  RECT after = {};
  GetWindowRect(app.Dialog(), &after);
  EXPECT_EQ(before.left, after.left);
  EXPECT_EQ(before.top, after.top);
  EXPECT_EQ(before.right - before.left, after.right - after.left);
  EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
}

// A second download saved as "Mnemora (1).exe": the running copy is found whatever the file is
// called (the name used to be the lookup's title, so the box came back after every OK).
TEST_F(Lifecycle, SecondCopy_RenamedFileFirstHidden_ShowsHintOnceThenRaisesFirstAndEnds) {
  RunningDialog first = Start("-m");
  ASSERT_TRUE(first);
  ASSERT_TRUE(e2e::WaitForVisibility(first.Dialog(), false, 5000));
  const std::string renamed = m_exe.substr(0, m_exe.find_last_of('\\')) + "\\Mnemora (1).exe";
  ASSERT_TRUE(CopyFileA(m_exe.c_str(), renamed.c_str(), FALSE));
  struct Remove {
    std::string path;
    ~Remove() { DeleteFileA(path.c_str()); }
  } removeCopy{renamed};

  std::string error;
  e2e::ChildProcess second = e2e::ChildProcess::Launch(renamed, {}, &error);
  ASSERT_TRUE(second) << error;
  HWND box = e2e::WaitForMessageBox(second.Pid(), 20000);
  ASSERT_NE(box, nullptr) << "the second copy showed no message box";
  EXPECT_EQ(e2e::MessageBoxText(box), kSecondCopyHint);
  EXPECT_EQ(e2e::MessageBoxCaption(box), "Mnemora (1)") << "the application's name is its file's";
  // The message comes first; the running copy is raised only after it is closed.
  EXPECT_FALSE(first.Visible());

  ASSERT_TRUE(e2e::PressMessageBoxOk(box));
  DWORD exitCode = 1;
  EXPECT_TRUE(second.WaitForExit(10000, &exitCode)) << "the second copy is still running after OK";
  EXPECT_EQ(exitCode, 0u);
  EXPECT_TRUE(e2e::WaitForVisibility(first.Dialog(), true, 5000));
  EXPECT_TRUE(e2e::WaitUntil([&] { return GetForegroundWindow() == first.Dialog(); }, 3000))
      << "foreground is " << GetForegroundWindow();
  EXPECT_TRUE(first.Process().IsRunning());
}

TEST_F(Lifecycle, SecondCopy_OtherWindowTitledMnemora_LeftAloneAndHiddenDialogRaised) {
  RunningDialog first = Start("-m");
  ASSERT_TRUE(first);
  ASSERT_TRUE(e2e::WaitForVisibility(first.Dialog(), false, 5000));
  OtherMnemoraWindow other;
  OtherMnemoraWindow otherDialog("#32770");
  ASSERT_NE(other.Get(), nullptr);
  ASSERT_NE(otherDialog.Get(), nullptr);
  ASSERT_TRUE(
      e2e::WaitUntil([&] { return IsIconic(other.Get()) != FALSE && IsIconic(otherDialog.Get()) != FALSE; }, 3000));
  // Lookups by title alone, or by title and dialog class, find one of them first.
  ASSERT_NE(FindWindowA(nullptr, "Mnemora"), first.Dialog());
  ASSERT_EQ(FindWindowA("#32770", "Mnemora"), otherDialog.Get());

  std::string error;
  e2e::ChildProcess second = e2e::ChildProcess::Launch(m_exe, {}, &error);
  ASSERT_TRUE(second) << error;
  HWND box = e2e::WaitForMessageBox(second.Pid(), 20000);
  ASSERT_NE(box, nullptr) << "the second copy showed no message box";
  ASSERT_TRUE(e2e::PressMessageBoxOk(box));
  DWORD exitCode = 1;
  EXPECT_TRUE(second.WaitForExit(10000, &exitCode)) << "the second copy is still running after OK";
  EXPECT_EQ(exitCode, 0u);

  EXPECT_TRUE(e2e::WaitForVisibility(first.Dialog(), true, 5000)) << "the hidden dialog was not raised";
  EXPECT_TRUE(IsIconic(other.Get())) << "the other window was restored";
  EXPECT_TRUE(IsIconic(otherDialog.Get())) << "the other dialog-class window was restored";
}

TEST_F(Lifecycle, SecondCopy_FirstExitsWhileHintShown_MutexFreeAndSecondRunsAsFirst) {
  RunningDialog first = Start();
  ASSERT_TRUE(first);
  std::string error;
  e2e::ChildProcess second = e2e::ChildProcess::Launch(m_exe, {}, &error);
  ASSERT_TRUE(second) << error;
  HWND box = e2e::WaitForMessageBox(second.Pid(), 20000);
  ASSERT_NE(box, nullptr) << "the second copy showed no message box";
  EXPECT_EQ(e2e::MessageBoxText(box), kSecondCopyHint);

  ASSERT_TRUE(e2e::Post(first.Dialog(), WM_CLOSE));
  ASSERT_TRUE(first.Process().WaitForExit(10000)) << "the first copy did not end";
  // Nobody holds the mutex any more, so a copy started now would be the first.
  EXPECT_FALSE(SingleInstanceMutexExists()) << "the second copy holds the mutex while its box is open";

  ASSERT_TRUE(e2e::PressMessageBoxOk(box));
  HWND dialog = nullptr;
  ASSERT_TRUE(e2e::WaitUntil([&] { return (dialog = FindMainDialog(second.Pid())) != nullptr; }, 20000))
      << "the second copy did not take the first one's place; running: " << second.IsRunning();
  EXPECT_TRUE(e2e::WaitForVisibility(dialog, true, 5000));
  EXPECT_TRUE(SingleInstanceMutexExists());
  EXPECT_EQ(e2e::FindMessageBox(second.Pid(), dialog), nullptr);
  EXPECT_TRUE(second.IsRunning());
}

TEST_F(Lifecycle, EnterKey_FocusOnCheckBox_EndsProcess) {
  // Should Enter reach the Optimize button instead, a pass would run: capped build only.
  const std::string capped = e2e::PathFromEnv("MNEMORA_CAPPED_EXE");
  ASSERT_FALSE(capped.empty()) << "MNEMORA_CAPPED_EXE is not set";
  ASSERT_TRUE(e2e::maindlg::PresetSettings({{"AutoFree", "FALSE"}}));
  std::string error;
  RunningDialog app = RunningDialog::Start(capped, {}, &error);
  ASSERT_TRUE(app) << error;
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  ASSERT_TRUE(app.FocusControl(IDC_AUTO_START));
  const int autoStart = app.Check(IDC_AUTO_START);

  HWND focus = app.Control(IDC_AUTO_START);
  ASSERT_TRUE(e2e::Post(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001));
  ASSERT_TRUE(e2e::Post(focus, WM_KEYUP, VK_RETURN, 0xC01C0001));
  DWORD exitCode = 1;
  EXPECT_TRUE(app.Process().WaitForExit(10000, &exitCode))
      << "still running 10 s after Enter; pass label " << app.Text(IDC_OPTIMIZE_PERCENT).value_or("")
      << ", start-with-Windows check " << app.Check(IDC_AUTO_START) << " (was " << autoStart << ")";
  EXPECT_EQ(exitCode, 0u);
}

enum class ExitPath { ExitButton, ExitCommand, CloseMessage, EscapeKey };

std::string ExitPathName(const ::testing::TestParamInfo<ExitPath>& info) {
  switch (info.param) {
    case ExitPath::ExitButton:
      return "ExitButton";
    case ExitPath::ExitCommand:
      return "ExitCommand";
    case ExitPath::CloseMessage:
      return "CloseMessage";
    case ExitPath::EscapeKey:
      return "EscapeKey";
  }
  return "Unknown";
}

class LifecycleExit : public Lifecycle, public ::testing::WithParamInterface<ExitPath> {};

TEST_P(LifecycleExit, Exit_Idle_EndsProcessAndNextCopyStartsAsFirst) {
  {
    RunningDialog app = Start();
    ASSERT_TRUE(app);
    ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
    switch (GetParam()) {
      case ExitPath::ExitButton:
        ASSERT_TRUE(app.ClickButton(IDC_EXIT));
        break;
      case ExitPath::ExitCommand:
        ASSERT_TRUE(app.PostCommand(IDC_EXIT));
        break;
      case ExitPath::CloseMessage:
        ASSERT_TRUE(e2e::Post(app.Dialog(), WM_CLOSE));
        break;
      case ExitPath::EscapeKey: {
        // The key goes to the control with the focus, as typed; the dialog turns it
        // into its cancel command.
        SetForegroundWindow(app.Dialog());
        HWND focus = nullptr;
        ASSERT_TRUE(e2e::WaitUntil([&] { return (focus = app.FocusedWindow()) != nullptr; }, 3000));
        ASSERT_TRUE(IsChild(app.Dialog(), focus) || focus == app.Dialog());
        ASSERT_TRUE(e2e::Post(focus, WM_KEYDOWN, VK_ESCAPE, 0x00010001));
        ASSERT_TRUE(e2e::Post(focus, WM_KEYUP, VK_ESCAPE, 0xC0010001));
        break;
      }
    }
    DWORD exitCode = 1;
    ASSERT_TRUE(app.Process().WaitForExit(10000, &exitCode)) << "still running 10 s after the exit request";
    EXPECT_EQ(exitCode, 0u);
  }

  RunningDialog next = Start();
  ASSERT_TRUE(next) << "a new copy did not start as the first one";
  EXPECT_TRUE(e2e::WaitForVisibility(next.Dialog(), true, 5000));
  EXPECT_EQ(e2e::FindMessageBox(next.Process().Pid()), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Lifecycle, LifecycleExit,
                         ::testing::Values(ExitPath::ExitButton, ExitPath::ExitCommand, ExitPath::CloseMessage,
                                           ExitPath::EscapeKey),
                         ExitPathName);

}  // namespace
