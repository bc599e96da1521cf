// The finished look of the main dialog's controls on the screen: label and bar colours, the
// command buttons' hover face and tooltips, check boxes on the white panel.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "E2EDriver.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kLabelGrey = RGB(115, 115, 115);
const COLORREF kPhysRed = RGB(193, 26, 26);
const COLORREF kBarBlue = RGB(82, 138, 189);
const COLORREF kBarBack = RGB(231, 231, 231);
const COLORREF kButtonFace = RGB(214, 214, 214);
const COLORREF kDialogGrey = RGB(222, 223, 222);
const COLORREF kLinkGrey = RGB(100, 100, 100);

class AppearanceTest : public ProgramTest {
 protected:
  void StartOnTop() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));
    ASSERT_TRUE(BringToFront(m_app.dialog));
  }

  Image Control(int id) const { return CaptureScreen(ControlScreenRect(m_app.dialog, id)); }

  // A point on a button's face, clear of its rounded corner, caption and icon.
  POINT FacePoint(int id) const {
    const RECT r = ControlScreenRect(m_app.dialog, id);
    return POINT{r.left + 3, (r.top + r.bottom) / 2};
  }

  // Percentage text of a label, e.g. "94.79%" -> 94.79.
  double Percent(int id) const {
    const std::string text = ControlText(m_app.dialog, id).value_or("");
    return text.empty() ? -1.0 : std::atof(text.c_str());
  }

  // Columns of the bar's middle row painted in the bar colour, counted from the left.
  static int FilledColumns(const Image& bar, COLORREF color) {
    int n = 0;
    while (n < bar.width && bar.At(n, bar.height / 2) == color) ++n;
    return n;
  }
};

TEST_F(AppearanceTest, MainDialog_Shown_GreyLabelsOnWhiteAndGreyUnderlinedLink) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  Shot(WindowRectOf(m_app.dialog), "appearance-main.bmp");

  for (int id : {1008, 1009, 1011, 1012, 1013, 1014, 1015, 1016, 1018, 1026, 1027, 1028, 1029}) {
    const Image label = Control(id);
    EXPECT_GT(label.Count(kLabelGrey), 5) << "control " << id << " shows no grey text";
    EXPECT_EQ(label.Count(kPhysRed), 0) << "control " << id << " shows red";
    EXPECT_GT(label.Count(kWhite), label.width * label.height / 3) << "control " << id << " is not on white";
  }
  const Image link = Control(1007);
  EXPECT_GT(link.Count(kLinkGrey), 20) << "the home page link is not grey";
  // Always underlined: a run of link-grey pixels across most of a row.
  int longestRow = 0;
  for (int y = 0; y < link.height; ++y) {
    int run = 0;
    for (int x = 0; x < link.width; ++x) {
      run = link.At(x, y) == kLinkGrey ? run + 1 : 0;
      longestRow = std::max(longestRow, run);
    }
  }
  EXPECT_GT(longestRow, link.width * 2 / 3) << "the home page link is not underlined";
}

TEST_F(AppearanceTest, AvailablePhysical_FigureAndBar_RedOthersBlueWithoutText) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  // Refreshes repaint the figures every second; the colours hold for every refresh.
  const Image figure = Control(1017);
  EXPECT_GT(figure.Count(kPhysRed), 10) << "the available physical figure is not red";
  EXPECT_EQ(figure.Count(kLabelGrey), 0) << "the available physical figure has grey text";

  struct Bar {
    int bar;
    int percent;
    COLORREF color;
  } const bars[] = {{1022, 1026, kPhysRed}, {1023, 1027, kBarBlue}, {1024, 1028, kBarBlue}, {1025, 1029, kBarBlue}};
  for (const Bar& b : bars) {
    const double percent = Percent(b.percent);
    const Image bar = Control(b.bar);
    ASSERT_FALSE(bar.Empty());
    EXPECT_EQ(bar.CountOther({b.color, kBarBack}), 0)
        << "bar " << b.bar << " shows more than its two colours (a caption?)";
    EXPECT_EQ(bar.Count(b.color == kPhysRed ? kBarBlue : kPhysRed), 0) << "bar " << b.bar << " in the wrong colour";
    ASSERT_GE(percent, 0.0) << "no percentage beside bar " << b.bar;
    const int expected = static_cast<int>(bar.width * percent / 100.0);
    EXPECT_NEAR(FilledColumns(bar, b.color), expected, 2) << "bar " << b.bar << " at " << percent << "%";
  }
  // The memory bars have something to show here, so their colour is really tested.
  EXPECT_GT(Control(1022).Count(kPhysRed), 0);
  EXPECT_GT(Control(1024).Count(kBarBlue), 0);
}

TEST_F(AppearanceTest, CommandButton_PointerOverThenAway_FaceTurnsWhiteThenGreyAgain) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  const POINT face = FacePoint(1035);
  ASSERT_EQ(ColorText(ScreenPixel(face.x, face.y)), ColorText(kButtonFace));

  const POINT center = CenterOf(ControlScreenRect(m_app.dialog, 1035));
  ASSERT_TRUE(MoveMouse(center.x, center.y));
  EXPECT_TRUE(WaitForScreenPixel(face.x, face.y, kWhite, 3000))
      << "Exit's face under the pointer is " << ColorText(ScreenPixel(face.x, face.y));
  const POINT other = FacePoint(1034);
  EXPECT_EQ(ColorText(ScreenPixel(other.x, other.y)), ColorText(kButtonFace)) << "Help lit up as well";
  Shot(WindowRectOf(m_app.dialog), "appearance-exit-hover.bmp");

  ParkMouse();
  EXPECT_TRUE(WaitForScreenPixel(face.x, face.y, kButtonFace, 3000))
      << "Exit's face after the pointer left is " << ColorText(ScreenPixel(face.x, face.y));
  EXPECT_TRUE(m_app.process.IsRunning());
}

TEST_F(AppearanceTest, CommandButtons_PointerRests_TooltipNamesCommand) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  struct {
    int id;
    const char* tip;
  } const buttons[] = {{1033, "About Mnemora.Net"},
                       {1034, "Help of Mnemora.Net"},
                       {1036, "Start the RAM/Memory optimization"},  // hover only: never click it
                       {1035, "Exit from Mnemora.Net"}};
  for (const auto& b : buttons) {
    const POINT center = CenterOf(ControlScreenRect(m_app.dialog, b.id));
    ASSERT_TRUE(MoveMouse(center.x, center.y));
    HWND tip = WaitForVisibleTooltip(m_app.Pid(), 4000);
    EXPECT_NE(tip, nullptr) << "no tooltip over button " << b.id;
    if (tip) {
      EXPECT_EQ(WindowText(tip).value_or("?"), b.tip) << "button " << b.id;
      if (b.id == 1035) {
        RECT both{};
        const RECT dialog = WindowRectOf(m_app.dialog);
        const RECT tipRect = WindowRectOf(tip);
        UnionRect(&both, &dialog, &tipRect);
        Shot(both, "appearance-tooltip.bmp");
      }
    }
    ParkMouse();
    EXPECT_TRUE(WaitUntil([&] { return FindVisibleTooltip(m_app.Pid()) == nullptr; }, 4000))
        << "the tooltip of " << b.id << " stayed after the pointer left";
  }
  EXPECT_EQ(ControlText(m_app.dialog, 1029), std::optional<std::string>("0.00%")) << "a pass was started";
}

TEST_F(AppearanceTest, CheckBoxes_Shown_OnWhiteWithoutGreyBox) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  for (int id : {1030, 1046, 1047}) {
    const Image box = Control(id);
    ASSERT_FALSE(box.Empty());
    EXPECT_EQ(ColorText(box.At(box.width - 2, box.height / 2)), ColorText(kWhite))
        << "check box " << id << " beyond its text";
    EXPECT_EQ(box.Count(kDialogGrey), 0) << "check box " << id << " paints the dialog's grey";
    EXPECT_GT(box.Count(kWhite), box.width * box.height / 2) << "check box " << id;
  }
}

}  // namespace
