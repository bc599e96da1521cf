#include "win/Register.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The test's stand-ins for both roots live here, in the real HKEY_CURRENT_USER.
const char kTestRoot[] = "Software\\MnemoraTest";

class CTestKey {
 public:
  CTestKey() = default;
  ~CTestKey() { Reset(nullptr); }
  CTestKey(const CTestKey&) = delete;
  CTestKey& operator=(const CTestKey&) = delete;

  void Reset(HKEY hKey) {
    if (m_hKey != nullptr) ::RegCloseKey(m_hKey);
    m_hKey = hKey;
  }
  bool Open(HKEY parent, const std::string& path) {
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS) return false;
    Reset(hKey);
    return true;
  }
  bool Create(HKEY parent, const std::string& path, DWORD options) {
    HKEY hKey = nullptr;
    if (::RegCreateKeyExA(parent, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &hKey, nullptr) !=
        ERROR_SUCCESS)
      return false;
    Reset(hKey);
    return true;
  }
  HKEY Get() const { return m_hKey; }

 private:
  HKEY m_hKey = nullptr;
};

bool KeyExists(HKEY parent, const std::string& path) {
  CTestKey key;
  return key.Open(parent, path);
}

void DeleteTestRoot() {
  ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestRoot);
  ::RegDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
}

// Writes raw data of any type, as another program might have.
void SetRawValue(HKEY parent, const std::string& path, const char* name, DWORD type, const std::vector<BYTE>& data) {
  CTestKey key;
  ASSERT_TRUE(key.Create(parent, path, REG_OPTION_NON_VOLATILE));
  ASSERT_EQ(::RegSetValueExA(key.Get(), name, 0, type, data.data(), static_cast<DWORD>(data.size())), ERROR_SUCCESS);
}

struct RawValue {
  DWORD type = REG_NONE;
  std::string text;
};

bool ReadRawValue(HKEY parent, const std::string& path, const char* name, RawValue& out) {
  CTestKey key;
  if (!key.Open(parent, path)) return false;
  char buf[300] = {};
  DWORD size = sizeof buf - 1;
  if (::RegQueryValueExA(key.Get(), name, nullptr, &out.type, reinterpret_cast<BYTE*>(buf), &size) != ERROR_SUCCESS)
    return false;
  out.text = buf;
  return true;
}

// HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER are replaced for this process by two fresh keys,
// so the tests neither need nor touch the real roots. A volatile machine root refuses every
// key the store would create under it, as HKEY_LOCAL_MACHINE refuses a standard user (the
// registry's access checks cannot be relied on to do that for a test).
class RegistryStoreTest : public ::testing::Test {
 protected:
  void SetUp() override { UseRoots(true); }
  void TearDown() override {
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    m_machine.Reset(nullptr);
    m_user.Reset(nullptr);
    DeleteTestRoot();
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kTestRoot)) << "test key left behind";
  }

  void UseRoots(bool machineWritable) {
    TearDown();
    ASSERT_TRUE(m_user.Create(HKEY_CURRENT_USER, std::string(kTestRoot) + "\\User", REG_OPTION_NON_VOLATILE));
    ASSERT_TRUE(m_machine.Create(HKEY_CURRENT_USER, std::string(kTestRoot) + "\\Machine",
                                 machineWritable ? REG_OPTION_NON_VOLATILE : REG_OPTION_VOLATILE));
    ASSERT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_machine.Get()), ERROR_SUCCESS);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, m_user.Get()), ERROR_SUCCESS);
  }

  // Same shape as the program's own paths, trailing backslash included.
  const std::string m_key = "SOFTWARE\\Store\\";
  CTestKey m_machine;
  CTestKey m_user;
  CRegistryRoot m_machineRoot{CRegistryRoot::kMachine};
};

}  // namespace

TEST_F(RegistryStoreTest, ReadString_MissingKey_ReadsNothingAndCreatesNoKey) {
  CRegistryStore store;
  EXPECT_EQ(store.ReadString(m_key, "AutoFree"), std::nullopt);
  EXPECT_FALSE(KeyExists(m_machine.Get(), "SOFTWARE"));
  EXPECT_FALSE(KeyExists(m_user.Get(), "SOFTWARE"));
}

TEST_F(RegistryStoreTest, WriteString_ThenReadString_RoundTripsAsTerminatedRegSz) {
  EXPECT_TRUE(m_machineRoot.WriteString(m_key, "AutoFreeNum", "15"));
  EXPECT_EQ(m_machineRoot.ReadString(m_key, "AutoFreeNum"), "15");

  CTestKey key;
  ASSERT_TRUE(key.Open(m_machine.Get(), m_key));
  DWORD type = 0;
  DWORD size = 0;
  ASSERT_EQ(::RegQueryValueExA(key.Get(), "AutoFreeNum", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(size, 3u);

  EXPECT_TRUE(m_machineRoot.WriteString(m_key + "A\\B\\", "AutoFreeNum", "7"));
  EXPECT_EQ(m_machineRoot.ReadString(m_key + "A\\B\\", "AutoFreeNum"), "7");
}

TEST_F(RegistryStoreTest, WriteString_EmptyKeyOrData_WritesNothing) {
  EXPECT_FALSE(m_machineRoot.WriteString(m_key, "AutoFree", ""));
  EXPECT_FALSE(KeyExists(m_machine.Get(), m_key));
  EXPECT_FALSE(m_machineRoot.WriteString("", "MnemoraTestValue", "TRUE"));
  EXPECT_NE(::RegQueryValueExA(m_machine.Get(), "MnemoraTestValue", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
}

TEST_F(RegistryStoreTest, ReadString_StoredData_OnlyTerminatedStringsThatFitCount) {
  const std::vector<BYTE> dword20 = {20, 0, 0, 0};
  const std::vector<BYTE> digits = {'2', '0', 0};
  const struct {
    const char* name;
    DWORD type;
    std::vector<BYTE> data;
    std::optional<std::string> expected;
  } cases[] = {
      {"Sz49", REG_SZ, std::vector<BYTE>(49, 'x'), std::string(49, 'x')},
      {"Sz50", REG_SZ, std::vector<BYTE>(50, 'x'), std::nullopt},
      {"Sz300", REG_SZ, std::vector<BYTE>(300, 'x'), std::nullopt},
      {"SzNoTerminator", REG_SZ, {'T', 'R', 'U', 'E'}, "TRUE"},
      {"Expand", REG_EXPAND_SZ, digits, "20"},
      {"Dword", REG_DWORD, dword20, std::nullopt},
      {"Binary", REG_BINARY, digits, std::nullopt},
      {"Multi", REG_MULTI_SZ, {'2', '0', 0, 0}, std::nullopt},
  };
  for (const auto& c : cases) {
    SetRawValue(m_machine.Get(), m_key, c.name, c.type, c.data);
    EXPECT_EQ(m_machineRoot.ReadString(m_key, c.name), c.expected) << c.name;
  }
  EXPECT_EQ(m_machineRoot.ReadString(m_key, "Missing"), std::nullopt);
}

TEST_F(RegistryStoreTest, DeleteValue_MissingValueOrKey_SilentAndCreatesNoKey) {
  m_machineRoot.DeleteValue(m_key, "Mnemora.Net");
  EXPECT_FALSE(KeyExists(m_machine.Get(), "SOFTWARE"));

  ASSERT_TRUE(m_machineRoot.WriteString(m_key, "Mnemora.Net", "x -m"));
  ASSERT_TRUE(m_machineRoot.WriteString(m_key, "Keep", "TRUE"));
  m_machineRoot.DeleteValue(m_key, "Missing");
  m_machineRoot.DeleteValue(m_key, "Mnemora.Net");
  EXPECT_EQ(m_machineRoot.ReadString(m_key, "Mnemora.Net"), std::nullopt);
  EXPECT_EQ(m_machineRoot.ReadString(m_key, "Keep"), "TRUE");
}

TEST_F(RegistryStoreTest, LayeredStore_MachineWritable_WritesThereAndDropsUserCopy) {
  SetRawValue(m_user.Get(), kSettingsKey, "AutoFreeNum", REG_SZ, {'3', '5', 0});
  SetRawValue(m_machine.Get(), kSettingsKey, "AutoFreeNum", REG_SZ, {'2', '0', 0});
  CRegistryStore store;
  EXPECT_EQ(LoadAutoFreeNum(store), 35);

  StoreAutoFreeNum(store, 40);

  RawValue value;
  EXPECT_FALSE(ReadRawValue(m_user.Get(), kSettingsKey, "AutoFreeNum", value));
  ASSERT_TRUE(ReadRawValue(m_machine.Get(), kSettingsKey, "AutoFreeNum", value));
  EXPECT_EQ(value.text, "40");
  EXPECT_EQ(LoadAutoFreeNum(store), 40);
}

// A standard user's first start and later changes: nothing reaches the machine root, every
// value and the Run entry are kept per user, and they load back.
TEST_F(RegistryStoreTest, LayeredStore_MachineUnwritable_EverythingKeptPerUser) {
  UseRoots(false);
  const std::string command = "\"C:\\Program Files\\Mnemora\\Mnemora.exe\" -m";
  CRegistryStore store;
  CRegistryStartupEntries entries;

  EXPECT_TRUE(LoadClearClipboard(store));
  EXPECT_TRUE(LoadAutoFree(store));
  EXPECT_EQ(LoadAutoFreeNum(store), 15);
  EXPECT_TRUE(LoadAutoStart(store, entries, command));

  EXPECT_FALSE(KeyExists(m_machine.Get(), "SOFTWARE")) << "the machine root took a key";
  for (const char* name : {"ClearClipbrd", "AutoFree", "AutoStart"}) {
    RawValue value;
    ASSERT_TRUE(ReadRawValue(m_user.Get(), kSettingsKey, name, value)) << name;
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
    EXPECT_EQ(value.text, "TRUE") << name;
  }
  RawValue run;
  ASSERT_TRUE(ReadRawValue(m_user.Get(), kRunKey, kRunValueName, run));
  EXPECT_EQ(run.text, command);

  StoreAutoFree(store, false);
  StoreAutoFreeNum(store, 30);
  StoreClearClipboard(store, false);
  StoreAutoStart(store, entries, false, command);

  EXPECT_FALSE(ReadRawValue(m_user.Get(), kRunKey, kRunValueName, run));
  EXPECT_FALSE(LoadClearClipboard(store));
  EXPECT_FALSE(LoadAutoFree(store));
  EXPECT_EQ(LoadAutoFreeNum(store), 30);
  EXPECT_FALSE(LoadAutoStart(store, entries, command));
  EXPECT_FALSE(KeyExists(m_machine.Get(), "SOFTWARE"));
}

// The ANSI calls turn a folder outside the code page into question marks, and the settings'
// 50-byte reads take a long path for a missing one.
TEST_F(RegistryStoreTest, StartupEntries_PathOutsideCodePageAndLong_RoundTripInFull) {
  CRegistryStartupEntries entries;
  const std::string cyrillic = "\"C:\\\xD0\x9F\xD1\x80\xD0\xBE\xD0\xB3 \xC5\x81ukasz\\Mnemora.exe\" -m";
  const std::string longPath = "\"C:\\" + std::string(300, 'x') + "\\Mnemora.exe\" -m";
  for (const std::string& command : {cyrillic, longPath}) {
    entries.WriteUser(command);
    EXPECT_EQ(entries.Read(IStartupEntries::kUser), command);
  }
  wchar_t stored[64] = {};
  DWORD size = sizeof stored - sizeof(wchar_t);
  entries.WriteUser(cyrillic);
  ASSERT_EQ(::RegGetValueW(m_user.Get(), L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Mnemora.Net",
                           RRF_RT_REG_SZ, nullptr, stored, &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(stored, L"\"C:\\\u041F\u0440\u043E\u0433 \u0141ukasz\\Mnemora.exe\" -m");

  EXPECT_EQ(entries.Read(IStartupEntries::kMachine), std::nullopt);
  entries.Remove(IStartupEntries::kUser);
  EXPECT_EQ(entries.Read(IStartupEntries::kUser), std::nullopt);
}
