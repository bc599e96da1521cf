// Start, hide, show, single instance and the ways out, with the shipped program.

#include <gtest/gtest.h>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "resource.h"

namespace {

using e2e::maindlg::RunningDialog;

const char kSecondCopyHint[] =
    "Left click on the system tray icon to display Mnemora.Net main window.\n"
    "Right click on the system tray icon to display its context menu.";

class Lifecycle : public e2e::maindlg::ShippedProgramTest {};

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
    e2e::SyncWithThreadOf(app.Dialog());  // painted as it reads
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

TEST_F(Lifecycle, SecondCopy_FirstHidden_ShowsHintThenRaisesFirstAndEnds) {
    RunningDialog first = Start("-m");
    ASSERT_TRUE(first);
    ASSERT_TRUE(e2e::WaitForVisibility(first.Dialog(), false, 5000));

    std::string error;
    e2e::ChildProcess second = e2e::ChildProcess::Launch(m_exe, {}, &error);
    ASSERT_TRUE(second) << error;
    HWND box = e2e::WaitForMessageBox(second.Pid(), 20000);
    ASSERT_NE(box, nullptr) << "the second copy showed no message box";
    EXPECT_EQ(e2e::MessageBoxText(box), kSecondCopyHint);
    EXPECT_EQ(e2e::MessageBoxCaption(box), "Mnemora");
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
        case ExitPath::ExitButton: return "ExitButton";
        case ExitPath::ExitCommand: return "ExitCommand";
        case ExitPath::CloseMessage: return "CloseMessage";
        case ExitPath::EscapeKey: return "EscapeKey";
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
