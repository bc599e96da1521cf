#include "win/Register.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char kTestRoot[] = "SOFTWARE\\MnemoraTest";

class CTestKey {
public:
    CTestKey() = default;
    ~CTestKey()
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
    }
    CTestKey(const CTestKey&) = delete;
    CTestKey& operator=(const CTestKey&) = delete;

    bool Open(const std::string& path)
    {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &hKey) !=
            ERROR_SUCCESS)
            return false;
        m_hKey = hKey;
        return true;
    }
    HKEY Get() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};

bool KeyExists(const std::string& path)
{
    CTestKey key;
    return key.Open(path);
}

void DeleteTestRoot()
{
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestRoot);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestRoot);
}

// Writes raw data of any type, as another program might have.
void SetRawValue(const std::string& path, const char* name, DWORD type,
                 const std::vector<BYTE>& data)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    const LONG rc = ::RegSetValueExA(hKey, name, 0, type, data.data(),
                                     static_cast<DWORD>(data.size()));
    ::RegCloseKey(hKey);
    ASSERT_EQ(rc, ERROR_SUCCESS);
}

class RegistryStoreTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteTestRoot();
        ASSERT_FALSE(KeyExists(kTestRoot));
    }
    void TearDown() override
    {
        DeleteTestRoot();
        EXPECT_FALSE(KeyExists(kTestRoot)) << "test key left behind";
    }

    // Same shape as the program's own paths, trailing backslash included.
    const std::string m_key = std::string(kTestRoot) + "\\Store\\";
    CRegistryStore m_store;
};

} // namespace

TEST_F(RegistryStoreTest, ReadString_MissingKey_CreatesKeyAndReadsEmpty)
{
    EXPECT_EQ(m_store.ReadString(m_key, "AutoFree"), "");
    EXPECT_TRUE(KeyExists(m_key));
}

TEST_F(RegistryStoreTest, WriteString_ThenReadString_RoundTripsAsTerminatedRegSz)
{
    m_store.WriteString(m_key, "AutoFreeNum", "15");
    EXPECT_EQ(m_store.ReadString(m_key, "AutoFreeNum"), "15");

    CTestKey key;
    ASSERT_TRUE(key.Open(m_key));
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(::RegQueryValueExA(key.Get(), "AutoFreeNum", nullptr, &type, nullptr, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 3u);

    m_store.WriteString(m_key, "AutoFreeNum", "7");
    EXPECT_EQ(m_store.ReadString(m_key, "AutoFreeNum"), "7");
}

TEST_F(RegistryStoreTest, WriteString_MissingKey_CreatesIt)
{
    const std::string deeper = m_key + "A\\B\\";
    m_store.WriteString(deeper, "Mnemora.Net", "\"C:\\Program Files\\Mnemora.exe\" -m");
    EXPECT_TRUE(KeyExists(deeper));
    EXPECT_EQ(m_store.ReadString(deeper, "Mnemora.Net"), "\"C:\\Program Files\\Mnemora.exe\" -m");
}

TEST_F(RegistryStoreTest, WriteString_EmptyKeyOrData_WritesNothing)
{
    m_store.WriteString(m_key, "AutoFree", "");
    EXPECT_FALSE(KeyExists(m_key));
    m_store.WriteString("", "MnemoraTestValue", "TRUE");
    EXPECT_EQ(m_store.ReadString("", "MnemoraTestValue"), "");
    CTestKey software;
    ASSERT_TRUE(software.Open("SOFTWARE"));
    EXPECT_NE(::RegQueryValueExA(software.Get(), "MnemoraTestValue", nullptr, nullptr, nullptr,
                                 nullptr),
              ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, ReadString_LengthLimit_49CharactersFitLongerReadEmpty)
{
    const std::string fits(49, 'x');
    m_store.WriteString(m_key, "Fits", fits);
    EXPECT_EQ(m_store.ReadString(m_key, "Fits"), fits);

    m_store.WriteString(m_key, "Fifty", std::string(50, 'y'));
    EXPECT_EQ(m_store.ReadString(m_key, "Fifty"), "");

    m_store.WriteString(m_key, "Long", std::string(300, 'z'));
    EXPECT_EQ(m_store.ReadString(m_key, "Long"), "");
}

TEST_F(RegistryStoreTest, ReadString_MissingValue_ReadsEmpty)
{
    m_store.WriteString(m_key, "Other", "TRUE");
    EXPECT_EQ(m_store.ReadString(m_key, "AutoStart"), "");
}

TEST_F(RegistryStoreTest, ReadString_OtherTypesWithoutTerminator_NeverOverrun)
{
    SetRawValue(m_key, "Binary50", REG_BINARY, std::vector<BYTE>(50, 'A'));
    SetRawValue(m_key, "Binary64", REG_BINARY, std::vector<BYTE>(64, 'A'));
    SetRawValue(m_key, "Dword64", REG_DWORD, std::vector<BYTE>(64, 'D'));
    SetRawValue(m_key, "Sz50", REG_SZ, std::vector<BYTE>(50, 'S'));

    for (const char* name : {"Binary50", "Binary64", "Dword64", "Sz50"}) {
        const std::string text = m_store.ReadString(m_key, name);
        EXPECT_LT(text.size(), 50u) << name;
        EXPECT_EQ(text.find_first_not_of(name[0]), std::string::npos) << name << ": " << text;
    }
    EXPECT_EQ(m_store.ReadString(m_key, "Binary50"), "");
    EXPECT_EQ(m_store.ReadString(m_key, "Dword64"), "");
}

TEST_F(RegistryStoreTest, ReadString_ShortDataWithoutTerminator_ReadsTerminated)
{
    SetRawValue(m_key, "Binary", REG_BINARY, std::vector<BYTE>(10, 'B'));
    SetRawValue(m_key, "Dword", REG_DWORD, {'A', 'B', 'C', 'D'});
    SetRawValue(m_key, "DwordWithZero", REG_DWORD, {'A', 'B', 0, 0});

    EXPECT_EQ(m_store.ReadString(m_key, "Binary"), std::string(10, 'B'));
    EXPECT_EQ(m_store.ReadString(m_key, "Dword"), "ABCD");
    EXPECT_EQ(m_store.ReadString(m_key, "DwordWithZero"), "AB");
}

TEST_F(RegistryStoreTest, DeleteValue_ExistingValue_Removed)
{
    m_store.WriteString(m_key, "Mnemora.Net", "x -m");
    m_store.WriteString(m_key, "Keep", "TRUE");
    m_store.DeleteValue(m_key, "Mnemora.Net");

    EXPECT_EQ(m_store.ReadString(m_key, "Mnemora.Net"), "");
    EXPECT_EQ(m_store.ReadString(m_key, "Keep"), "TRUE");
}

TEST_F(RegistryStoreTest, DeleteValue_MissingValueOrKey_SilentAndCreatesNoKey)
{
    m_store.DeleteValue(m_key, "Mnemora.Net");
    EXPECT_FALSE(KeyExists(m_key));

    m_store.WriteString(m_key, "Keep", "TRUE");
    m_store.DeleteValue(m_key, "Missing");
    EXPECT_EQ(m_store.ReadString(m_key, "Keep"), "TRUE");
}
