#include "Register.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "win/WideText.h"

namespace {

constexpr DWORD kReadBufferSize = 50;

class CKeyHandle {
 public:
  CKeyHandle() = default;
  ~CKeyHandle() { Reset(nullptr); }
  CKeyHandle(const CKeyHandle&) = delete;
  CKeyHandle& operator=(const CKeyHandle&) = delete;

  void Reset(HKEY hKey) {
    if (m_hKey != nullptr) ::RegCloseKey(m_hKey);
    m_hKey = hKey;
  }
  HKEY Get() const { return m_hKey; }

 private:
  HKEY m_hKey = nullptr;
};

HKEY RootKey(CRegistryRoot::Root root) {
  return root == CRegistryRoot::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// The out handle is only taken on success; a failed call may leave anything in it.
bool OpenKey(HKEY root, const std::string& path, REGSAM access, CKeyHandle& key) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExA(root, path.c_str(), 0, access, &hKey) != ERROR_SUCCESS) return false;
  key.Reset(hKey);
  return true;
}

// Opens an existing key or creates it; either way only with the right to set values, which
// is exactly what a standard user lacks under HKEY_LOCAL_MACHINE.
bool OpenOrCreateKeyForWrite(HKEY root, const std::string& path, CKeyHandle& key) {
  HKEY hKey = nullptr;
  if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
    return false;
  key.Reset(hKey);
  return true;
}

const wchar_t kRunKeyW[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kRunValueNameW[] = L"Mnemora.Net";

HKEY StartupRoot(IStartupEntries::Scope scope) {
  return scope == IStartupEntries::kMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool OpenRunKey(IStartupEntries::Scope scope, REGSAM access, CKeyHandle& key) {
  HKEY hKey = nullptr;
  if (::RegOpenKeyExW(StartupRoot(scope), kRunKeyW, 0, access, &hKey) != ERROR_SUCCESS) return false;
  key.Reset(hKey);
  return true;
}

}  // namespace

bool CRegistryRoot::WriteString(const std::string& key, const std::string& name, const std::string& data) {
  if (key.empty() || data.empty() || data.size() >= std::numeric_limits<DWORD>::max()) return false;
  CKeyHandle hKey;
  if (!OpenOrCreateKeyForWrite(RootKey(m_root), key, hKey)) return false;
  return ::RegSetValueExA(hKey.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
}

std::optional<std::string> CRegistryRoot::ReadString(const std::string& key, const std::string& name) {
  if (key.empty()) return std::nullopt;
  CKeyHandle hKey;
  if (!OpenKey(RootKey(m_root), key, KEY_QUERY_VALUE, hKey)) return std::nullopt;

  char buf[kReadBufferSize] = {};
  DWORD size = sizeof buf;
  DWORD type = REG_NONE;
  if (::RegQueryValueExA(hKey.Get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) !=
      ERROR_SUCCESS)
    return std::nullopt;
  // A number or bytes read as text would be garbage (a REG_DWORD 20 reads as "\x14").
  if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
  // A string need not have been stored with its terminator. It must fit with one, as a
  // string of 49 characters does, or it reads as missing.
  if (size > sizeof buf) return std::nullopt;
  if (std::memchr(buf, '\0', size) == nullptr) {
    if (size == sizeof buf) return std::nullopt;
    buf[size] = '\0';
  }
  return std::string(buf);
}

void CRegistryRoot::DeleteValue(const std::string& key, const std::string& name) {
  if (key.empty()) return;
  CKeyHandle hKey;
  if (OpenKey(RootKey(m_root), key, KEY_SET_VALUE, hKey)) ::RegDeleteValueA(hKey.Get(), name.c_str());
}

CRegistryStore::CRegistryStore()
    : m_machine(CRegistryRoot::kMachine), m_user(CRegistryRoot::kUser), m_layered(m_machine, m_user) {}

bool CRegistryStore::WriteString(const std::string& key, const std::string& name, const std::string& data) {
  return m_layered.WriteString(key, name, data);
}

std::optional<std::string> CRegistryStore::ReadString(const std::string& key, const std::string& name) {
  return m_layered.ReadString(key, name);
}

void CRegistryStore::DeleteValue(const std::string& key, const std::string& name) { m_layered.DeleteValue(key, name); }

std::optional<std::string> CRegistryStartupEntries::Read(Scope scope) {
  CKeyHandle hKey;
  if (!OpenRunKey(scope, KEY_QUERY_VALUE, hKey)) return std::nullopt;
  // Sized by asking first; another program may change the value in between, hence the loop.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (::RegQueryValueExW(hKey.Get(), kRunValueNameW, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    // One more character than the data holds, so the text ends whether it was stored with its
    // terminator or not.
    std::vector<wchar_t> buf(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = static_cast<DWORD>((buf.size() - 1) * sizeof(wchar_t));
    const LONG result =
        ::RegQueryValueExW(hKey.Get(), kRunValueNameW, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &got);
    if (result == ERROR_MORE_DATA) continue;
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
    buf[std::min<size_t>(got / sizeof(wchar_t), buf.size() - 1)] = L'\0';
    return Utf8FromWide(buf.data());
  }
  return std::nullopt;
}

void CRegistryStartupEntries::WriteUser(const std::string& command) {
  const std::wstring wide = WideFromUtf8(command);
  if (wide.empty() || wide.size() >= std::numeric_limits<DWORD>::max() / sizeof(wchar_t)) return;
  HKEY hKey = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKeyW, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &hKey,
                        nullptr) != ERROR_SUCCESS)
    return;
  CKeyHandle key;
  key.Reset(hKey);
  ::RegSetValueExW(key.Get(), kRunValueNameW, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

void CRegistryStartupEntries::Remove(Scope scope) {
  CKeyHandle hKey;
  if (OpenRunKey(scope, KEY_SET_VALUE, hKey)) ::RegDeleteValueW(hKey.Get(), kRunValueNameW);
}
