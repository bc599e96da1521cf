#pragma once
// The common control wrappers: most live with the window classes; the image list and the toolbar
// have headers of their own.
#include "afxcmn_imagelist.h"
#include "afxtoolbar.h"
#include "afxwin.h"
