// Stored settings as the shipped program loads, normalises and rewrites them, and the clicks and
// edits that store them again.

#include <gtest/gtest.h>

#include <cctype>

#include "E2EDriver.h"
#include "MainDialogSupport.h"
#include "resource.h"

namespace {

using e2e::maindlg::PresetSettings;
using e2e::maindlg::RunningDialog;
using e2e::maindlg::Setting;

class Settings : public e2e::maindlg::ShippedProgramTest {
 protected:
  std::string RunCommand() const { return "\"" + m_exe + "\" -m"; }
};

// Windows paths compare without regard to case.
::testing::AssertionResult SameRunCommand(const std::optional<std::string>& actual, const std::string& expected) {
  if (!actual) return ::testing::AssertionFailure() << "no Run value";
  if (lstrcmpiA(actual->c_str(), expected.c_str()) != 0)
    return ::testing::AssertionFailure() << "Run value \"" << *actual << "\", expected \"" << expected << "\"";
  return ::testing::AssertionSuccess();
}

TEST_F(Settings, FirstStart_NoKey_WritesDefaultsAndRunValue) {
  ASSERT_FALSE(e2e::maindlg::SettingsKeyExists());
  RunningDialog app = Start();
  ASSERT_TRUE(app);

  EXPECT_TRUE(e2e::maindlg::SettingsKeyExists());
  EXPECT_EQ(Setting("ClearClipbrd"), "TRUE");
  EXPECT_EQ(Setting("AutoFree"), "TRUE");
  EXPECT_EQ(Setting("AutoStart"), "TRUE");
  EXPECT_EQ(e2e::ReadRegValue(e2e::maindlg::kSettingsKey, "AutoFreeNum"), std::nullopt);
  EXPECT_TRUE(SameRunCommand(e2e::maindlg::RunValue(), RunCommand()));
  auto runValue = e2e::ReadRegValue(e2e::maindlg::kRunKey, e2e::maindlg::kRunValueName, HKEY_CURRENT_USER);
  ASSERT_TRUE(runValue);
  EXPECT_EQ(e2e::maindlg::MachineRunValue(), std::nullopt) << "an entry for every user of the machine";
  EXPECT_EQ(runValue->type, static_cast<DWORD>(REG_SZ));

  EXPECT_EQ(app.Check(IDC_CLEAR_CLIPBOARD), BST_CHECKED);
  EXPECT_EQ(app.Check(IDC_AUTO_START), BST_CHECKED);
  EXPECT_EQ(app.Check(IDC_AUTO_FREE), BST_CHECKED);
  EXPECT_EQ(app.Text(IDC_AUTO_FREE_NUM), "15");
  EXPECT_TRUE(app.Enabled(IDC_AUTO_FREE_NUM));
}

TEST_F(Settings, Start_AutoFreeLowerCaseFalse_LoadsOnAndRewritesTrue) {
  ASSERT_TRUE(PresetSettings({{"AutoFree", "false"}}));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_EQ(app.Check(IDC_AUTO_FREE), BST_CHECKED);
  EXPECT_TRUE(app.Enabled(IDC_AUTO_FREE_NUM));
  EXPECT_EQ(Setting("AutoFree"), "TRUE");
}

TEST_F(Settings, Start_AutoFreeFalse_UncheckedEditDisabledSpinEnabled) {
  ASSERT_TRUE(PresetSettings({{"AutoFree", "FALSE"}, {"AutoFreeNum", "20"}}));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_EQ(app.Check(IDC_AUTO_FREE), BST_UNCHECKED);
  EXPECT_FALSE(app.Enabled(IDC_AUTO_FREE_NUM));
  EXPECT_TRUE(app.Enabled(IDC_AUTO_FREE_SPIN));
  EXPECT_EQ(app.Text(IDC_AUTO_FREE_NUM), "20");
  EXPECT_EQ(Setting("AutoFree"), "FALSE");
}

TEST_F(Settings, Start_ClearClipbrdLowerCaseTrue_LoadsOffAndKeepsText) {
  ASSERT_TRUE(PresetSettings({{"ClearClipbrd", "true"}}));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_EQ(app.Check(IDC_CLEAR_CLIPBOARD), BST_UNCHECKED);
  EXPECT_EQ(Setting("ClearClipbrd"), "true");
}

TEST_F(Settings, Start_AutoStartFalse_UncheckedAndRunValueDeleted) {
  ASSERT_TRUE(PresetSettings({{"AutoStart", "FALSE"}}));
  ASSERT_TRUE(e2e::WriteRegString(e2e::maindlg::kRunKey, e2e::maindlg::kRunValueName, RunCommand()));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_EQ(app.Check(IDC_AUTO_START), BST_UNCHECKED);
  EXPECT_EQ(e2e::maindlg::RunValue(), std::nullopt);
  EXPECT_EQ(Setting("AutoStart"), "FALSE");
}

TEST_F(Settings, Start_AutoStartOnWithStaleRunValues_UserEntryOwnPathMachineEntryGone) {
  ASSERT_TRUE(PresetSettings({{"AutoStart", "TRUE"}}));
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    ASSERT_TRUE(
        e2e::WriteRegString(e2e::maindlg::kRunKey, e2e::maindlg::kRunValueName, "\"C:\\Old\\Mnemora.exe\" -m", root));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_EQ(app.Check(IDC_AUTO_START), BST_CHECKED);
  EXPECT_TRUE(SameRunCommand(e2e::maindlg::RunValue(), RunCommand()));
  EXPECT_EQ(e2e::maindlg::MachineRunValue(), std::nullopt);
}

struct ThresholdCase {
  const char* stored;
  const char* shown;
};

class SettingsThreshold : public Settings, public ::testing::WithParamInterface<ThresholdCase> {};

TEST_P(SettingsThreshold, Start_StoredAutoFreeNum_EditShowsParsedValueAndStoreUntouched) {
  // Off, so even a threshold that the machine's memory met could not start a pass.
  ASSERT_TRUE(PresetSettings({{"AutoFree", "FALSE"}, {"AutoFreeNum", GetParam().stored}}));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  EXPECT_EQ(app.Text(IDC_AUTO_FREE_NUM), GetParam().shown);
  EXPECT_EQ(Setting("AutoFreeNum"), GetParam().stored) << "loading must not write the threshold back";
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsThreshold,
                         ::testing::Values(ThresholdCase{"51", "15"}, ThresholdCase{"-1", "15"},
                                           ThresholdCase{"50", "50"}, ThresholdCase{"0", "0"},
                                           ThresholdCase{"7abc", "7"}, ThresholdCase{"abc", "0"}),
                         [](const ::testing::TestParamInfo<ThresholdCase>& info) {
                           std::string name;
                           for (const char* p = info.param.stored; *p; ++p)
                             name += isalnum(static_cast<unsigned char>(*p)) ? *p : 'm';
                           return "Stored_" + name;
                         });

TEST_F(Settings, ClickClearClipboard_Twice_StoresFalseThenTrue) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_EQ(app.Check(IDC_CLEAR_CLIPBOARD), BST_CHECKED);

  ASSERT_TRUE(app.ClickButton(IDC_CLEAR_CLIPBOARD));
  EXPECT_EQ(app.Check(IDC_CLEAR_CLIPBOARD), BST_UNCHECKED);
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("ClearClipbrd") == "FALSE"; }, 2000));

  ASSERT_TRUE(app.ClickButton(IDC_CLEAR_CLIPBOARD));
  EXPECT_EQ(app.Check(IDC_CLEAR_CLIPBOARD), BST_CHECKED);
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("ClearClipbrd") == "TRUE"; }, 2000));
}

TEST_F(Settings, ClickAutoFree_Twice_StoresValueAndEditFollows) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_EQ(app.Check(IDC_AUTO_FREE), BST_CHECKED);

  ASSERT_TRUE(app.ClickButton(IDC_AUTO_FREE));
  EXPECT_EQ(app.Check(IDC_AUTO_FREE), BST_UNCHECKED);
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("AutoFree") == "FALSE"; }, 2000));
  EXPECT_FALSE(app.Enabled(IDC_AUTO_FREE_NUM));
  EXPECT_TRUE(app.Enabled(IDC_AUTO_FREE_SPIN));

  ASSERT_TRUE(app.ClickButton(IDC_AUTO_FREE));
  EXPECT_EQ(app.Check(IDC_AUTO_FREE), BST_CHECKED);
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("AutoFree") == "TRUE"; }, 2000));
  EXPECT_TRUE(app.Enabled(IDC_AUTO_FREE_NUM));
}

TEST_F(Settings, ClickAutoStart_Twice_DeletesThenRewritesRunValue) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_EQ(app.Check(IDC_AUTO_START), BST_CHECKED);
  ASSERT_TRUE(e2e::maindlg::RunValue());
  // As an earlier version's installer left it.
  ASSERT_TRUE(e2e::WriteRegString(e2e::maindlg::kRunKey, e2e::maindlg::kRunValueName, RunCommand()));

  ASSERT_TRUE(app.ClickButton(IDC_AUTO_START));
  EXPECT_EQ(app.Check(IDC_AUTO_START), BST_UNCHECKED);
  EXPECT_TRUE(e2e::WaitUntil([] { return !e2e::maindlg::RunValue(); }, 2000)) << "Run value not deleted";
  EXPECT_EQ(e2e::maindlg::MachineRunValue(), std::nullopt) << "the program goes on starting at log-on";
  EXPECT_EQ(Setting("AutoStart"), "FALSE");

  ASSERT_TRUE(app.ClickButton(IDC_AUTO_START));
  EXPECT_EQ(app.Check(IDC_AUTO_START), BST_CHECKED);
  EXPECT_TRUE(e2e::WaitUntil([] { return e2e::maindlg::RunValue().has_value(); }, 2000));
  EXPECT_TRUE(SameRunCommand(e2e::maindlg::RunValue(), RunCommand()));
  EXPECT_EQ(Setting("AutoStart"), "TRUE");
}

// Replaces the edit's text by typing, as a user who selected it all, then leaves the edit.
void TypeThresholdAndLeave(const RunningDialog& app, const std::string& typed) {
  ASSERT_TRUE(app.FocusControl(IDC_AUTO_FREE_NUM)) << "the threshold edit did not get the focus";
  HWND edit = app.Control(IDC_AUTO_FREE_NUM);
  ASSERT_TRUE(e2e::SendWithTimeout(edit, EM_SETSEL, 0, -1));
  for (char c : typed) ASSERT_TRUE(e2e::Post(edit, WM_CHAR, static_cast<WPARAM>(c), 1));
  ASSERT_TRUE(e2e::WaitUntil([&] { return app.Text(IDC_AUTO_FREE_NUM) == typed; }, 2000))
      << "edit shows \"" << app.Text(IDC_AUTO_FREE_NUM).value_or("") << "\"";
  // Focus to a check box: taking the focus does not click it.
  ASSERT_TRUE(app.FocusControl(IDC_CLEAR_CLIPBOARD));
}

TEST_F(Settings, TypeThreshold_EditLeft_StoresWholeNumber) {
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  const int clearClipboardBefore = app.Check(IDC_CLEAR_CLIPBOARD);

  TypeThresholdAndLeave(app, "27");
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("AutoFreeNum") == "27"; }, 2000))
      << "AutoFreeNum is \"" << Setting("AutoFreeNum").value_or("<absent>") << "\"";

  TypeThresholdAndLeave(app, "12.7");
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("AutoFreeNum") == "12"; }, 2000))
      << "AutoFreeNum is \"" << Setting("AutoFreeNum").value_or("<absent>") << "\"";
  EXPECT_TRUE(app.WaitForText(IDC_AUTO_FREE_NUM, "12", 2000)) << "the edit shows what is not stored";
  EXPECT_EQ(app.Check(IDC_CLEAR_CLIPBOARD), clearClipboardBefore);
}

TEST_F(Settings, TypeThresholdAboveRange_SecondDigitRefused_StoresInRangeValue) {
  // If the edit let 99 through, the rule would fire at once: only the capped build may risk that.
  const std::string capped = e2e::PathFromEnv("MNEMORA_CAPPED_EXE");
  ASSERT_FALSE(capped.empty()) << "MNEMORA_CAPPED_EXE is not set";
  ASSERT_TRUE(PresetSettings({{"AutoFree", "TRUE"}, {"AutoFreeNum", "0"}}));
  std::string error;
  RunningDialog app = RunningDialog::Start(capped, {}, &error);
  ASSERT_TRUE(app) << error;
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));

  ASSERT_TRUE(app.FocusControl(IDC_AUTO_FREE_NUM));
  HWND edit = app.Control(IDC_AUTO_FREE_NUM);
  ASSERT_TRUE(e2e::SendWithTimeout(edit, EM_SETSEL, 0, -1));
  for (char c : std::string("99")) ASSERT_TRUE(e2e::Post(edit, WM_CHAR, static_cast<WPARAM>(c), 1));
  EXPECT_TRUE(e2e::WaitUntil([&] { return app.Text(IDC_AUTO_FREE_NUM) == "9"; }, 2000))
      << "edit shows \"" << app.Text(IDC_AUTO_FREE_NUM).value_or("") << "\"";
  ASSERT_TRUE(app.FocusControl(IDC_CLEAR_CLIPBOARD));
  EXPECT_TRUE(e2e::WaitUntil([] { return Setting("AutoFreeNum") == "9"; }, 2000))
      << "AutoFreeNum is \"" << Setting("AutoFreeNum").value_or("<absent>") << "\"";
}

// What the edit would take from the clipboard or read with a newer C runtime's "%f": no numbers,
// or numbers outside 0..50.
const char* const kRefusedPastes[] = {"nan", "inf", "infinity", "0x1p3", "1e2", "abc", "51", "-1"};

TEST_F(Settings, PasteIntoThreshold_InvalidText_RefusedAndNothingStored) {
  // The edit is enabled with automatic freeing only; the fixture made sure memory is well above 20%.
  ASSERT_TRUE(PresetSettings({{"AutoFree", "TRUE"}, {"AutoFreeNum", "20"}}));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  HWND edit = app.Control(IDC_AUTO_FREE_NUM);
  ASSERT_TRUE(app.WaitForText(IDC_AUTO_FREE_NUM, "20", 2000));

  for (const char* text : kRefusedPastes) {
    SCOPED_TRACE(std::string("pasted \"") + text + "\"");
    ASSERT_TRUE(app.FocusControl(IDC_AUTO_FREE_NUM));
    ASSERT_TRUE(e2e::maindlg::PutTextOnClipboard(text));
    ASSERT_TRUE(e2e::SendWithTimeout(edit, EM_SETSEL, 0, -1));
    ASSERT_TRUE(e2e::SendWithTimeout(edit, WM_PASTE, 0, 0));
    EXPECT_EQ(app.Text(IDC_AUTO_FREE_NUM), "20");
    ASSERT_TRUE(app.FocusControl(IDC_CLEAR_CLIPBOARD));
    // A round trip through the dialog's queue: the focus change, and so the store, is done.
    ASSERT_TRUE(e2e::SendWithTimeout(app.Dialog(), WM_NULL, 0, 0));
    EXPECT_EQ(Setting("AutoFreeNum"), "20");
  }
}

// Whatever text the edit holds when it is left, the stored threshold is a whole number in 0..50.
TEST_F(Settings, LeaveThreshold_EditHoldsNoNumber_StoresZero) {
  ASSERT_TRUE(PresetSettings({{"AutoFree", "TRUE"}, {"AutoFreeNum", "20"}}));
  RunningDialog app = Start();
  ASSERT_TRUE(app);
  ASSERT_TRUE(e2e::WaitForVisibility(app.Dialog(), true, 5000));
  HWND edit = app.Control(IDC_AUTO_FREE_NUM);

  for (const char* text : {"nan", "inf", "0x1p3", "-7", "99"}) {
    SCOPED_TRACE(std::string("edit holds \"") + text + "\"");
    ASSERT_TRUE(e2e::maindlg::PresetSettings({{"AutoFreeNum", "20"}}));
    ASSERT_TRUE(app.FocusControl(IDC_AUTO_FREE_NUM));
    ASSERT_TRUE(e2e::SendWithTimeout(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)));
    ASSERT_TRUE(app.FocusControl(IDC_CLEAR_CLIPBOARD));
    EXPECT_TRUE(e2e::WaitUntil([] { return Setting("AutoFreeNum") == "0"; }, 2000))
        << "AutoFreeNum is \"" << Setting("AutoFreeNum").value_or("<absent>") << "\"";
  }
}

}  // namespace
