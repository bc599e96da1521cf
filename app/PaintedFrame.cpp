#include "PaintedFrame.h"

#include "FrameGeometry.h"
#include "resource.h"

namespace {

// Frame colours: 0..4 from the outer edge inwards at the top and left, 5..9 from the inner
// edge outwards at the bottom and right.
const COLORREF kFrameColors[10] = {RGB(222, 223, 222), RGB(247, 247, 247), RGB(239, 239, 239), RGB(231, 231, 231),
                                   RGB(222, 223, 222), RGB(206, 207, 206), RGB(181, 182, 181), RGB(140, 138, 140),
                                   RGB(90, 89, 90),    RGB(57, 56, 57)};
const COLORREF kCaptionText = RGB(0, 105, 179);
const COLORREF kCaptionSuffix = RGB(193, 26, 26);

const UINT kButtonBitmaps[CPaintedFrame::kButtonCount][2] = {{IDB_CAPTION_CLOSE, IDB_CAPTION_CLOSE_HOT},
                                                             {IDB_CAPTION_MINIMIZE, IDB_CAPTION_MINIMIZE_HOT},
                                                             {IDB_CAPTION_HELP, IDB_CAPTION_HELP_HOT}};

CRect ToCRect(const dpi::Rect& r) { return CRect(r.left, r.top, r.right, r.bottom); }

void Blit(HDC hdcTarget, HBITMAP hBitmap, int x, int y) {
  BITMAP bm{};
  if (!hBitmap || !::GetObjectA(hBitmap, sizeof bm, &bm)) return;
  CMemoryDC memDC(hdcTarget);
  if (!memDC.GetSafeHdc()) return;
  CSelectGuard select(memDC, hBitmap);
  ::BitBlt(hdcTarget, x, y, bm.bmWidth, bm.bmHeight, memDC, 0, 0, SRCCOPY);
}

frame::Metrics MetricsOf(HWND hWnd, UINT nDpi) {
  CRect rcWindow;
  ::GetWindowRect(hWnd, &rcWindow);
  return frame::Metrics{rcWindow.Width(), AfxGetSystemMetricsForDpi(SM_CXFRAME, nDpi),
                        AfxGetSystemMetricsForDpi(SM_CYFRAME, nDpi), nDpi};
}

// The client area's top edge in the window, as the system lays the frame out at the DPI.
int ClientTop(HWND hWnd, UINT nDpi) {
  RECT rc{0, 0, 0, 0};
  const DWORD dwStyle = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_STYLE));
  const DWORD dwExStyle = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE));
  return AfxAdjustWindowRectExForDpi(&rc, dwStyle, FALSE, dwExStyle, nDpi) ? -rc.top : 0;
}

// The dialog's base units: MapDialogRect of 4 x 8 units.
SIZE BaseUnitsOf(HWND hWnd) {
  RECT rcUnits{0, 0, 4, 8};
  if (!::MapDialogRect(hWnd, &rcUnits)) return SIZE{frame::kLayoutBaseX, frame::kLayoutBaseY};
  return SIZE{rcUnits.right, rcUnits.bottom};
}

dpi::Rect PanelOf(HWND hWnd) {
  const SIZE units = BaseUnitsOf(hWnd);
  return frame::PanelRect(units.cx, units.cy);
}

// The face of the stock fixed font at nDpi. That face is a raster one with a single size
// (Fixedsys on Windows, Courier under Wine), which the font mapper can only multiply, so where
// it has no size for the DPI an outline fixed-pitch face takes its place.
void MakeCaptionFont(CFont& rFont, UINT nDpi) {
  LOGFONTA lf{};
  if (!::GetObjectA(::GetStockObject(SYSTEM_FIXED_FONT), sizeof lf, &lf)) return;
  lf.lfHeight = dpi::FontHeight(lf.lfHeight, AfxGetSystemDpi(), nDpi);
  rFont.CreateFontIndirect(&lf);
  CMemoryDC dc(nullptr);
  if (rFont.IsNull() || !dc.GetSafeHdc()) return;
  TEXTMETRICA tm{};
  {
    CSelectGuard select(dc, rFont);
    if (!::GetTextMetricsA(dc, &tm)) return;
  }
  const bool bRaster = (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) == 0;
  const int nWanted = lf.lfHeight < 0 ? -lf.lfHeight + tm.tmInternalLeading : lf.lfHeight;
  if (!bRaster || tm.tmHeight == nWanted) return;
  lf.lfFaceName[0] = '\0';
  lf.lfOutPrecision = OUT_TT_ONLY_PRECIS;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  rFont.CreateFontIndirect(&lf);
}

}  // namespace

CPaintedFrame::~CPaintedFrame() {
  if (m_hIcon) ::DestroyIcon(m_hIcon);
}

void CPaintedFrame::UpdateForDpi(HWND hWnd) {
  const UINT nDpi = AfxGetDpiForWindow(hWnd);
  if (nDpi == m_nDpi) return;
  m_nDpi = nDpi;

  // The stock fixed font is made for the system DPI; away from 96 DPI a font of its face is
  // made for the window's.
  m_captionFont.DeleteObject();
  if (nDpi != dpi::kBase || AfxGetSystemDpi() != dpi::kBase) MakeCaptionFont(m_captionFont, nDpi);

  const SIZE button{dpi::Scale(frame::kCaptionButtonWidth, nDpi), dpi::Scale(frame::kCaptionButtonHeight, nDpi)};
  for (int b = 0; b < kButtonCount; ++b) {
    for (int hot = 0; hot < 2; ++hot) {
      m_buttons[b][hot].DeleteObject();
      AfxLoadBitmapForDpi(m_buttons[b][hot], kButtonBitmaps[b][hot], button, nDpi);
    }
  }

  // The standard-size icon drawn at small-icon size, as at 96 DPI.
  if (m_hIcon) ::DestroyIcon(m_hIcon);
  m_hIcon = AfxLoadIconForDpi(IDR_MAINFRAME, 32, 32, nDpi);

  m_banner.DeleteObject();  // loaded at the next paint, for the panel's new size
}

CPaintedFrame::Places CPaintedFrame::PaintFrame(CDC& dc, HWND hWnd, HICON hFallbackIcon) {
  UpdateForDpi(hWnd);
  Places places;
  CRect rcWindow;
  ::GetWindowRect(hWnd, &rcWindow);
  const int W = rcWindow.Width();
  const int H = rcWindow.Height();
  const frame::Metrics metrics = MetricsOf(hWnd, m_nDpi);
  auto e = [this](int n) { return dpi::Scale(n, m_nDpi); };

  CBrush brushes[10];
  for (int i = 0; i < 10; ++i) brushes[i].CreateSolidBrush(kFrameColors[i]);
  CSelectGuard brush(dc);
  auto fill = [&](int x, int y, int w, int h, int color) {
    brush.Select(brushes[color]);
    dc.PatBlt(x, y, w, h, PATCOPY);
  };
  // Five bevel bands each side, each a pixel wide at 96 DPI.
  for (int k = 0; k <= 4; ++k) fill(e(k), e(k), W - e(k), e(k + 1) - e(k), k);
  const int nBandBottom = frame::CaptionBandBottom(ClientTop(hWnd, m_nDpi), PanelOf(hWnd), m_nDpi);
  fill(e(5), e(5), W - e(5), nBandBottom - e(5), 4);
  for (int k = 0; k <= 4; ++k) fill(e(k), e(k), e(k + 1) - e(k), H - e(k), k);
  for (int k = 0; k <= 4; ++k) {
    fill(e(4 - k), H - e(5 - k), W - e(1) - e(4 - k), e(5 - k) - e(4 - k), 5 + k);
  }
  for (int k = 0; k <= 4; ++k) fill(W - e(5 - k), e(4 - k), e(5 - k) - e(4 - k), H - 2 * e(4 - k), 5 + k);

  places.icon = ToCRect(frame::CaptionIconRect(metrics));
  ::DrawIconEx(dc, places.icon.left, places.icon.top, m_hIcon ? m_hIcon : hFallbackIcon, places.icon.Width(),
               places.icon.Height(), 0, nullptr, DI_NORMAL);
  places.icon.OffsetRect(rcWindow.TopLeft());

  const int nOldBkMode = dc.SetBkMode(TRANSPARENT);
  const COLORREF crOldText = dc.SetTextColor(kCaptionText);
  CSelectGuard font(dc, m_captionFont.IsNull() ? ::GetStockObject(SYSTEM_FIXED_FONT) : m_captionFont.GetSafeHandle());
  CRect rcText = ToCRect(frame::CaptionTextRect(metrics));
  CString caption;
  CWnd::FromHandle(hWnd)->GetWindowText(caption);
  dc.DrawText(caption, &rcText, 0);
  // With the fixed-pitch font, blanks as wide as the caption put the red suffix right after it.
  dc.SetTextColor(kCaptionSuffix);
  CString suffix(' ', caption.GetLength());
  suffix += ".Net";
  dc.DrawText(suffix, &rcText, 0);
  dc.SetBkMode(nOldBkMode);
  dc.SetTextColor(crOldText);

  const frame::CaptionButtons buttons = frame::CaptionButtonRects(metrics);
  const dpi::Rect* rects[kButtonCount] = {&buttons.close, &buttons.minimize, &buttons.help};
  for (int b = 0; b < kButtonCount; ++b) {
    places.buttons[b] = ToCRect(*rects[b]);
    Blit(dc, m_buttons[b][0], places.buttons[b].left, places.buttons[b].top);
    places.buttons[b].OffsetRect(rcWindow.TopLeft());
  }
  return places;
}

void CPaintedFrame::PaintButton(CDC& dc, HWND hWnd, Button button, bool bHot, const CRect& rcScreen) {
  UpdateForDpi(hWnd);
  CRect rcWindow;
  ::GetWindowRect(hWnd, &rcWindow);
  Blit(dc, m_buttons[button][bHot ? 1 : 0], rcScreen.left - rcWindow.left, rcScreen.top - rcWindow.top);
}

void CPaintedFrame::PaintPanel(CDC& dc, HWND hWnd) {
  UpdateForDpi(hWnd);
  const dpi::Rect panel = PanelOf(hWnd);
  dc.Rectangle(panel.left, panel.top, panel.right, panel.bottom);  // the default pen and brush
  const dpi::Rect rcBanner = frame::BannerRect(panel, m_nDpi, BaseUnitsOf(hWnd).cy);
  const CSize size(rcBanner.Width(), rcBanner.Height());
  if (m_banner.IsNull() || !(m_bannerSize == size)) {
    m_banner.DeleteObject();
    AfxLoadBitmapForDpi(m_banner, IDB_BANNER, size, m_nDpi);
    m_bannerSize = size;
  }
  Blit(dc, m_banner, rcBanner.left, rcBanner.top);
}
