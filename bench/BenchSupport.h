#pragma once
// What the bench drivers share.
#include <windows.h>

namespace bench {

inline constexpr char kSettingsKey[] = "SOFTWARE\\Mnemora.Net";

// A kernel handle closed with its holder.
class Handle {
 public:
  explicit Handle(HANDLE h = nullptr) : m_h(h) {}
  ~Handle() {
    if (m_h) CloseHandle(m_h);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE Get() const { return m_h; }

 private:
  HANDLE m_h;
};

}  // namespace bench
