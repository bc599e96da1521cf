// The main dialog's own frame, caption and caption buttons, and its white panel, read back
// from the screen of the real program.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "E2EDriver.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

const COLORREF kFrame[10] = {RGB(222, 223, 222), RGB(247, 247, 247), RGB(239, 239, 239), RGB(231, 231, 231),
                             RGB(222, 223, 222), RGB(206, 207, 206), RGB(181, 182, 181), RGB(140, 138, 140),
                             RGB(90, 89, 90),    RGB(57, 56, 57)};
const COLORREF kCaptionBlue = RGB(0, 105, 179);
const COLORREF kCaptionRed = RGB(193, 26, 26);

// Bitmap ids: normal and hot image of each caption button.
constexpr int kCloseBitmap = 144;
constexpr int kCloseHotBitmap = 147;
constexpr int kMinimizeBitmap = 148;
constexpr int kMinimizeHotBitmap = 143;
constexpr int kHelpBitmap = 146;
constexpr int kHelpHotBitmap = 145;
constexpr int kBannerBitmap = 154;

class FrameTest : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    const std::string exe = ShippedExe();
    struct {
      Image* image;
      int id;
    } const wanted[] = {{&m_close, kCloseBitmap},       {&m_closeHot, kCloseHotBitmap},
                        {&m_minimize, kMinimizeBitmap}, {&m_minimizeHot, kMinimizeHotBitmap},
                        {&m_help, kHelpBitmap},         {&m_helpHot, kHelpHotBitmap}};
    for (const auto& w : wanted) {
      auto image = LoadExeBitmap(exe, w.id);
      ASSERT_TRUE(image) << "bitmap " << w.id << " is not in the program";
      ASSERT_EQ(image->width, 17);
      ASSERT_EQ(image->height, 16);
      *w.image = *image;
    }
    // The hot-tracking checks below can only tell the images apart if they differ.
    ASSERT_LT(MatchRatio(m_close, m_closeHot), 0.9);
    ASSERT_LT(MatchRatio(m_minimize, m_minimizeHot), 0.9);
    ASSERT_LT(MatchRatio(m_help, m_helpHot), 0.9);
  }

  // Starts the program and shows it on top, freshly painted, the pointer elsewhere.
  void StartOnTop() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));
    ASSERT_TRUE(BringToFront(m_app.dialog));
  }

  double ShownAs(CaptionButton button, const Image& bitmap) const {
    return MatchRatio(CaptureScreen(CaptionButtonRect(m_app.dialog, button)), bitmap);
  }

  bool WaitShownAs(CaptionButton button, const Image& bitmap) const {
    return WaitForScreenMatch(CaptionButtonRect(m_app.dialog, button), bitmap, 0.98, 3000);
  }

  // With the pointer on the button, waits for its hot image. The program repaints the whole
  // frame with the normal images on activation, paint and other notices, so one that lands
  // after the pointer's move takes the hot image away again; a user's pointer is never quite
  // still, so the wait moves it by a pixel inside the button, back and forth, until it shows.
  bool WaitHotUnderPointer(CaptionButton button, const Image& hot) const {
    const RECT r = CaptionButtonRect(m_app.dialog, button);
    const POINT c = CenterOf(r);
    int moves = 0;
    return WaitUntil(
        [&] {
          if (WaitForScreenMatch(r, hot, 0.98, 300)) return true;
          MoveMouse(c.x + (++moves % 2), c.y);
          return false;
        },
        6000, 0);
  }

  // True while the program's thread runs the system's move loop (the caption held down).
  bool InMoveLoop() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(m_app.dialog, nullptr), &info) &&
           (info.flags & GUI_INMOVESIZE) != 0;
  }

  Image m_close, m_closeHot, m_minimize, m_minimizeHot, m_help, m_helpHot;
};

TEST_F(FrameTest, Frame_FourEdges_PaintedInBevelColours) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const RECT w = WindowRectOf(m_app.dialog);
  const int W = w.right - w.left;
  const int H = w.bottom - w.top;
  Shot(w, "main-normal.bmp");

  for (int i = 0; i <= 4; ++i) {
    EXPECT_EQ(ColorText(ScreenPixel(w.left + W / 2, w.top + i)), ColorText(kFrame[i])) << "top edge row " << i;
    EXPECT_EQ(ColorText(ScreenPixel(w.left + i, w.top + H / 2)), ColorText(kFrame[i])) << "left edge column " << i;
  }
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(ColorText(ScreenPixel(w.left + W / 2, w.top + H - 5 + k)), ColorText(kFrame[5 + k]))
        << "bottom edge row H-5+" << k;
    EXPECT_EQ(ColorText(ScreenPixel(w.left + W - 5 + k, w.top + H / 2)), ColorText(kFrame[5 + k]))
        << "right edge column W-5+" << k;
  }
  // The caption band between the text and the buttons.
  EXPECT_EQ(ColorText(ScreenPixel(w.left + W / 2, w.top + 15)), ColorText(kFrame[4]));
}

TEST_F(FrameTest, Frame_Caption_IconThenBlueNameThenRedSuffix) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const RECT w = WindowRectOf(m_app.dialog);
  const int W = w.right - w.left;

  const RECT band{w.left + 28, w.top + 5, w.left + W / 2, w.top + 29};
  const Image caption = CaptureScreen(band);
  ASSERT_FALSE(caption.Empty());
  int blueRight = -1;
  int redLeft = caption.width;
  for (int y = 0; y < caption.height; ++y) {
    for (int x = 0; x < caption.width; ++x) {
      if (caption.At(x, y) == kCaptionBlue) blueRight = std::max(blueRight, x);
      if (caption.At(x, y) == kCaptionRed) redLeft = std::min(redLeft, x);
    }
  }
  EXPECT_GT(caption.Count(kCaptionBlue), 30) << "no blue caption text";
  EXPECT_GT(caption.Count(kCaptionRed), 15) << "no red \".Net\"";
  EXPECT_LT(blueRight, redLeft) << "the red suffix does not follow the blue name";
  EXPECT_EQ(caption.CountOther({kCaptionBlue, kCaptionRed, kFrame[4]}), 0)
      << "the caption band holds other colours than its text and the band colour";

  const int fy = GetSystemMetrics(SM_CYFRAME);
  // The dialog's icon is the standard-size one, drawn shrunk to 16 x 16.
  auto icon = RenderExeIcon(ShippedExe(), kAppIconId, SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)},
                            SIZE{16, 16}, kFrame[4]);
  ASSERT_TRUE(icon);
  EXPECT_GE(MatchRatio(CaptureScreen(RECT{w.left + 9, w.top + fy, w.left + 25, w.top + fy + 16}), *icon, 16), 0.9)
      << "the application icon is not at (9, SM_CYFRAME)";
}

TEST_F(FrameTest, CaptionButtons_PointerElsewhere_ShowNormalBitmapsAtTheirPlaces) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  EXPECT_GE(ShownAs(CaptionButton::Close, m_close), 0.98);
  EXPECT_GE(ShownAs(CaptionButton::Minimize, m_minimize), 0.98);
  EXPECT_GE(ShownAs(CaptionButton::Help, m_help), 0.98);
}

TEST_F(FrameTest, CaptionButtons_PointerMovesAcross_HotImageFollowsPointer) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const RECT w = WindowRectOf(m_app.dialog);

  const POINT close = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Close));
  ASSERT_TRUE(MoveMouse(close.x, close.y));
  EXPECT_TRUE(WaitHotUnderPointer(CaptionButton::Close, m_closeHot)) << "Close is not hot under the pointer";
  EXPECT_GE(ShownAs(CaptionButton::Minimize, m_minimize), 0.98);
  EXPECT_GE(ShownAs(CaptionButton::Help, m_help), 0.98);
  Shot(RECT{w.left, w.top, w.right, w.top + 40}, "caption-close-hot.bmp");

  const POINT minimize = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Minimize));
  ASSERT_TRUE(MoveMouse(minimize.x, minimize.y));
  EXPECT_TRUE(WaitHotUnderPointer(CaptionButton::Minimize, m_minimizeHot)) << "Minimize is not hot under the pointer";
  EXPECT_TRUE(WaitShownAs(CaptionButton::Close, m_close)) << "Close stayed hot after the pointer left it";

  const POINT help = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Help));
  ASSERT_TRUE(MoveMouse(help.x, help.y));
  EXPECT_TRUE(WaitHotUnderPointer(CaptionButton::Help, m_helpHot)) << "Help is not hot under the pointer";
  EXPECT_TRUE(WaitShownAs(CaptionButton::Minimize, m_minimize));
}

TEST_F(FrameTest, CaptionButtons_ClickMinimize_HidesDialogUntilTrayShowsItInPlace) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const RECT before = WindowRectOf(m_app.dialog);

  const POINT minimize = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Minimize));
  ASSERT_TRUE(Click(minimize.x, minimize.y));
  EXPECT_TRUE(WaitForVisibility(m_app.dialog, false, 5000)) << "a click on Minimize did not hide the dialog";
  EXPECT_FALSE(IsIconic(m_app.dialog)) << "minimized instead of hidden";
  EXPECT_TRUE(m_app.process.IsRunning());

  ASSERT_TRUE(Post(m_app.dialog, kWmTrayNotify, kTrayIconId, WM_LBUTTONUP));
  ASSERT_TRUE(WaitForVisibility(m_app.dialog, true, 5000));
  const RECT after = WindowRectOf(m_app.dialog);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
}

TEST_F(FrameTest, CaptionButtons_ClickClose_EndsProgram) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const POINT close = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Close));
  ASSERT_TRUE(Click(close.x, close.y));
  EXPECT_TRUE(m_app.process.WaitForExit(10000)) << "a click on Close did not end the program";
}

TEST_F(FrameTest, Caption_Dragged_WindowMovesAndButtonsWorkAtNewPlace) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const RECT before = WindowRectOf(m_app.dialog);
  const POINT grip{before.left + 200, before.top + 12};

  ASSERT_TRUE(MoveMouse(grip.x, grip.y));
  ASSERT_TRUE(PressLeft());
  // The moves go to the move loop the press starts; each waits until the pointer is there.
  WaitUntil([&] { return InMoveLoop(); }, 3000, 10);
  for (int step = 1; step <= 10; ++step) MoveMouse(grip.x + 6 * step, grip.y + 4 * step);
  ASSERT_TRUE(ReleaseLeft());

  const bool moved = WaitUntil(
      [&] {
        const RECT now = WindowRectOf(m_app.dialog);
        return now.left == before.left + 60 && now.top == before.top + 40;
      },
      3000);
  const RECT after = WindowRectOf(m_app.dialog);
  ASSERT_TRUE(moved) << "window at " << after.left << "," << after.top << ", expected " << before.left + 60 << ","
                     << before.top + 40;
  EXPECT_EQ(after.right - after.left, before.right - before.left);

  EXPECT_TRUE(WaitShownAs(CaptionButton::Close, m_close)) << "Close is not painted at the new place";
  const POINT close = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Close));
  ASSERT_TRUE(MoveMouse(close.x, close.y));
  EXPECT_TRUE(WaitHotUnderPointer(CaptionButton::Close, m_closeHot)) << "Close is not hot at the new place";

  // Point at Minimize first, as a user does: once it is hot the window has left the move
  // and is taking caption clicks again.
  const POINT minimize = CenterOf(CaptionButtonRect(m_app.dialog, CaptionButton::Minimize));
  ASSERT_TRUE(MoveMouse(minimize.x, minimize.y));
  EXPECT_TRUE(WaitHotUnderPointer(CaptionButton::Minimize, m_minimizeHot)) << "Minimize is not hot at the new place";
  ASSERT_TRUE(Click(minimize.x, minimize.y));
  EXPECT_TRUE(WaitForVisibility(m_app.dialog, false, 5000)) << "Minimize at the new place did not hide the dialog";
}

TEST_F(FrameTest, Panel_ClientArea_WhitePanelWithBlackOutlineAndBanner) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  HWND d = m_app.dialog;
  EXPECT_EQ(ColorText(ClientPixel(d, 10, 100)), ColorText(RGB(255, 255, 255)));
  EXPECT_EQ(ColorText(ClientPixel(d, 7, 100)), ColorText(RGB(0, 0, 0))) << "left outline";
  EXPECT_EQ(ColorText(ClientPixel(d, 515, 100)), ColorText(RGB(0, 0, 0))) << "right outline";
  EXPECT_EQ(ColorText(ClientPixel(d, 300, 319)), ColorText(RGB(0, 0, 0))) << "bottom outline";
  EXPECT_EQ(ColorText(ClientPixel(d, 3, 100)), ColorText(RGB(222, 223, 222))) << "dialog background";
  EXPECT_EQ(ColorText(ClientPixel(d, 300, 322)), ColorText(RGB(222, 223, 222))) << "dialog background";

  auto banner = LoadExeBitmap(ShippedExe(), kBannerBitmap);
  ASSERT_TRUE(banner);
  ASSERT_EQ(banner->width, 507);
  ASSERT_EQ(banner->height, 61);
  POINT origin{8, 8};
  ASSERT_TRUE(ClientToScreen(d, &origin));
  // The home page link is drawn over the banner's right part.
  const Image shown = CaptureScreen(RECT{origin.x, origin.y, origin.x + 300, origin.y + 61});
  EXPECT_GE(MatchRatio(shown, banner->Crop(0, 0, 300, 61)), 0.99) << "the banner is not at (8, 8)";
}

}  // namespace
