#include "HyperLink.h"

#include <memory>
#include <type_traits>

#include "atlbase.h"

namespace {

struct LibraryDeleter {
  void operator()(HMODULE h) const { ::FreeLibrary(h); }
};
using CLibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryDeleter>;

const char* OpenErrorReason(int nResult) {
  switch (nResult) {
    case 0:
      return "The operating system is out\nof memory or resources.";
    case SE_ERR_FNF:
      return "The specified file was not found.";
    case SE_ERR_PNF:
      return "The specified path was not found.";
    case SE_ERR_ACCESSDENIED:
      return "The operating system denied\naccess to the specified file.";
    case SE_ERR_OOM:
      return "There was not enough memory to complete the operation.";
    case ERROR_BAD_FORMAT:
      return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
    case SE_ERR_SHARE:
      return "A sharing violation occurred. ";
    case SE_ERR_ASSOCINCOMPLETE:
      return "The filename association is\nincomplete or invalid.";
    case SE_ERR_DDETIMEOUT:
      return "The DDE transaction could not\nbe completed because the request timed out.";
    case SE_ERR_DDEFAIL:
      return "The DDE transaction failed.";
    case SE_ERR_DDEBUSY:
      return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
    case SE_ERR_NOASSOC:
      return "There is no application associated\nwith the given filename extension.";
    case SE_ERR_DLLNOTFOUND:
      return "The specified dynamic-link library was not found.";
    default:
      return nullptr;
  }
}

}  // namespace

CHyperLink::CHyperLink()
    : m_crLink(RGB(0, 0, 238)),
      m_crVisited(RGB(85, 26, 139)),
      m_crHover(RGB(255, 0, 0)),
      m_bHovering(FALSE),
      m_bVisited(FALSE),
      m_nUnderlineMode(UNDERLINE_HOVER),
      m_hHandCursor(nullptr) {}

CHyperLink::~CHyperLink() {
  if (m_hHandCursor) ::DestroyCursor(m_hHandCursor);
}

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
  ON_WM_ERASEBKGND()
  ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChangedAfterParent)
END_MESSAGE_MAP()

void CHyperLink::PreSubclassWindow() {
  // Statics report clicks only with SS_NOTIFY.
  ModifyStyle(0, SS_NOTIFY);

  CString strText;
  GetWindowText(strText);
  if (m_strTarget.IsEmpty()) m_strTarget = strText;
  if (strText.IsEmpty()) SetWindowText(m_strTarget);

  HFONT hFont = GetFont();
  if (!hFont) hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (!hFont) hFont = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  ::GetObjectA(hFont, sizeof m_lfBase, &m_lfBase);
  ::lstrcpynA(m_lfBase.lfFaceName, "Verdana", LF_FACESIZE);
  m_nBaseDpi = AfxGetDpiForWindow(m_hWnd);
  MakeFonts();
  // A per-monitor dialog's manager would hand the control its template font at a DPI change.
  AfxSetDialogControlDpiChangeBehavior(m_hWnd, kDcdcDisableFontUpdate, kDcdcDisableFontUpdate);

  FitToText();
  LoadHandCursor();
  SetUnderlineMode(UNDERLINE_HOVER);

  m_tooltip.Create(this);
  CRect rc;
  GetClientRect(rc);
  m_tooltip.AddTool(this, m_strTarget, rc, kToolId);

  CStatic::PreSubclassWindow();
}

void CHyperLink::MakeFonts() {
  const UINT nDpi = AfxGetControlTextDpi(m_hWnd);
  LOGFONTA lf = m_lfBase;
  AfxCreateFontForDpi(m_fontPlain, lf, m_nBaseDpi, nDpi);
  lf.lfUnderline = TRUE;
  AfxCreateFontForDpi(m_fontUnderline, lf, m_nBaseDpi, nDpi);
}

LRESULT CHyperLink::OnDpiChangedAfterParent(WPARAM, LPARAM) {
  MakeFonts();
  const bool bUnderlined = m_nUnderlineMode == UNDERLINE_ALWAYS || (m_nUnderlineMode == UNDERLINE_HOVER && m_bHovering);
  SetFont(bUnderlined ? m_fontUnderline : m_fontPlain, TRUE);
  FitToText();
  if (m_tooltip.m_hWnd) {
    CRect rc;
    GetClientRect(rc);
    m_tooltip.SetToolRect(this, kToolId, rc);
  }
  return 0;
}

BOOL CHyperLink::DestroyWindow() {
  KillTimer(kHoverTimerId);
  return CStatic::DestroyWindow();
}

BOOL CHyperLink::PreTranslateMessage(MSG* pMsg) {
  if (m_tooltip.m_hWnd) m_tooltip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

void CHyperLink::SetLinkTarget(const CString& strTarget) {
  m_strTarget = strTarget;
  if (!IsWindow()) return;
  FitToText();
  // The tip repeats the visible text; the target may be a long query URL.
  CString strText;
  GetWindowText(strText);
  if (m_tooltip.m_hWnd) m_tooltip.UpdateTipText(strText, this, kToolId);
}

void CHyperLink::SetLinkColors(COLORREF crLink, COLORREF crVisited, COLORREF crHover) {
  m_crLink = crLink;
  m_crVisited = crVisited;
  m_crHover = crHover == static_cast<COLORREF>(-1) ? ::GetSysColor(COLOR_HIGHLIGHT) : crHover;
  if (IsWindow()) Invalidate();
}

void CHyperLink::MarkVisited(BOOL bVisited) {
  m_bVisited = bVisited;
  if (IsWindow()) Invalidate();
}

void CHyperLink::SetUnderlineMode(int nMode) {
  if (nMode == m_nUnderlineMode) return;
  if (IsWindow()) {
    SetFont(nMode == UNDERLINE_ALWAYS ? m_fontUnderline : m_fontPlain, TRUE);
    Invalidate();
  }
  m_nUnderlineMode = nMode;
}

void CHyperLink::FitToText() {
  if (!IsWindow()) return;

  CRect rcWnd, rcClient;
  GetWindowRect(rcWnd);
  GetClientRect(rcClient);
  ClientToScreen(rcClient);
  if (CWnd* pParent = GetParent()) {
    pParent->ScreenToClient(rcWnd);
    pParent->ScreenToClient(rcClient);
  }

  CString strText;
  GetWindowText(strText);
  CSize extent;
  {
    CWindowDC dc(this);
    CSelectGuard font(dc, m_fontUnderline);
    extent = dc.GetTextExtent(strText);
  }
  extent.cx += rcWnd.Width() - rcClient.Width();
  extent.cy += rcWnd.Height() - rcClient.Height();

  const DWORD dwStyle = GetStyle();
  if (dwStyle & SS_CENTERIMAGE) {
    rcWnd.DeflateRect(0, (rcWnd.Height() - extent.cy) / 2);
  } else {
    rcWnd.bottom = rcWnd.top + extent.cy;
  }

  const DWORD dwAlign = dwStyle & SS_TYPEMASK;
  if (dwAlign == SS_CENTER) {
    rcWnd.DeflateRect((rcWnd.Width() - extent.cx) / 2, 0);
  } else if (dwAlign == SS_RIGHT) {
    rcWnd.left = rcWnd.right - extent.cx;
  } else {
    rcWnd.right = rcWnd.left + extent.cx;
  }

  SetWindowPos(nullptr, rcWnd.left, rcWnd.top, rcWnd.Width(), rcWnd.Height(), SWP_NOZORDER);
}

void CHyperLink::LoadHandCursor() {
  if (m_hHandCursor) return;

  char szDir[MAX_PATH] = {};
  const UINT n = ::GetWindowsDirectoryA(szDir, MAX_PATH);
  if (n > 0 && n < MAX_PATH) {
    CString strPath = CString(szDir) + "\\winhlp32.exe";
    // Only its resources are wanted: no code of the help program is mapped or run.
    CLibraryHandle hModule(::LoadLibraryExA(strPath, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (hModule) {
      if (HCURSOR hCursor = ::LoadCursorA(hModule.get(), MAKEINTRESOURCEA(106))) {
        m_hHandCursor = static_cast<HCURSOR>(::CopyIcon(hCursor));
      }
    }
  }
  // Current systems ship no help program, but every one since Windows 2000 has a hand cursor.
  if (!m_hHandCursor) {
    if (HCURSOR hCursor = ::LoadCursorA(nullptr, IDC_HAND)) {
      m_hHandCursor = static_cast<HCURSOR>(::CopyIcon(hCursor));
    }
  }
}

LONG CHyperLink::ReadRegistryDefault(HKEY hKeyRoot, const char* lpszSubKey, CString& strValue) {
  CRegKey key;
  LONG lRes = key.Open(hKeyRoot, lpszSubKey, KEY_QUERY_VALUE);
  if (lRes != ERROR_SUCCESS) return lRes;

  strValue.Empty();
  char szData[kRegistryBufferChars] = {};
  DWORD dwType = REG_NONE;
  DWORD cb = sizeof szData;
  if (::RegQueryValueExA(key, nullptr, nullptr, &dwType, reinterpret_cast<BYTE*>(szData), &cb) == ERROR_SUCCESS &&
      (dwType == REG_SZ || dwType == REG_EXPAND_SZ)) {
    // A value that fills the buffer without its terminator would have to be cut: leave it unread.
    if (cb < sizeof szData) {
      szData[cb] = '\0';
      strValue = szData;
    } else if (szData[sizeof szData - 1] == '\0') {
      strValue = szData;
    }
  }
  return ERROR_SUCCESS;
}

bool CHyperLink::BuildFallbackCommand(const CString& strRegistered, const CString& strTarget, CString& strCommand) {
  CString strProgram = strRegistered;
  int nCut = strProgram.Find("\"%1\"");
  if (nCut < 0) nCut = strProgram.Find("%1");
  if (nCut >= 0) strProgram = strProgram.Left(nCut);

  // With no program left, the target itself would be run as a command line.
  CString strCheck = strProgram;
  if (strCheck.TrimLeft().IsEmpty()) return false;

  CString strResult = strProgram + " " + strTarget;
  if (strResult.GetLength() >= kCommandBufferChars) return false;
  strCommand = strResult;
  return true;
}

int CHyperLink::OpenLink(const CString& strTarget, int nShowCmd) {
  HINSTANCE hResult = ::ShellExecuteA(nullptr, "open", strTarget, nullptr, nullptr, nShowCmd);
  const int nResult = static_cast<int>(reinterpret_cast<INT_PTR>(hResult));
  if (reinterpret_cast<UINT_PTR>(hResult) > 32) return nResult;
  TRACE("ShellExecute(%s) failed: %d\n", strTarget.GetString(), nResult);

  CString strClass;
  if (ReadRegistryDefault(HKEY_CLASSES_ROOT, ".htm", strClass) != ERROR_SUCCESS) return nResult;
  CString strRegistered;
  if (ReadRegistryDefault(HKEY_CLASSES_ROOT, strClass + "\\shell\\open\\command", strRegistered) != ERROR_SUCCESS) {
    return nResult;
  }

  CString strCommand;
  if (!BuildFallbackCommand(strRegistered, strTarget, strCommand)) return nResult;
  const UINT nExec = ::WinExec(strCommand, static_cast<UINT>(nShowCmd));
  if (nExec <= 31) TRACE("WinExec(%s) failed: %u\n", strCommand.GetString(), nExec);
  return static_cast<int>(nExec);
}

void CHyperLink::ShowOpenError(int nResult) {
  CString strReason;
  if (const char* pszReason = OpenErrorReason(nResult)) {
    strReason = pszReason;
  } else {
    strReason.Format("Unknown Error (%d) occurred.", nResult);
  }
  AfxMessageBox(CString("Unable to open hyperlink:\n\n") + strReason, MB_ICONEXCLAMATION);
}

HBRUSH CHyperLink::CtlColor(CDC* pDC, UINT) {
  if (m_bHovering)
    pDC->SetTextColor(m_crHover);
  else if (m_bVisited)
    pDC->SetTextColor(m_crVisited);
  else
    pDC->SetTextColor(m_crLink);
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT) {
  if (!m_hHandCursor) return FALSE;
  ::SetCursor(m_hHandCursor);
  return TRUE;
}

void CHyperLink::OnMouseMove(UINT nFlags, CPoint point) {
  if (!m_bHovering) {
    m_bHovering = TRUE;
    if (m_nUnderlineMode == UNDERLINE_HOVER) SetFont(m_fontUnderline, TRUE);
    Invalidate();
    SetTimer(kHoverTimerId, kHoverTimerMs, nullptr);
  }
  CStatic::OnMouseMove(nFlags, point);
}

void CHyperLink::OnTimer(UINT_PTR nIDEvent) {
  // WM_MOUSEMOVE stops once the pointer has left, so leaving is noticed by polling.
  const DWORD dwPos = ::GetMessagePos();
  CPoint pt(static_cast<short>(LOWORD(dwPos)), static_cast<short>(HIWORD(dwPos)));
  ScreenToClient(&pt);
  CRect rc;
  GetClientRect(rc);
  if (!rc.PtInRect(pt)) {
    m_bHovering = FALSE;
    KillTimer(kHoverTimerId);
    if (m_nUnderlineMode != UNDERLINE_ALWAYS) SetFont(m_fontPlain, TRUE);
    rc.bottom += 10;
    InvalidateRect(rc);
  }
  CStatic::OnTimer(nIDEvent);
}

void CHyperLink::OnClicked() {
  m_bHovering = FALSE;
  const int nResult = OpenLink(m_strTarget, SW_SHOW);
  m_bVisited = nResult > 32;
  if (m_bVisited) {
    MarkVisited(TRUE);
  } else {
    ::MessageBeep(MB_ICONEXCLAMATION);
    ShowOpenError(nResult);
  }
}

BOOL CHyperLink::OnEraseBkgnd(CDC*) { return TRUE; }
