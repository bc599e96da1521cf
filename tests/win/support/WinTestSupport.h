// What the Windows tests share: message pumping, dialogs built in memory and shown modeless,
// child windows, colour requests and pixels read back from the screen.
#pragma once

#include "afxwin.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace wintest {

// ---- message pumping ----------------------------------------------------------------------------

// Empties this thread's queue once.
void PumpPending();

// Empties this thread's queue once, offering each message to the framework's pre-translation from
// its window up to hWndStop (nullptr: the top-level window) first, as a dialog's modal loop does.
void PumpPendingPreTranslated(HWND hWndStop);

// Pumps until done() holds (true) or dwTimeoutMs have passed (false), looking every 5 ms.
bool WaitUntil(const std::function<bool()>& done, DWORD dwTimeoutMs = 3000,
               const std::function<void()>& pump = &PumpPending);

// Pumps for dwMillis whatever arrives: lets timers fire and posted messages land. Only for
// watching that something does NOT happen; waiting for something is WaitUntil's job.
void PumpFor(DWORD dwMillis, const std::function<void()>& pump = &PumpPending);

// Pumps until this thread has nothing left to do: no posted, sent, input or paint message
// waiting (timers are left out, they come back by design). False when dwTimeoutMs passed first.
// What synchronous calls set off (paints, posted notices) has then all happened.
bool PumpUntilIdle(DWORD dwTimeoutMs = 5000, const std::function<void()>& pump = &PumpPending);

// Lets every pending paint of hWnd and its children happen, so what follows sees only what it
// caused.
void Settle(HWND hWnd);

// ---- dialogs --------------------------------------------------------------------------------------

// An in-memory dialog template: header, no menu, the dialog class, a title, the font when the
// style has DS_SETFONT, then the items.
class CDialogTemplate {
 public:
  // Predefined classes of template items.
  static constexpr WORD kButton = 0x0080;
  static constexpr WORD kEdit = 0x0081;
  static constexpr WORD kStatic = 0x0082;

  CDialogTemplate(DWORD dwStyle, short cx, short cy, const wchar_t* pszTitle = L"", WORD wPointSize = 8,
                  const wchar_t* pszFace = L"MS Shell Dlg");
  // WS_CHILD | WS_VISIBLE are added to dwStyle.
  CDialogTemplate& AddItem(int nID, WORD wClassAtom, DWORD dwStyle, short x, short y, short cx, short cy,
                           const wchar_t* pszText);
  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(m_words.data()); }

 private:
  void Put(WORD w) { m_words.push_back(w); }
  void PutDword(DWORD d);
  void PutString(const wchar_t* psz);
  std::vector<WORD> m_words;
};

// Creates rDlg modeless from tmpl and shows it top-most at rcScreen; an empty rcScreen keeps the
// template's place and size. nFlags adds SetWindowPos flags such as SWP_NOACTIVATE.
BOOL CreateModeless(CDialog& rDlg, const CDialogTemplate& tmpl, const RECT& rcScreen = RECT{}, UINT nFlags = 0);

// A borderless dialog with the usual dialog font, top-most at the screen's corner, 400 x 300
// pixels: a host for controls whose drawing is read back. Hosts that answer notifications
// derive from it and add their message maps.
class CControlHost : public CDialog {
 public:
  CControlHost() : CDialog(0) {}
  BOOL CreateHost();
};

// A fixture whose suite shares one modeless host dialog, made by THost::CreateHost(): a top-level
// window takes Wine seconds to go away without a window manager, while children come and go
// freely. dwCommonControls names the common control classes (ICC_*) the children need.
// A fixture's own SetUp starts with ASSERT_NO_FATAL_FAILURE(HostedTest::SetUp()).
template <class THost, DWORD dwCommonControls = 0>
class HostedTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (dwCommonControls) {
      INITCOMMONCONTROLSEX icc{sizeof icc, dwCommonControls};
      ::InitCommonControlsEx(&icc);
    }
    s_pHost = std::make_unique<THost>();
    s_pHost->CreateHost();
  }
  static void TearDownTestSuite() { s_pHost.reset(); }
  void SetUp() override { ASSERT_TRUE(s_pHost && s_pHost->m_hWnd) << "no host dialog"; }

  static inline std::unique_ptr<THost> s_pHost;
};

// A visible child window with the id nId; WS_CHILD | WS_VISIBLE are added to dwStyle.
HWND CreateChildWindow(HWND hWndParent, int nId, const char* pszClass, const char* pszText, DWORD dwStyle, int x, int y,
                       int cx, int cy, DWORD dwExStyle = 0);

CPoint ScreenCenter(HWND hWnd);

// ---- colours and pixels ---------------------------------------------------------------------------

// What a parent's answer to a control's colour request leaves in a fresh memory DC.
struct CtlColorAnswer {
  HBRUSH hBrush = nullptr;
  COLORREF crBrush = CLR_INVALID;  // the brush's colour
  COLORREF crText = CLR_INVALID;
  COLORREF crBk = CLR_INVALID;
  int nBkMode = 0;
  HGDIOBJ hFont = nullptr;
  LOGFONTA lf{};
  TEXTMETRICA tm{};
};

// Sends hWndParent the colour request nMessage for hWndCtl, as the control itself would.
CtlColorAnswer AskCtlColor(HWND hWndParent, HWND hWndCtl, UINT nMessage = WM_CTLCOLORSTATIC);

// Pixels read back as COLORREFs, row by row from the top; empty when nothing could be read.
class CPixels {
 public:
  CPixels() = default;
  // pBits: a top-down 32-bit DIB of cx x cy.
  CPixels(int cx, int cy, const uint32_t* pBits);

  bool IsEmpty() const { return m_px.empty(); }
  int Width() const { return m_cx; }
  int Height() const { return m_cy; }
  CRect Rect() const { return CRect(0, 0, m_cx, m_cy); }
  // CLR_INVALID outside the image.
  COLORREF At(int x, int y) const;
  int Count(COLORREF cr) const { return Count(cr, Rect()); }
  int Count(COLORREF cr, const RECT& area) const;
  bool IsUniform(COLORREF cr, const RECT& area) const;
  // Smallest rectangle holding every pixel of exactly cr inside area; empty when there is none.
  CRect Bounds(COLORREF cr) const { return Bounds(cr, Rect()); }
  CRect Bounds(COLORREF cr, const RECT& area) const;
  // Never true for an image that could not be read.
  bool operator==(const CPixels& o) const { return !IsEmpty() && m_cx == o.m_cx && m_cy == o.m_cy && m_px == o.m_px; }

 private:
  int m_cx = 0;
  int m_cy = 0;
  std::vector<COLORREF> m_px;
};

// A 32-bit top-down DIB section selected into its own memory DC.
class CDibCanvas {
 public:
  CDibCanvas(HDC hdcRef, int cx, int cy);
  ~CDibCanvas();
  CDibCanvas(const CDibCanvas&) = delete;
  CDibCanvas& operator=(const CDibCanvas&) = delete;

  CDC& DC() { return m_dc; }
  CPixels Read() const;

 private:
  int m_cx;
  int m_cy;
  void* m_pBits = nullptr;
  CBitmap m_bitmap;
  CMemoryDC m_dc;
  HGDIOBJ m_hOld = nullptr;
};

// The client area of a window as it is on screen.
CPixels CaptureClient(HWND hWnd);

// One pixel of a window's client area as it is on screen.
COLORREF ReadPixel(HWND hWnd, int x, int y);

}  // namespace wintest
