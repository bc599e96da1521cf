#include "MnemoraDlg.h"

#include <cstdlib>

#include "AboutDlg.h"
#include "AutoFree.h"
#include "DialogLook.h"
#include "FittingText.h"
#include "DwmFrame.h"
#include "MemoryReadout.h"
#include "MnemoraMessages.h"
#include "OptimizePass.h"
#include "ProductInfo.h"
#include "SingleInstance.h"
#include "Settings.h"
#include "TrayTexts.h"
#include "win/HeapBlockAllocator.h"
#include "win/Register.h"
#include "win/WideText.h"
#include "win/WinClipboard.h"
#include "win/WinMemoryStatus.h"

namespace {

const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kLabelText = RGB(115, 115, 115);
const COLORREF kPhysRed = RGB(193, 26, 26);
const COLORREF kBarBlue = RGB(82, 138, 189);
const COLORREF kBarBack = RGB(231, 231, 231);
const char kLabelFace[] = "Verdana";

const UINT s_uTaskbarCreated = ::RegisterWindowMessageA("TaskbarCreated");

// WM_OPTIMIZE_FINISHED's wParam: whether the pass ran, or ended at once with the "no need" box.
constexpr WPARAM kPassRan = 0;
constexpr WPARAM kPassFoundNoNeed = 1;

// The dialog as the optimization worker sees it: every call is a message to a control window,
// so the controls are only ever touched by the thread that owns them, and a dialog that has
// gone away simply stops answering. Only the handles taken at the start are used, never the
// application's main-window pointer, which Exit may clear meanwhile.
class CDialogPassHost : public IPassHost {
 public:
  explicit CDialogPassHost(HWND hDlg)
      : m_hDlg(hDlg),
        m_hClearClipboard(::GetDlgItem(hDlg, IDC_CLEAR_CLIPBOARD)),
        m_hOptimize(::GetDlgItem(hDlg, IDC_OPTIMIZE)),
        m_hBar(::GetDlgItem(hDlg, IDC_OPTIMIZE_PROGRESS)),
        m_hPercent(::GetDlgItem(hDlg, IDC_OPTIMIZE_PERCENT)) {}

  HWND ClearClipboardWindow() const { return m_hClearClipboard; }

  void DisableOptimize() override { ::EnableWindow(m_hOptimize, FALSE); }
  int GetClearClipboardCheck() override {
    return static_cast<int>(::SendMessageA(m_hClearClipboard, BM_GETCHECK, 0, 0));
  }
  void ShowStep(int32_t value) override {
    ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(value * 10), 0);
    ::SetWindowTextA(m_hPercent, FormatStepText(value).c_str());
  }
  void ShowNoNeedMessage() override {
    m_bNoNeed = true;
    AfxOwnedMessageBox(m_hDlg, "Analysis is completed. This system does not need optimizing.", MB_ICONINFORMATION);
  }
  void PostFinished() override {
    ::PostMessageA(m_hDlg, WM_OPTIMIZE_FINISHED, m_bNoNeed ? kPassFoundNoNeed : kPassRan, 0);
  }

 private:
  HWND m_hDlg;
  HWND m_hClearClipboard;
  HWND m_hOptimize;
  HWND m_hBar;
  HWND m_hPercent;
  bool m_bNoNeed = false;
};

// The Run value's command line needs the full path, whatever the program was started with.
std::string RunCommand() { return MakeRunCommand(Utf8FromWide(ModulePathW())); }

void SetUpCaptionLabel(CLabel& label, COLORREF crText) {
  label.SetBackColor(kWhite).SetForeColor(crText).SetFontFace(kLabelFace);
}

void SetUpBar(CTextProgressCtrl& bar, COLORREF crBar) {
  bar.SetBarColor(crBar);
  bar.SetBackColor(kBarBack);
  bar.ShowCaption(FALSE);
  bar.SetRange(0, 1000);
}

void SetUpButton(CWinXPButtonST& button) {
  button.SetRoundCorners(TRUE, TRUE);
  look::SetButtonColors(button);
}

}  // namespace

// ---- construction, data exchange, initialisation ------------------------------------------------

CMnemoraDlg::CMnemoraDlg()
    : CDialog(IDD_MAIN_DIALOG, nullptr),
      m_hIcon(AfxGetApp() ? AfxGetApp()->LoadIcon(IDR_MAINFRAME) : nullptr),
      m_trayIcon(IDR_TRAY_MENU),
      m_bAutoFree(TRUE),
      m_nAutoFreeNum(15) {}

void CMnemoraDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PERCENT_SIGN, m_lblPercentSign);
  DDX_Control(pDX, IDC_AUTO_FREE_NUM, m_editAutoFreeNum);
  DDX_Control(pDX, IDC_AUTO_FREE_SPIN, m_spinAutoFree);
  DDX_Control(pDX, IDC_EXIT, m_btnExit);
  DDX_Control(pDX, IDC_OPTIMIZE, m_btnOptimize);
  DDX_Control(pDX, IDC_HELP_BUTTON, m_btnHelp);
  DDX_Control(pDX, IDC_ABOUT, m_btnAbout);
  DDX_Control(pDX, IDC_OPTIMIZE_PERCENT, m_lblOptimizePercent);
  DDX_Control(pDX, IDC_VIRTUAL_PERCENT, m_lblVirtualPercent);
  DDX_Control(pDX, IDC_PAGEFILE_PERCENT, m_lblPageFilePercent);
  DDX_Control(pDX, IDC_PHYS_PERCENT, m_lblPhysPercent);
  DDX_Control(pDX, IDC_OPTIMIZE_PROGRESS, m_barOptimize);
  DDX_Control(pDX, IDC_VIRTUAL_PROGRESS, m_barVirtual);
  DDX_Control(pDX, IDC_PAGEFILE_PROGRESS, m_barPageFile);
  DDX_Control(pDX, IDC_PHYS_PROGRESS, m_barPhys);
  DDX_Control(pDX, IDC_AVAIL_VIRTUAL, m_lblAvailVirtual);
  DDX_Control(pDX, IDC_TOTAL_VIRTUAL, m_lblTotalVirtual);
  DDX_Control(pDX, IDC_AVAIL_PAGEFILE, m_lblAvailPageFile);
  DDX_Control(pDX, IDC_TOTAL_PAGEFILE, m_lblTotalPageFile);
  DDX_Control(pDX, IDC_AVAIL_PHYS, m_lblAvailPhys);
  DDX_Control(pDX, IDC_TOTAL_PHYS, m_lblTotalPhys);
  DDX_Control(pDX, IDC_TOTAL_PHYS_LABEL, m_lblTotalPhysCaption);
  DDX_Control(pDX, IDC_AVAIL_PHYS_LABEL, m_lblAvailPhysCaption);
  DDX_Control(pDX, IDC_TOTAL_PAGEFILE_LABEL, m_lblTotalPageFileCaption);
  DDX_Control(pDX, IDC_AVAIL_PAGEFILE_LABEL, m_lblAvailPageFileCaption);
  DDX_Control(pDX, IDC_TOTAL_VIRTUAL_LABEL, m_lblTotalVirtualCaption);
  DDX_Control(pDX, IDC_AVAIL_VIRTUAL_LABEL, m_lblAvailVirtualCaption);
  DDX_Control(pDX, IDC_OPTIMIZING_LABEL, m_lblOptimizingCaption);
  DDX_Control(pDX, IDC_HOMEPAGE_LINK, m_linkHomePage);
}

BOOL CMnemoraDlg::OnInitDialog() {
  // Before anything is shown: the frame, caption and caption buttons are painted by this dialog.
  LeaveFrameToWindow(m_hWnd);
  CDialog::OnInitDialog();

  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  m_linkHomePage.SetLinkColors(look::kLinkGrey, look::kLinkGrey, static_cast<COLORREF>(-1));
  m_linkHomePage.SetLinkTarget(CString(MNEMORA_HOMEPAGE) + "?goto=Program-Main");
  m_linkHomePage.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);

  for (CLabel* pLabel :
       {&m_lblTotalPhysCaption, &m_lblAvailPhysCaption, &m_lblTotalPageFileCaption, &m_lblAvailPageFileCaption,
        &m_lblTotalVirtualCaption, &m_lblAvailVirtualCaption, &m_lblOptimizingCaption}) {
    SetUpCaptionLabel(*pLabel, kLabelText);
  }

  if (SetTimer(IDT_MEMORY_STATUS, 1000, nullptr) == 0) {
    MessageBox("Not Install Timer! Error Code: 1001", AfxGetApp() ? AfxGetApp()->m_pszAppName : nullptr, MB_OK);
  }

  SetUpCaptionLabel(m_lblTotalPhys, kLabelText);
  SetUpCaptionLabel(m_lblAvailPhys, kPhysRed);
  SetUpCaptionLabel(m_lblTotalPageFile, kLabelText);
  SetUpCaptionLabel(m_lblAvailPageFile, kLabelText);
  SetUpCaptionLabel(m_lblTotalVirtual, kLabelText);
  SetUpCaptionLabel(m_lblAvailVirtual, kLabelText);

  SetUpBar(m_barPhys, kPhysRed);
  SetUpBar(m_barPageFile, kBarBlue);
  SetUpBar(m_barVirtual, kBarBlue);
  SetUpBar(m_barOptimize, kBarBlue);

  for (CLabel* pLabel : {&m_lblPhysPercent, &m_lblPageFilePercent, &m_lblVirtualPercent, &m_lblOptimizePercent}) {
    SetUpCaptionLabel(*pLabel, kLabelText);
  }
  m_lblOptimizePercent.SetLabelText("0.00%");

  m_chkClearClipboard.SubclassDlgItem(IDC_CLEAR_CLIPBOARD, this);
  m_chkClearClipboard.SetBackColor(kWhite);
  m_chkAutoStart.SubclassDlgItem(IDC_AUTO_START, this);
  m_chkAutoStart.SetBackColor(kWhite);
  m_chkAutoFree.SubclassDlgItem(IDC_AUTO_FREE, this);
  m_chkAutoFree.SetBackColor(kWhite);

  SetUpButton(m_btnAbout);
  SetUpButton(m_btnHelp);
  SetUpButton(m_btnOptimize);
  m_btnOptimize.AssignIcons(IDI_OPTIMIZE, 0);
  SetUpButton(m_btnExit);

  m_chkClearClipboard.SetCheck(ReadClearClipboard() ? 1 : 0);

  m_trayIcon.SetNotifyWindow(this, WM_TRAY_NOTIFY);
  // The tray icon and the tooltips come once the dialog has painted: timer messages come after
  // every pending paint (and come as well when the dialog starts hidden).
  if (SetTimer(IDT_AFTER_FIRST_PAINT, USER_TIMER_MINIMUM, nullptr) == 0) FinishStart();
  // Run elevated, the dialog would otherwise never hear of a restarted shell, of clicks on its
  // icon, or of a later start that wants it shown.
  LetThroughFromOtherProcesses(m_hWnd,
                               {s_uTaskbarCreated, WM_TRAY_NOTIFY, ShowMainWindowMessage(), OptimizeRequestMessage()});

  m_lblPercentSign.SetBackColor(kWhite).SetFontFace(kLabelFace);

  m_spinAutoFree.SetBuddy(&m_editAutoFreeNum);
  m_spinAutoFree.SetRange(0.0f, 50.0f);
  m_spinAutoFree.SetDelta(1.0f);

  LoadSettings();

  if (__argc > 1) PostMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);

  RefreshMemoryStatus();
  m_bInitialised = true;
  return TRUE;
}

// ---- settings -----------------------------------------------------------------------------------

BOOL CMnemoraDlg::ReadClearClipboard() {
  CRegistryStore store;
  return LoadClearClipboard(store) ? TRUE : FALSE;
}

void CMnemoraDlg::WriteClearClipboard(BOOL bOn) {
  CRegistryStore store;
  StoreClearClipboard(store, bOn != FALSE);
}

void CMnemoraDlg::LoadSettings() {
  CRegistryStore store;

  m_bAutoFree = LoadAutoFree(store) ? TRUE : FALSE;
  m_editAutoFreeNum.EnableWindow(m_bAutoFree);
  m_chkAutoFree.SetCheck(m_bAutoFree ? 1 : 0);

  m_nAutoFreeNum = LoadAutoFreeNum(store);
  m_spinAutoFree.SetPos(static_cast<float>(m_nAutoFreeNum));

  CRegistryStartupEntries entries;
  bool bAutoStart = LoadAutoStart(store, entries, RunCommand());
  m_chkAutoStart.SetCheck(bAutoStart ? 1 : 0);
}

void CMnemoraDlg::OnClearClipboard() { WriteClearClipboard(m_chkClearClipboard.GetCheck() == 1 ? TRUE : FALSE); }

void CMnemoraDlg::OnAutoStart() {
  const std::string command = RunCommand();
  CRegistryStore store;
  CRegistryStartupEntries entries;
  StoreAutoStart(store, entries, m_chkAutoStart.GetCheck() == 1, command);
}

void CMnemoraDlg::OnAutoFree() {
  CRegistryStore store;
  m_bAutoFree = m_chkAutoFree.GetCheck() == 1 ? TRUE : FALSE;
  StoreAutoFree(store, m_bAutoFree != FALSE);
  m_editAutoFreeNum.EnableWindow(m_bAutoFree);
}

void CMnemoraDlg::StoreThreshold() {
  float fMin = 0.0f, fMax = 0.0f;
  m_editAutoFreeNum.GetRange(fMin, fMax);
  m_nAutoFreeNum = ThresholdFromEditValue(m_editAutoFreeNum.GetValue(), fMin, fMax);
  CRegistryStore store;
  StoreAutoFreeNum(store, m_nAutoFreeNum);
}

void CMnemoraDlg::OnKillFocusAutoFreeNum() {
  StoreThreshold();
  // An emptied or fractional entry is stored as a whole number: show exactly that.
  CString shown, stored;
  stored.Format("%d", m_nAutoFreeNum);
  m_editAutoFreeNum.GetWindowText(shown);
  if (shown != stored) m_editAutoFreeNum.SetWindowText(stored);
}

// A value typed but not yet stored (the edit still has the focus) would be lost at log-off:
// the process may end as soon as this returns, so it is stored now.
void CMnemoraDlg::OnEndSession(BOOL bEnding) {
  if (bEnding) StoreThreshold();
}

// ---- memory read-out and the pass ------------------------------------------------------------------

void CMnemoraDlg::RefreshMemoryStatus() {
  if (g_bOptimizing.load() != 0) {
    m_trayIcon.SetTipDetail(OptimizingTipLine(m_barOptimize.GetPos() / 10).c_str());
    return;
  }

  CWinMemoryStatus status;
  const MemorySnapshot snapshot = status.Sample();
  const MemoryReadout readout = ComputeMemoryReadout(snapshot);
  m_trayIcon.SetTipDetail(PhysicalMemoryTipLine(snapshot, readout.physPercent).c_str());

  m_fitReadouts[0].Show(m_lblTotalPhys, readout.phys.totalChoices);
  m_fitReadouts[1].Show(m_lblAvailPhys, readout.phys.availChoices);
  m_barPhys.SetPos(readout.phys.barPos);
  m_lblPhysPercent.SetLabelText(readout.phys.percentText.c_str());
  m_fitReadouts[2].Show(m_lblTotalPageFile, readout.pageFile.totalChoices);
  m_fitReadouts[3].Show(m_lblAvailPageFile, readout.pageFile.availChoices);
  m_barPageFile.SetPos(readout.pageFile.barPos);
  m_lblPageFilePercent.SetLabelText(readout.pageFile.percentText.c_str());
  m_fitReadouts[4].Show(m_lblTotalVirtual, readout.virt.totalChoices);
  m_fitReadouts[5].Show(m_lblAvailVirtual, readout.virt.availChoices);
  m_barVirtual.SetPos(readout.virt.barPos);
  m_lblVirtualPercent.SetLabelText(readout.virt.percentText.c_str());

  if (ShouldAutoFree(m_bAutoFree != FALSE, m_nAutoFreeNum, readout.physPercent)) StartPass(true);
}

// What the first figures need not wait for: the icon is a round trip to the shell's process, and
// each tooltip is a window of its own, which Wine makes at some cost.
void CMnemoraDlg::FinishStart() {
  m_trayIcon.SetIconResource(IDR_MAINFRAME);
  m_btnAbout.SetTipText("About Mnemora.Net", TRUE);
  m_btnHelp.SetTipText("Help of Mnemora.Net", TRUE);
  m_btnOptimize.SetTipText("Start the RAM/Memory optimization", TRUE);
  m_btnExit.SetTipText("Exit from Mnemora.Net", TRUE);
  // A pointer that came to rest on a button before it had its tip would show the tip only once it
  // moved again: the button sees it move once more.
  POINT pt{};
  const HWND hUnder = ::GetCursorPos(&pt) ? ::WindowFromPoint(pt) : nullptr;
  for (CWinXPButtonST* pButton : {&m_btnAbout, &m_btnHelp, &m_btnOptimize, &m_btnExit}) {
    if (!hUnder || pButton->m_hWnd != hUnder) continue;
    pButton->ScreenToClient(&pt);
    const WPARAM keys = ::GetKeyState(VK_LBUTTON) < 0 ? MK_LBUTTON : 0;
    pButton->PostMessage(WM_MOUSEMOVE, keys, MAKELPARAM(pt.x, pt.y));
  }
}

void CMnemoraDlg::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == IDT_AFTER_FIRST_PAINT) {
    KillTimer(IDT_AFTER_FIRST_PAINT);
    FinishStart();
    return;
  }
  RefreshMemoryStatus();
  m_trayIcon.OnRefreshTick();  // also during a pass: a hidden program must not stay unreachable
  CDialog::OnTimer(nIDEvent);
}

UINT __cdecl OptimizeThreadProc(LPVOID param) {
  CDialogPassHost host(static_cast<HWND>(param));
  CWinMemoryStatus status;
  CHeapBlockAllocator allocator;
  CWinClipboard clipboard(host.ClearClipboardWindow());
  RunOptimizePassGuarded(host, status, allocator, clipboard);
  return 0;
}

void CMnemoraDlg::OnOptimize() { StartPass(false); }

void CMnemoraDlg::StartPass(bool bAutomatic) {
  // The tray's Optimize item stays available during a pass; a second worker would share the
  // pass state with the first, so a command that arrives meanwhile starts nothing.
  if (!TryClaimPass()) return;
  m_bAutomaticPass = bAutomatic;
  m_ullAvailBeforePass = CWinMemoryStatus().Sample().ullAvailPhys;
  if (!AfxBeginThread(OptimizeThreadProc, m_hWnd, THREAD_PRIORITY_IDLE, 0, 0, nullptr)) AbandonPassClaim();
}

LRESULT CMnemoraDlg::OnOptimizeFinished(WPARAM wParam, LPARAM) {
  m_btnOptimize.EnableWindow(TRUE);
  if (ExitIsPending()) {
    CDialog::OnCancel();
    return 0;
  }
  if (wParam == kPassFoundNoNeed) return 0;  // its box said all there is to say
  // The worker posts this right after its last release, so this is what the pass left free.
  const MemorySnapshot after = CWinMemoryStatus().Sample();
  const std::string text = PassResultText(m_ullAvailBeforePass, after, ComputeMemoryReadout(after).physPercent);
  // The user did not start an automatic pass, so it keeps quiet where Windows asks for quiet.
  m_trayIcon.ShowNotification("Mnemora.Net", text.c_str(),
                              NIIF_USER | NIIF_NOSOUND | (m_bAutomaticPass ? NIIF_RESPECT_QUIET_TIME : 0));
  return 0;
}

// ---- exit, help, about, show ------------------------------------------------------------------------

void CMnemoraDlg::OnExit() {
  if (RequestExit()) CDialog::OnCancel();
}

void CMnemoraDlg::OnOK() { OnExit(); }
void CMnemoraDlg::OnCancel() { OnExit(); }

void CMnemoraDlg::OnShowWindow() { ShowWindow(SW_RESTORE); }

void CMnemoraDlg::OnHelpButton() {
  // The wide path: the ANSI one of a folder outside the code page names no file. The help
  // viewer takes its command line in ANSI, though, so such a path goes in its short form.
  std::wstring path = ModulePathW();
  path = PathForAnsiProgram(path.substr(0, path.find_last_of(L'\\') + 1) + L"MnemoraNet.chm");
  HINSTANCE hResult = ::ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<UINT_PTR>(hResult) <= 32) {
    TRACE("ShellExecute(%s) failed: %d\n", Utf8FromWide(path).c_str(),
          static_cast<int>(reinterpret_cast<INT_PTR>(hResult)));
  }
}

void CMnemoraDlg::OnAboutButton() {
  CAboutDlg dlg;
  dlg.DoModal();
}

void CMnemoraDlg::OnDestroy() {
  CDialog::OnDestroy();
  KillTimer(IDT_MEMORY_STATUS);
}

LRESULT CMnemoraDlg::OnTrayNotify(WPARAM wParam, LPARAM lParam) { return m_trayIcon.HandleNotify(wParam, lParam); }

LRESULT CMnemoraDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  // Minimizing hides the dialog: the program lives on in the notification area. The system keeps
  // flags in the low four bits of the command.
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
    ShowWindow(SW_HIDE);
    return 0;
  }
  if (message == s_uTaskbarCreated) m_trayIcon.Restore();
  if (message == WM_DPICHANGED) return OnDpiChanged(wParam, lParam);
  // A request that comes while the dialog is still initialising (its thread takes sent messages
  // while it waits for the shell) is refused; the asking process tries again.
  if ((message == ShowMainWindowMessage() || message == OptimizeRequestMessage()) && !m_bInitialised) return 0;
  if (message == ShowMainWindowMessage()) {
    ShowWindow(SW_RESTORE);
    BringWindowToTop();
    SetForegroundWindow();
    return kRequestTaken;
  }
  if (message == OptimizeRequestMessage()) {
    OnOptimize();  // as the tray's Optimize
    return kRequestTaken;
  }
  return CDialog::WindowProc(message, wParam, lParam);
}

LRESULT CMnemoraDlg::OnDpiChanged(WPARAM wParam, LPARAM lParam) {
  // The dialog manager of a per-monitor v2 dialog lays the controls out anew and sizes the
  // window; the controls with fonts of their own make them again when they hear of it after us.
  const LRESULT lResult = CDialog::WindowProc(WM_DPICHANGED, wParam, lParam);
  m_frame.UpdateForDpi(m_hWnd);
  for (CFittingText& fit : m_fitReadouts) fit.Forget();
  RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return lResult;
}

// ---- painting --------------------------------------------------------------------------------------

void CMnemoraDlg::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cxIcon = ::GetSystemMetrics(SM_CXICON);
    int cyIcon = ::GetSystemMetrics(SM_CYICON);
    CRect rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.Width() - cxIcon + 1) / 2, (rect.Height() - cyIcon + 1) / 2, m_hIcon);
    return;
  }
  CPaintDC dc(this);
  m_frame.PaintPanel(dc, m_hWnd);
  CDialog::OnPaint();
}

LRESULT CMnemoraDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT lResult = CDialog::DefWindowProc(message, wParam, lParam);
  switch (message) {
    case WM_MOVE:
    case WM_PAINT:
    case WM_NOTIFY:
    case WM_NCPAINT:
    case WM_NCACTIVATE:
      // A hidden dialog shows no frame (the one being set up is moved and activated before it
      // shows); WM_NCPAINT paints it once the dialog shows.
      if (::IsWindow(m_hWnd) && IsWindowVisible()) {
        CWindowDC dc(this);
        if (dc.GetSafeHdc()) PaintCustomFrame(&dc);
      }
      break;
    default:
      break;
  }
  return lResult;
}

void CMnemoraDlg::PaintCustomFrame(CDC* pDC) {
  const CPaintedFrame::Places places = m_frame.PaintFrame(*pDC, m_hWnd, m_hIcon);
  m_rcIcon = places.icon;
  m_rcClose = places.buttons[CPaintedFrame::kClose];
  m_rcMinimize = places.buttons[CPaintedFrame::kMinimize];
  m_rcHelp = places.buttons[CPaintedFrame::kHelp];
}

void CMnemoraDlg::OnNcMouseMove(UINT nHitTest, CPoint point) {
  CWindowDC dc(this);
  if (dc.GetSafeHdc()) {
    struct HotButton {
      const CRect* pRect;
      CPaintedFrame::Button button;
    } const buttons[] = {{&m_rcClose, CPaintedFrame::kClose},
                         {&m_rcMinimize, CPaintedFrame::kMinimize},
                         {&m_rcHelp, CPaintedFrame::kHelp}};
    for (const HotButton& b : buttons) m_frame.PaintButton(dc, m_hWnd, b.button, b.pRect->PtInRect(point), *b.pRect);
  }
  CDialog::OnNcMouseMove(nHitTest, point);
}

void CMnemoraDlg::OnNcLButtonDown(UINT nHitTest, CPoint point) {
  if (m_rcHelp.PtInRect(point)) {
    OnHelpButton();
  } else if (m_rcClose.PtInRect(point)) {
    OnExit();
  } else if (m_rcMinimize.PtInRect(point)) {
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, MAKELPARAM(point.x, point.y));
  } else if (!IsZoomed()) {
    CDialog::OnNcLButtonDown(nHitTest, point);
  }
}

HCURSOR CMnemoraDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

BEGIN_MESSAGE_MAP(CMnemoraDlg, CDialog)
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_NCMOUSEMOVE()
  ON_WM_NCLBUTTONDOWN()
  ON_WM_DESTROY()
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_ABOUT, OnAboutButton)
  ON_BN_CLICKED(IDC_HELP_BUTTON, OnHelpButton)
  ON_BN_CLICKED(IDC_OPTIMIZE, OnOptimize)
  ON_BN_CLICKED(IDC_EXIT, OnExit)
  ON_BN_CLICKED(IDC_CLEAR_CLIPBOARD, OnClearClipboard)
  ON_COMMAND(ID_SHOW_WINDOW, OnShowWindow)
  ON_BN_CLICKED(IDC_AUTO_START, OnAutoStart)
  ON_BN_CLICKED(IDC_AUTO_FREE, OnAutoFree)
  ON_EN_KILLFOCUS(IDC_AUTO_FREE_NUM, OnKillFocusAutoFreeNum)
  ON_WM_ENDSESSION()
  ON_MESSAGE_VOID(WM_CLOSE, OnExit)
  ON_MESSAGE(WM_OPTIMIZE_FINISHED, OnOptimizeFinished)
  ON_MESSAGE(WM_TRAY_NOTIFY, OnTrayNotify)
END_MESSAGE_MAP()
