#include "afxdiag.h"

#if AFX_DIAGNOSTICS

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>

void AfxTrace(const char* lpszFormat, ...) {
  char buf[1024];
  va_list args;
  va_start(args, lpszFormat);
  const int n = std::vsnprintf(buf, sizeof buf, lpszFormat, args);
  va_end(args);
  if (n < 0) return;
  buf[sizeof buf - 1] = '\0';  // a longer line is cut, never left open
  ::OutputDebugStringA(buf);
}

void AfxAssertFailed(const char* lpszFile, int nLine, const char* lpszExpression) {
  AfxTrace("%s(%d): assertion failed: %s\n", lpszFile, nLine, lpszExpression);
  if (::IsDebuggerPresent()) ::DebugBreak();
  std::abort();
}

void AfxTraceCurrentException(const char* lpszWhere) {
  try {
    throw;
  } catch (const std::exception& e) {
    AfxTrace("%s: exception swallowed: %s\n", lpszWhere, e.what());
  } catch (...) {
    AfxTrace("%s: exception swallowed\n", lpszWhere);
  }
}

#endif
