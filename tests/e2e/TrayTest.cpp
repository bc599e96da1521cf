// The notification-area icon of the real program: its presence, the shell's notifications,
// the context menu and the taskbar being recreated.

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "E2EDriver.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

constexpr WPARAM kShowWindow = 32771;
constexpr WPARAM kExit = 1035;

class TrayTest : public ProgramTest {
 protected:
  // Wine's shell shows its taskbar once a program window is there, so this waits after Start.
  void Start(const std::string& arguments = {}, const std::string& exe = ShippedExe()) {
    ProgramTest::Start(arguments, exe);
    if (HasFatalFailure()) return;
    ASSERT_TRUE(WaitUntil([] { return TaskbarWindow() != nullptr; }, 10000))
        << "no taskbar: run inside a Wine virtual desktop";
  }

  // Call as ASSERT_NO_FATAL_FAILURE(Hide()).
  void Hide() {
    ASSERT_TRUE(Post(m_app.dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0));
    ASSERT_TRUE(WaitForVisibility(m_app.dialog, false, 5000)) << "the dialog did not hide";
  }

  bool Notify(WPARAM id, LPARAM event) { return Post(m_app.dialog, kWmTrayNotify, id, event); }

  // Opens the menu the way the shell's right click does; the pointer fixes where it shows.
  HWND OpenMenuAt(POINT at) {
    if (!MoveMouse(at.x, at.y)) return nullptr;
    if (!Notify(kTrayIconId, WM_RBUTTONUP)) return nullptr;
    return WaitForPopupMenu(m_app.Pid(), 5000);
  }

  void CloseMenu(HWND menu) {
    Post(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return FindVisiblePopupMenu(m_app.Pid()) == nullptr; }, 5000))
        << "the menu stayed open after Escape";
  }

  // Takes the icon out of the notification area as a restarting taskbar would lose it.
  bool RemoveIconBehindProgramsBack() {
    NOTIFYICONDATAA nid = {};
    nid.cbSize = sizeof nid;
    nid.hWnd = m_app.dialog;
    nid.uID = static_cast<UINT>(kTrayIconId);
    return Shell_NotifyIconA(NIM_DELETE, &nid) != FALSE;
  }

  static void BroadcastTaskbarCreated() {
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  }
};

// Started hidden, the program has nothing on screen but its icon, which is added after the
// dialog's first paint: a hidden start, which paints nothing, must still get it.
TEST_F(TrayTest, TrayIcon_ProgramStartedShownOrHiddenThenExited_ShownOnlyWhileRunning) {
  const std::string exe = ShippedExe();
  EXPECT_TRUE(TraySlotsShowingIcon(exe).empty()) << "the icon is in the tray before the program runs";

  for (const char* arguments : {"", "-m"}) {
    SCOPED_TRACE(std::string("arguments: \"") + arguments + "\"");
    // Without waiting for the taskbar: the hidden program's icon is what brings it up.
    ASSERT_NO_FATAL_FAILURE(ProgramTest::Start(arguments));
    EXPECT_TRUE(WaitForTraySlotCount(exe, 1, 5000)) << "the running program shows no (or more than one) tray icon";

    ASSERT_TRUE(Post(m_app.dialog, WM_COMMAND, kExit, 0));
    ASSERT_TRUE(m_app.process.WaitForExit(10000)) << "Exit did not end the program";
    EXPECT_TRUE(WaitForTraySlotCount(exe, 0, 5000)) << "the icon stayed after the program ended";
  }
}

TEST_F(TrayTest, TrayNotify_LeftButtonUpAndDoubleClick_ShowHiddenDialogInPlace) {
  ASSERT_NO_FATAL_FAILURE(Start());
  const RECT before = WindowRectOf(m_app.dialog);

  ASSERT_NO_FATAL_FAILURE(Hide());
  ASSERT_TRUE(Notify(kTrayIconId, WM_LBUTTONUP));
  EXPECT_TRUE(WaitForVisibility(m_app.dialog, true, 5000)) << "left button up did not show the dialog";
  const RECT after = WindowRectOf(m_app.dialog);
  EXPECT_EQ(before.left, after.left);
  EXPECT_EQ(before.top, after.top);

  ASSERT_NO_FATAL_FAILURE(Hide());
  ASSERT_TRUE(Notify(kTrayIconId, WM_LBUTTONDBLCLK));
  EXPECT_TRUE(WaitForVisibility(m_app.dialog, true, 5000)) << "a double click did not show the dialog";
}

TEST_F(TrayTest, TrayNotify_OtherIconIdOrOtherEvents_Ignored) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Hide());

  ASSERT_TRUE(Notify(kTrayIconId + 1, WM_LBUTTONUP));
  ASSERT_TRUE(Notify(kTrayIconId + 1, WM_RBUTTONUP));
  ASSERT_TRUE(Notify(kTrayIconId, WM_MOUSEMOVE));
  ASSERT_TRUE(Notify(kTrayIconId, WM_LBUTTONDOWN));
  ASSERT_TRUE(Notify(kTrayIconId, WM_RBUTTONDOWN));
  // Past the five notices and whatever they set off.
  ASSERT_TRUE(SyncWithThreadOf(m_app.dialog));

  EXPECT_FALSE(IsWindowVisible(m_app.dialog)) << "an ignored event showed the dialog";
  EXPECT_EQ(FindVisiblePopupMenu(m_app.Pid()), nullptr) << "an ignored event opened the menu";

  // The same channel still works, so the silence above was not a dead window.
  ASSERT_TRUE(Notify(kTrayIconId, WM_LBUTTONUP));
  EXPECT_TRUE(WaitForVisibility(m_app.dialog, true, 5000));
}

TEST_F(TrayTest, TrayNotify_RightButtonUp_OpensSevenEntryMenuAtPointerWithShowWindowBold) {
  const std::string exe = ShippedExe();
  const POINT at{400, 300};
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));

  const Image screen = CaptureScreen();
  HWND menu = OpenMenuAt(at);
  ASSERT_NE(menu, nullptr) << "no popup menu after right button up";
  const RECT shown = WindowRectOf(menu);
  const Image picture = CaptureSettled(shown, screen.Crop(shown));
  Shot(shown, "tray-menu.bmp");
  EXPECT_EQ(shown.left, at.x) << "the menu is not at the pointer";
  EXPECT_EQ(shown.top, at.y) << "the menu is not at the pointer";
  CloseMenu(menu);
  CaptureSettled(shown, picture);  // gone from the screen before this process shows its own there

  // Another process cannot read the program's menu under Wine, so the shown menu is compared
  // with the menu resource shown by this process: same entries, same bold default, same pixels.
  auto bold = RenderExeMenu(exe, kTrayMenuId, at, true);
  ASSERT_TRUE(bold) << "could not show the tray menu resource here";
  ASSERT_EQ(bold->items.size(), 7u);
  EXPECT_EQ(bold->image.width, picture.width);
  EXPECT_EQ(bold->image.height, picture.height);
  EXPECT_GE(MatchRatio(picture, bold->image), 0.995)
      << "the shown menu differs from the tray menu with its first item as default";

  auto plain = RenderExeMenu(exe, kTrayMenuId, at, false);
  ASSERT_TRUE(plain);
  const RECT first = bold->items[0];
  const Image shownFirst = picture.Crop(first.left, first.top, first.right - first.left, first.bottom - first.top);
  const Image plainFirst = plain->image.Crop(first.left, first.top, first.right - first.left, first.bottom - first.top);
  EXPECT_LT(MatchRatio(shownFirst, plainFirst), 0.98) << "\"&Show Window\" is not drawn as the default item";
}

TEST_F(TrayTest, TrayMenuResource_Entries_ShowOptimizeSeparatorAboutHelpSeparatorExit) {
  // The entries behind the pictures compared above, with the commands they send.
  auto entries = ExeMenuEntries(ShippedExe(), kTrayMenuId);
  ASSERT_TRUE(entries) << "no tray menu resource in the program";
  struct Expected {
    UINT id;
    const char* text;
  } const expected[] = {{32771, "&Show Window"}, {1036, "&Optimize"}, {0, nullptr},   {1033, "&About Mnemora.Net"},
                        {1034, "&Help"},         {0, nullptr},        {1035, "&Exit"}};
  ASSERT_EQ(entries->size(), 7u);
  for (size_t i = 0; i < 7; ++i) {
    const MenuEntry& entry = (*entries)[i];
    if (!expected[i].text) {
      EXPECT_TRUE(entry.separator) << "item " << i << " is not a separator";
    } else {
      EXPECT_FALSE(entry.separator) << "item " << i;
      EXPECT_EQ(entry.id, expected[i].id) << "item " << i;
      EXPECT_EQ(entry.text, expected[i].text) << "item " << i;
    }
  }
}

TEST_F(TrayTest, TrayMenu_ExitChosenByKey_EndsProgramAndRemovesIcon) {
  const std::string exe = ShippedExe();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForTraySlotCount(exe, 1, 5000));

  HWND menu = OpenMenuAt(POINT{400, 300});
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(Post(menu, WM_CHAR, 'e', 0));

  EXPECT_TRUE(m_app.process.WaitForExit(10000)) << "choosing &Exit did not end the program";
  EXPECT_TRUE(WaitForTraySlotCount(exe, 0, 5000));
}

TEST_F(TrayTest, TrayMenu_ShowWindowChosenByKey_ShowsHiddenDialog) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_NO_FATAL_FAILURE(Hide());

  HWND menu = OpenMenuAt(POINT{400, 300});
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(Post(menu, WM_CHAR, 's', 0));

  EXPECT_TRUE(WaitForVisibility(m_app.dialog, true, 5000)) << "&Show Window did not show the dialog";
  EXPECT_TRUE(m_app.process.IsRunning());
}

TEST_F(TrayTest, TrayIcon_RealRightClickThenClickOnExit_OpensMenuAtIconAndEndsProgram) {
  const std::string exe = ShippedExe();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForTraySlotCount(exe, 1, 5000));
  ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));
  const auto slots = TraySlotsShowingIcon(exe);
  ASSERT_EQ(slots.size(), 1u);
  const auto center = TrayIconCenter(slots[0]);
  ASSERT_TRUE(center);

  // Where the menu's items lie when it opens at this point.
  auto reference = RenderExeMenu(exe, kTrayMenuId, *center, true);
  ASSERT_TRUE(reference);
  ASSERT_EQ(reference->items.size(), 7u);

  const Image screen = CaptureScreen();
  ASSERT_TRUE(Click(center->x, center->y, MouseButton::Right));
  HWND menu = WaitForPopupMenu(m_app.Pid(), 5000);
  ASSERT_NE(menu, nullptr) << "a right click on the tray icon opened no menu";
  const RECT shown = WindowRectOf(menu);
  EXPECT_EQ(shown.left, reference->window.left);
  EXPECT_EQ(shown.top, reference->window.top);
  EXPECT_GE(MatchRatio(CaptureSettled(shown, screen.Crop(shown)), reference->image), 0.995);

  const POINT exitItem = CenterOf(Offset(reference->items[6], shown.left, shown.top));
  ASSERT_TRUE(Click(exitItem.x, exitItem.y));
  EXPECT_TRUE(m_app.process.WaitForExit(10000)) << "a click on &Exit did not end the program";
}

TEST_F(TrayTest, TrayMenu_OptimizeWhileHidden_RunsPassAndDialogStaysHidden) {
  // The only pass in these tests: the capped build, with automatic freeing off.
  const std::string capped = CappedExe();
  ASSERT_FALSE(capped.empty()) << "MNEMORA_CAPPED_EXE is not set";
  ASSERT_NO_FATAL_FAILURE(Start({}, capped));
  ASSERT_EQ(ReadRegString("SOFTWARE\\Mnemora.Net", "AutoFree"), std::optional<std::string>("FALSE"));
  LRESULT autoFree = -1;
  ASSERT_TRUE(SendWithTimeout(GetDlgItem(m_app.dialog, 1047), BM_GETCHECK, 0, 0, &autoFree));
  ASSERT_EQ(autoFree, BST_UNCHECKED) << "automatic freeing is on; it would start passes by itself";
  ASSERT_EQ(ControlText(m_app.dialog, 1029), std::optional<std::string>("0.00%"));

  ASSERT_NO_FATAL_FAILURE(Hide());
  HWND menu = OpenMenuAt(POINT{400, 300});
  ASSERT_NE(menu, nullptr);
  ASSERT_TRUE(Post(menu, WM_CHAR, 'o', 0));

  bool shownMeanwhile = false;
  bool sawBox = false;
  const bool finished = WaitUntil(
      [&] {
        if (IsWindowVisible(m_app.dialog)) shownMeanwhile = true;
        if (HWND box = FindMessageBox(m_app.Pid(), m_app.dialog)) {
          sawBox = true;
          PressMessageBoxOk(box);
        }
        return ControlText(m_app.dialog, 1029) == std::optional<std::string>("100.00%") &&
               IsWindowEnabled(GetDlgItem(m_app.dialog, 1036));
      },
      120000, 20);
  EXPECT_TRUE(finished) << "the pass did not reach 100.00% (or Optimize stayed disabled); label: "
                        << ControlText(m_app.dialog, 1029).value_or("?");
  EXPECT_FALSE(sawBox) << "the capped pass reported that the system needs no optimizing";
  EXPECT_FALSE(shownMeanwhile) << "the dialog showed itself during the pass";
  EXPECT_FALSE(IsWindowVisible(m_app.dialog));

  ASSERT_TRUE(Post(m_app.dialog, WM_COMMAND, kExit, 0));
  EXPECT_TRUE(m_app.process.WaitForExit(10000));
}

TEST_F(TrayTest, TaskbarCreated_IconLostByTaskbar_ProgramAddsItAgain) {
  const std::string exe = ShippedExe();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForTraySlotCount(exe, 1, 5000));

  ASSERT_TRUE(RemoveIconBehindProgramsBack());
  ASSERT_TRUE(WaitForTraySlotCount(exe, 0, 5000)) << "the icon could not be taken out of the tray";
  BroadcastTaskbarCreated();
  EXPECT_TRUE(WaitForTraySlotCount(exe, 1, 5000)) << "the program did not add its icon again";

  // The icon added again still reports to the program.
  ASSERT_NO_FATAL_FAILURE(Hide());
  const auto slots = TraySlotsShowingIcon(exe);
  ASSERT_EQ(slots.size(), 1u);
  const auto center = TrayIconCenter(slots[0]);
  ASSERT_TRUE(center);
  ASSERT_TRUE(Click(center->x, center->y));
  EXPECT_TRUE(WaitForVisibility(m_app.dialog, true, 5000)) << "a click on the re-added icon did not show the dialog";
}

TEST_F(TrayTest, TaskbarCreated_IconStillInTray_KeepsOneIconAndSurvivesLaterTaskbarRestart) {
  const std::string exe = ShippedExe();
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(WaitForTraySlotCount(exe, 1, 5000));

  // A notice while the icon is still there: the shell refuses adding it twice.
  BroadcastTaskbarCreated();
  ASSERT_TRUE(SyncWithThreadOf(m_app.dialog));  // the notice is handled
  EXPECT_EQ(TraySlotsShowingIcon(exe).size(), 1u);

  // A real restart afterwards must still bring the icon back.
  ASSERT_TRUE(RemoveIconBehindProgramsBack());
  ASSERT_TRUE(WaitForTraySlotCount(exe, 0, 5000));
  BroadcastTaskbarCreated();
  EXPECT_TRUE(WaitForTraySlotCount(exe, 1, 5000))
      << "after an earlier TaskbarCreated the program no longer knows its icon and does not add it again";
}

}  // namespace
