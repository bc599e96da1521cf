#pragma once
// The main dialog's own frame, caption, caption buttons, white panel and banner, painted at the
// window's DPI from pictures drawn for it (FrameGeometry.h says where).
#include "afxwin.h"

class CPaintedFrame {
 public:
  enum Button { kClose, kMinimize, kHelp, kButtonCount };

  CPaintedFrame() = default;
  ~CPaintedFrame();
  CPaintedFrame(const CPaintedFrame&) = delete;
  CPaintedFrame& operator=(const CPaintedFrame&) = delete;

  // Makes the caption font and loads the pictures for the window's DPI when it differs from
  // the one they were made for.
  void UpdateForDpi(HWND hWnd);
  UINT Dpi() const { return m_nDpi; }

  // Screen rectangles of what PaintFrame painted last.
  struct Places {
    CRect icon;
    CRect buttons[kButtonCount];
  };
  // Through a DC of the whole window.
  Places PaintFrame(CDC& dc, HWND hWnd, HICON hFallbackIcon);
  // One caption button at rcScreen, normal or hot, through a DC of the whole window.
  void PaintButton(CDC& dc, HWND hWnd, Button button, bool bHot, const CRect& rcScreen);
  // The white panel and the banner, through a DC of the client area.
  void PaintPanel(CDC& dc, HWND hWnd);

 private:
  UINT m_nDpi = 0;
  CFont m_captionFont;  // none: the stock fixed font, as drawn at 96 DPI
  CBitmap m_buttons[kButtonCount][2];
  HICON m_hIcon = nullptr;
  CBitmap m_banner;
  CSize m_bannerSize;
};
