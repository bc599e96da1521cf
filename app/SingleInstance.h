#pragma once
#include <windows.h>

#include <initializer_list>

// One copy per desktop. A named mutex marks that a copy runs; its main dialog is found by the
// dialog's own caption, whatever the executable file is called, and asked for what a later
// start wants through registered messages that it lets in from other processes.

enum class InstanceClaim { kFirst, kAnotherRuns };

// kFirst: *phMutex holds the marker until the program ends. kAnotherRuns: nothing is kept, so
// a running copy that ends meanwhile leaves no marker behind it.
InstanceClaim ClaimSingleInstance(HANDLE* phMutex);

// Whether the marker exists, without making one.
bool AnotherCopyRuns();

// The running copy's main dialog, or null.
HWND FindRunningCopy();

// Sent to the running copy's dialog: show yourself and take the foreground. The dialog
// answers kRequestTaken.
UINT ShowMainWindowMessage();
// Sent by "Mnemora /optimize": run a pass, as the tray's Optimize does. A message of its own, so
// WM_COMMAND (which would let any process click Exit) stays closed to other processes.
UINT OptimizeRequestMessage();
constexpr LRESULT kRequestTaken = 1;

// Lets the running copy take the foreground, then sends it the request. True when the
// dialog answered that it took it (a dialog still in its initialisation does not).
bool AskRunningCopy(HWND hDialog, UINT uMessage);

// User interface privilege isolation drops messages from processes of lower integrity to an
// elevated copy (the shell's too): these get through to hWnd.
void LetThroughFromOtherProcesses(HWND hWnd, std::initializer_list<UINT> messages);

// Stand-ins for tests: Wine enforces neither mutex access rules nor message filters.
using CreateMutexFn = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES, BOOL, LPCSTR);
void SetCreateMutexStandIn(CreateMutexFn pfn);
using MessageFilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
void SetMessageFilterStandIn(MessageFilterFn pfn);
