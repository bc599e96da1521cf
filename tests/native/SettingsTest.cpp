#include "Settings.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

const std::string kMnemoraKey = "SOFTWARE\\Mnemora.Net\\";
const std::string kWindowsRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const std::string kExePath = "C:\\Program Files\\Mnemora\\Mnemora.exe";
const std::string kRunCommand = "\"C:\\Program Files\\Mnemora\\Mnemora.exe\" -m";

// Keeps values in a map with the registry store's read limit: 49 characters and a
// terminator fit into the 50-byte buffer, anything longer reads as missing.
class FakeSettingsStore : public ISettingsStore {
public:
    std::map<std::pair<std::string, std::string>, std::string> values;
    std::vector<std::string> writes;  // "write key|name=data", "delete key|name"

    void WriteString(const std::string& key, const std::string& name,
                     const std::string& data) override
    {
        writes.push_back("write " + key + "|" + name + "=" + data);
        values[{key, name}] = data;
    }
    std::string ReadString(const std::string& key, const std::string& name) override
    {
        const auto it = values.find({key, name});
        if (it == values.end() || it->second.size() >= 50)
            return std::string();
        return it->second;
    }
    void DeleteValue(const std::string& key, const std::string& name) override
    {
        writes.push_back("delete " + key + "|" + name);
        values.erase({key, name});
    }

    bool Has(const std::string& key, const std::string& name) const
    {
        return values.count({key, name}) != 0;
    }
    std::string Get(const std::string& key, const std::string& name) const
    {
        const auto it = values.find({key, name});
        return it == values.end() ? "<absent>" : it->second;
    }
};

} // namespace

TEST(SettingsTest, LoadAll_FirstStart_WritesDefaultsAndRunValue)
{
    FakeSettingsStore store;

    EXPECT_TRUE(ClearClipboardFromQuery(false, nullptr));
    EXPECT_TRUE(LoadAutoFree(store));
    EXPECT_EQ(LoadAutoFreeNum(store), 15);
    EXPECT_TRUE(LoadAutoStart(store, MakeRunCommand(kExePath)));

    EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "TRUE");
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoStart"), "TRUE");
    EXPECT_FALSE(store.Has(kMnemoraKey, "AutoFreeNum"));
    EXPECT_EQ(store.Get(kWindowsRunKey, "Mnemora.Net"), kRunCommand);
}

TEST(SettingsTest, ClearClipboardFromQuery_StoredText_OnOnlyForExactTRUE)
{
    EXPECT_TRUE(ClearClipboardFromQuery(true, "TRUE"));
    EXPECT_FALSE(ClearClipboardFromQuery(true, "true"));
    EXPECT_FALSE(ClearClipboardFromQuery(true, "1"));
    EXPECT_FALSE(ClearClipboardFromQuery(true, ""));
    EXPECT_FALSE(ClearClipboardFromQuery(true, "TRU"));
    EXPECT_FALSE(ClearClipboardFromQuery(true, "TRUEX"));
    EXPECT_FALSE(ClearClipboardFromQuery(true, "FALSE"));
}

TEST(SettingsTest, ClearClipboardFromQuery_QueryFailed_CountsAsOn)
{
    EXPECT_TRUE(ClearClipboardFromQuery(false, nullptr));
    EXPECT_TRUE(ClearClipboardFromQuery(false, "FALSE"));
}

TEST(SettingsTest, LoadAutoFree_ExactFALSE_LoadsOffAndWritesFALSE)
{
    FakeSettingsStore store;
    store.values[{kMnemoraKey, "AutoFree"}] = "FALSE";

    EXPECT_FALSE(LoadAutoFree(store));
    EXPECT_EQ(store.writes, std::vector<std::string>{"write " + kMnemoraKey + "|AutoFree=FALSE"});
}

TEST(SettingsTest, LoadAutoFree_AnyOtherText_LoadsOnAndRewritesTRUE)
{
    for (const char* text : {"false", "TRUE", "0", "FALSE ", ""}) {
        FakeSettingsStore store;
        store.values[{kMnemoraKey, "AutoFree"}] = text;
        EXPECT_TRUE(LoadAutoFree(store)) << '"' << text << '"';
        EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "TRUE") << '"' << text << '"';
    }
}

TEST(SettingsTest, LoadAutoFreeNum_StoredText_ParsedLikeAtoiWithinZeroToFifty)
{
    const std::string fiftyChars = std::string(49, '0') + "7";
    const std::string fortyNineChars = std::string(48, '0') + "7";
    const std::vector<std::pair<std::string, int32_t>> cases = {
        {"51", 15},  {"-1", 15},  {"50", 50},   {"0", 0},    {"7abc", 7},
        {"abc", 0},  {" 12", 12}, {"+8", 8},    {"12.7", 12}, {"99999999999999999999", 15},
        {"-99999999999999999999", 15}, {fiftyChars, 15}, {fortyNineChars, 7},
    };
    for (const auto& [text, expected] : cases) {
        FakeSettingsStore store;
        store.values[{kMnemoraKey, "AutoFreeNum"}] = text;
        EXPECT_EQ(LoadAutoFreeNum(store), expected) << '"' << text << '"';
        EXPECT_TRUE(store.writes.empty()) << '"' << text << '"';
    }
}

TEST(SettingsTest, LoadAutoFreeNum_Missing_DefaultsTo15WithoutWriting)
{
    FakeSettingsStore store;
    EXPECT_EQ(LoadAutoFreeNum(store), 15);
    EXPECT_TRUE(store.writes.empty());
}

TEST(SettingsTest, LoadAutoStart_ExactFALSE_DeletesRunValue)
{
    FakeSettingsStore store;
    store.values[{kMnemoraKey, "AutoStart"}] = "FALSE";
    store.values[{kWindowsRunKey, "Mnemora.Net"}] = "\"C:\\old\\Mnemora.exe\" -m";

    EXPECT_FALSE(LoadAutoStart(store, kRunCommand));
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoStart"), "FALSE");
    EXPECT_FALSE(store.Has(kWindowsRunKey, "Mnemora.Net"));
}

TEST(SettingsTest, LoadAutoStart_OtherText_RewritesTRUEAndRunValueWithCurrentPath)
{
    for (const char* text : {"false", "TRUE", ""}) {
        FakeSettingsStore store;
        store.values[{kMnemoraKey, "AutoStart"}] = text;
        store.values[{kWindowsRunKey, "Mnemora.Net"}] = "\"C:\\old\\Mnemora.exe\" -m";

        EXPECT_TRUE(LoadAutoStart(store, kRunCommand)) << '"' << text << '"';
        EXPECT_EQ(store.Get(kMnemoraKey, "AutoStart"), "TRUE");
        EXPECT_EQ(store.Get(kWindowsRunKey, "Mnemora.Net"), kRunCommand);
    }
}

TEST(SettingsTest, StoreAutoStart_OnAndOff_WritesOptionBeforeRunValue)
{
    FakeSettingsStore store;
    StoreAutoStart(store, true, kRunCommand);
    StoreAutoStart(store, false, kRunCommand);

    const std::vector<std::string> expected = {
        "write " + kMnemoraKey + "|AutoStart=TRUE",
        "write " + kWindowsRunKey + "|Mnemora.Net=" + kRunCommand,
        "write " + kMnemoraKey + "|AutoStart=FALSE",
        "delete " + kWindowsRunKey + "|Mnemora.Net",
    };
    EXPECT_EQ(store.writes, expected);
}

TEST(SettingsTest, StoreAutoFree_OnAndOff_WritesTRUEOrFALSE)
{
    FakeSettingsStore store;
    StoreAutoFree(store, false);
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "FALSE");
    EXPECT_FALSE(LoadAutoFree(store));
    StoreAutoFree(store, true);
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoFree"), "TRUE");
}

TEST(SettingsTest, StoreAutoFreeNum_Value_WrittenAsDecimalAndLoadsBack)
{
    FakeSettingsStore store;
    StoreAutoFreeNum(store, 12);
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoFreeNum"), "12");
    EXPECT_EQ(LoadAutoFreeNum(store), 12);
    StoreAutoFreeNum(store, 0);
    EXPECT_EQ(store.Get(kMnemoraKey, "AutoFreeNum"), "0");
    EXPECT_EQ(LoadAutoFreeNum(store), 0);
}

TEST(SettingsTest, MakeRunCommand_PathWithBlanks_QuotesPathAndAppendsSwitch)
{
    EXPECT_EQ(MakeRunCommand(kExePath), kRunCommand);
    EXPECT_EQ(MakeRunCommand("C:\\M.exe"), "\"C:\\M.exe\" -m");
}
