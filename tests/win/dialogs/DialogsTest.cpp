// The program's own dialogs, created from their templates in this process with a recording
// stand-in for the window manager's attribute call.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "AboutDlg.h"
#include "DwmFrame.h"
#include "FittingText.h"
#include "MnemoraDlg.h"
#include "MnemoraMessages.h"
#include "SingleInstance.h"
#include "WinTestSupport.h"

namespace {

CWinApp theApp("Mnemora");

const char kSettingsKey[] = "SOFTWARE\\Mnemora.Net";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

struct DwmCall {
  HWND hWnd;
  DWORD dwAttribute;
  DWORD cbAttribute;
  int nValue;
  bool bIconSet;  // the dialog had its icon already: the call came late in the initialisation
};
std::vector<DwmCall> g_calls;

HRESULT WINAPI RecordDwmCall(HWND hWnd, DWORD dwAttribute, LPCVOID pvAttribute, DWORD cbAttribute) {
  int nValue = -1;
  if (pvAttribute && cbAttribute == sizeof(int)) nValue = *static_cast<const int*>(pvAttribute);
  const bool bIconSet = ::SendMessageA(hWnd, WM_GETICON, ICON_BIG, 0) != 0;
  g_calls.push_back({hWnd, dwAttribute, cbAttribute, nValue, bIconSet});
  return S_OK;
}

// The main dialog writes its settings while it starts; they are the test prefix's own and are
// taken away again, from both hives in case a copy keeps them per user.
void RemoveSettings() {
  for (HKEY hRoot : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    ::RegDeleteTreeA(hRoot, kSettingsKey);
    ::RegDeleteKeyA(hRoot, kSettingsKey);
    ::RegDeleteKeyValueA(hRoot, kRunKey, "Mnemora.Net");
  }
}

class Dialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    RemoveSettings();
    // No automatic pass while the dialog is up (the engine is the capped one besides).
    ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKey, "AutoFree", REG_SZ, "FALSE", 6), ERROR_SUCCESS);
    g_calls.clear();
    SetDwmSetWindowAttributeStandIn(&RecordDwmCall);
  }
  void TearDown() override {
    SetDwmSetWindowAttributeStandIn(nullptr);
    RemoveSettings();
  }
};

TEST_F(Dialogs, Init_MainDialogOnly_LeavesItsFrameToItself) {
  CMnemoraDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_MAIN_DIALOG));
  wintest::PumpFor(100);
  ASSERT_EQ(g_calls.size(), 1u);
  const DwmCall& call = g_calls.front();
  EXPECT_EQ(call.hWnd, dlg.m_hWnd);
  EXPECT_EQ(call.dwAttribute, static_cast<DWORD>(2)) << "DWMWA_NCRENDERING_POLICY";
  EXPECT_EQ(call.cbAttribute, sizeof(int));
  EXPECT_EQ(call.nValue, 1) << "DWMNCRP_DISABLED";
  EXPECT_FALSE(call.bIconSet) << "made after the initialisation had begun";

  CAboutDlg about;
  ASSERT_TRUE(about.Create(IDD_ABOUTBOX, &dlg));
  wintest::PumpFor(100);
  EXPECT_EQ(g_calls.size(), 1u) << "the About dialog keeps the system's frame";
  about.DestroyWindow();
  dlg.DestroyWindow();
}

// Measured the way the static control lays its text out: wrapped at its width, in its font.
int ShownLines(HWND hLabel) {
  char text[64] = {};
  ::GetWindowTextA(hLabel, text, sizeof text);
  RECT rc = {};
  ::GetClientRect(hLabel, &rc);
  HDC hdc = ::GetDC(hLabel);
  HGDIOBJ hOld = ::SelectObject(hdc, reinterpret_cast<HFONT>(::SendMessageA(hLabel, WM_GETFONT, 0, 0)));
  TEXTMETRICA tm = {};
  ::GetTextMetricsA(hdc, &tm);
  ::DrawTextA(hdc, text, -1, &rc, DT_CALCRECT | DT_WORDBREAK);
  ::SelectObject(hdc, hOld);
  ::ReleaseDC(hLabel, hdc);
  return tm.tmHeight > 0 ? (rc.bottom - rc.top) / tm.tmHeight : 0;
}

TEST_F(Dialogs, ValueLabel_FigureTooWideWithItsUnit_TakesFirstLargerUnitThatFits) {
  CMnemoraDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_MAIN_DIALOG));
  CWnd* pLabel = dlg.GetDlgItem(IDC_TOTAL_VIRTUAL);
  ASSERT_NE(pLabel, nullptr);

  const std::vector<std::string> wide = {"134217728 MB", "131072 GB", "128 TB"};
  ::SetWindowTextA(pLabel->m_hWnd, wide.front().c_str());
  ASSERT_GT(ShownLines(pLabel->m_hWnd), 1) << "the label is wide enough for every figure here";
  SetFittingText(*pLabel, wide);
  EXPECT_EQ(ShownLines(pLabel->m_hWnd), 1) << "the unit wrapped out of sight";
  char shown[64] = {};
  ::GetWindowTextA(pLabel->m_hWnd, shown, sizeof shown);
  const auto it = std::find(wide.begin(), wide.end(), std::string(shown));
  ASSERT_NE(it, wide.end());
  if (it != wide.begin()) {  // the unit before it would not have fitted
    ::SetWindowTextA(pLabel->m_hWnd, (it - 1)->c_str());
    EXPECT_GT(ShownLines(pLabel->m_hWnd), 1) << "a smaller unit fitted: " << *(it - 1);
  }

  SetFittingText(*pLabel, {"1 MB", "0 GB", "0 TB"});
  ::GetWindowTextA(pLabel->m_hWnd, shown, sizeof shown);
  EXPECT_STREQ(shown, "1 MB") << "a figure that fits keeps the area's own unit";
  dlg.DestroyWindow();
}

std::vector<std::pair<HWND, UINT>> g_allowed;

BOOL WINAPI RecordAllowedMessage(HWND hWnd, UINT uMessage, DWORD dwAction, void*) {
  if (dwAction == MSGFLT_ALLOW) g_allowed.emplace_back(hWnd, uMessage);
  return TRUE;
}

HANDLE WINAPI RefuseMutex(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR) {
  ::SetLastError(ERROR_ACCESS_DENIED);
  return nullptr;
}

// What Wine does not enforce for an elevated copy: a later start without elevation cannot open
// its mutex (that start is a second copy), and only messages let through the filter reach it.
TEST_F(Dialogs, ElevatedCopy_MutexRefusedCountsAsRunning_MessagesFromOthersLetThrough) {
  HANDLE hMutex = nullptr;
  SetCreateMutexStandIn(&RefuseMutex);
  EXPECT_EQ(ClaimSingleInstance(&hMutex), InstanceClaim::kAnotherRuns);
  SetCreateMutexStandIn(nullptr);

  g_allowed.clear();
  SetMessageFilterStandIn(&RecordAllowedMessage);
  CMnemoraDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_MAIN_DIALOG));
  SetMessageFilterStandIn(nullptr);
  const std::vector<std::pair<HWND, UINT>> expected = {{dlg.m_hWnd, ::RegisterWindowMessageA("TaskbarCreated")},
                                                       {dlg.m_hWnd, WM_TRAY_NOTIFY},
                                                       {dlg.m_hWnd, ShowMainWindowMessage()},
                                                       {dlg.m_hWnd, OptimizeRequestMessage()}};
  EXPECT_EQ(g_allowed, expected) << "WM_COMMAND would let any process click Exit";
  dlg.DestroyWindow();
}

// The process may end as soon as the handler returns: a threshold still being typed is stored
// first, and only when the session really ends.
TEST_F(Dialogs, EndSession_ThresholdBeingTyped_StoredOnlyWhenSessionEnds) {
  CMnemoraDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_MAIN_DIALOG));
  ::SetDlgItemTextA(dlg.m_hWnd, IDC_AUTO_FREE_NUM, "33");
  char stored[16] = {};
  for (BOOL bEnding : {FALSE, TRUE}) {
    ::SendMessageA(dlg.m_hWnd, WM_ENDSESSION, bEnding, ENDSESSION_LOGOFF);
    DWORD size = sizeof stored - 1;
    ::RegGetValueA(HKEY_LOCAL_MACHINE, kSettingsKey, "AutoFreeNum", RRF_RT_REG_SZ, nullptr, stored, &size);
    EXPECT_STREQ(stored, bEnding ? "33" : "") << bEnding;
  }
  dlg.DestroyWindow();
}

// ---- a DPI change -----------------------------------------------------------------------------

UINT g_dpi = 96;
UINT FakeDpi(HWND) { return g_dpi; }

// Stands in for the dialog manager of a per-monitor dialog too (Wine has none): the dialog's font
// is the template's made for the new DPI.
class CProbeDlg : public CMnemoraDlg {
 public:
  using CMnemoraDlg::m_frame;
  using CMnemoraDlg::m_rcClose;
  HFONT m_hTemplateFont = nullptr;

 protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_GETFONT && m_hTemplateFont) return reinterpret_cast<LRESULT>(m_hTemplateFont);
    return CMnemoraDlg::WindowProc(message, wParam, lParam);
  }
};

LOGFONTA FontOf(const CWnd& dlg, int id) {
  LOGFONTA lf = {};
  ::GetObjectA(reinterpret_cast<HFONT>(::SendDlgItemMessageA(dlg.m_hWnd, id, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

// As the system tells a per-monitor dialog of a new DPI: the dialog first, whose manager makes
// the template's font for the DPI, then its children.
void ChangeDpi(CProbeDlg& dlg, UINT nDpi, CFont& templateFont) {
  g_dpi = nDpi;
  LOGFONTA lf = {};
  lf.lfHeight = -MulDiv(8, static_cast<int>(nDpi), 72);
  ::lstrcpyA(lf.lfFaceName, "MS Sans Serif");
  templateFont.CreateFontIndirect(&lf);
  dlg.m_hTemplateFont = templateFont;
  RECT suggested = {};
  ::GetWindowRect(dlg.m_hWnd, &suggested);
  ::SendMessageA(dlg.m_hWnd, WM_DPICHANGED, MAKEWPARAM(nDpi, nDpi), reinterpret_cast<LPARAM>(&suggested));
  ::EnumChildWindows(
      dlg.m_hWnd,
      [](HWND h, LPARAM) -> BOOL {
        ::SendMessageA(h, WM_DPICHANGED_AFTERPARENT, 0, 0);
        return TRUE;
      },
      0);
  ::SendMessageA(dlg.m_hWnd, WM_NCPAINT, 1, 0);
}

TEST_F(Dialogs, DpiChange_ThereAndBack_FontsFrameAndCaptionButtonsFollow) {
  AfxSetDpiForWindowStandIn(&FakeDpi);
  g_dpi = 96;
  CProbeDlg dlg;
  ASSERT_TRUE(dlg.Create(IDD_MAIN_DIALOG));
  ::SendMessageA(dlg.m_hWnd, WM_NCPAINT, 1, 0);
  const LOGFONTA label96 = FontOf(dlg, IDC_TOTAL_PHYS_LABEL), link96 = FontOf(dlg, IDC_HOMEPAGE_LINK);
  ASSERT_EQ(dlg.m_rcClose.Width(), 17);

  CFont font144, font96;
  ChangeDpi(dlg, 144, font144);
  EXPECT_EQ(dlg.m_frame.Dpi(), 144u);
  EXPECT_EQ(dlg.m_rcClose.Width(), 26);
  EXPECT_EQ(dlg.m_rcClose.Height(), 24);
  for (const auto& [id, lf96] : {std::pair{IDC_TOTAL_PHYS_LABEL, label96}, std::pair{IDC_HOMEPAGE_LINK, link96}}) {
    const LOGFONTA lf = FontOf(dlg, id);
    EXPECT_STREQ(lf.lfFaceName, "Verdana") << "control " << id;
    EXPECT_EQ(lf.lfHeight, dpi::FontHeight(lf96.lfHeight, 96, 144)) << "control " << id;
    EXPECT_EQ(lf.lfUnderline, lf96.lfUnderline) << "control " << id;
  }

  ChangeDpi(dlg, 96, font96);
  EXPECT_EQ(dlg.m_rcClose.Width(), 17);
  EXPECT_EQ(FontOf(dlg, IDC_TOTAL_PHYS_LABEL).lfHeight, label96.lfHeight);
  EXPECT_EQ(FontOf(dlg, IDC_HOMEPAGE_LINK).lfHeight, link96.lfHeight);
  dlg.m_hTemplateFont = nullptr;
  dlg.DestroyWindow();
  AfxSetDpiForWindowStandIn(nullptr);
}

}  // namespace
