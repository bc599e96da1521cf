#include "FittingText.h"

namespace {

// A static control breaks a text wider than its client area onto a second line, which the
// value labels have no room to show: the unit would vanish.
bool FitsOnOneLine(HDC hdc, const std::string& text, int cxAvailable) {
  SIZE size = {};
  return ::GetTextExtentPoint32A(hdc, text.c_str(), static_cast<int>(text.size()), &size) && size.cx <= cxAvailable;
}

}  // namespace

void SetFittingText(CWnd& label, const std::vector<std::string>& choices) {
  if (choices.empty() || !label.GetSafeHwnd()) return;
  const std::string* pChoice = &choices.back();
  {
    CRect rcClient;
    label.GetClientRect(&rcClient);
    // A memory DC measures as the screen does; selecting a font into a window DC costs Wine's X11
    // driver a round of look-ups each time, and this runs for six labels every second.
    CMemoryDC dc(nullptr);
    if (dc.GetSafeHdc()) {
      CSelectGuard select(dc, label.GetFont());
      for (const std::string& text : choices) {
        if (FitsOnOneLine(dc, text, rcClient.Width())) {
          pChoice = &text;
          break;
        }
      }
    } else {
      pChoice = &choices.front();
    }
  }
  CString current;
  label.GetWindowText(current);
  if (!(current == pChoice->c_str())) label.SetWindowText(pChoice->c_str());
}

void CFittingText::Show(CWnd& label, const std::vector<std::string>& choices) {
  if (choices.empty() || !label.GetSafeHwnd()) return;
  CString current;
  label.GetWindowText(current);
  // Someone else may have written the label meanwhile; then it is fitted anew.
  if (choices.front() == m_strFirst && current == m_strShown.c_str()) return;
  SetFittingText(label, choices);
  label.GetWindowText(current);
  m_strFirst = choices.front();
  m_strShown = static_cast<const char*>(current);
}
