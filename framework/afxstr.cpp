#include "afxstr.h"

#include <windows.h>

#include <cctype>
#include <cstdio>
#include <cstring>

int CString::CompareNoCase(const char* psz) const { return lstrcmpiA(m_s.c_str(), psz ? psz : ""); }

int CString::Find(char ch, int nStart) const {
  if (nStart < 0 || nStart > GetLength()) return -1;
  size_t pos = m_s.find(ch, static_cast<size_t>(nStart));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* psz, int nStart) const {
  if (!psz || nStart < 0 || nStart > GetLength()) return -1;
  size_t pos = m_s.find(psz, static_cast<size_t>(nStart));
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const {
  size_t pos = m_s.rfind(ch);
  return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

CString CString::Left(int nCount) const {
  if (nCount <= 0) return CString();
  return CString(m_s.substr(0, static_cast<size_t>(nCount)));
}

CString CString::Right(int nCount) const {
  if (nCount <= 0) return CString();
  if (nCount >= GetLength()) return *this;
  return CString(m_s.substr(m_s.size() - static_cast<size_t>(nCount)));
}

CString CString::Mid(int nFirst, int nCount) const {
  if (nFirst < 0) nFirst = 0;
  if (nFirst >= GetLength()) return CString();
  if (nCount < 0) return CString(m_s.substr(static_cast<size_t>(nFirst)));
  return CString(m_s.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString& CString::TrimLeft() {
  size_t i = 0;
  while (i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[i]))) ++i;
  m_s.erase(0, i);
  return *this;
}

CString& CString::TrimRight() {
  size_t n = m_s.size();
  while (n > 0 && std::isspace(static_cast<unsigned char>(m_s[n - 1]))) --n;
  m_s.resize(n);
  return *this;
}

void CString::Format(const char* pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

void CString::FormatV(const char* pszFormat, va_list args) {
  va_list probe;
  va_copy(probe, args);
  int n = std::vsnprintf(nullptr, 0, pszFormat, probe);
  va_end(probe);
  if (n < 0) {
    m_s.clear();
    return;
  }
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(&out[0], out.size(), pszFormat, args);
  out.resize(static_cast<size_t>(n));
  m_s.swap(out);
}

char* CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_s.resize(static_cast<size_t>(nMinBufLength));
  return &m_s[0];
}

char* CString::GetBufferSetLength(int nNewLength) {
  m_s.resize(nNewLength > 0 ? static_cast<size_t>(nNewLength) : 0);
  return &m_s[0];
}

void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) nNewLength = static_cast<int>(std::strlen(m_s.c_str()));
  if (nNewLength > GetLength()) nNewLength = GetLength();
  m_s.resize(static_cast<size_t>(nNewLength));
}

bool CString::LoadString(unsigned int nID) {
  char buf[512];
  int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buf, static_cast<int>(sizeof buf));
  if (n <= 0) {
    m_s.clear();
    return false;
  }
  m_s.assign(buf, static_cast<size_t>(n));
  return true;
}
