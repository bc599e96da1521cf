#include "win/WideText.h"

#include <climits>
#include <vector>

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
  if (text.empty() || text.size() > static_cast<size_t>(INT_MAX)) return {};
  const int n =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr, nullptr);
  return utf8;
}

std::wstring ModulePathW(HMODULE hModule) {
  // Paths may exceed MAX_PATH where long paths are enabled; a full buffer means "cut short".
  for (DWORD size = MAX_PATH + 1; size <= 32768 * 2; size *= 2) {
    std::vector<wchar_t> buf(size, L'\0');
    const DWORD n = ::GetModuleFileNameW(hModule, buf.data(), size);
    if (n == 0) return {};
    if (n < size) return std::wstring(buf.data(), n);
  }
  return {};
}

std::wstring PathForAnsiProgram(const std::wstring& path) {
  BOOL bLost = FALSE;
  if (path.empty() ||
      (::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, path.c_str(), -1, nullptr, 0, nullptr, &bLost) > 0 &&
       !bLost))
    return path;
  const DWORD n = ::GetShortPathNameW(path.c_str(), nullptr, 0);
  if (n == 0) return path;
  std::vector<wchar_t> shortPath(n + 1, L'\0');
  const DWORD got = ::GetShortPathNameW(path.c_str(), shortPath.data(), n + 1);
  return got > 0 && got <= n ? std::wstring(shortPath.data(), got) : path;
}
