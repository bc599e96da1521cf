// Measuring and drawing the bitmap menu's owner-drawn items in the classic and the XP style.
#include <algorithm>
#include <optional>

#include "BCMenu.h"
#include "BCMenuInternal.h"

namespace {

// Draws into a bitmap of the item's size, in item coordinates, and copies it to the target in one
// operation when it goes. A printing target is drawn on directly.
class OffscreenItemDC : public CDC {
 public:
  OffscreenItemDC(CDC* pTarget, const CRect& rect) : m_pTarget(pTarget), m_rect(rect) {
    if (!pTarget->IsPrinting() && m_memDC.CreateCompatibleDC(*pTarget) &&
        m_bitmap.CreateCompatibleBitmap(*pTarget, rect.Width(), rect.Height())) {
      m_hDC = m_memDC.GetSafeHdc();
      m_select.emplace(m_hDC, m_bitmap);
      SetWindowOrg(rect.left, rect.top);
      return;
    }
    m_hDC = pTarget->GetSafeHdc();  // a view of the target: drawn on directly
  }
  ~OffscreenItemDC() override {
    if (m_select) {
      m_pTarget->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left, m_rect.top,
                        SRCCOPY);
    }
  }

 private:
  CDC* m_pTarget;
  CRect m_rect;
  // Destroyed in reverse: the bitmap is deselected before it and the DC go.
  CMemoryDC m_memDC;
  CBitmap m_bitmap;
  std::optional<CSelectGuard> m_select;
};

// Where an item's picture comes from and which of it the state asks for.
struct CItemImage {
  CImageList* pList = nullptr;
  int nIndex = -1;
  int nResource = -1;  // -1: no image
  bool bTriplet = false;
  int nFaded = 1;
  int nShadow = 2;
  bool bCheckImage = false;
  bool bImage = false;
  bool bSelectedImage = false;
  bool bDisabledImage = false;
  bool AnyRole() const { return bCheckImage || bImage || bSelectedImage || bDisabledImage; }
};

// An image of the list (drawn at natural size) at the target size, over the background it
// stands on; resampled when the sizes differ, so the transparent parts blend into crBack.
void DrawListImage(CDC* pDC, CImageList* pList, int nImage, CPoint pt, SIZE natural, SIZE target, COLORREF crBack) {
  if (!pList) return;
  if (natural.cx == target.cx && natural.cy == target.cy) {
    pList->Draw(*pDC, nImage, pt, ILD_TRANSPARENT);
    return;
  }
  CMemoryDC dc(*pDC);
  CBitmap bm, scaled;
  if (!dc.GetSafeHdc() || !bm.CreateCompatibleBitmap(*pDC, natural.cx, natural.cy)) return;
  {
    CSelectGuard select(dc, bm);
    dc.FillSolidRect(0, 0, natural.cx, natural.cy, crBack);
    pList->Draw(dc, nImage, CPoint(0, 0), ILD_TRANSPARENT);
  }
  if (!AfxResampleBitmap(bm, target, scaled)) return;
  CSelectGuard select(dc, scaled);
  pDC->BitBlt(pt.x, pt.y, target.cx, target.cy, dc, 0, 0, SRCCOPY);
}

void Frame(CDC* pDC, const CRect& rect, COLORREF cr) { pDC->Draw3dRect(rect, cr, cr); }

// The item's checked-state bitmap is set: it shows the radio glyph instead of the check.
BOOL HasCheckBitmap(LPDRAWITEMSTRUCT lpDIS) {
  MENUITEMINFOA mii{};
  mii.cbSize = sizeof mii;
  mii.fMask = MIIM_CHECKMARKS;
  if (!::GetMenuItemInfoA(reinterpret_cast<HMENU>(lpDIS->hwndItem), lpDIS->itemID, FALSE, &mii)) return FALSE;
  return mii.hbmpChecked != nullptr;
}

}  // namespace

// ---- measuring -------------------------------------------------------------------------------------

void BCMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS) {
  if (!lpMIS) return;
  const auto* pEntry = reinterpret_cast<const BCMenuEntry*>(lpMIS->itemData);
  const bool bXP = UseXPStyle() != FALSE;
  const UINT nDpi = MenuDpi();
  auto e = [nDpi](int n) { return dpi::Scale(n, nDpi); };
  const int nPad = e(bXP && s_xpImageEffects ? 7 : 4);
  const int W = e(m_imageWidth), H = e(m_imageHeight);
  const int cyMenu = AfxGetSystemMetricsForDpi(SM_CYMENU, nDpi);

  if (pEntry && (pEntry->m_flags & MF_SEPARATOR)) {
    lpMIS->itemWidth = 0;
    lpMIS->itemHeight = static_cast<UINT>(std::max(cyMenu >> 1, (H + nPad) / 2));
    return;
  }

  CFont font;
  bcmenu::CreateMenuFont(font, nDpi);
  const std::wstring text = pEntry ? pEntry->m_text : std::wstring();
  const int cch = static_cast<int>(text.size());
  int cxText = 0;
  {
    CClientDC dc(bcmenu::MainOrDesktopWnd());
    HGDIOBJ hOldFont = HasNewShell() && !font.IsNull() ? dc.SelectObject(font) : nullptr;
    if (s_platformClass == 0) {
      RECT rc{0, 0, 0, 0};
      ::DrawTextW(dc, text.c_str(), cch, &rc, DT_CALCRECT | DT_SINGLELINE | DT_VCENTER);
      cxText = rc.right - rc.left + 3;
      if (cch > 0) cxText += 3 * (cxText / cch);  // an empty text keeps the bare width
    } else {
      SIZE size{0, 0};
      ::GetTextExtentPoint32W(dc, text.c_str(), cch, &size);
      cxText = size.cx;
    }
    if (hOldFont) dc.SelectObject(hOldFont);
  }
  const int cxItem = bXP ? cxText + W + nPad + e(8) : cxText + 2 * W + e(1);
  lpMIS->itemWidth = static_cast<UINT>(cxItem);
  lpMIS->itemHeight = static_cast<UINT>(std::max(cyMenu, H + nPad));
}

// ---- drawing ---------------------------------------------------------------------------------------

void BCMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS) {
  if (!lpDIS) return;
  // Palette devices cannot show the blended colours.
  const bool bPalette = (::GetDeviceCaps(lpDIS->hDC, RASTERCAPS) & RC_PALETTE) != 0;
  if (!bPalette && UseXPStyle())
    DrawItemXP(lpDIS);
  else
    DrawItemClassic(lpDIS);
}

namespace {

CItemImage ResolveItemImage(const BCMenuEntry* pEntry, UINT nState, bool bXP, int nCheckSelected, int nCheckNormal,
                            CImageList* pShared) {
  CItemImage img;
  if (!pEntry) return img;
  img.pList = pEntry->m_ownImages.get();
  img.nIndex = pEntry->m_ownImageIndex;
  img.nResource = pEntry->m_imageResource;
  if (img.nResource < 0 && pEntry->m_sharedImageIndex >= 0 && (!bXP || img.nIndex < 0)) {
    img.pList = pShared;
    img.nIndex = pEntry->m_sharedImageIndex;
    img.nResource = 0;
    if (bXP && BCMenu::s_xpImageEffects && BCMenu::HasImageTriplet(img.nIndex)) {
      img.bTriplet = true;
      img.nFaded = img.nIndex + 1;
      img.nShadow = img.nIndex + 2;
    }
  } else if (bXP && img.nIndex == 0 && BCMenu::s_xpImageEffects && img.pList && img.pList->GetImageCount() > 2) {
    img.bTriplet = true;
  }

  const bool bSelected = (nState & ODS_SELECTED) != 0;
  const bool bGrayed = (nState & ODS_GRAYED) != 0;
  if ((nState & ODS_CHECKED) && img.nResource < 0 && ((bSelected && nCheckSelected > 0) || nCheckNormal > 0)) {
    img.bCheckImage = true;
  } else if (img.nResource != -1) {
    img.bImage = true;
    if (bGrayed)
      img.bDisabledImage = true;
    else if (bSelected)
      img.bSelectedImage = true;
  }
  return img;
}

}  // namespace

void BCMenu::DrawItemText(CDC* pDC, const CRect& rcText, const std::wstring& text, COLORREF cr) {
  CRect rc(rcText);
  rc.OffsetRect(0, -1);
  std::wstring left = text, right;
  const size_t nFirstTab = text.find(L'\t');
  if (nFirstTab != std::wstring::npos) {
    left = text.substr(0, nFirstTab);
    right = text.substr(text.rfind(L'\t') + 1);
    rc.right -= dpi::Scale(m_imageWidth, MenuDpi());
  }
  const int nOldMode = pDC->SetBkMode(TRANSPARENT);
  const COLORREF crOld = pDC->SetTextColor(cr);
  ::DrawTextW(*pDC, left.c_str(), static_cast<int>(left.size()), rc, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (nFirstTab != std::wstring::npos) {
    ::DrawTextW(*pDC, right.c_str(), static_cast<int>(right.size()), rc, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
  pDC->SetTextColor(crOld);
  pDC->SetBkMode(nOldMode);
}

void BCMenu::DrawItemClassic(LPDRAWITEMSTRUCT lpDIS) {
  CDC dc(lpDIS->hDC);
  CDC* pDC = &dc;
  const auto* pEntry = reinterpret_cast<const BCMenuEntry*>(lpDIS->itemData);
  const CRect rect(lpDIS->rcItem);
  const COLORREF crBack = ::GetSysColor(IsThemedXP() ? COLOR_3DFACE : COLOR_MENU);
  const UINT nDpi = MenuDpi();
  auto e = [nDpi](int n) { return dpi::Scale(n, nDpi); };
  const int W = e(m_imageWidth), H = e(m_imageHeight);
  const CSize natural(m_imageWidth, m_imageHeight), shown(W, H);

  UINT nState = lpDIS->itemState;
  if ((nState & ODS_GRAYED) && !s_classicSelectDisabled) nState &= ~static_cast<UINT>(ODS_SELECTED);

  if (pEntry && (pEntry->m_flags & MF_SEPARATOR)) {
    pDC->FillSolidRect(rect, crBack);
    CRect rcLine(rect);
    rcLine.top += rect.Height() / 2;
    ::DrawEdge(*pDC, rcLine, EDGE_ETCHED, BF_TOP);
    return;
  }

  const bool bSelected = (nState & ODS_SELECTED) != 0;
  const bool bGrayed = (nState & ODS_GRAYED) != 0;
  const bool bChecked = (nState & ODS_CHECKED) != 0;
  COLORREF crText = ::GetSysColor(COLOR_MENUTEXT);
  const CItemImage img =
      ResolveItemImage(pEntry, nState, false, m_checkImageSelected, m_checkImageNormal, s_sharedImages.get());

  if (bSelected) {
    CRect rcHighlight(rect);
    // The image keeps its own frame beside the highlight.
    if (img.AnyRole() || bChecked) rcHighlight.left = rect.left + W + e(5);
    pDC->FillSolidRect(rcHighlight, ::GetSysColor(COLOR_HIGHLIGHT));
    crText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
  } else {
    pDC->FillSolidRect(rect, crBack);
    Frame(pDC, rect, crBack);
  }

  const int dy = std::max(0, (rect.Height() - e(4) - H) / 2);
  if (img.AnyRole()) {
    const CRect rcInner(rect.left + 1, rect.top + dy + 1, rect.left + W + e(3), rect.top + dy + H + e(3));
    const CRect rcOuter(rect.left, rect.top + dy, rect.left + W + e(4), rect.top + dy + H + e(4));
    const CPoint pt(rect.left + e(2), rect.top + dy + e(2));
    const COLORREF crShadow = ::GetSysColor(COLOR_3DSHADOW);
    const COLORREF crHilight = ::GetSysColor(COLOR_3DHILIGHT);
    Frame(pDC, rcInner, crBack);
    if (img.bCheckImage && m_checkImages) {
      pDC->FillSolidRect(rcInner, crBack);
      Frame(pDC, rcOuter, crBack);
      DrawListImage(pDC, m_checkImages, bSelected ? 1 : 0, pt, natural, shown, crBack);
    } else if (img.bDisabledImage && img.pList) {
      CBitmap bm;
      ImageToBitmap(*pDC, *img.pList, img.nIndex, bm);
      if (!(shown == natural)) {
        CBitmap bmNatural;
        bmNatural.Attach(bm.Detach());
        AfxResampleBitmap(bmNatural, shown, bm);
      }
      Frame(pDC, rcOuter, crBack);
      DrawEmbossed(*pDC, pt.x, pt.y, W, H, bm, 0, 0, crBack);
    } else if (img.bSelectedImage) {
      pDC->FillSolidRect(rcInner, crBack);
      if (HasNewShell()) {
        if (bChecked)
          pDC->Draw3dRect(rcOuter, crShadow, crHilight);
        else
          pDC->Draw3dRect(rcOuter, crHilight, crShadow);
      }
      DrawListImage(pDC, img.pList, img.nIndex, pt, natural, shown, crBack);
    } else {
      const COLORREF crInner = bChecked ? BlendTowardWhite(crBack, 0.6) : crBack;
      pDC->FillSolidRect(rcInner, crInner);
      if (!bChecked) Frame(pDC, rcOuter, crBack);
      if (bChecked && HasNewShell()) pDC->Draw3dRect(rcOuter, crShadow, crHilight);
      DrawListImage(pDC, img.pList, img.nIndex, pt, natural, shown, crInner);
    }
  }

  if (bChecked && img.nResource < 0 && !img.bCheckImage) {
    DrawCheckBoxClassic(pDC, CRect(rect.left + 1, rect.top + dy + e(2), rect.left + W + 1, rect.top + dy + H + e(2)),
                        bSelected, HasCheckBitmap(lpDIS), nDpi);
  }

  CRect rcText(rect);
  rcText.left = rect.left + W + e(9);
  const std::wstring text = pEntry ? pEntry->m_text : std::wstring();
  if (!bGrayed) {
    DrawItemText(pDC, rcText, text, crText);
  } else if (bSelected) {
    DrawItemText(pDC, rcText, text, crBack);
  } else {
    // Engraved: a highlight copy one pixel down and right under the grey text.
    CRect rcHilight(rcText);
    rcHilight.OffsetRect(1, 1);
    DrawItemText(pDC, rcHilight, text, ::GetSysColor(COLOR_3DHILIGHT));
    DrawItemText(pDC, rcText, text, ::GetSysColor(COLOR_GRAYTEXT));
  }
}

void BCMenu::DrawItemXP(LPDRAWITEMSTRUCT lpDIS) {
  CDC dcTarget(lpDIS->hDC);
  const auto* pEntry = reinterpret_cast<const BCMenuEntry*>(lpDIS->itemData);
  const CRect rect(lpDIS->rcItem);
  const bool bThemed = IsThemedXP() != FALSE;
  const COLORREF crFace = ::GetSysColor(COLOR_3DFACE);
  const COLORREF crGutter = bThemed ? crFace : BlendTowardWhite(crFace, 0.25);
  const COLORREF crWindow = ::GetSysColor(COLOR_WINDOW);
  const UINT nDpi = MenuDpi();
  auto e = [nDpi](int n) { return dpi::Scale(n, nDpi); };
  const int W = e(m_imageWidth), H = e(m_imageHeight);
  const CSize natural(m_imageWidth, m_imageHeight), shown(W, H);
  const int nPad = e(s_xpImageEffects ? 7 : 4);
  const int nBar = W + nPad;
  const CRect rcGutter(rect.left, rect.top, rect.left + nBar, rect.bottom);

  UINT nState = lpDIS->itemState;
  const bool bGrayed = (nState & ODS_GRAYED) != 0;
  CDC* pDC = &dcTarget;
  // A disabled item is never highlighted; it is drawn off-screen in the menu font.
  std::unique_ptr<OffscreenItemDC> pOffscreen;
  CFont font;
  HGDIOBJ hOldFont = nullptr;
  if (bGrayed && !s_xpSelectDisabled) {
    nState &= ~static_cast<UINT>(ODS_SELECTED);
    pOffscreen = std::make_unique<OffscreenItemDC>(&dcTarget, rect);
    pDC = pOffscreen.get();
    if (bcmenu::CreateMenuFont(font, nDpi)) hOldFont = pDC->SelectObject(font);
  }

  if (pEntry && (pEntry->m_flags & MF_SEPARATOR)) {
    pDC->FillSolidRect(rect, crWindow);
    CRect rcLine(rect);
    rcLine.top += rect.Height() / 2;
    rcLine.left = rect.left + nBar + nPad;
    ::DrawEdge(*pDC, rcLine, EDGE_ETCHED, BF_TOP);
    pDC->FillSolidRect(rcGutter, crGutter);
    Frame(pDC, rcGutter, crGutter);
  } else {
    const bool bSelected = (nState & ODS_SELECTED) != 0;
    const bool bChecked = (nState & ODS_CHECKED) != 0;
    const COLORREF crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF crSelect = BlendTowardWhite(crHighlight, bThemed ? 0.7 : 0.85);
    const CItemImage img =
        ResolveItemImage(pEntry, nState, true, m_checkImageSelected, m_checkImageNormal, s_sharedImages.get());

    if (bSelected) {
      pDC->FillSolidRect(rect, crSelect);
      Frame(pDC, rect, crHighlight);
    } else {
      pDC->FillSolidRect(rect, crWindow);
      pDC->FillSolidRect(rcGutter, crGutter);
      Frame(pDC, rect, crWindow);
      Frame(pDC, rcGutter, crGutter);
    }

    const int dy = std::max(0, static_cast<int>((rect.Height() - H + 1) * 0.5));
    const int dx = std::max(0, static_cast<int>((nBar - W + 1) * 0.5));
    CPoint pt(rect.left + dx, rect.top + dy);
    if (img.AnyRole()) {
      const CRect rcImage(rect.left + 1, rect.top + 1, rect.left + nBar - 1, rect.bottom - 1);
      auto draw = [&](int nImage, CPoint at, COLORREF crUnder) {
        DrawListImage(pDC, img.pList, nImage, at, natural, shown, crUnder);
      };
      if (img.bCheckImage && m_checkImages) {
        pDC->FillSolidRect(rcImage, crGutter);
        DrawListImage(pDC, m_checkImages, bSelected ? 1 : 0, pt, natural, shown, crGutter);
      } else if (img.bDisabledImage && img.pList) {
        CBitmap bm;
        ImageToBitmap(*pDC, *img.pList, img.nIndex, bm);
        if (!(shown == natural)) {
          CBitmap bmNatural;
          bmNatural.Attach(bm.Detach());
          AfxResampleBitmap(bmNatural, shown, bm);
        }
        DrawEmbossed(*pDC, pt.x, pt.y, W, H, bm, 0, 0, crGutter);
      } else if (img.bSelectedImage) {
        pDC->FillSolidRect(rcImage, crSelect);
        if (bChecked) {
          Frame(pDC, rcImage, crHighlight);
          pt.Offset(-e(1), -e(1));
        }
        if (img.bTriplet && !bChecked) {
          // The image lifts off its shadow.
          draw(img.nShadow, CPoint(pt.x + e(1), pt.y + e(1)), crSelect);
          draw(img.nIndex, CPoint(pt.x - e(1), pt.y - e(1)), crSelect);
        } else {
          draw(img.nIndex, pt, crSelect);
        }
      } else if (bChecked) {
        const COLORREF crChecked = BlendTowardWhite(crHighlight, 0.85);
        pDC->FillSolidRect(rcImage, crChecked);
        Frame(pDC, rcImage, crHighlight);
        draw(img.nIndex, CPoint(pt.x - e(1), pt.y - e(1)), crChecked);
      } else {
        pDC->FillSolidRect(rcImage, crGutter);
        Frame(pDC, rcImage, crGutter);
        draw(img.bTriplet ? img.nFaded : img.nIndex, pt, crGutter);
      }
    }

    if (bChecked && img.nResource < 0 && !img.bCheckImage) {
      const int kBox = e(16);
      const int dy2 = std::max(0, static_cast<int>((rect.Height() - kBox + 1) * 0.5));
      const int dx2 = std::max(0, static_cast<int>((nBar - kBox + 1) * 0.5));
      const CRect rcBox(CPoint(rect.left + dx2, rect.top + dy2), CSize(kBox, kBox));
      DrawCheckBoxXP(pDC, rcBox, HasCheckBitmap(lpDIS), crHighlight, nDpi);
    }

    CRect rcText(rect);
    rcText.left = rect.left + nBar + e(8);
    COLORREF crText = ::GetSysColor(COLOR_MENUTEXT);
    if (bGrayed) {
      const COLORREF crGray = ::GetSysColor(COLOR_GRAYTEXT);
      crText = bThemed ? crGray : BlendTowardWhite(crGray, 0.4);
    }
    DrawItemText(pDC, rcText, pEntry ? pEntry->m_text : std::wstring(), crText);
  }

  if (hOldFont) pDC->SelectObject(hOldFont);
  pOffscreen.reset();  // copies the item to the screen
}

// ---- glyphs ----------------------------------------------------------------------------------------

void BCMenu::DrawCheckGlyph(CDC* pDC, int x, int y, COLORREF cr, UINT nDpi) {
  // Seven columns three pixels tall, a pixel wide each at 96 DPI.
  static const int kTop[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int k = 0; k < 7; ++k) {
    const int left = x + dpi::Scale(k, nDpi), top = y + dpi::Scale(kTop[k], nDpi);
    pDC->FillSolidRect(left, top, x + dpi::Scale(k + 1, nDpi) - left, y + dpi::Scale(kTop[k] + 3, nDpi) - top, cr);
  }
}

void BCMenu::DrawRadioGlyph(CDC* pDC, int x, int y, COLORREF cr, UINT nDpi) {
  CPen pen(PS_SOLID, 1, cr);
  CBrush brush(cr);
  CSelectGuard selPen(*pDC, pen);
  CSelectGuard selBrush(*pDC, brush);
  ::Ellipse(*pDC, x, y, x + dpi::Scale(6, nDpi), y + dpi::Scale(6, nDpi));
}

void BCMenu::DrawCheckBoxClassic(CDC* pDC, const CRect& rect, BOOL bSelected, BOOL bCheckBitmap, UINT nDpi) {
  COLORREF cr = ::GetSysColor(IsThemedXP() ? COLOR_3DFACE : COLOR_MENU);
  if (!bSelected) cr = BlendTowardWhite(cr, 0.6);
  pDC->FillSolidRect(rect, cr);
  if (HasNewShell()) {
    CRect rcEdge(rect);
    ::DrawEdge(*pDC, rcEdge, BDR_SUNKENOUTER, BF_RECT);
  }
  const COLORREF crGlyph = ::GetSysColor(COLOR_MENUTEXT);
  const int e4 = dpi::Scale(4, nDpi), e5 = dpi::Scale(5, nDpi);
  if (bCheckBitmap)
    DrawRadioGlyph(pDC, rect.left + e5, rect.top + e4, crGlyph, nDpi);
  else
    DrawCheckGlyph(pDC, rect.left + e4, rect.top + e4, crGlyph, nDpi);
}

void BCMenu::DrawCheckBoxXP(CDC* pDC, const CRect& rect, BOOL bCheckBitmap, COLORREF cr, UINT nDpi) {
  pDC->FillSolidRect(rect, BlendTowardWhite(cr, 0.85));
  Frame(pDC, rect, cr);
  const COLORREF crGlyph = ::GetSysColor(COLOR_MENUTEXT);
  const int e4 = dpi::Scale(4, nDpi), e5 = dpi::Scale(5, nDpi);
  if (bCheckBitmap)
    DrawRadioGlyph(pDC, rect.left + e5, rect.top + e4, crGlyph, nDpi);
  else
    DrawCheckGlyph(pDC, rect.left + e5, rect.top + e4, crGlyph, nDpi);
}
