// The program's own dialogs, created from their templates in this process with a recording
// stand-in for the window manager's attribute call.
#include <gtest/gtest.h>

#include <vector>

#include "AboutDlg.h"
#include "DwmFrame.h"
#include "MnemoraDlg.h"
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

}  // namespace
