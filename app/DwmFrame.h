#pragma once
#include <windows.h>

// With desktop composition on, the desktop window manager draws a captioned window's frame itself
// and nothing painted through the window DC shows there. This asks it to leave the non-client area
// to the window, so the painted frame, caption and caption buttons are what the user sees. dwmapi is
// loaded at run time: where it is missing nothing happens.
void LeaveFrameToWindow(HWND hWnd);

// Tests put a recording stand-in for DwmSetWindowAttribute here; nullptr goes back to dwmapi's own.
using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);
void SetDwmSetWindowAttributeStandIn(DwmSetWindowAttributeFn pfn);
