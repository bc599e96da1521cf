#pragma once
// The common control wrappers live with the window classes.
#include "afxwin.h"
