#pragma once
// Debug-build diagnostics. TRACE writes a printf-style line to the debugger's output
// (OutputDebugString); ASSERT traces the failed condition with its place and stops the program.
// A release build (NDEBUG without _DEBUG) compiles both to nothing and evaluates no argument, so
// an argument must never be needed for its side effects; VERIFY keeps its expression there.
#include <windows.h>

#if defined(_DEBUG) || !defined(NDEBUG)
#define AFX_DIAGNOSTICS 1
#else
#define AFX_DIAGNOSTICS 0
#endif

#if AFX_DIAGNOSTICS

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
void AfxTrace(const char* lpszFormat, ...);
[[noreturn]] void AfxAssertFailed(const char* lpszFile, int nLine, const char* lpszExpression);
// Traces what the exception being handled says; call it only inside a catch block.
void AfxTraceCurrentException(const char* lpszWhere);

#define TRACE(...) AfxTrace(__VA_ARGS__)
#define ASSERT(f) ((f) ? static_cast<void>(0) : AfxAssertFailed(__FILE__, __LINE__, #f))
#define VERIFY(f) ASSERT(f)
#define TRACE_CURRENT_EXCEPTION(where) AfxTraceCurrentException(where)

#else

#define TRACE(...) static_cast<void>(0)
#define ASSERT(f) static_cast<void>(0)
#define VERIFY(f) static_cast<void>(f)
#define TRACE_CURRENT_EXCEPTION(where) static_cast<void>(0)

#endif
