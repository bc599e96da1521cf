#pragma once
// Where the main dialog paints its caption, caption buttons, white panel and banner, at any DPI.
// Window coordinates unless said otherwise. No Windows headers: the native suite checks it.
#include <algorithm>

#include "afxdpimath.h"

namespace frame {

// The caption buttons' pictures and the banner as drawn for 96 DPI.
constexpr int kCaptionButtonWidth = 17;
constexpr int kCaptionButtonHeight = 16;
constexpr int kBannerWidth = 507;
constexpr int kBannerHeight = 61;

// The system's frame metrics (SM_CXFRAME, SM_CYFRAME) at the window's DPI.
struct Metrics {
  int windowWidth;
  int frameX;
  int frameY;
  unsigned dpi;
};

struct CaptionButtons {
  dpi::Rect close, minimize, help;
};

inline CaptionButtons CaptionButtonRects(const Metrics& m) {
  const int right = m.windowWidth - m.frameX;
  const int top = 2 * m.frameY - dpi::Scale(4, m.dpi);
  auto at = [&](int fromRight) {
    const int left = right - dpi::Scale(fromRight, m.dpi);
    return dpi::Rect{left, top, left + dpi::Scale(kCaptionButtonWidth, m.dpi),
                     top + dpi::Scale(kCaptionButtonHeight, m.dpi)};
  };
  return CaptionButtons{at(22), at(42), at(62)};
}

inline dpi::Rect CaptionIconRect(const Metrics& m) {
  const int left = dpi::Scale(9, m.dpi);
  const int size = dpi::Scale(16, m.dpi);
  return dpi::Rect{left, m.frameY, left + size, m.frameY + size};
}

inline dpi::Rect CaptionTextRect(const Metrics& m) {
  return dpi::Rect{dpi::Scale(28, m.dpi), 2 * m.frameY - dpi::Scale(3, m.dpi), m.windowWidth - m.frameX,
                   2 * m.frameY + dpi::Scale(27, m.dpi)};
}

// The dialog's base units (MapDialogRect of 4 x 8 units) for which the panel was laid out in
// pixels: MS Sans Serif 8 at 96 DPI.
constexpr int kLayoutBaseX = 6;
constexpr int kLayoutBaseY = 13;

// The white panel, in client coordinates. It frames controls placed in dialog units, so it
// follows the dialog's base units rather than the DPI: the font the units come from does not
// grow exactly as the DPI does.
inline dpi::Rect PanelRect(int baseX, int baseY) {
  return dpi::Rect{dpi::MulDivRound(7, baseX, kLayoutBaseX), dpi::MulDivRound(7, baseY, kLayoutBaseY),
                   dpi::MulDivRound(516, baseX, kLayoutBaseX), dpi::MulDivRound(320, baseY, kLayoutBaseY)};
}

// The banner fills the panel's width inside its outline and is as tall as the DPI makes it, or
// as the panel grew where that is less (baseY, the dialog's vertical base unit).
inline dpi::Rect BannerRect(const dpi::Rect& panel, unsigned nDpi, int baseY) {
  const int height = std::min(dpi::Scale(kBannerHeight, nDpi), dpi::MulDivRound(kBannerHeight, baseY, kLayoutBaseY));
  return dpi::Rect{panel.left + 1, panel.top + 1, panel.right - 1, panel.top + 1 + height};
}

// The caption band's lower edge: as drawn at 96 DPI, but never over the panel, whose top lies
// clientTop (the client area's top in the window) further down.
inline int CaptionBandBottom(int clientTop, const dpi::Rect& panel, unsigned nDpi) {
  return std::min(dpi::Scale(29, nDpi), clientTop + panel.top);
}

}  // namespace frame
