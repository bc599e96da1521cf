#pragma once
#include <string>
#include <vector>

#include "afxwin.h"

// Shows in the static control the first of the texts that fits on one line in its font, or the
// last one when none does; a text is written only when it differs from what the control shows.
void SetFittingText(CWnd& label, const std::vector<std::string>& choices);
