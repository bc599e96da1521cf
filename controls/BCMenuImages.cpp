// The shared image store of the bitmap menu and the image variants it draws.
#include <algorithm>
#include <cstring>

#include "BCMenu.h"
#include "BCMenuInternal.h"

namespace {

constexpr UINT kImageListFlags = ILC_COLORDDB | ILC_MASK;

bool ImageEffectsInForce() { return BCMenu::UseXPStyle() && BCMenu::s_xpImageEffects; }

// An icon taken out of an image list, destroyed with its holder.
class CIconHolder {
 public:
  explicit CIconHolder(HICON hIcon) : m_hIcon(hIcon) {}
  ~CIconHolder() {
    if (m_hIcon) ::DestroyIcon(m_hIcon);
  }
  CIconHolder(const CIconHolder&) = delete;
  CIconHolder& operator=(const CIconHolder&) = delete;
  operator HICON() const { return m_hIcon; }

 private:
  HICON m_hIcon;
};

// The colour the 3-D face takes in a bitmap like the one selected into dcImage: a colour of
// another depth is stored as its nearest neighbour, and the passes compare stored pixels.
COLORREF FaceColorIn(CDC& dcImage, int cx, int cy) {
  CBitmap bmProbe;
  CMemoryDC dcProbe;
  if (!bmProbe.CreateCompatibleBitmap(dcImage, cx, cy) || !dcProbe.CreateCompatibleDC(dcImage)) return CLR_INVALID;
  CSelectGuard sel(dcProbe, bmProbe);
  dcProbe.FillSolidRect(0, 0, cx, cy, ::GetSysColor(COLOR_3DFACE));
  return dcProbe.GetPixel(1, 1);
}

// Gives every pixel that is not background the colour recolor() makes of it, column by column.
template <class Recolor>
void RecolorForeground(CBitmap& rBitmap, Recolor recolor) {
  BITMAP bm{};
  if (!rBitmap.GetBitmap(&bm)) return;
  CMemoryDC dc;
  if (!dc.CreateCompatibleDC(nullptr)) return;
  CSelectGuard sel(dc, rBitmap);
  const COLORREF crBack = FaceColorIn(dc, bm.bmWidth, bm.bmHeight);
  for (int x = 0; x < bm.bmWidth; ++x) {
    for (int y = 0; y < bm.bmHeight; ++y) {
      const COLORREF cr = dc.GetPixel(x, y);
      if (cr != crBack) dc.SetPixel(x, y, recolor(cr));
    }
  }
}

}  // namespace

// ---- the shared store ------------------------------------------------------------------------------

int BCMenu::SharedImageIndex(UINT_PTR nID) {
  const auto it = std::find(s_sharedImageIds.begin(), s_sharedImageIds.end(), static_cast<int>(nID));
  return it == s_sharedImageIds.end() ? -1 : static_cast<int>(it - s_sharedImageIds.begin());
}

BOOL BCMenu::HasImageTriplet(int nIndex) {
  const int nCount = static_cast<int>(s_sharedImageIds.size());
  if (nIndex < 0 || nIndex + 2 >= nCount) return FALSE;
  const int nID = s_sharedImageIds[static_cast<size_t>(nIndex)];
  return s_sharedImageIds[static_cast<size_t>(nIndex) + 1] == nID &&
         s_sharedImageIds[static_cast<size_t>(nIndex) + 2] == nID;
}

int BCMenu::AddToSharedImages(CImageList& rList, int nIndex, UINT_PTR nID) {
  if (!s_sharedImages) {
    s_sharedImages = std::make_unique<CImageList>();
    s_sharedImages->Create(m_imageWidth, m_imageHeight, kImageListFlags, 1, 1);
  }
  CIconHolder icon(rList.ExtractIcon(nIndex));
  if (!icon) return -1;

  const bool bEffects = ImageEffectsInForce();
  CBitmap bmFaded, bmShadow;
  if (bEffects) {
    CClientDC dc(bcmenu::MainOrDesktopWnd());
    ImageToBitmap(dc, rList, nIndex, bmFaded);
    MakeFadedBitmap(bmFaded);
    ImageToBitmap(dc, rList, nIndex, bmShadow);
    MakeShadowBitmap(bmShadow);
  }
  const COLORREF crFace = ::GetSysColor(COLOR_3DFACE);
  const int nCommand = static_cast<int>(nID);

  const int nFound = SharedImageIndex(nID);
  if (nFound >= 0) {
    s_sharedImages->Replace(nFound, icon);
    if (bEffects && HasImageTriplet(nFound)) {
      // A bitmap goes into a list position only as an icon: through a list of its own.
      auto replaceWith = [this, crFace](int nPos, CBitmap& bm) {
        CImageList temp;
        if (!temp.Create(m_imageWidth, m_imageHeight, kImageListFlags, 1, 1) || temp.Add(bm, crFace) < 0) return;
        CIconHolder variant(temp.ExtractIcon(0));
        if (variant) s_sharedImages->Replace(nPos, variant);
      };
      replaceWith(nFound + 1, bmFaded);
      replaceWith(nFound + 2, bmShadow);
    }
    return nFound;
  }

  // The id array grows only with the list, so the two stay in step.
  const int nNew = static_cast<int>(s_sharedImageIds.size());
  if (s_sharedImages->Add(icon) < 0) return -1;
  s_sharedImageIds.push_back(nCommand);
  if (bEffects) {
    if (s_sharedImages->Add(bmFaded, crFace) >= 0) s_sharedImageIds.push_back(nCommand);
    if (s_sharedImages->Add(bmShadow, crFace) >= 0) s_sharedImageIds.push_back(nCommand);
  }
  return nNew;
}

// ---- loading ---------------------------------------------------------------------------------------

BOOL BCMenu::FindToolbarImage(UINT nID, UINT nToolbarId, int& nIndex) {
  CToolBar bar;
  if (!bar.Create(bcmenu::MainOrDesktopWnd(), WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR)) return FALSE;
  BOOL bFound = FALSE;
  if (bar.LoadToolBar(nToolbarId)) {
    const int nButton = bar.CommandToIndex(nID);
    if (nButton >= 0) {
      UINT nButtonID = 0, nStyle = 0;
      int iImage = 0;
      bar.GetButtonInfo(nButton, nButtonID, nStyle, iImage);
      if (iImage > 0) nIndex = iImage;
      bFound = TRUE;
    }
  }
  bar.DestroyWindow();
  return bFound;
}

int BCMenu::ColorTableSize(const BITMAPINFOHEADER* pHeader) {
  if (!pHeader) return 0;
  if (pHeader->biClrUsed != 0) return static_cast<int>(pHeader->biClrUsed);
  switch (pHeader->biBitCount) {
    case 1:
      return 2;
    case 4:
      return 16;
    case 8:
      return 256;
    default:
      return 0;
  }
}

HBITMAP BCMenu::LoadSystemColoredBitmap(int nResourceId) {
  LPCSTR lpszName = MAKEINTRESOURCEA(LOWORD(nResourceId));
  HINSTANCE hInst = AfxGetResourceHandle();
  HRSRC hRsrc = hInst ? ::FindResourceA(hInst, lpszName, MAKEINTRESOURCEA(2)) : nullptr;  // RT_BITMAP
  if (!hRsrc) {
    hInst = ::GetModuleHandleA(nullptr);
    hRsrc = ::FindResourceA(hInst, lpszName, MAKEINTRESOURCEA(2));
  }
  if (!hRsrc || ::SizeofResource(hInst, hRsrc) < sizeof(BITMAPINFOHEADER)) return nullptr;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  const void* p = hGlobal ? ::LockResource(hGlobal) : nullptr;
  if (!p) return nullptr;
  BITMAPINFOHEADER bih;
  std::memcpy(&bih, p, sizeof bih);
  if (ColorTableSize(&bih) != 16) return nullptr;
  return AfxLoadSysColorBitmap(hInst, hRsrc);
}

BOOL BCMenu::AddResourceBitmap(CImageList& rList, int nResourceId) {
  if (m_iconHandles) {
    rList.Add(reinterpret_cast<HICON>(static_cast<INT_PTR>(nResourceId)));
    return TRUE;
  }
  const COLORREF crMask = m_useMaskColor ? m_maskColor : ::GetSysColor(COLOR_3DFACE);
  CBitmap bm;
  bm.Attach(LoadSystemColoredBitmap(nResourceId));
  if (bm.IsNull()) bm.LoadBitmap(static_cast<UINT>(nResourceId));
  if (bm.IsNull() || rList.Add(bm, crMask) < 0) return FALSE;

  if (ImageEffectsInForce()) {
    const COLORREF crFace = ::GetSysColor(COLOR_3DFACE);
    CClientDC dc(bcmenu::MainOrDesktopWnd());
    CBitmap bmFaded;
    ImageToBitmap(dc, rList, 0, bmFaded);
    MakeFadedBitmap(bmFaded);
    rList.Add(bmFaded, crFace);
    CBitmap bmShadow;
    ImageToBitmap(dc, rList, 0, bmShadow);
    MakeShadowBitmap(bmShadow);
    rList.Add(bmShadow, crFace);
  }
  return TRUE;
}

// ---- variants --------------------------------------------------------------------------------------

BOOL BCMenu::ImageToBitmap(HDC hdc, CImageList& rList, int nIndex, CBitmap& rBitmap) {
  CIconHolder icon(rList.ExtractIcon(nIndex));
  rBitmap.CreateCompatibleBitmap(hdc, m_imageWidth, m_imageHeight);
  CMemoryDC dc;
  if (rBitmap.IsNull() || !dc.CreateCompatibleDC(hdc)) return TRUE;
  CSelectGuard sel(dc, rBitmap);
  dc.FillSolidRect(0, 0, m_imageWidth, m_imageHeight, ::GetSysColor(COLOR_3DFACE));
  if (icon) ::DrawIconEx(dc, 0, 0, icon, m_imageWidth, m_imageHeight, 0, nullptr, DI_NORMAL);
  return TRUE;
}

void BCMenu::MakeFadedBitmap(CBitmap& rBitmap) {
  RecolorForeground(rBitmap, [](COLORREF cr) { return BlendTowardWhite(cr, 0.3); });
}

void BCMenu::MakeShadowBitmap(CBitmap& rBitmap) {
  const COLORREF crSys = ::GetSysColor(COLOR_3DSHADOW);
  const COLORREF crShadow = IsThemedXP() ? crSys : BlendTowardWhite(crSys, 0.49);
  RecolorForeground(rBitmap, [crShadow](COLORREF) { return crShadow; });
}

void BCMenu::DrawEmbossed(HDC hdc, int x, int y, int cx, int cy, HBITMAP hbm, int xSrc, int ySrc, COLORREF crBack) {
  if (!hdc || !hbm || cx <= 0 || cy <= 0) return;
  const COLORREF crFace = ::GetSysColor(COLOR_3DFACE);
  const COLORREF crHilight = ::GetSysColor(COLOR_3DHILIGHT);
  const COLORREF crShadow = ::GetSysColor(COLOR_3DSHADOW);

  // Mask: white where the image shows either key colour (background), black for the foreground.
  CMemoryDC dcSrc, dcMask, dcWork;
  CBitmap bmMask, bmWork;
  if (!dcSrc.CreateCompatibleDC(hdc) || !dcMask.CreateCompatibleDC(hdc) || !dcWork.CreateCompatibleDC(hdc) ||
      !bmMask.CreateBitmap(cx, cy, 1, 1, nullptr) || !bmWork.CreateCompatibleBitmap(hdc, cx, cy)) {
    return;
  }
  CSelectGuard selSrc(dcSrc, hbm);
  CSelectGuard selMask(dcMask, bmMask);
  dcMask.PatBlt(0, 0, cx, cy, WHITENESS);
  dcSrc.SetBkColor(crFace);
  dcMask.BitBlt(0, 0, cx, cy, dcSrc, xSrc, ySrc, SRCCOPY);
  dcSrc.SetBkColor(crHilight);
  dcMask.BitBlt(0, 0, cx, cy, dcSrc, xSrc, ySrc, SRCPAINT);

  CSelectGuard selWork(dcWork, bmWork);
  dcWork.FillSolidRect(0, 0, cx, cy, crBack);
  // The mask's black expands to white, so the raster operation takes the brush there and keeps
  // the work image elsewhere.
  dcWork.SetBkColor(RGB(0, 0, 0));
  dcWork.SetTextColor(RGB(255, 255, 255));
  auto paintForeground = [&](COLORREF cr, int dx, int dy) {
    CBrush brush(cr);
    CSelectGuard selBrush(dcWork, brush);
    dcWork.BitBlt(dx, dy, cx - dx, cy - dy, dcMask, 0, 0, 0x00E20746);
  };
  paintForeground(crHilight, 0, 0);
  ::BitBlt(hdc, x + 1, y + 1, cx, cy, dcWork, 0, 0, SRCCOPY);
  paintForeground(crHilight, 1, 1);
  paintForeground(crShadow, 0, 0);
  ::BitBlt(hdc, x, y, cx, cy, dcWork, 0, 0, SRCCOPY);
}
