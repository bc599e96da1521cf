#include "NumEdit.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "WinTestSupport.h"

namespace {

CWinApp theApp("NumEditTest");  // gives AfxMessageBox its caption

constexpr int kEditId = 1055;

// Counts the characters that get past CNumEdit to the platform edit control underneath it.
WNDPROC g_pfnPlatformEdit = nullptr;
int g_nCharsReachingEdit = 0;

LRESULT CALLBACK CountingEditProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CHAR) ++g_nCharsReachingEdit;
  return ::CallWindowProcA(g_pfnPlatformEdit, hWnd, message, wParam, lParam);
}

// Records each message box as it opens and closes it with OK.
struct BoxRecord {
  int nCount = 0;
  std::string text;
  std::string caption;
  bool bStopIcon = false;
  bool bOkOnly = false;
};
BoxRecord* g_pBoxes = nullptr;

BOOL CALLBACK FindStopIcon(HWND hChild, LPARAM lParam) {
  if ((::GetWindowLongPtrA(hChild, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      reinterpret_cast<HICON>(::SendMessageA(hChild, STM_GETICON, 0, 0)) == ::LoadIcon(nullptr, IDI_HAND)) {
    *reinterpret_cast<bool*>(lParam) = true;
    return FALSE;
  }
  return TRUE;
}

LRESULT CALLBACK BoxHook(int nCode, WPARAM wParam, LPARAM lParam) {
  if (nCode == HCBT_ACTIVATE && g_pBoxes) {
    HWND hBox = reinterpret_cast<HWND>(wParam);
    // Only the box has the message text item; the host's own reactivation is skipped.
    if (!::GetDlgItem(hBox, 0xFFFF)) return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
    char buf[256] = {};
    ++g_pBoxes->nCount;
    ::GetDlgItemTextA(hBox, 0xFFFF, buf, static_cast<int>(sizeof buf));
    buf[sizeof buf - 1] = '\0';
    g_pBoxes->text = buf;
    ::GetWindowTextA(hBox, buf, static_cast<int>(sizeof buf));
    buf[sizeof buf - 1] = '\0';
    g_pBoxes->caption = buf;
    bool bStop = false;
    ::EnumChildWindows(hBox, &FindStopIcon, reinterpret_cast<LPARAM>(&bStop));
    g_pBoxes->bStopIcon = bStop;
    HWND hOk = ::GetDlgItem(hBox, IDOK);
    g_pBoxes->bOkOnly = hOk && !::GetDlgItem(hBox, IDCANCEL) && !::GetDlgItem(hBox, IDYES);
    ::PostMessageA(hBox, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(hOk));
  }
  return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

class CBoxWatch {
 public:
  explicit CBoxWatch(BoxRecord* pRecord)
      : m_hHook(::SetWindowsHookExA(WH_CBT, &BoxHook, nullptr, ::GetCurrentThreadId())) {
    g_pBoxes = pRecord;
  }
  ~CBoxWatch() {
    g_pBoxes = nullptr;
    if (m_hHook) ::UnhookWindowsHookEx(m_hHook);
  }
  CBoxWatch(const CBoxWatch&) = delete;
  CBoxWatch& operator=(const CBoxWatch&) = delete;
  bool IsActive() const { return m_hHook != nullptr; }

 private:
  HHOOK m_hHook;
};

class CNumEditProbe : public CNumEdit {
 public:
  int Decimals() const { return m_nDecimals; }
};

class CHostDlg : public CDialog {
 public:
  CHostDlg() : CDialog(0) {}
  BOOL CreateHost() { return wintest::CreateModeless(*this, wintest::CDialogTemplate(WS_POPUP | WS_BORDER, 200, 60)); }
};

class CNumEditTest : public wintest::HostedTest<CHostDlg> {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(HostedTest::SetUp());
    m_hEdit = wintest::CreateChildWindow(s_pHost->m_hWnd, kEditId, "EDIT", "", WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 120,
                                         24, WS_EX_CLIENTEDGE);
    ASSERT_NE(m_hEdit, nullptr);
    g_nCharsReachingEdit = 0;
    g_pfnPlatformEdit = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(m_hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingEditProc)));
    ASSERT_TRUE(m_edit.SubclassWindow(m_hEdit));
    m_edit.SetFocus();
    Pump();
  }

  void TearDown() override {
    if (m_hEdit) ::DestroyWindow(m_hEdit);
    Pump();
  }

  // The dialog's modal loop, minus the waiting.
  void Pump() { wintest::PumpPendingPreTranslated(s_pHost->m_hWnd); }

  // Queues the keystrokes' characters as the keyboard would, then lets the loop deliver them.
  void Type(const char* psz) {
    for (; *psz; ++psz) ::PostMessageA(m_hEdit, WM_CHAR, static_cast<unsigned char>(*psz), 1);
    Pump();
  }

  void SetTextCaretAtEnd(const char* psz) {
    m_edit.SetWindowText(psz);
    int n = m_edit.GetWindowTextLength();
    m_edit.SetSel(n, n);
  }

  std::string Text() const {
    CString str;
    m_edit.GetWindowText(str);
    return str.GetString();
  }

  std::pair<int, int> Sel() const {
    int nStart = -1, nEnd = -1;
    m_edit.GetSel(nStart, nEnd);
    return {nStart, nEnd};
  }

  CNumEditProbe m_edit;
  HWND m_hEdit = nullptr;
};

TEST_F(CNumEditTest, Construct_Defaults_UnboundedRangeUnitStepQuietNoDecimals) {
  CNumEdit fresh;
  float fMin = 0.0f, fMax = 0.0f;
  fresh.GetRange(fMin, fMax);
  EXPECT_EQ(fMin, -FLT_MAX);
  EXPECT_EQ(fMax, FLT_MAX);
  EXPECT_EQ(fresh.GetDelta(), 1.0f);
  EXPECT_FALSE(fresh.GetVerbose());
  EXPECT_EQ(m_edit.Decimals(), 0);
  EXPECT_TRUE(fresh.IsKindOf(RUNTIME_CLASS(CNumEdit)));
  EXPECT_TRUE(fresh.IsKindOf(RUNTIME_CLASS(CEdit)));
  EXPECT_STREQ(fresh.GetRuntimeClass()->m_lpszClassName, "CNumEdit");
  EXPECT_EQ(fresh.IsValid("-3.4e38"), 0);
  EXPECT_EQ(fresh.IsValid("1e39"), 1);
}

TEST_F(CNumEditTest, Accessors_SetThenGet_StoredUnchangedTextUntouched) {
  m_edit.SetWindowText("80");
  m_edit.SetRange(50.0f, 0.0f);  // no ordering check
  float fMin = 0.0f, fMax = 0.0f;
  m_edit.GetRange(fMin, fMax);
  EXPECT_EQ(fMin, 50.0f);
  EXPECT_EQ(fMax, 0.0f);
  EXPECT_EQ(Text(), "80");
  m_edit.SetDelta(2.5f);
  EXPECT_EQ(m_edit.GetDelta(), 2.5f);
  m_edit.SetVerbose(TRUE);
  EXPECT_TRUE(m_edit.GetVerbose());
}

TEST_F(CNumEditTest, IsValid_Texts_ReturnZeroOneOrTwo) {
  m_edit.SetRange(0.0f, 50.0f);
  EXPECT_EQ(m_edit.IsValid("12"), 0);
  EXPECT_EQ(m_edit.IsValid("12.5"), 0);
  EXPECT_EQ(m_edit.IsValid("12 "), 0);
  EXPECT_EQ(m_edit.IsValid("  12"), 0);
  EXPECT_EQ(m_edit.IsValid("12\t\r\n"), 0);
  EXPECT_EQ(m_edit.IsValid("15."), 0);
  EXPECT_EQ(m_edit.IsValid("0"), 0);
  EXPECT_EQ(m_edit.IsValid("50"), 0);
  EXPECT_EQ(m_edit.IsValid("12a"), 2);
  EXPECT_EQ(m_edit.IsValid("12 a"), 2);
  EXPECT_EQ(m_edit.IsValid("abc"), 2);
  EXPECT_EQ(m_edit.IsValid(""), 2);
  EXPECT_EQ(m_edit.IsValid(" "), 2);
  EXPECT_EQ(m_edit.IsValid("-"), 2);
  EXPECT_EQ(m_edit.IsValid("51"), 1);
  EXPECT_EQ(m_edit.IsValid("50.01"), 1);
  EXPECT_EQ(m_edit.IsValid("-1"), 1);
  EXPECT_EQ(m_edit.IsValid("60abc"), 1);  // out of range wins over trailing text
}

TEST_F(CNumEditTest, IsValid_LongTrailingText_TwoWithoutOverrun) {
  std::string text = "12";
  text.append(100000, 'x');
  EXPECT_EQ(m_edit.IsValid(CString(text)), 2);
  std::string blanks = "12";
  blanks.append(100000, ' ');
  EXPECT_EQ(m_edit.IsValid(CString(blanks)), 0);
}

TEST_F(CNumEditTest, IsValid_WindowText_SameCodesAsGivenText) {
  m_edit.SetRange(0.0f, 50.0f);
  m_edit.SetWindowText("12.5");
  EXPECT_EQ(m_edit.IsValid(), 0);
  m_edit.SetWindowText("12a");
  EXPECT_EQ(m_edit.IsValid(), 2);
  m_edit.SetWindowText("51");
  EXPECT_EQ(m_edit.IsValid(), 1);
}

TEST_F(CNumEditTest, IsValid_Verbose_StopBoxPerFailureWithItsText) {
  BoxRecord boxes;
  CBoxWatch watch(&boxes);
  ASSERT_TRUE(watch.IsActive());
  m_edit.SetRange(0.0f, 50.0f);

  m_edit.SetVerbose(FALSE);
  EXPECT_EQ(m_edit.IsValid("abc"), 2);
  EXPECT_EQ(boxes.nCount, 0);

  m_edit.SetVerbose(TRUE);
  EXPECT_EQ(m_edit.IsValid("12"), 0);
  EXPECT_EQ(boxes.nCount, 0);

  EXPECT_EQ(m_edit.IsValid("51"), 1);
  EXPECT_EQ(boxes.nCount, 1);
  EXPECT_EQ(boxes.text, "Given value is out of range.\n");
  EXPECT_TRUE(boxes.bStopIcon);
  EXPECT_TRUE(boxes.bOkOnly);
  EXPECT_EQ(boxes.caption, "NumEditTest");

  EXPECT_EQ(m_edit.IsValid("12a"), 2);
  EXPECT_EQ(boxes.nCount, 2);
  EXPECT_EQ(boxes.text, "Characters must be a number.\n");
  EXPECT_TRUE(boxes.bStopIcon);

  m_edit.SetWindowText("abc");
  EXPECT_EQ(m_edit.GetValue(), 0.0f);
  EXPECT_EQ(boxes.nCount, 3);
}

TEST_F(CNumEditTest, GetValue_Texts_NumberOrZeroWhenInvalid) {
  m_edit.SetRange(0.0f, 50.0f);
  m_edit.SetWindowText("12.5");
  EXPECT_EQ(m_edit.GetValue(), 12.5f);
  m_edit.SetWindowText(" 7 ");
  EXPECT_EQ(m_edit.GetValue(), 7.0f);
  m_edit.SetWindowText("abc");
  EXPECT_EQ(m_edit.GetValue(), 0.0f);
  m_edit.SetWindowText("51");
  EXPECT_EQ(m_edit.GetValue(), 0.0f);
  m_edit.SetWindowText("12a");
  EXPECT_EQ(m_edit.GetValue(), 0.0f);
}

TEST_F(CNumEditTest, ConstructFormat_Values_DecimalsFromGFormatOnlyGrow) {
  CString fmt;
  CString& ret = m_edit.ConstructFormat(fmt, 15.0f);
  EXPECT_EQ(&ret, &fmt);
  EXPECT_EQ(fmt, "%.0f");
  EXPECT_EQ(m_edit.Decimals(), 0);

  m_edit.ConstructFormat(fmt, 12.7f);
  EXPECT_EQ(fmt, "%.1f");
  EXPECT_EQ(m_edit.Decimals(), 1);

  m_edit.ConstructFormat(fmt, 3.0f);  // never shrinks
  EXPECT_EQ(fmt, "%.1f");

  m_edit.ConstructFormat(fmt, 0.0001f);
  EXPECT_EQ(fmt, "%.4f");
  EXPECT_EQ(m_edit.Decimals(), 4);

  m_edit.ConstructFormat(fmt, 0.25f);
  EXPECT_EQ(m_edit.Decimals(), 4);

  CNumEditProbe other;
  other.ConstructFormat(fmt, 0.00001f);  // "%G" gives 1E-05: no point, no decimals
  EXPECT_EQ(fmt, "%.0f");
  EXPECT_EQ(other.Decimals(), 0);
}

TEST_F(CNumEditTest, SetValue_RangeBounds_WritesInsideRefusesOutside) {
  m_edit.SetRange(0.0f, 50.0f);
  m_edit.SetWindowText("15");
  EXPECT_FALSE(m_edit.SetValue(51.0f));
  EXPECT_EQ(Text(), "15");
  EXPECT_FALSE(m_edit.SetValue(-0.5f));
  EXPECT_EQ(Text(), "15");
  EXPECT_TRUE(m_edit.SetValue(50.0f));
  EXPECT_EQ(Text(), "50");
  EXPECT_TRUE(m_edit.SetValue(0.0f));
  EXPECT_EQ(Text(), "0");
  EXPECT_TRUE(m_edit.SetValue(12.25f));
  EXPECT_EQ(Text(), "12.25");
  EXPECT_TRUE(m_edit.SetValue(3.0f));  // keeps the decimals it has seen
  EXPECT_EQ(Text(), "3.00");
}

TEST_F(CNumEditTest, ChangeAmount_Steps_AddsDeltaClampedToRange) {
  m_edit.SetRange(0.0f, 50.0f);
  m_edit.SetValue(0.0f);
  m_edit.ChangeAmount(-1);
  EXPECT_EQ(Text(), "0");
  m_edit.SetValue(49.0f);
  m_edit.ChangeAmount(3);
  EXPECT_EQ(Text(), "50");
  m_edit.SetValue(10.0f);
  m_edit.ChangeAmount(-4);
  EXPECT_EQ(Text(), "6");
  m_edit.SetDelta(2.5f);
  m_edit.ChangeAmount(1);
  EXPECT_EQ(Text(), "8.5");
  m_edit.SetWindowText("abc");  // an invalid text counts as 0
  m_edit.ChangeAmount(2);
  EXPECT_EQ(Text(), "5.0");
}

TEST_F(CNumEditTest, OnChar_DigitBeyondMax_RestoresPreviousTextAllSelected) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("15");
  Type("9");
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(Sel(), std::make_pair(0, 2));
  EXPECT_EQ(g_nCharsReachingEdit, 1);
}

TEST_F(CNumEditTest, OnChar_Letter_UndoneAllSelected) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("15");
  Type("a");
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(Sel(), std::make_pair(0, 2));
}

TEST_F(CNumEditTest, OnChar_Blank_SwallowedBeforeTheEdit) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("15");
  Type(" ");
  EXPECT_EQ(g_nCharsReachingEdit, 0);
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(Sel(), std::make_pair(2, 2));
}

TEST_F(CNumEditTest, OnChar_TypedAheadAfterRejection_Discarded) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("15");
  Type("912");  // all three queued before the first is handled
  EXPECT_EQ(Text(), "15");
  EXPECT_EQ(Sel(), std::make_pair(0, 2));
  EXPECT_EQ(g_nCharsReachingEdit, 1);
  MSG msg;
  EXPECT_FALSE(::PeekMessageA(&msg, m_hEdit, WM_CHAR, WM_CHAR, PM_NOREMOVE));
}

TEST_F(CNumEditTest, OnChar_ValidDigits_AcceptedAndLaterTypingWorks) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("1");
  Type("5");
  EXPECT_EQ(Text(), "15");
  Type("9");  // rejected: all of "15" selected, so the next digit replaces it
  Type("4");
  EXPECT_EQ(Text(), "4");
  EXPECT_EQ(g_nCharsReachingEdit, 3);
}

TEST_F(CNumEditTest, OnChar_PointThenDigit_AcceptedAndDecimalsGrow) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("15");
  Type(".");
  EXPECT_EQ(Text(), "15.");
  EXPECT_EQ(m_edit.Decimals(), 0);
  Type("5");
  EXPECT_EQ(Text(), "15.5");
  EXPECT_EQ(m_edit.Decimals(), 1);
  m_edit.ChangeAmount(1);
  EXPECT_EQ(Text(), "16.5");
}

TEST_F(CNumEditTest, OnChar_Backspace_EmptiedFieldKeptLoneSignUndone) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("5");
  Type("\b");
  EXPECT_EQ(Text(), "") << "where the next number starts";
  SetTextCaretAtEnd("-5");
  m_edit.SetRange(-10.0f, 50.0f);
  Type("\b");  // leaves "-"
  EXPECT_EQ(Text(), "-5");
  SetTextCaretAtEnd("12");
  Type("\b");
  EXPECT_EQ(Text(), "1");
}

TEST_F(CNumEditTest, OnChar_VerboseRejection_OneBoxThenRestored) {
  BoxRecord boxes;
  CBoxWatch watch(&boxes);
  ASSERT_TRUE(watch.IsActive());
  m_edit.SetRange(0.0f, 50.0f);
  m_edit.SetVerbose(TRUE);
  SetTextCaretAtEnd("15");
  Type("x");
  EXPECT_EQ(boxes.nCount, 1);
  EXPECT_EQ(boxes.text, "Characters must be a number.\n");
  EXPECT_EQ(Text(), "15");
}

// Texts that newer C runtimes read with "%f" but that are no decimal numbers. In range 0..50
// the old reading made "nan" valid (no comparison holds for it), "inf" out of range and the hex
// float 8.
const char* const kNotDecimal[] = {"nan",      "NAN",   "-nan",  "nan(1)", "inf",   "-inf", "+INF",
                                   "infinity", "0x1p3", "0X1P3", "-0x1p3", " 0x10", "0x"};

TEST_F(CNumEditTest, IsValid_NanInfinityHexFloat_NotANumber) {
  m_edit.SetRange(0.0f, 50.0f);
  for (const char* psz : kNotDecimal) EXPECT_EQ(m_edit.IsValid(psz), 2) << psz;
  // Plain decimals, exponent included, read as before.
  for (const char* psz : {"1e1", "2.5E+1", " +.5e1", ".5"}) EXPECT_EQ(m_edit.IsValid(psz), 0) << psz;
  EXPECT_EQ(m_edit.IsValid("1e2"), 1);
  m_edit.SetWindowText("nan");
  EXPECT_EQ(m_edit.GetValue(), 0.0f);
}

TEST_F(CNumEditTest, OnChar_TypedNanInfinityHexFloat_Undone) {
  m_edit.SetRange(0.0f, 50.0f);
  const struct {
    const char* start;
    int nCaret;
    const char* typed;
  } cases[] = {{"", 0, "nan"},   {"", 0, "inf"},  {"", 0, "infinity"},
               {"0", 1, "x1p3"}, {"012", 1, "x"},  // "0x12" read as 18 before
               {"-012", 2, "x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.start) + " + " + c.typed);
    m_edit.SetWindowText(c.start);
    m_edit.SetSel(c.nCaret, c.nCaret);
    Type(c.typed);
    EXPECT_TRUE(Text().empty() || m_edit.IsValid() == 0) << Text();
    EXPECT_EQ(Text().find_first_of("nixp"), std::string::npos) << Text();
  }
}

// Puts text on the clipboard for the edit to paste.
bool SetClipboardText(HWND hOwner, const std::string& text) {
  if (!::OpenClipboard(hOwner)) return false;
  bool bDone = false;
  if (::EmptyClipboard()) {
    HGLOBAL hMem = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (void* p = hMem ? ::GlobalLock(hMem) : nullptr) {
      std::memcpy(p, text.c_str(), text.size() + 1);
      ::GlobalUnlock(hMem);
      bDone = ::SetClipboardData(CF_TEXT, hMem) != nullptr;
    }
    if (!bDone && hMem) ::GlobalFree(hMem);
  }
  ::CloseClipboard();
  return bDone;
}

TEST_F(CNumEditTest, PasteDeleteCut_LeavingNoNumber_PreviousTextPutBackAllSelected) {
  m_edit.SetRange(0.0f, 50.0f);
  std::vector<std::string> rejected(std::begin(kNotDecimal), std::end(kNotDecimal));
  for (const char* psz : {"abc", "12a", "51", "-1", "1e2"}) rejected.emplace_back(psz);
  for (const std::string& text : rejected) {
    SCOPED_TRACE("pasted \"" + text + "\"");
    ASSERT_TRUE(SetClipboardText(s_pHost->m_hWnd, text));
    SetTextCaretAtEnd("15");
    m_edit.SetSel(0, -1);
    m_edit.SendMessage(WM_PASTE);
    EXPECT_EQ(Text(), "15");
    EXPECT_EQ(Sel(), std::make_pair(0, 2));
  }
  // Text taken away without a character: the Delete key (no WM_CLEAR either), Cut, the menu's Delete.
  for (const auto& route : {std::make_pair(WM_KEYDOWN, VK_DELETE), {WM_CUT, 0}, {WM_CLEAR, 0}}) {
    SetTextCaretAtEnd("5.1");
    m_edit.SetSel(1, 2);  // "51" is out of range
    m_edit.SendMessage(route.first, route.second);
    EXPECT_EQ(Text(), "5.1") << route.first;
  }
}

TEST_F(CNumEditTest, Paste_ValidText_KeptAndDecimalsFollow) {
  m_edit.SetRange(0.0f, 50.0f);
  ASSERT_TRUE(SetClipboardText(s_pHost->m_hWnd, "2.5"));
  SetTextCaretAtEnd("1");
  m_edit.SendMessage(WM_PASTE);
  EXPECT_EQ(Text(), "12.5");
  EXPECT_EQ(m_edit.Decimals(), 1);
}

TEST_F(CNumEditTest, Undo_BackToInvalidText_ValueKept) {
  m_edit.SetRange(0.0f, 50.0f);
  m_edit.SetWindowText("abc");
  m_edit.SetSel(0, -1);
  Type("5");
  ASSERT_EQ(Text(), "5");
  m_edit.SendMessage(WM_UNDO);
  EXPECT_EQ(Text(), "5");
  EXPECT_EQ(Sel(), std::make_pair(0, 1));
}

TEST_F(CNumEditTest, Text_InsertedWithoutCharMessage_NotFiltered) {
  m_edit.SetRange(0.0f, 50.0f);
  SetTextCaretAtEnd("15");
  m_edit.ReplaceSel("x");  // as pasting would
  EXPECT_EQ(Text(), "15x");
  EXPECT_EQ(m_edit.GetValue(), 0.0f);
}

}  // namespace
