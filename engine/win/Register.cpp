#include "Register.h"

#include <windows.h>

#include <cstring>
#include <limits>

namespace {

constexpr DWORD kReadBufferSize = 50;

class CKeyHandle {
public:
    CKeyHandle() = default;
    ~CKeyHandle() { Reset(nullptr); }
    CKeyHandle(const CKeyHandle&) = delete;
    CKeyHandle& operator=(const CKeyHandle&) = delete;

    void Reset(HKEY hKey)
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
        m_hKey = hKey;
    }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

// The out handle is only taken on success; a failed call may leave anything in it.
bool OpenKey(const std::string& path, CKeyHandle& key)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return false;
    key.Reset(hKey);
    return true;
}

bool OpenOrCreateKey(const std::string& path, CKeyHandle& key)
{
    if (OpenKey(path, key))
        return true;
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                          KEY_ALL_ACCESS, nullptr, &hKey, nullptr) != ERROR_SUCCESS)
        return false;
    key.Reset(hKey);
    return true;
}

} // namespace

CRegistryStore::~CRegistryStore() = default;

void CRegistryStore::WriteString(const std::string& key, const std::string& name,
                                 const std::string& data)
{
    if (key.empty() || data.empty() || data.size() >= std::numeric_limits<DWORD>::max())
        return;
    CKeyHandle hKey;
    if (!OpenOrCreateKey(key, hKey))
        return;
    ::RegSetValueExA(hKey.Get(), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(data.c_str()),
                     static_cast<DWORD>(data.size() + 1));
}

std::string CRegistryStore::ReadString(const std::string& key, const std::string& name)
{
    if (key.empty())
        return std::string();
    CKeyHandle hKey;
    if (!OpenOrCreateKey(key, hKey))
        return std::string();

    char buf[kReadBufferSize] = {};
    DWORD size = sizeof buf;
    if (::RegQueryValueExA(hKey.Get(), name.c_str(), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
        return std::string();
    // Data of another type need not end in a zero. It must fit with its terminator,
    // as a string of 49 characters does, or it reads as "".
    if (size > sizeof buf)
        return std::string();
    if (std::memchr(buf, '\0', size) == nullptr) {
        if (size == sizeof buf)
            return std::string();
        buf[size] = '\0';
    }
    return std::string(buf);
}

void CRegistryStore::DeleteValue(const std::string& key, const std::string& name)
{
    if (key.empty())
        return;
    CKeyHandle hKey;
    if (OpenKey(key, hKey))
        ::RegDeleteValueA(hKey.Get(), name.c_str());
}
