// Shared by the bitmap-menu tests: forced platform and theme answers, an emptied image store, and
// a magenta canvas that drawing is read back from.
#pragma once

#include "BCMenu.h"

#include <gtest/gtest.h>

#include "WinTestSupport.h"
#include "bcmenu/BCMenuTestRes.h"

namespace {

constexpr int kModernNT = 1;  // NT 6 and later
constexpr int kWin2000 = 6;
constexpr int kWinXP = 7;
constexpr COLORREF kMagenta = RGB(255, 0, 255);  // nothing of the menu uses it

class BCMenuProbe : public BCMenu {
 public:
  using BCMenu::s_classicTheme;
  using BCMenu::s_classicThemeDone;
  using BCMenu::s_platformClass;
  using BCMenu::s_sharedImageIds;
  static CImageList& SharedImages() { return *s_sharedImages; }
  static void ResetSharedImages() {
    s_sharedImages.reset();
    s_sharedImageIds.clear();
  }
  // A platform code and a settled theme answer, as if the process had started there.
  static void Force(int nPlatform, bool bClassicTheme = false) {
    s_platformClass = nPlatform;
    s_classicTheme = bClassicTheme;
    s_classicThemeDone = 1;
  }
};

// Every test starts with an empty image store and leaves the real platform and theme answers.
class BCMenuTestBase : public ::testing::Test {
 protected:
  void SetUp() override { BCMenuProbe::ResetSharedImages(); }
  void TearDown() override {
    BCMenuProbe::Force(m_nPlatform);
    BCMenuProbe::s_classicTheme = m_nTheme;
    BCMenuProbe::s_classicThemeDone = m_nThemeDone;
    BCMenuProbe::ResetSharedImages();
  }
  static COLORREF Sys(int nIndex) { return ::GetSysColor(nIndex); }

 private:
  int m_nPlatform = BCMenuProbe::s_platformClass;
  int m_nTheme = BCMenuProbe::s_classicTheme;
  int m_nThemeDone = BCMenuProbe::s_classicThemeDone;
};

// A 32-bit canvas of the screen's kind, filled with magenta.
class CCanvas : public wintest::CDibCanvas {
 public:
  CCanvas(int cx, int cy) : CDibCanvas(nullptr, cx, cy) { DC().FillSolidRect(0, 0, cx, cy, kMagenta); }
};

}  // namespace
