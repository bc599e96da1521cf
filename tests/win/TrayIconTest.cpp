#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MnemoraMessages.h"
#include "TRAYICON.h"
#include "resource.h"

namespace {

struct ShellCall {
  DWORD dwMessage;
  NOTIFYICONDATAA data;
};

std::vector<ShellCall> g_calls;
BOOL g_shellResult = TRUE;

BOOL WINAPI RecordingShellNotify(DWORD dwMessage, PNOTIFYICONDATAA lpData) {
  g_calls.push_back({dwMessage, *lpData});
  return g_shellResult;
}

// A plain top-level window standing in for the dialog: records the commands it receives and,
// while a popup menu it owns is open, what that menu holds.
struct MenuSeen {
  int count = -1;
  int defaultItem = -1;
  std::vector<UINT> ids;
  std::vector<std::string> texts;
};
std::vector<UINT> g_commands;
MenuSeen g_menu;

LRESULT CALLBACK HostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND) {
    g_commands.push_back(LOWORD(wParam));
    return 0;
  }
  if (msg == WM_ENTERIDLE && wParam == MSGF_MENU) {
    HMENU hMenu = reinterpret_cast<HMENU>(::SendMessageA(reinterpret_cast<HWND>(lParam), MN_GETHMENU, 0, 0));
    if (hMenu && g_menu.count < 0) {
      g_menu.count = ::GetMenuItemCount(hMenu);
      g_menu.defaultItem = static_cast<int>(::GetMenuDefaultItem(hMenu, TRUE, 0));
      for (int i = 0; i < g_menu.count; ++i) {
        char text[64] = {};
        ::GetMenuStringA(hMenu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
        text[sizeof text - 1] = '\0';
        g_menu.ids.push_back(::GetMenuItemID(hMenu, i));
        g_menu.texts.push_back(text);
      }
    }
    ::EndMenu();
    return 0;
  }
  return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

class TrayIconTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_calls.clear();
    g_commands.clear();
    g_menu = MenuSeen{};
    g_shellResult = TRUE;
    CTrayIcon::s_pfnShellNotify = &RecordingShellNotify;
    WNDCLASSA wc{};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "TrayIconTestHost";
    ::RegisterClassA(&wc);
    m_hHost = ::CreateWindowExA(0, "TrayIconTestHost", "host", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(m_hHost, nullptr);
    m_hIcon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
    ASSERT_NE(m_hIcon, nullptr);
  }
  void TearDown() override {
    ::DestroyWindow(m_hHost);
    CTrayIcon::s_pfnShellNotify = &::Shell_NotifyIconA;
  }

  HWND m_hHost = nullptr;
  HICON m_hIcon = nullptr;
};

TEST_F(TrayIconTest, Lifecycle_AddModifyDelete_FlagsAndRecordInOrder) {
  {
    CTrayIcon tray(IDR_TRAY_MENU);
    EXPECT_STREQ(tray.GetNotifyIconData().szTip, "") << "there is no string 161";
    tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
    EXPECT_TRUE(tray.SetIconResource(IDR_MAINFRAME));
    EXPECT_TRUE(tray.SetIconHandle(m_hIcon, "Other tip"));
    EXPECT_TRUE(tray.SetIconResource(0));
    EXPECT_TRUE(tray.SetIconResource(0)) << "removing nothing succeeds";
  }  // the destructor has nothing left to remove

  ASSERT_EQ(g_calls.size(), 3u);
  const ShellCall& add = g_calls[0];
  EXPECT_EQ(add.dwMessage, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(add.data.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
  EXPECT_EQ(add.data.uID, static_cast<UINT>(IDR_TRAY_MENU));
  EXPECT_EQ(add.data.hWnd, m_hHost);
  EXPECT_EQ(add.data.uCallbackMessage, static_cast<UINT>(WM_TRAY_NOTIFY));
  EXPECT_EQ(add.data.uFlags, static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE));
  EXPECT_STREQ(add.data.szTip, "Mnemora.Net");
  EXPECT_NE(add.data.hIcon, nullptr);

  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(g_calls[1].data.hIcon, m_hIcon);
  EXPECT_STREQ(g_calls[1].data.szTip, "Other tip");

  EXPECT_EQ(g_calls[2].dwMessage, static_cast<DWORD>(NIM_DELETE));
  EXPECT_EQ(g_calls[2].data.uFlags & NIF_ICON, 0u);
}

// Each refresh offers the tip anew: only a changed text may reach the shell, and the notice's
// NIF_INFO must ride on no later call, or the shell shows the notice again.
TEST_F(TrayIconTest, TipDetailAndNotification_ShellCallsOnlyForChangesNoticeOnce) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  EXPECT_FALSE(tray.ShowNotification("Mnemora.Net", "Freed", NIIF_USER)) << "no icon, nothing to show it by";
  tray.SetIconResource(IDR_MAINFRAME);
  for (int i = 0; i < 2; ++i) tray.SetTipDetail("Physical memory: 1.0 GB free of 8.0 GB (12%)");
  tray.ShowNotification("Mnemora.Net", "No more physical memory could be freed.", NIIF_USER | NIIF_NOSOUND);
  tray.SetTipDetail("Optimizing: 41%");
  tray.Restore();

  ASSERT_EQ(g_calls.size(), 5u);
  EXPECT_EQ(g_calls[1].data.uFlags, static_cast<UINT>(NIF_TIP));
  EXPECT_STREQ(g_calls[1].data.szTip, "Mnemora.Net\nPhysical memory: 1.0 GB free of 8.0 GB (12%)");
  const NOTIFYICONDATAA& notice = g_calls[2].data;
  EXPECT_EQ(notice.uFlags, static_cast<UINT>(NIF_INFO));
  EXPECT_EQ(notice.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE)) << "the callback version stays";
  EXPECT_STREQ(notice.szInfoTitle, "Mnemora.Net");
  EXPECT_STREQ(notice.szInfo, "No more physical memory could be freed.");
  EXPECT_EQ(notice.dwInfoFlags, static_cast<DWORD>(NIIF_USER | NIIF_NOSOUND));
  for (size_t i : {3u, 4u}) EXPECT_EQ(g_calls[i].data.uFlags & NIF_INFO, 0u) << i;
}

UINT g_shellDpi = 96;
UINT ShellDpi(HWND) { return g_shellDpi; }

int IconWidth(HICON hIcon) {
  ICONINFO info = {};
  if (!::GetIconInfo(hIcon, &info)) return 0;
  BITMAP bm = {};
  ::GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  return bm.bmWidth;
}

TEST_F(TrayIconTest, IconResource_TaskbarCreatedAtAnotherDpi_ReloadedAtItsSmallIconSize) {
  AfxSetDpiForWindowStandIn(&ShellDpi);
  g_shellDpi = 144;
  {
    CTrayIcon tray(IDR_TRAY_MENU);
    tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
    ASSERT_TRUE(tray.SetIconResource(IDR_MAINFRAME));
    const HICON hFirst = g_calls.back().data.hIcon;
    EXPECT_EQ(IconWidth(hFirst), AfxGetSystemMetricsForDpi(SM_CXSMICON, 144));

    g_shellDpi = 192;
    ASSERT_TRUE(tray.Restore());
    EXPECT_EQ(IconWidth(g_calls.back().data.hIcon), AfxGetSystemMetricsForDpi(SM_CXSMICON, 192));
    EXPECT_EQ(IconWidth(hFirst), 0) << "the icon of the former size was kept";
  }
  AfxSetDpiForWindowStandIn(nullptr);
}

TEST_F(TrayIconTest, Destructor_IconShown_RemovesIt_NoIcon_NoCall) {
  { CTrayIcon idle(IDR_TRAY_MENU); }
  EXPECT_TRUE(g_calls.empty());
  {
    CTrayIcon shown(IDR_TRAY_MENU);
    shown.SetIconHandle(m_hIcon, nullptr);
  }
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_DELETE));
}

TEST_F(TrayIconTest, SetIconHandle_TipAndWindowRules) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetIconHandle(m_hIcon, nullptr);
  ASSERT_EQ(g_calls.size(), 1u);
  EXPECT_EQ(g_calls[0].data.uFlags, static_cast<UINT>(NIF_ICON)) << "no tip, no window: icon only";

  const std::string longTip(200, 'x');
  tray.SetIconHandle(m_hIcon, longTip.c_str());
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(std::string(g_calls[1].data.szTip), std::string(127, 'x'));

  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), 0);
  tray.SetIconHandle(m_hIcon, nullptr);
  EXPECT_EQ(g_calls[2].data.uFlags & NIF_MESSAGE, 0u) << "no callback message";
}

TEST_F(TrayIconTest, ShellFailure_ForgetsIcon_NextIsAddedAnew) {
  CTrayIcon tray(IDR_TRAY_MENU);
  g_shellResult = FALSE;
  EXPECT_FALSE(tray.SetIconHandle(m_hIcon, "tip"));
  EXPECT_EQ(tray.GetNotifyIconData().hIcon, nullptr);
  g_shellResult = TRUE;
  EXPECT_TRUE(tray.SetIconHandle(m_hIcon, nullptr));
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_ADD));
}

TEST_F(TrayIconTest, Restore_AfterTaskbarRecreated_AddsAgain) {
  CTrayIcon tray(IDR_TRAY_MENU);
  EXPECT_TRUE(tray.Restore()) << "nothing shown, nothing to restore";
  EXPECT_TRUE(g_calls.empty());
  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  tray.SetIconResource(IDR_MAINFRAME);
  EXPECT_TRUE(tray.Restore());
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_ADD));
  EXPECT_STREQ(g_calls[1].data.szTip, "Mnemora.Net");
}

TEST_F(TrayIconTest, Restore_ShellStillShowsIcon_ModifiesAndKeepsIt) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetIconResource(IDR_MAINFRAME);
  g_calls.clear();
  // A shell that still has the icon refuses the add and accepts the modify.
  CTrayIcon::s_pfnShellNotify = [](DWORD dwMessage, PNOTIFYICONDATAA lpData) -> BOOL {
    g_calls.push_back({dwMessage, *lpData});
    return dwMessage != NIM_ADD;
  };
  EXPECT_TRUE(tray.Restore());
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[0].dwMessage, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_NE(tray.GetNotifyIconData().hIcon, nullptr) << "a later restart must still find the icon";

  CTrayIcon::s_pfnShellNotify = &RecordingShellNotify;
  EXPECT_TRUE(tray.Restore());
  ASSERT_EQ(g_calls.size(), 3u);
  EXPECT_EQ(g_calls[2].dwMessage, static_cast<DWORD>(NIM_ADD));
}

// At log-on the shell is often not ready: the refused icon is asked for again every tenth tick
// (a shell that answers ADD with "already there" gets a MODIFY) until the shell takes it.
TEST_F(TrayIconTest, FailedFirstAdd_RetriedAtEveryTenthTickUntilShellTakesIt) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  g_shellResult = FALSE;
  EXPECT_FALSE(tray.SetIconResource(IDR_MAINFRAME));
  ASSERT_EQ(g_calls.size(), 1u);

  auto tick = [&](int n) {
    for (int i = 0; i < n; ++i) tray.OnRefreshTick();
  };
  tick(CTrayIcon::kRetryTicks - 1);
  EXPECT_EQ(g_calls.size(), 1u) << "no retry before the tenth tick";
  tick(1);
  ASSERT_EQ(g_calls.size(), 3u) << "still refused: ADD, then MODIFY";
  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(g_calls[2].dwMessage, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_EQ(tray.GetNotifyIconData().hIcon, nullptr);

  g_shellResult = TRUE;
  tick(CTrayIcon::kRetryTicks);
  ASSERT_EQ(g_calls.size(), 4u);
  EXPECT_EQ(g_calls[3].dwMessage, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(g_calls[3].data.uFlags, static_cast<UINT>(NIF_ICON | NIF_TIP | NIF_MESSAGE));
  EXPECT_STREQ(g_calls[3].data.szTip, "Mnemora.Net");
  EXPECT_NE(tray.GetNotifyIconData().hIcon, nullptr);

  tick(3 * CTrayIcon::kRetryTicks);
  EXPECT_EQ(g_calls.size(), 4u) << "a shown icon is left alone";
}

TEST_F(TrayIconTest, FailedFirstAdd_TaskbarCreatedAddsItOrRemovalEndsTheWish) {
  CTrayIcon tray(IDR_TRAY_MENU);
  g_shellResult = FALSE;
  tray.SetIconHandle(m_hIcon, nullptr);
  g_shellResult = TRUE;
  EXPECT_TRUE(tray.Restore());
  ASSERT_EQ(g_calls.size(), 2u);
  EXPECT_EQ(g_calls[1].dwMessage, static_cast<DWORD>(NIM_ADD));
  EXPECT_EQ(tray.GetNotifyIconData().hIcon, m_hIcon);

  CTrayIcon removed(IDR_TRAY_MENU);
  g_calls.clear();
  g_shellResult = FALSE;
  removed.SetIconHandle(m_hIcon, nullptr);
  g_shellResult = TRUE;
  EXPECT_TRUE(removed.SetIconResource(0));
  for (int i = 0; i < 3 * CTrayIcon::kRetryTicks; ++i) removed.OnRefreshTick();
  EXPECT_TRUE(removed.Restore());
  EXPECT_EQ(g_calls.size(), 1u) << "an icon given up is never asked for again";
}

TEST_F(TrayIconTest, HandleNotify_LeftUpAndDoubleClick_SendShowWindow) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  EXPECT_EQ(tray.HandleNotify(IDR_TRAY_MENU, WM_LBUTTONUP), 1);
  EXPECT_EQ(tray.HandleNotify(IDR_TRAY_MENU, WM_LBUTTONDBLCLK), 1);
  ASSERT_EQ(g_commands.size(), 2u) << "sent synchronously";
  EXPECT_EQ(g_commands[0], static_cast<UINT>(ID_SHOW_WINDOW));
  EXPECT_EQ(g_commands[1], static_cast<UINT>(ID_SHOW_WINDOW));
}

TEST_F(TrayIconTest, HandleNotify_ForeignIdOrOtherEvents_Ignored) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  EXPECT_EQ(tray.HandleNotify(IDR_MAINFRAME, WM_LBUTTONUP), 0);
  for (UINT event : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK}) {
    EXPECT_EQ(tray.HandleNotify(IDR_TRAY_MENU, event), 0) << event;
  }
  EXPECT_TRUE(g_commands.empty());

  CTrayIcon noMenu(IDR_MAINFRAME);  // no menu resource 128
  noMenu.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  EXPECT_EQ(noMenu.HandleNotify(IDR_MAINFRAME, WM_LBUTTONUP), 0);
  EXPECT_TRUE(g_commands.empty());
}

TEST_F(TrayIconTest, HandleNotify_RightUp_ShowsTrayMenuWithShowWindowDefault) {
  CTrayIcon tray(IDR_TRAY_MENU);
  tray.SetNotifyWindow(CWnd::FromHandle(m_hHost), WM_TRAY_NOTIFY);
  EXPECT_EQ(tray.HandleNotify(IDR_TRAY_MENU, WM_RBUTTONUP), 1);

  ASSERT_EQ(g_menu.count, 7);
  EXPECT_EQ(g_menu.defaultItem, 0);
  const std::vector<UINT> ids = {ID_SHOW_WINDOW, IDC_OPTIMIZE, 0, IDC_ABOUT, IDC_HELP_BUTTON, 0, IDC_EXIT};
  EXPECT_EQ(g_menu.ids, ids);
  EXPECT_EQ(g_menu.texts[0], "&Show Window");
  EXPECT_EQ(g_menu.texts[1], "&Optimize");
  EXPECT_EQ(g_menu.texts[3], "&About Mnemora.Net");
  EXPECT_EQ(g_menu.texts[4], "&Help");
  EXPECT_EQ(g_menu.texts[6], "&Exit");
  EXPECT_TRUE(g_commands.empty()) << "the menu was closed without a choice";
  MSG msg;
  EXPECT_TRUE(::PeekMessageA(&msg, m_hHost, WM_NULL, WM_NULL, PM_REMOVE)) << "a message follows the menu";
}

}  // namespace
