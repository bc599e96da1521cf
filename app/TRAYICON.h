#pragma once
#include "afxwin.h"

// One icon with a tooltip in the notification area; mouse events on it become commands for
// the notify window: right click opens the menu with the icon's id, left click or double click
// sends the menu's first command.
class CTrayIcon : public CCmdTarget {
  DECLARE_DYNAMIC(CTrayIcon)
 public:
  explicit CTrayIcon(UINT uID);
  ~CTrayIcon() override;

  void SetNotifyWindow(CWnd* pNotifyWnd, UINT uCbMsg);
  // Loads the icon at the shell's small-icon size (the taskbar's DPI) and owns it.
  BOOL SetIconResource(UINT uID);
  // The icon stays the caller's.
  BOOL SetIconHandle(HICON hIcon, const char* lpszTip);
  virtual LRESULT HandleNotify(WPARAM uID, LPARAM lEvent);

  // The tip is the icon's own text (its first line) and this line below it. The shell hears of
  // it only when the text changed.
  BOOL SetTipDetail(const char* lpszDetail);
  // A notice beside the icon (NIF_INFO on this one call only: a later update carrying it would
  // show the notice again). Nothing while the shell does not show the icon.
  BOOL ShowNotification(const char* lpszTitle, const char* lpszText, DWORD dwInfoFlags);

  // The taskbar was recreated (explorer restarted, perhaps at another DPI): the shell forgot the
  // icon, so add it again, loaded anew at the shell's size; an icon the shell refused earlier is
  // asked for again too.
  BOOL Restore();
  // Called at every refresh tick. While the shell has refused the icon (at log-on it is often
  // not ready yet), every kRetryTicks-th tick asks for it again, until the shell takes it.
  void OnRefreshTick();
  static constexpr int kRetryTicks = 10;

  // The shell call, replaceable so tests can record what reaches the shell.
  using ShellNotifyProc = BOOL(WINAPI*)(DWORD dwMessage, PNOTIFYICONDATAA lpData);
  static ShellNotifyProc s_pfnShellNotify;

  const NOTIFYICONDATAA& GetNotifyIconData() const { return m_nid; }

 protected:
  NOTIFYICONDATAA m_nid;

 private:
  void LoadOwnTip(UINT uID);
  BOOL ShowIcon(HICON hIcon, const char* lpszTip);
  // Destroys the icon owned so far unless it is hIcon, and owns hIcon (from resource uID).
  void Adopt(HICON hIcon, UINT uID);

  char m_szOwnTip[sizeof(NOTIFYICONDATAA::szTip)] = {};
  HICON m_hWantedIcon = nullptr;  // what the program wants shown, whether the shell took it or not
  HICON m_hOwnedIcon = nullptr;   // loaded from m_uIconResource
  UINT m_uIconResource = 0;
  int m_nTicksSinceTry = 0;
};
