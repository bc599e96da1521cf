#include "Settings.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kMnemoraKey = "SOFTWARE\\Mnemora.Net\\";
const std::string kWindowsRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const std::string kExePath = "C:\\Program Files\\Mnemora\\Mnemora.exe";
const std::string kRunCommand = "\"C:\\Program Files\\Mnemora\\Mnemora.exe\" -m";

// Keeps values in a map with the registry store's read limit: 49 characters and a
// terminator fit into the 50-byte buffer, anything longer reads as missing. A store that
// refuses access stands for HKEY_LOCAL_MACHINE as a standard user sees it.
class FakeSettingsStore : public ISettingsStore {
 public:
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::string> writes;  // "write key|name=data", "delete key|name"
  bool writable = true;
  bool readable = true;

  bool WriteString(const std::string& key, const std::string& name, const std::string& data) override {
    if (!writable) return false;
    writes.push_back("write " + key + "|" + name + "=" + data);
    values[{key, name}] = data;
    return true;
  }
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override {
    const auto it = values.find({key, name});
    if (!readable || it == values.end() || it->second.size() >= 50) return std::nullopt;
    return it->second;
  }
  void DeleteValue(const std::string& key, const std::string& name) override {
    if (!writable) return;
    writes.push_back("delete " + key + "|" + name);
    values.erase({key, name});
  }

  bool Has(const std::string& key, const std::string& name) const { return values.count({key, name}) != 0; }
  std::string Get(const std::string& key, const std::string& name) const {
    const auto it = values.find({key, name});
    return it == values.end() ? "<absent>" : it->second;
  }
};

// The two Run entries, without a length limit. A machine entry that cannot be removed stands
// for a standard user's view of one an installer left.
class FakeStartupEntries : public IStartupEntries {
 public:
  std::optional<std::string> user, machine;
  bool machineRemovable = true;
  int userWrites = 0;

  std::optional<std::string> Read(Scope scope) override { return scope == kUser ? user : machine; }
  void WriteUser(const std::string& command) override {
    ++userWrites;
    user = command;
  }
  void Remove(Scope scope) override {
    if (scope == kUser)
      user.reset();
    else if (machineRemovable)
      machine.reset();
  }
};

// The machine store as a standard user sees it: readable, every write refused.
struct StandardUserStores {
  StandardUserStores() { machine.writable = false; }
  FakeSettingsStore machine;
  FakeSettingsStore user;
  CLayeredSettingsStore store{machine, user};
};

}  // namespace

TEST(SettingsTest, LoadAll_FirstStart_WritesDefaultsAndRunValue) {
  FakeSettingsStore store;
  FakeStartupEntries entries;

  EXPECT_TRUE(LoadClearClipboard(store));
  EXPECT_TRUE(LoadAutoFree(store));
  EXPECT_EQ(LoadAutoFreeNum(store), 15);
  EXPECT_TRUE(LoadAutoStart(store, entries, MakeRunCommand(kExePath)));

  EXPECT_EQ(store.Get(kMnemoraKey, "ClearClipbrd"), "TRUE");
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "TRUE");
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoStart"), "TRUE");
  EXPECT_FALSE(store.Has(kMnemoraKey, "AutoFreeNum"));
  EXPECT_EQ(entries.user, kRunCommand);
  EXPECT_FALSE(store.Has(kWindowsRunKey, "Mnemora.Net")) << "the entry is not a setting";
}

TEST(SettingsTest, LoadClearClipboard_StoredText_OnOnlyForExactTRUEAndKept) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"TRUE", true}, {"true", false},  {"1", false},     {"", false},
      {"TRU", false}, {"TRUEX", false}, {"FALSE", false}, {std::string(50, 'T'), true},
  };
  for (const auto& [text, on] : cases) {
    FakeSettingsStore store;
    store.values[{kMnemoraKey, "ClearClipbrd"}] = text;
    EXPECT_EQ(LoadClearClipboard(store), on) << '"' << text << '"';
    // Only a value that reads as missing (here: too long) is replaced.
    EXPECT_EQ(store.Get(kMnemoraKey, "ClearClipbrd"), text.size() < 50 ? text : "TRUE");
  }
}

TEST(SettingsTest, LoadAutoFree_ExactFALSE_LoadsOffAndWritesFALSE) {
  FakeSettingsStore store;
  store.values[{kMnemoraKey, "AutoFree"}] = "FALSE";

  EXPECT_FALSE(LoadAutoFree(store));
  EXPECT_EQ(store.writes, std::vector<std::string>{"write " + kMnemoraKey + "|AutoFree=FALSE"});
}

TEST(SettingsTest, LoadAutoFree_AnyOtherText_LoadsOnAndRewritesTRUE) {
  for (const char* text : {"false", "TRUE", "0", "FALSE ", ""}) {
    FakeSettingsStore store;
    store.values[{kMnemoraKey, "AutoFree"}] = text;
    EXPECT_TRUE(LoadAutoFree(store)) << '"' << text << '"';
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "TRUE") << '"' << text << '"';
  }
}

TEST(SettingsTest, LoadAutoFreeNum_StoredText_ParsedLikeAtoiWithinZeroToFifty) {
  const std::string fiftyChars = std::string(49, '0') + "7";
  const std::string fortyNineChars = std::string(48, '0') + "7";
  const std::vector<std::pair<std::string, int32_t>> cases = {
      {"51", 15},
      {"-1", 15},
      {"50", 50},
      {"0", 0},
      {"7abc", 7},
      {"abc", 0},
      {" 12", 12},
      {"+8", 8},
      {"12.7", 12},
      {"99999999999999999999", 15},
      {"-99999999999999999999", 15},
      {fiftyChars, 15},
      {fortyNineChars, 7},
  };
  for (const auto& [text, expected] : cases) {
    FakeSettingsStore store;
    store.values[{kMnemoraKey, "AutoFreeNum"}] = text;
    EXPECT_EQ(LoadAutoFreeNum(store), expected) << '"' << text << '"';
    EXPECT_TRUE(store.writes.empty()) << '"' << text << '"';
  }
}

TEST(SettingsTest, LoadAutoFreeNum_Missing_DefaultsTo15WithoutWriting) {
  FakeSettingsStore store;
  EXPECT_EQ(LoadAutoFreeNum(store), 15);
  EXPECT_TRUE(store.writes.empty());
}

TEST(SettingsTest, LoadAutoStart_ExactFALSE_RemovesBothEntries) {
  FakeSettingsStore store;
  FakeStartupEntries entries;
  store.values[{kMnemoraKey, "AutoStart"}] = "FALSE";
  entries.user = entries.machine = "\"C:\\old\\Mnemora.exe\" -m";

  EXPECT_FALSE(LoadAutoStart(store, entries, kRunCommand));
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoStart"), "FALSE");
  EXPECT_FALSE(entries.user);
  EXPECT_FALSE(entries.machine) << "an earlier install's entry would go on starting the program";
}

TEST(SettingsTest, LoadAutoStart_OtherText_RewritesTRUEAndUserEntryWithCurrentPath) {
  for (const char* text : {"false", "TRUE", ""}) {
    FakeSettingsStore store;
    FakeStartupEntries entries;
    store.values[{kMnemoraKey, "AutoStart"}] = text;
    entries.user = "\"C:\\old\\Mnemora.exe\" -m";

    EXPECT_TRUE(LoadAutoStart(store, entries, kRunCommand)) << '"' << text << '"';
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoStart"), "TRUE");
    EXPECT_EQ(entries.user, kRunCommand);
    EXPECT_FALSE(entries.machine);
  }
}

// The entry is each user's own whatever the rights, compared in full (a long path) and written
// only when it differs (Windows keeps its own Startup choice for it). A machine entry goes where
// the program may remove it; one that stays and names this command gets no duplicate, which
// would start a second copy at every log-on.
TEST(SettingsTest, StoreAutoStart_UserEntryOnlyMachineEntryRemovedOrNotDuplicated) {
  const std::string longCommand = "\"C:\\" + std::string(200, 'x') + "\\Mnemora.exe\" -m";
  FakeSettingsStore store;
  FakeStartupEntries entries;
  entries.machine = "\"C:\\Program Files\\Old\\Mnemora.exe\" -m";
  for (int i = 0; i < 2; ++i) StoreAutoStart(store, entries, true, longCommand);
  EXPECT_EQ(entries.user, longCommand);
  EXPECT_EQ(entries.userWrites, 1);
  EXPECT_FALSE(entries.machine);

  FakeStartupEntries standardUser;
  standardUser.machineRemovable = false;
  standardUser.machine = standardUser.user = kRunCommand;
  StoreAutoStart(store, standardUser, true, kRunCommand);
  EXPECT_FALSE(standardUser.user);
  EXPECT_EQ(standardUser.machine, kRunCommand);
}

TEST(SettingsTest, StoreAutoFree_OnAndOff_WritesTRUEOrFALSE) {
  FakeSettingsStore store;
  StoreAutoFree(store, false);
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "FALSE");
  EXPECT_FALSE(LoadAutoFree(store));
  StoreAutoFree(store, true);
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "TRUE");
}

TEST(SettingsTest, StoreAutoFreeNum_Value_WrittenAsDecimalAndLoadsBack) {
  FakeSettingsStore store;
  StoreAutoFreeNum(store, 12);
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoFreeNum"), "12");
  EXPECT_EQ(LoadAutoFreeNum(store), 12);
  StoreAutoFreeNum(store, 0);
  EXPECT_EQ(store.Get(kMnemoraKey, "AutoFreeNum"), "0");
  EXPECT_EQ(LoadAutoFreeNum(store), 0);
}

TEST(SettingsTest, MakeRunCommand_PathWithBlanks_QuotesPathAndAppendsSwitch) {
  EXPECT_EQ(MakeRunCommand(kExePath), kRunCommand);
  EXPECT_EQ(MakeRunCommand("C:\\M.exe"), "\"C:\\M.exe\" -m");
}

TEST(SettingsLayeredTest, ReadString_UserThenMachineThenNothing) {
  const std::optional<std::string> none;
  const struct {
    std::optional<std::string> user, machine, expected;
    bool machineReadable;
  } cases[] = {
      {"FALSE", "TRUE", "FALSE", true},
      {none, "FALSE", "FALSE", true},
      {"", "FALSE", "", true},  // an empty per-user text is a value, not a gap
      {std::string(50, 'x'), "20", "20", true},
      {none, none, none, true},
      {"30", none, "30", false},
      {none, "20", none, false},
  };
  for (const auto& c : cases) {
    FakeSettingsStore machine;
    FakeSettingsStore user;
    machine.readable = c.machineReadable;
    if (c.user) user.values[{kMnemoraKey, "AutoFreeNum"}] = *c.user;
    if (c.machine) machine.values[{kMnemoraKey, "AutoFreeNum"}] = *c.machine;
    CLayeredSettingsStore store(machine, user);
    EXPECT_EQ(store.ReadString(kMnemoraKey, "AutoFreeNum"), c.expected)
        << c.user.value_or("<none>") << " / " << c.machine.value_or("<none>");
  }
}

TEST(SettingsLayeredTest, WriteString_MachineWritable_GoesThereAndUserCopyRemoved) {
  FakeSettingsStore machine;
  FakeSettingsStore user;
  user.values[{kMnemoraKey, "AutoFree"}] = "TRUE";
  user.values[{kMnemoraKey, "AutoStart"}] = "TRUE";
  CLayeredSettingsStore store(machine, user);

  EXPECT_TRUE(store.WriteString(kMnemoraKey, "AutoFree", "FALSE"));

  EXPECT_EQ(machine.Get(kMnemoraKey, "AutoFree"), "FALSE");
  EXPECT_FALSE(user.Has(kMnemoraKey, "AutoFree"));
  EXPECT_EQ(user.Get(kMnemoraKey, "AutoStart"), "TRUE") << "only that value's copy goes";
  EXPECT_EQ(store.ReadString(kMnemoraKey, "AutoFree"), "FALSE");
}

TEST(SettingsLayeredTest, WriteString_MachineRefuses_GoesToUserAndWinsOverMachine) {
  StandardUserStores s;
  s.machine.values[{kMnemoraKey, "AutoFreeNum"}] = "20";

  EXPECT_TRUE(s.store.WriteString(kMnemoraKey, "AutoFreeNum", "35"));

  EXPECT_EQ(s.user.Get(kMnemoraKey, "AutoFreeNum"), "35");
  EXPECT_EQ(s.machine.Get(kMnemoraKey, "AutoFreeNum"), "20");
  EXPECT_EQ(s.store.ReadString(kMnemoraKey, "AutoFreeNum"), "35");
}

TEST(SettingsLayeredTest, WriteString_MachineRefusesButHoldsSameValue_UserCopyRemovedInstead) {
  StandardUserStores s;
  s.machine.values[{kMnemoraKey, "AutoFree"}] = "FALSE";
  s.user.values[{kMnemoraKey, "AutoFree"}] = "TRUE";

  EXPECT_TRUE(s.store.WriteString(kMnemoraKey, "AutoFree", "FALSE"));

  EXPECT_FALSE(s.user.Has(kMnemoraKey, "AutoFree"));
  EXPECT_EQ(s.store.ReadString(kMnemoraKey, "AutoFree"), "FALSE");
}

TEST(SettingsLayeredTest, DeleteValue_RemovesFromBothWhereAllowed) {
  for (bool machineWritable : {true, false}) {
    FakeSettingsStore machine;
    FakeSettingsStore user;
    machine.values[{kWindowsRunKey, "Mnemora.Net"}] = kRunCommand;
    user.values[{kWindowsRunKey, "Mnemora.Net"}] = kRunCommand;
    machine.writable = machineWritable;
    CLayeredSettingsStore store(machine, user);

    store.DeleteValue(kWindowsRunKey, "Mnemora.Net");

    EXPECT_FALSE(user.Has(kWindowsRunKey, "Mnemora.Net")) << machineWritable;
    EXPECT_EQ(machine.Has(kWindowsRunKey, "Mnemora.Net"), !machineWritable);
  }
}

// A standard user's life with an installer's machine settings: they count until the user
// changes them, the changes persist per user, and start-with-Windows lives in the user's
// Run key.
TEST(SettingsLayeredTest, StandardUser_InstallerDefaultsThenOwnChoices_Persist) {
  StandardUserStores s;
  FakeStartupEntries entries;
  s.machine.values[{kMnemoraKey, "AutoFree"}] = "FALSE";
  s.machine.values[{kMnemoraKey, "AutoFreeNum"}] = "20";
  s.machine.values[{kMnemoraKey, "ClearClipbrd"}] = "FALSE";
  s.machine.values[{kMnemoraKey, "AutoStart"}] = "FALSE";

  EXPECT_FALSE(LoadClearClipboard(s.store));
  EXPECT_FALSE(LoadAutoFree(s.store));
  EXPECT_EQ(LoadAutoFreeNum(s.store), 20);
  EXPECT_FALSE(LoadAutoStart(s.store, entries, kRunCommand));
  EXPECT_TRUE(s.user.values.empty()) << "loading unchanged values copies nothing per user";

  StoreAutoFree(s.store, true);
  StoreAutoFreeNum(s.store, 35);
  StoreClearClipboard(s.store, true);
  StoreAutoStart(s.store, entries, true, kRunCommand);
  EXPECT_EQ(entries.user, kRunCommand);

  EXPECT_TRUE(LoadClearClipboard(s.store));
  EXPECT_TRUE(LoadAutoFree(s.store));
  EXPECT_EQ(LoadAutoFreeNum(s.store), 35);
  EXPECT_TRUE(LoadAutoStart(s.store, entries, kRunCommand));

  StoreAutoStart(s.store, entries, false, kRunCommand);
  EXPECT_FALSE(entries.user);
  EXPECT_FALSE(LoadAutoStart(s.store, entries, kRunCommand));
  EXPECT_TRUE(s.machine.writes.empty());
}
