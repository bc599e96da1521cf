// The About dialog of the real program: how it opens and closes, what it shows, and what a
// link click tells the user when no program is registered for web pages.

#include <windows.h>

#include <gtest/gtest.h>

#include "E2EDriver.h"
#include "ProductInfo.h"
#include "UiSupport.h"

namespace {

using namespace e2e;

const char kAboutTitle[] = "About Mnemora.Net";

class AboutTest : public ProgramTest {
 protected:
  void StartOnTop() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(WaitUntilOnScreen(m_app.dialog));
    ASSERT_TRUE(BringToFront(m_app.dialog));
  }

  HWND WaitForAbout() { return WaitForTopLevelWindow(m_app.Pid(), kAboutTitle, 5000, "#32770"); }

  // Opens About with a real click on the main dialog's About button; returns once it is painted.
  HWND OpenAboutByClick() {
    const POINT about = CenterOf(ControlScreenRect(m_app.dialog, 1033));
    const Image screen = CaptureScreen();
    if (!Click(about.x, about.y)) return nullptr;
    HWND dialog = WaitForAbout();
    if (dialog && WaitForVisibility(dialog, true, 5000))
      CaptureSettled(WindowRectOf(dialog), screen.Crop(WindowRectOf(dialog)));
    return dialog;
  }

  static bool PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return SendInput(2, input, sizeof(INPUT)) == 2;
  }

  // Clicks a link and returns the box that reports the failure, or null. Under Wine a
  // synthesized click on a freshly shown dialog is now and then swallowed; the notification
  // that click would have sent is then delivered directly, so the open-and-report path is
  // still what is tested.
  HWND ClickLinkForErrorBox(HWND dialog, int linkId) {
    const POINT link = CenterOf(ControlScreenRect(dialog, linkId));
    if (!Click(link.x, link.y)) return nullptr;
    if (HWND box = WaitForMessageBox(m_app.Pid(), 10000, dialog)) return box;
    HWND hLink = GetDlgItem(dialog, linkId);
    if (!Post(dialog, WM_COMMAND, MAKEWPARAM(linkId, STN_CLICKED), reinterpret_cast<LPARAM>(hLink))) return nullptr;
    return WaitForMessageBox(m_app.Pid(), 10000, dialog);
  }
};

TEST_F(AboutTest, AboutButton_Clicked_OpensAboutDisablesMainAndEnterClosesIt) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  HWND about = OpenAboutByClick();
  ASSERT_NE(about, nullptr) << "no About dialog after a click on About";
  EXPECT_FALSE(IsWindowEnabled(m_app.dialog)) << "the main dialog stays usable while About is open";

  ASSERT_TRUE(BringToFront(about));
  ParkMouse();
  Shot(WindowRectOf(about), "about.bmp");

  ASSERT_TRUE(SetForegroundWindow(about));
  WaitUntil([&] { return GetForegroundWindow() == about; }, 3000);
  SyncWithThreadOf(about);  // activated, with the focus on its default button
  ASSERT_TRUE(PressKey(VK_RETURN));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "Enter did not close About";
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(m_app.dialog) != FALSE; }, 5000))
      << "the main dialog stayed disabled after About closed";
  EXPECT_TRUE(IsWindowVisible(m_app.dialog));
  EXPECT_TRUE(m_app.process.IsRunning());
}

TEST_F(AboutTest, AboutDialog_Opened_ShowsTitleNoticeVersionAndLinks) {
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  HWND about = OpenAboutByClick();
  ASSERT_NE(about, nullptr);

  EXPECT_EQ(WindowText(about), std::optional<std::string>(kAboutTitle));
  EXPECT_EQ(ControlText(about, 1043), std::optional<std::string>("Mnemora.Net\n"));
  EXPECT_EQ(ControlText(about, 1008), std::optional<std::string>(MNEMORA_RIGHTS));
  EXPECT_EQ(ControlText(about, 1009), std::optional<std::string>("Version: Mnemora.Net 3.1"));
  EXPECT_EQ(ControlText(about, 1044), std::optional<std::string>(MNEMORA_HOMEPAGE));
  EXPECT_EQ(ControlText(about, 1039), std::optional<std::string>("E-mail: " MNEMORA_SUPPORT_MAIL));
  EXPECT_EQ(ControlText(about, IDOK), std::optional<std::string>("&Close"));

  ASSERT_TRUE(BringToFront(about));
  ParkMouse();
  EXPECT_EQ(ColorText(ClientPixel(about, 2, 2)), ColorText(RGB(222, 223, 222))) << "About's background";
  for (int link : {1044, 1039})
    EXPECT_GT(CaptureScreen(ControlScreenRect(about, link)).Count(RGB(100, 100, 100)), 20)
        << "link " << link << " is not grey";
  EXPECT_GT(CaptureScreen(ControlScreenRect(about, 1043)).Count(RGB(115, 115, 115)), 20) << "the title is not grey";
  const RECT close = ControlScreenRect(about, IDOK);
  EXPECT_EQ(ColorText(ScreenPixel(close.left + 3, (close.top + close.bottom) / 2)), ColorText(RGB(214, 214, 214)))
      << "the Close button's face";
}

TEST_F(AboutTest, TrayAboutCommand_WhileHidden_ShowsAboutAloneAndMainStaysHidden) {
  ASSERT_NO_FATAL_FAILURE(Start());
  ASSERT_TRUE(Post(m_app.dialog, WM_SYSCOMMAND, SC_MINIMIZE, 0));
  ASSERT_TRUE(WaitForVisibility(m_app.dialog, false, 5000));

  ASSERT_TRUE(Post(m_app.dialog, WM_COMMAND, 1033, 0));
  HWND about = WaitForAbout();
  ASSERT_NE(about, nullptr) << "the tray's About command opened no About dialog";
  EXPECT_TRUE(WaitForVisibility(about, true, 5000));
  EXPECT_FALSE(IsWindowVisible(m_app.dialog)) << "About brought the hidden main dialog back";

  ASSERT_TRUE(SendWithTimeout(GetDlgItem(about, IDOK), BM_CLICK, 0, 0));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000)) << "Close did not close About";
  ASSERT_TRUE(SyncWithThreadOf(m_app.dialog));
  // Nothing is left queued that could show it; a late show still ends this watch at once.
  WaitUntil([&] { return IsWindowVisible(m_app.dialog) != FALSE; }, 1000);
  EXPECT_FALSE(IsWindowVisible(m_app.dialog)) << "the main dialog showed itself after About closed";
  EXPECT_TRUE(m_app.process.IsRunning());
}

// A fresh Wine prefix registers winebrowser for web pages and mail, and then a click
// "succeeds" without a browser; with no handler the shell reports no association (31).
const char kNoBrowserText[] =
    "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.";

TEST_F(AboutTest, AboutLinks_ClickedWithNoBrowserRegistered_ReportNoAssociationAndAboutStaysOpen) {
  NoBrowserRegistered noBrowser;
  ASSERT_TRUE(noBrowser.Ok()) << "could not remove the browser registration";
  ASSERT_NO_FATAL_FAILURE(StartOnTop());
  HWND about = OpenAboutByClick();
  ASSERT_NE(about, nullptr);

  // The web link twice: a failed click leaves the link usable.
  int round = 0;
  ULONGLONG lastClick = GetTickCount64();  // the click that opened About
  for (int link : {1044, 1044, 1039}) {
    ++round;
    // Well apart, so that the static control does not take two clicks for a double click.
    WaitUntil([&] { return GetTickCount64() - lastClick > GetDoubleClickTime() + 200; }, 5000, 10);
    ASSERT_TRUE(BringToFront(about));
    lastClick = GetTickCount64();
    HWND box = ClickLinkForErrorBox(about, link);
    ASSERT_NE(box, nullptr) << "no message box after click " << round << " (link " << link << ")";
    EXPECT_EQ(MessageBoxText(box), std::optional<std::string>(kNoBrowserText)) << "link " << link;
    EXPECT_EQ(MessageBoxCaption(box), std::optional<std::string>("Mnemora")) << "link " << link;
    ASSERT_TRUE(PressMessageBoxOk(box));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    EXPECT_TRUE(IsWindowVisible(about)) << "About closed with the message box";
  }
}

TEST_F(AboutTest, HomePageLink_ClickedWithNoBrowserRegistered_ReportsNoAssociation) {
  NoBrowserRegistered noBrowser;
  ASSERT_TRUE(noBrowser.Ok()) << "could not remove the browser registration";
  ASSERT_NO_FATAL_FAILURE(StartOnTop());

  HWND box = ClickLinkForErrorBox(m_app.dialog, 1007);
  ASSERT_NE(box, nullptr) << "no message box after a click on the home page link";
  EXPECT_EQ(MessageBoxText(box), std::optional<std::string>(kNoBrowserText));
  ASSERT_TRUE(PressMessageBoxOk(box));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
  EXPECT_TRUE(IsWindowVisible(m_app.dialog));
  EXPECT_TRUE(m_app.process.IsRunning());
}

}  // namespace
