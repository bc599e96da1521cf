#pragma once
#include <string>
#include <vector>

#include "afxwin.h"

// Shows in the static control the first of the texts that fits on one line in its font, or the
// last one when none does; a text is written only when it differs from what the control shows.
void SetFittingText(CWnd& label, const std::vector<std::string>& choices);

// SetFittingText for one label that remembers its last fit: while the figure stays the same, the
// label is neither measured nor rewritten (the refresh runs every second, mostly unchanged).
class CFittingText {
 public:
  void Show(CWnd& label, const std::vector<std::string>& choices);
  // The label's font changed: the next Show fits anew.
  void Forget() { m_strFirst.clear(); }

 private:
  std::string m_strFirst;  // the first choice of the last fit
  std::string m_strShown;  // what that fit showed
};
