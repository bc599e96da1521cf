#pragma once
// Kept for the familiar include: the control wrappers are in afxctrls.h, which afxwin.h brings in;
// the image list and the toolbar have headers of their own.
#include "afxcmn_imagelist.h"
#include "afxtoolbar.h"
#include "afxwin.h"
