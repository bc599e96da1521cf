// Shared by the bitmap-menu tests: forcing the platform and theme answers, emptying the shared
// image store, and drawing single images and items onto a canvas that is read back.
#pragma once

#include "BCMenu.h"

#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "bcmenu/BCMenuTestRes.h"

namespace {

constexpr int kModernNT = 1;  // NT 6 and later
constexpr int kWin2000 = 6;
constexpr int kWinXP = 7;
constexpr COLORREF kMagenta = RGB(255, 0, 255);  // canvas colour nothing of the menu uses

// The tests' view of the process-wide state.
class BCMenuProbe : public BCMenu {
 public:
  using BCMenu::s_classicTheme;
  using BCMenu::s_classicThemeDone;
  using BCMenu::s_platformClass;
  using BCMenu::s_sharedImageIds;

  static CImageList* SharedImages() { return s_sharedImages.get(); }
  static void ResetSharedImages() {
    s_sharedImages.reset();
    s_sharedImageIds.clear();
  }
  // The platform code and a settled theme answer, as if the process had started there.
  static void Force(int nPlatform, bool bClassicTheme = false) {
    s_platformClass = nPlatform;
    s_classicTheme = bClassicTheme ? 1 : 0;
    s_classicThemeDone = 1;
  }
};

// Every test starts with an empty image store and leaves the real platform and theme answers.
class BCMenuTestBase : public ::testing::Test {
 protected:
  void SetUp() override {
    m_nPlatform = BCMenuProbe::s_platformClass;
    m_nTheme = BCMenuProbe::s_classicTheme;
    m_nThemeDone = BCMenuProbe::s_classicThemeDone;
    BCMenuProbe::ResetSharedImages();
  }
  void TearDown() override {
    BCMenuProbe::s_platformClass = m_nPlatform;
    BCMenuProbe::s_classicTheme = m_nTheme;
    BCMenuProbe::s_classicThemeDone = m_nThemeDone;
    BCMenuProbe::ResetSharedImages();
  }

  static COLORREF Sys(int nIndex) { return ::GetSysColor(nIndex); }

 private:
  int m_nPlatform = 0;
  int m_nTheme = 0;
  int m_nThemeDone = 0;
};

// A 32-bit canvas of the screen's kind, filled with magenta.
class CCanvas : public wintest::CDibCanvas {
 public:
  CCanvas(int cx, int cy) : CDibCanvas(ScreenDC(), cx, cy) { DC().FillSolidRect(0, 0, cx, cy, kMagenta); }

 private:
  static HDC ScreenDC() {
    static HDC hdc = ::GetDC(nullptr);  // kept for the process: only a reference for the canvas
    return hdc;
  }
};

// One image of a list drawn transparently at (0, 0) of a magenta canvas.
inline wintest::CPixels DrawListImage(CImageList& list, int nImage) {
  CCanvas canvas(16, 15);
  list.Draw(canvas.DC(), nImage, CPoint(0, 0), ILD_TRANSPARENT);
  return canvas.Read();
}

}  // namespace
