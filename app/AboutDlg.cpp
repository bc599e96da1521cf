#include "AboutDlg.h"

#include "DialogLook.h"
#include "ProductInfo.h"

namespace {
const COLORREF kDialogBack = RGB(222, 223, 222);
const COLORREF kDialogText = RGB(115, 115, 115);
}  // namespace

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX, nullptr) {}

void CAboutDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDOK, m_btnClose);
  DDX_Control(pDX, IDC_ABOUT_VERSION, m_lblVersion);
  DDX_Control(pDX, IDC_ABOUT_NOTICE, m_lblNotice);
  DDX_Control(pDX, IDC_ABOUT_TITLE, m_lblTitle);
  DDX_Control(pDX, IDC_ABOUT_MAIL_LINK, m_linkMail);
  DDX_Control(pDX, IDC_ABOUT_WEB_LINK, m_linkWeb);
}

BOOL CAboutDlg::OnInitDialog() {
  CDialog::OnInitDialog();

  m_lblTitle.SetBackColor(kDialogBack).SetForeColor(kDialogText).SetFontFace("Arial Black").SetFontHeight(16);
  m_lblNotice.SetBackColor(kDialogBack).SetForeColor(kDialogText).SetFontFace("Verdana");
  m_lblVersion.SetBackColor(kDialogBack).SetForeColor(kDialogText).SetFontFace("Verdana");

  m_linkWeb.SetLinkColors(look::kLinkGrey, look::kLinkGrey, static_cast<COLORREF>(-1));
  m_linkWeb.SetLinkTarget(CString(MNEMORA_HOMEPAGE) + "/?goto=Program-About");
  m_linkWeb.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);

  m_linkMail.SetLinkColors(look::kLinkGrey, look::kLinkGrey, static_cast<COLORREF>(-1));
  m_linkMail.SetLinkTarget(CString("mailto:") + MNEMORA_SUPPORT_MAIL);
  m_linkMail.SetUnderlineMode(CHyperLink::UNDERLINE_ALWAYS);

  m_btnClose.SetRoundCorners(TRUE, TRUE);
  look::SetButtonColors(m_btnClose);
  return TRUE;
}

BEGIN_MESSAGE_MAP(CAboutDlg, CDialog)
END_MESSAGE_MAP()
