#pragma once
// Narrow string with the familiar CString surface, stored in std::string.
#include <windows.h>

#include <cstdarg>
#include <string>

class CString {
 public:
  CString() = default;
  CString(const char* psz) : m_s(psz ? psz : "") {}
  CString(const char* pch, int nLength)
      : m_s(pch ? std::string(pch, nLength > 0 ? static_cast<size_t>(nLength) : 0) : std::string()) {}
  CString(char ch, int nRepeat = 1) : m_s(nRepeat > 0 ? static_cast<size_t>(nRepeat) : 0, ch) {}
  CString(const std::string& s) : m_s(s) {}

  int GetLength() const { return static_cast<int>(m_s.size()); }
  bool IsEmpty() const { return m_s.empty(); }
  void Empty() { m_s.clear(); }
  const char* GetString() const { return m_s.c_str(); }
  operator const char*() const { return m_s.c_str(); }
  const std::string& str() const { return m_s; }

  char GetAt(int i) const { return m_s.at(static_cast<size_t>(i)); }
  char operator[](int i) const { return GetAt(i); }
  void SetAt(int i, char ch) { m_s.at(static_cast<size_t>(i)) = ch; }

  CString& operator=(const char* psz) {
    m_s = psz ? psz : "";
    return *this;
  }
  CString& operator=(char ch) {
    m_s.assign(1, ch);
    return *this;
  }
  CString& operator+=(const char* psz) {
    if (psz) m_s += psz;
    return *this;
  }
  CString& operator+=(const CString& s) {
    m_s += s.m_s;
    return *this;
  }
  CString& operator+=(char ch) {
    m_s += ch;
    return *this;
  }

  friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
  friend CString operator+(const CString& a, const char* b) {
    CString r(a);
    r += b;
    return r;
  }
  friend CString operator+(const char* a, const CString& b) {
    CString r(a);
    r += b;
    return r;
  }
  friend CString operator+(const CString& a, char b) {
    CString r(a);
    r += b;
    return r;
  }

  int Compare(const char* psz) const { return m_s.compare(psz ? psz : ""); }
  int CompareNoCase(const char* psz) const;
  friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
  friend bool operator==(const CString& a, const char* b) { return a.Compare(b) == 0; }
  friend bool operator==(const char* a, const CString& b) { return b.Compare(a) == 0; }
  friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
  friend bool operator!=(const CString& a, const char* b) { return !(a == b); }
  friend bool operator!=(const char* a, const CString& b) { return !(a == b); }

  int Find(char ch, int nStart = 0) const;
  int Find(const char* psz, int nStart = 0) const;
  int ReverseFind(char ch) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString Mid(int nFirst, int nCount = -1) const;
  CString& TrimLeft();
  CString& TrimRight();

  void Format(const char* pszFormat, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 2, 3)))
#endif
      ;
  void FormatV(const char* pszFormat, va_list args);

  // Room for nMinBufLength characters plus the terminator; ReleaseBuffer cuts at the first NUL.
  char* GetBuffer(int nMinBufLength);
  char* GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);

  bool LoadString(unsigned int nID);

 private:
  std::string m_s;
};
