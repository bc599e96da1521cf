#include <gtest/gtest.h>

#include "FrameGeometry.h"
#include "afxdpimath.h"

namespace {

const unsigned kDpis[] = {96, 120, 144, 168, 192, 240};

TEST(DpiScaleTest, ScaleAndFontHeight_HalvesRoundAwayFromZero_SignAndZeroKept) {
  EXPECT_EQ(dpi::Scale(17, 144), 26);             // 25.5
  EXPECT_EQ(dpi::Scale(-3, 144), -5);             // -4.5
  EXPECT_EQ(dpi::FontHeight(-11, 96, 144), -17);  // a character height stays negative
  EXPECT_EQ(dpi::FontHeight(24, 144, 96), 16);    // a cell height made for the system DPI
  EXPECT_EQ(dpi::FontHeight(0, 96, 192), 0);      // the mapper's default stays the default
  EXPECT_EQ(dpi::MulDivRound(7, 9, 0), 7);
  for (int v : {-7, 0, 1, 17, 516}) EXPECT_EQ(dpi::Scale(v, 96), v);
  EXPECT_EQ(dpi::ScaleRect({7, 7, 516, 320}, 144), (dpi::Rect{11, 11, 774, 480}));
}

TEST(DpiScaleTest, ChooseImage_EachDpi_DrawnVariantOrNearestLargerResampled) {
  const struct {
    unsigned dpi;
    int variant;
    bool resample;
  } cases[] = {{96, 0, false}, {120, 1, false}, {144, 2, false}, {192, 3, false},
               {72, 0, true},  {108, 1, true},  {168, 3, true},  {240, 3, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.dpi);
    EXPECT_EQ(dpi::ChooseImage(c.dpi).variant, c.variant);
    EXPECT_EQ(dpi::ChooseImage(c.dpi).resample, c.resample);
  }
  EXPECT_EQ(dpi::VariantResourceId(154, 2), 2154);
}

TEST(DpiScaleTest, Resample_AveragesCoveredArea) {
  // Black and white columns halved: every channel the mean; the same size: untouched.
  const std::vector<uint32_t> stripes = {0x00000000, 0xFFFFFFFF, 0x00000000, 0xFFFFFFFF};
  EXPECT_EQ(dpi::Resample(stripes, 2, 2, 1, 1), std::vector<uint32_t>{0x80808080});
  EXPECT_EQ(dpi::Resample(stripes, 2, 2, 2, 2), stripes);
  // Three pixels into two: the middle one splits between both.
  EXPECT_EQ(dpi::Resample({0x000000FF, 0x00000000, 0x00000030}, 3, 1, 2, 1),
            (std::vector<uint32_t>{0x000000AA, 0x00000020}));
  EXPECT_EQ(dpi::Resample({0x00123456}, 1, 1, 3, 2), std::vector<uint32_t>(6, 0x00123456));
  EXPECT_TRUE(dpi::Resample(stripes, 2, 2, 0, 3).empty());
  EXPECT_TRUE(dpi::Resample(stripes, 3, 3, 1, 1).empty()) << "fewer pixels than the size says";
}

TEST(DpiScaleTest, CaptionButtons_At96AsEver_ElsewhereGrownSideBySideInsideFrame) {
  const frame::Metrics m96{529, 4, 4, 96};
  const frame::CaptionButtons b96 = frame::CaptionButtonRects(m96);
  EXPECT_EQ(b96.close, (dpi::Rect{503, 4, 520, 20}));
  EXPECT_EQ(b96.minimize, (dpi::Rect{483, 4, 500, 20}));
  EXPECT_EQ(b96.help, (dpi::Rect{463, 4, 480, 20}));
  EXPECT_EQ(frame::CaptionIconRect(m96), (dpi::Rect{9, 4, 25, 20}));
  EXPECT_EQ(frame::CaptionTextRect(m96), (dpi::Rect{28, 5, 525, 35}));

  for (unsigned d : kDpis) {
    SCOPED_TRACE(d);
    const frame::Metrics m{dpi::Scale(529, d), dpi::Scale(4, d), dpi::Scale(4, d), d};
    const frame::CaptionButtons b = frame::CaptionButtonRects(m);
    for (const dpi::Rect& r : {b.close, b.minimize, b.help}) {
      EXPECT_EQ(r.Width(), dpi::Scale(frame::kCaptionButtonWidth, d));
      EXPECT_EQ(r.Height(), dpi::Scale(frame::kCaptionButtonHeight, d));
      EXPECT_GE(r.top, 0);
    }
    EXPECT_LE(b.close.right, m.windowWidth - m.frameX);
    EXPECT_LT(b.minimize.right, b.close.left);
    EXPECT_LT(b.help.right, b.minimize.left);
    EXPECT_LT(frame::CaptionIconRect(m).right, frame::CaptionTextRect(m).left);
  }
}

TEST(DpiScaleTest, Panel_FollowsDialogUnits_BannerFillsItAndBandStopsAbove) {
  const dpi::Rect panel96 = frame::PanelRect(6, 13);
  EXPECT_EQ(panel96, (dpi::Rect{7, 7, 516, 320}));
  EXPECT_EQ(frame::BannerRect(panel96, 96, 13), (dpi::Rect{8, 8, 515, 69}));
  EXPECT_EQ(frame::CaptionBandBottom(22, panel96, 96), 29);

  // Base units of a larger font: the panel keeps its share of a client area made of them.
  const dpi::Rect panel = frame::PanelRect(9, 20);
  EXPECT_NEAR(panel.Width() / (349 * 9 / 4.0), panel96.Width() / (349 * 6 / 4.0), 0.005);
  EXPECT_NEAR(panel.Height() / (243 * 20 / 8.0), panel96.Height() / (243 * 13 / 8.0), 0.005);
  const dpi::Rect banner = frame::BannerRect(panel, 144, 20);
  EXPECT_EQ(banner.Width(), panel.Width() - 2);
  EXPECT_EQ(banner.Height(), dpi::Scale(frame::kBannerHeight, 144));
  // A dialog that grew less than the DPI (base units of 150 % at 200 %): no taller than the panel grew.
  EXPECT_EQ(frame::BannerRect(panel, 192, 20).Height(), 94);
  EXPECT_EQ(frame::CaptionBandBottom(31, panel, 144), 31 + panel.top) << "over the panel's top edge";
}

}  // namespace
