#include "BtnST.h"

namespace {
constexpr UINT_PTR kToolId = 1;
constexpr int kMaxTipWidth = 400;
}  // namespace

const HICON CBtnST::BTN_AUTO_GRAY_ICON = reinterpret_cast<HICON>(static_cast<INT_PTR>(CBtnST::BTN_AUTO_GRAY));

void CBtnST::STRUCT_ICONS::Reset() {
  if (hIcon) ::DestroyIcon(hIcon);
  hIcon = nullptr;
  dwWidth = 0;
  dwHeight = 0;
}

CBtnST::CBtnST() { ResetColors(FALSE); }

CBtnST::~CBtnST() {
  if (m_menu.GetSafeHmenu()) m_menu.DestroyMenu();
}

BEGIN_MESSAGE_MAP(CBtnST, CButton)
  ON_WM_KILLFOCUS()
  ON_WM_MOUSEMOVE()
  ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
  ON_WM_ACTIVATE()
  ON_WM_ENABLE()
  ON_WM_CANCELMODE()
  ON_WM_GETDLGCODE()
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_MENUCHAR()
  ON_WM_MEASUREITEM()
  ON_MESSAGE(BM_SETSTYLE, OnSetStyle)
  ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
  ON_MESSAGE(BM_SETCHECK, OnSetCheck)
  ON_MESSAGE(BM_GETCHECK, OnGetCheck)
  ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, OnDpiChangedAfterParent)
END_MESSAGE_MAP()

void CBtnST::InvalidateIfAsked(BOOL bRepaint) {
  // Before subclassing there is no window; a NULL handle would invalidate the whole desktop.
  if (bRepaint && m_hWnd) Invalidate();
}

// ---- set-up ------------------------------------------------------------------------------------

void CBtnST::PreSubclassWindow() {
  const UINT nStyle = GetButtonStyle();
  if (nStyle & BS_CHECKBOX) m_bCheckBox = TRUE;
  if ((nStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON) m_bDefault = TRUE;
  ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW, SWP_FRAMECHANGED);
  CButton::PreSubclassWindow();
}

DWORD CBtnST::SetStateColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint) {
  if (byColorIndex >= BTNCOLOR_MAX) return BTN_BADINDEX;
  m_crStates[byColorIndex] = crColor;
  InvalidateIfAsked(bRepaint);
  return BTN_OK;
}

DWORD CBtnST::ResetColors(BOOL bRepaint) {
  m_crStates[BTNCOLOR_BK_HOVER] = ::GetSysColor(COLOR_BTNFACE);
  m_crStates[BTNCOLOR_FG_HOVER] = ::GetSysColor(COLOR_BTNTEXT);
  m_crStates[BTNCOLOR_BK_NORMAL] = ::GetSysColor(COLOR_BTNFACE);
  m_crStates[BTNCOLOR_FG_NORMAL] = ::GetSysColor(COLOR_BTNTEXT);
  m_crStates[BTNCOLOR_BK_FOCUS] = ::GetSysColor(COLOR_BTNFACE);
  m_crStates[BTNCOLOR_FG_FOCUS] = ::GetSysColor(COLOR_BTNTEXT);
  InvalidateIfAsked(bRepaint);
  return BTN_OK;
}

DWORD CBtnST::SetChecked(int nCheck, BOOL bRepaint) {
  if (m_bCheckBox) {
    m_nCheck = nCheck ? 1 : 0;
    InvalidateIfAsked(bRepaint);
  }
  return BTN_OK;
}

BOOL CBtnST::SetMenu(UINT nMenu, HWND hWndOwner) {
  m_hMenuOwner = hWndOwner;
  if (m_menu.GetSafeHmenu()) m_menu.DestroyMenu();
  return nMenu == 0 || m_menu.LoadMenu(nMenu);
}

// ---- tooltip -----------------------------------------------------------------------------------

void CBtnST::InitToolTip() {
  if (m_tip.m_hWnd) return;
  m_tip.Create(this);
  m_tip.Activate(FALSE);
  m_tip.SetMaxTipWidth(kMaxTipWidth);
}

void CBtnST::SetTipText(const char* lpszText, BOOL bActivate) {
  if (!lpszText) return;
  InitToolTip();
  if (m_tip.GetToolCount() == 0) {
    CRect rect;
    GetClientRect(rect);
    m_tip.AddTool(this, lpszText, rect, kToolId);
  }
  m_tip.UpdateTipText(lpszText, this, kToolId);
  m_tip.Activate(bActivate);
}

BOOL CBtnST::PreTranslateMessage(MSG* pMsg) {
  // A tooltip heeds nothing else it is relayed; made at the first of these, it is not made while
  // a dialog paints its buttons for the first time.
  switch (pMsg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
      InitToolTip();
      m_tip.RelayEvent(pMsg);
      break;
    default:
      break;
  }
  return CButton::PreTranslateMessage(pMsg);
}

// ---- icons -------------------------------------------------------------------------------------

void CBtnST::FreeIcons() {
  m_icons[0].Reset();
  m_icons[1].Reset();
}

DWORD CBtnST::AssignIcons(int nIconIn, int nIconOut) {
  const UINT nDpi = AfxGetDpiForWindow(m_hWnd);
  auto load = [nDpi](int nId) { return AfxLoadIconForDpi(static_cast<UINT>(nId), 32, 32, nDpi); };
  HICON hIconIn = nIconIn ? load(nIconIn) : nullptr;
  HICON hIconOut = nullptr;
  if (nIconOut == BTN_AUTO_GRAY)
    hIconOut = BTN_AUTO_GRAY_ICON;
  else if (nIconOut)
    hIconOut = load(nIconOut);
  const DWORD dwResult = AssignIcons(hIconIn, hIconOut);
  m_nIconIds[0] = nIconIn;
  m_nIconIds[1] = nIconOut;
  return dwResult;
}

namespace {
// GetIconInfo hands out two bitmaps that the caller must delete.
struct CIconInfo : ICONINFO {
  CBitmap bmMask, bmColor;
  BOOL Read(HICON hIcon) {
    if (!::GetIconInfo(hIcon, this)) return FALSE;
    bmMask.Attach(hbmMask);
    bmColor.Attach(hbmColor);
    return TRUE;
  }
};
}  // namespace

DWORD CBtnST::AssignIcons(HICON hIconIn, HICON hIconOut) {
  FreeIcons();
  m_nIconIds[0] = m_nIconIds[1] = 0;
  if (!hIconIn) {
    InvalidateIfAsked(TRUE);
    return BTN_OK;
  }

  m_icons[0].hIcon = hIconIn;
  {
    CIconInfo info;
    if (!info.Read(hIconIn)) {
      FreeIcons();
      return BTN_BADICON;
    }
    // The hotspot of an icon is its centre: the first icon is laid out at half its size.
    m_icons[0].dwWidth = info.xHotspot;
    m_icons[0].dwHeight = info.yHotspot;
  }

  if (hIconOut) {
    if (hIconOut == BTN_AUTO_GRAY_ICON) hIconOut = CreateGrayscaleIcon(hIconIn);
    m_icons[1].hIcon = hIconOut;
    CIconInfo info;
    if (!info.Read(hIconOut)) {
      FreeIcons();
      return BTN_BADICON;
    }
    m_icons[1].dwWidth = info.xHotspot * 2;
    m_icons[1].dwHeight = info.yHotspot * 2;
  }

  InvalidateIfAsked(TRUE);
  return BTN_OK;
}

HICON CBtnST::CreateGrayscaleIcon(HICON hIcon) {
  CIconInfo info;
  if (!info.Read(hIcon) || info.bmColor.IsNull()) return nullptr;

  CClientDC dcWnd(this);
  CMemoryDC dcSrc, dcGray;
  if (!dcWnd.m_hDC || !dcSrc.CreateCompatibleDC(dcWnd) || !dcGray.CreateCompatibleDC(dcWnd)) return nullptr;

  BITMAP bm{};
  if (!info.bmColor.GetBitmap(&bm)) return nullptr;
  const int cx = static_cast<int>(info.xHotspot * 2);
  const int cy = static_cast<int>(info.yHotspot * 2);
  CBitmap bmGray;
  if (!bmGray.CreateBitmap(cx, cy, bm.bmPlanes, bm.bmBitsPixel, nullptr)) return nullptr;

  {
    CSelectGuard selSrc(dcSrc, info.bmColor);
    CSelectGuard selGray(dcGray, bmGray);
    dcGray.BitBlt(0, 0, cx, cy, dcSrc, 0, 0, SRCCOPY);
    for (int y = 0; y < cy; ++y) {
      for (int x = 0; x < cx; ++x) {
        const COLORREF cr = dcGray.GetPixel(x, y);
        if (cr == RGB(0, 0, 0)) continue;  // black stays black
        const double dGray = 0.587 * GetGValue(cr) + 0.114 * GetBValue(cr) + 0.299 * GetRValue(cr);
        const BYTE g = static_cast<BYTE>(dGray);
        dcGray.SetPixel(x, y, RGB(g, g, g));
      }
    }
  }

  ICONINFO gray{};
  gray.fIcon = TRUE;
  gray.xHotspot = info.xHotspot;
  gray.yHotspot = info.yHotspot;
  gray.hbmMask = info.bmMask;
  gray.hbmColor = bmGray;
  return ::CreateIconIndirect(&gray);
}

// ---- drawing -----------------------------------------------------------------------------------

DWORD CBtnST::PaintFace(CDC* pDC, const CRect& rect) {
  COLORREF cr = m_crStates[BTNCOLOR_BK_NORMAL];
  if (m_bHover || m_bPressed)
    cr = m_crStates[BTNCOLOR_BK_HOVER];
  else if (m_bFocused)
    cr = m_crStates[BTNCOLOR_BK_FOCUS];
  CBrush brush(cr);
  pDC->FillRect(rect, brush);
  return BTN_OK;
}

DWORD CBtnST::PaintEdge(CDC* pDC, const CRect& rect) {
  const COLORREF crHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF crShadow = ::GetSysColor(COLOR_BTNSHADOW);
  if (m_bPressed)
    pDC->Draw3dRect(rect, crShadow, crHighlight);
  else
    pDC->Draw3dRect(rect, crHighlight, crShadow);
  return BTN_OK;
}

void CBtnST::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  CDC dc(lpDIS->hDC);

  const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
  if (m_bCheckBox)
    m_bPressed = bSelected || m_nCheck == 1;
  else
    m_bPressed = bSelected || (m_bMenuShown && m_menu.GetSafeHmenu());
  m_bFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
  m_bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;

  const CRect itemRect(lpDIS->rcItem);
  dc.SetBkMode(TRANSPARENT);
  PaintFace(&dc, itemRect);
  // Always flat: no frame, default mark or focus rectangle of its own.
  if (m_bPressed || m_bHover) PaintEdge(&dc, itemRect);

  CString strTitle;
  GetWindowText(strTitle);
  CRect captionRect(lpDIS->rcItem);

  if (m_icons[0].hIcon) DrawTheIcon(&dc, !strTitle.IsEmpty(), lpDIS->rcItem, &captionRect, m_bPressed, m_bDisabled);

  if (strTitle.IsEmpty()) return;
  if (m_bPressed && !m_bCheckBox) captionRect.OffsetRect(1, 1);

  const CRect centerRect = captionRect;
  dc.DrawText(strTitle, captionRect, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
  captionRect.OffsetRect((centerRect.Width() - captionRect.Width()) / 2,
                         (centerRect.Height() - captionRect.Height()) / 2);

  dc.SetBkMode(TRANSPARENT);
  if (m_bDisabled) {
    // Engraved: highlight one pixel down-right, shadow on top.
    captionRect.OffsetRect(1, 1);
    dc.SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.DrawText(strTitle, captionRect, DT_WORDBREAK | DT_CENTER);
    captionRect.OffsetRect(-1, -1);
    dc.SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
    dc.DrawText(strTitle, captionRect, DT_WORDBREAK | DT_CENTER);
  } else {
    const bool bLit = m_bHover || m_bPressed;
    dc.SetTextColor(m_crStates[bLit ? BTNCOLOR_FG_HOVER : BTNCOLOR_FG_NORMAL]);
    dc.SetBkColor(m_crStates[bLit ? BTNCOLOR_BK_HOVER : BTNCOLOR_BK_NORMAL]);
    dc.DrawText(strTitle, captionRect, DT_WORDBREAK | DT_CENTER);
  }
}

void CBtnST::DrawTheIcon(CDC* pDC, BOOL bHasTitle, const RECT& rcItem, CRect* pCaptionRect, BOOL bIsPressed,
                         BOOL bIsDisabled) {
  int nIndex = 0;
  if (m_bCheckBox)
    nIndex = (!bIsPressed && m_icons[1].hIcon) ? 1 : 0;
  else
    nIndex = (!bIsPressed && !m_bHover && m_icons[1].hIcon) ? 1 : 0;
  const STRUCT_ICONS& icon = m_icons[nIndex];
  const int cx = static_cast<int>(icon.dwWidth);
  const int cy = static_cast<int>(icon.dwHeight);

  CRect imageRect(rcItem);
  const CRect item(rcItem);
  const int nGap = AfxScaleForWindow(m_hWnd, 3);
  if (bHasTitle) {
    imageRect.left += nGap;
    pCaptionRect->left += cx + nGap;
  } else {
    imageRect.left += (item.Width() - cx) / 2;
  }
  imageRect.top += (item.Height() - cy) / 2;
  if (bIsPressed && !m_bCheckBox) imageRect.OffsetRect(1, 1);

  pDC->DrawState(imageRect.TopLeft(), CSize(cx, cy), icon.hIcon, bIsDisabled ? DSS_DISABLED : DSS_NORMAL);
}

// ---- messages ----------------------------------------------------------------------------------

void CBtnST::CancelHover() {
  if (!m_bHover) return;
  m_bHover = FALSE;
  Invalidate();
}

void CBtnST::OnKillFocus(CWnd* pNewWnd) {
  CButton::OnKillFocus(pNewWnd);
  // Disabling a window that has the focus of its own thread leaves the focus nowhere before
  // WM_ENABLE arrives; remember that the focus was ours.
  m_bFocusTakenByDisable = pNewWnd == nullptr && !IsWindowEnabled();
  CancelHover();
}

void CBtnST::OnMouseMove(UINT nFlags, CPoint point) {
  CButton::OnMouseMove(nFlags, point);

  CPoint ptScreen = point;
  ClientToScreen(&ptScreen);
  HWND hWndUnder = ::WindowFromPoint(ptScreen);

  // Dragging onto the button with the left button held does not light it.
  if ((nFlags & MK_LBUTTON) && !m_bHover) return;

  if (hWndUnder == m_hWnd) {
    if (!m_bHover) {
      m_bHover = TRUE;
      Invalidate();
      TRACKMOUSEEVENT tme{};
      tme.cbSize = sizeof tme;
      tme.dwFlags = TME_LEAVE;
      tme.hwndTrack = m_hWnd;
      ::_TrackMouseEvent(&tme);
    }
  } else {
    CancelHover();
  }
}

BOOL CBtnST::OnClicked() {
  SetFocus();
  if (m_bCheckBox) {
    m_nCheck = !m_nCheck;
    Invalidate();
  } else if (m_menu.GetSafeHmenu()) {
    CRect rcWnd;
    GetWindowRect(rcWnd);
    m_bMenuShown = TRUE;
    Invalidate();
    m_menu.PrepareForDpi(AfxGetDpiForPoint(CPoint(rcWnd.left, rcWnd.bottom)));
    CMenu* pPopup = m_menu.GetSubMenu(0);
    const UINT nCmd =
        pPopup ? static_cast<UINT>(pPopup->TrackPopupMenu(
                     TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_NONOTIFY | TPM_RETURNCMD, rcWnd.left, rcWnd.bottom, this))
               : 0;
    m_bMenuShown = FALSE;
    Invalidate();
    // Without an owner, a NULL window would post the command to this thread's queue, where no
    // window ever gets it.
    HWND hTarget = m_hMenuOwner ? m_hMenuOwner : ::GetParent(m_hWnd);
    if (nCmd && hTarget) ::PostMessageA(hTarget, WM_COMMAND, MAKEWPARAM(nCmd, 0), 0);
  }
  // The parent's own BN_CLICKED handling runs as well.
  return FALSE;
}

void CBtnST::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
  CButton::OnActivate(nState, pWndOther, bMinimized);
  if (nState == WA_INACTIVE) CancelHover();
}

void CBtnST::OnEnable(BOOL bEnable) {
  CButton::OnEnable(bEnable);
  const BOOL bHadFocus = ::GetFocus() == m_hWnd || m_bFocusTakenByDisable;
  m_bFocusTakenByDisable = FALSE;
  if (!bEnable) {
    // A disabled button must not keep the focus; a button that did not have it leaves it where
    // it is (a pass disables Optimize while the user may be typing elsewhere). With nothing else
    // to go to, the tab order answers with the button itself.
    CWnd* pParent = GetParent();
    if (pParent && bHadFocus) {
      CWnd* pNext = pParent->GetNextDlgTabItem(this);
      if (pNext && pNext != this)
        pNext->SetFocus();
      else
        pParent->SetFocus();
    }
    CancelHover();
  }
}

void CBtnST::OnCancelMode() {
  CButton::OnCancelMode();
  CancelHover();
}

UINT CBtnST::OnGetDlgCode() {
  UINT nCode = CButton::OnGetDlgCode();
  nCode |= m_bDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON;
  return nCode;
}

HBRUSH CBtnST::CtlColor(CDC*, UINT) { return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)); }

LRESULT CBtnST::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu) {
  if (BCMenu::IsBitmapMenu(pMenu)) return BCMenu::FindMnemonic(nChar, nFlags, pMenu);
  return CButton::OnMenuChar(nChar, nFlags, pMenu);
}

void CBtnST::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS) {
  if (lpMIS && lpMIS->CtlType == ODT_MENU) {
    HMENU hMenu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(lpMIS->itemID));
    if (::IsMenu(hMenu) && BCMenu::IsBitmapMenuHandle(hMenu)) {
      m_menu.MeasureItem(lpMIS);
      return;
    }
  }
  CButton::OnMeasureItem(nIDCtl, lpMIS);
}

LRESULT CBtnST::OnSetStyle(WPARAM wParam, LPARAM lParam) {
  const UINT nNewType = static_cast<UINT>(wParam) & BS_TYPEMASK;
  if (nNewType == BS_DEFPUSHBUTTON)
    m_bDefault = TRUE;
  else if (nNewType == BS_PUSHBUTTON)
    m_bDefault = FALSE;
  return DefWindowProc(BM_SETSTYLE, (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW, lParam);
}

LRESULT CBtnST::OnMouseLeave(WPARAM, LPARAM) {
  CancelHover();
  return 0;
}

LRESULT CBtnST::OnSetCheck(WPARAM wParam, LPARAM) {
  SetChecked(wParam == BST_CHECKED || wParam == BST_INDETERMINATE ? 1 : 0, TRUE);
  return 0;
}

LRESULT CBtnST::OnGetCheck(WPARAM, LPARAM) { return IsChecked(); }

LRESULT CBtnST::OnDpiChangedAfterParent(WPARAM, LPARAM) {
  if (m_nIconIds[0]) AssignIcons(m_nIconIds[0], m_nIconIds[1]);
  if (m_tip.m_hWnd && m_tip.GetToolCount() > 0) {
    CRect rect;
    GetClientRect(rect);
    m_tip.SetToolRect(this, kToolId, rect);
  }
  Invalidate();
  return 0;
}

LRESULT CBtnST::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // A quick second click is a click, not a double click.
  if (message == WM_LBUTTONDBLCLK) message = WM_LBUTTONDOWN;
  return CButton::DefWindowProc(message, wParam, lParam);
}
