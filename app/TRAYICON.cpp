#include "TRAYICON.h"

#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CTrayIcon, CCmdTarget)

CTrayIcon::ShellNotifyProc CTrayIcon::s_pfnShellNotify = &::Shell_NotifyIconA;

namespace {
// The notification area shows small icons at the taskbar's DPI. Not shared: a shared icon keeps
// the size it was first loaded at.
HICON LoadShellSmallIcon(UINT uID) {
  const HWND hTaskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
  const UINT nDpi = hTaskbar ? AfxGetDpiForWindow(hTaskbar) : AfxGetSystemDpi();
  return static_cast<HICON>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(uID), IMAGE_ICON,
                                         AfxGetSystemMetricsForDpi(SM_CXSMICON, nDpi),
                                         AfxGetSystemMetricsForDpi(SM_CYSMICON, nDpi), LR_DEFAULTCOLOR));
}
}  // namespace

CTrayIcon::CTrayIcon(UINT uID) {
  std::memset(&m_nid, 0, sizeof m_nid);
  // The fixed version-2 record: tooltip of 128 characters and the balloon fields.
  m_nid.cbSize = NOTIFYICONDATAA_V2_SIZE;
  m_nid.uID = uID;
  LoadOwnTip(uID);
}

CTrayIcon::~CTrayIcon() { SetIconResource(0); }

// The icon's own tip is string resource uID; empty when there is none.
void CTrayIcon::LoadOwnTip(UINT uID) {
  char buf[sizeof m_szOwnTip] = {};
  int n = ::LoadStringA(AfxGetResourceHandle(), uID, buf, static_cast<int>(sizeof buf));
  if (n <= 0) buf[0] = '\0';
  buf[sizeof buf - 1] = '\0';
  std::memcpy(m_szOwnTip, buf, sizeof buf);
  std::memcpy(m_nid.szTip, buf, sizeof buf);
}

void CTrayIcon::SetNotifyWindow(CWnd* pNotifyWnd, UINT uCbMsg) {
  m_nid.hWnd = pNotifyWnd ? pNotifyWnd->m_hWnd : nullptr;
  m_nid.uCallbackMessage = uCbMsg;
}

BOOL CTrayIcon::SetIconResource(UINT uID) {
  if (uID == 0) return SetIconHandle(nullptr, nullptr);
  LoadOwnTip(uID);
  HICON hIcon = LoadShellSmallIcon(uID);
  const BOOL bResult = ShowIcon(hIcon, nullptr);
  Adopt(hIcon, uID);
  return bResult;
}

BOOL CTrayIcon::SetIconHandle(HICON hIcon, const char* lpszTip) {
  const BOOL bResult = ShowIcon(hIcon, lpszTip);
  Adopt(nullptr, 0);
  return bResult;
}

void CTrayIcon::Adopt(HICON hIcon, UINT uID) {
  if (m_hOwnedIcon && m_hOwnedIcon != hIcon) ::DestroyIcon(m_hOwnedIcon);
  m_hOwnedIcon = hIcon;
  m_uIconResource = hIcon ? uID : 0;
}

BOOL CTrayIcon::ShowIcon(HICON hIcon, const char* lpszTip) {
  m_hWantedIcon = hIcon;
  m_nTicksSinceTry = 0;
  m_nid.uFlags = 0;
  DWORD dwOperation;
  if (hIcon) {
    dwOperation = m_nid.hIcon ? NIM_MODIFY : NIM_ADD;
    m_nid.hIcon = hIcon;
    m_nid.uFlags |= NIF_ICON;
  } else {
    if (!m_nid.hIcon) return TRUE;  // nothing shown, nothing to remove
    dwOperation = NIM_DELETE;
  }
  if (lpszTip) ::lstrcpynA(m_nid.szTip, lpszTip, static_cast<int>(sizeof m_nid.szTip));
  if (m_nid.szTip[0]) m_nid.uFlags |= NIF_TIP;
  if (m_nid.uCallbackMessage && m_nid.hWnd) m_nid.uFlags |= NIF_MESSAGE;

  BOOL bResult = s_pfnShellNotify(dwOperation, &m_nid);
  if (!bResult) TRACE("Shell_NotifyIcon(%lu) failed\n", dwOperation);
  if (dwOperation == NIM_DELETE || !bResult) m_nid.hIcon = nullptr;  // the next icon is added anew
  return bResult;
}

BOOL CTrayIcon::SetTipDetail(const char* lpszDetail) {
  char szTip[sizeof m_nid.szTip] = {};
  std::snprintf(szTip, sizeof szTip, "%s\n%s", m_szOwnTip, lpszDetail ? lpszDetail : "");
  if (std::strcmp(szTip, m_nid.szTip) == 0) return TRUE;
  std::memcpy(m_nid.szTip, szTip, sizeof szTip);
  if (!m_nid.hIcon) return TRUE;  // the next add takes it along
  m_nid.uFlags = NIF_TIP;
  return s_pfnShellNotify(NIM_MODIFY, &m_nid);
}

BOOL CTrayIcon::ShowNotification(const char* lpszTitle, const char* lpszText, DWORD dwInfoFlags) {
  if (!m_nid.hIcon) return FALSE;
  ::lstrcpynA(m_nid.szInfoTitle, lpszTitle, static_cast<int>(sizeof m_nid.szInfoTitle));
  ::lstrcpynA(m_nid.szInfo, lpszText, static_cast<int>(sizeof m_nid.szInfo));
  m_nid.dwInfoFlags = dwInfoFlags;
  m_nid.uFlags = NIF_INFO;
  const BOOL bResult = s_pfnShellNotify(NIM_MODIFY, &m_nid);
  m_nid.szInfoTitle[0] = m_nid.szInfo[0] = '\0';
  m_nid.dwInfoFlags = 0;
  return bResult;
}

BOOL CTrayIcon::Restore() {
  HICON hIcon = m_nid.hIcon ? m_nid.hIcon : m_hWantedIcon;
  if (!hIcon) return TRUE;
  const UINT uResource = m_uIconResource;
  if (HICON hReloaded = uResource ? LoadShellSmallIcon(uResource) : nullptr) hIcon = hReloaded;
  m_nid.hIcon = nullptr;
  BOOL bResult = ShowIcon(hIcon, nullptr);
  if (!bResult) {
    // The add fails when the shell still shows the icon (the broadcast came without a real
    // restart, or an earlier add timed out but took effect); then it is ours to keep, not to forget.
    m_nid.hIcon = hIcon;
    bResult = ShowIcon(hIcon, nullptr);
  }
  if (uResource) Adopt(hIcon, uResource);
  return bResult;
}

void CTrayIcon::OnRefreshTick() {
  if (m_nid.hIcon || !m_hWantedIcon) return;
  if (++m_nTicksSinceTry < kRetryTicks) return;
  Restore();
}

LRESULT CTrayIcon::HandleNotify(WPARAM uID, LPARAM lEvent) {
  if (uID != m_nid.uID) return 0;
  UINT uEvent = static_cast<UINT>(lEvent);
  if (uEvent != WM_RBUTTONUP && uEvent != WM_LBUTTONUP && uEvent != WM_LBUTTONDBLCLK) return 0;

  CMenu menu;  // loaded fresh each time
  if (!menu.LoadMenu(m_nid.uID)) return 0;
  CMenu* pSubMenu = menu.GetSubMenu(0);
  if (!pSubMenu) return 0;

  if (uEvent == WM_RBUTTONUP) {
    pSubMenu->SetDefaultItem(0, TRUE);
    POINT pt{0, 0};
    ::GetCursorPos(&pt);
    // The shell's contract for such menus: the owner in the foreground first, so a click
    // elsewhere closes the menu; one more message to it afterwards, so the next menu does not
    // close as soon as it opens.
    ::SetForegroundWindow(m_nid.hWnd);
    pSubMenu->TrackPopupMenu(0, pt.x, pt.y, CWnd::FromHandle(m_nid.hWnd));
    ::PostMessageA(m_nid.hWnd, WM_NULL, 0, 0);
  } else {
    ::SendMessageA(m_nid.hWnd, WM_COMMAND, pSubMenu->GetMenuItemID(0), 0);
  }
  menu.DestroyMenu();
  return 1;
}
