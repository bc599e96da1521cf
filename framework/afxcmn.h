#pragma once
// Kept for the familiar include; the control wrappers are in afxctrls.h, which afxwin.h brings in.
#include "afxwin.h"
