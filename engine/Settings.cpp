#include "Settings.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

const char* const kSettingsKey = "SOFTWARE\\Mnemora.Net\\";
const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const char* const kRunValueName = "Mnemora.Net";

namespace {

constexpr int32_t kDefaultAutoFreeNum = 15;
constexpr long kMaxAutoFreeNum = 50;

const char* OnOffText(bool on)
{
    return on ? "TRUE" : "FALSE";
}

} // namespace

bool ClearClipboardFromQuery(bool queryOk, const char* text)
{
    if (!queryOk)
        return true;
    return text != nullptr && std::strcmp(text, "TRUE") == 0;
}

std::string MakeRunCommand(const std::string& exePath)
{
    return "\"" + exePath + "\" -m";
}

bool LoadAutoFree(ISettingsStore& store)
{
    const bool on = store.ReadString(kSettingsKey, "AutoFree") != "FALSE";
    StoreAutoFree(store, on);
    return on;
}

int32_t LoadAutoFreeNum(ISettingsStore& store)
{
    const std::string text = store.ReadString(kSettingsKey, "AutoFreeNum");
    if (text.empty())
        return kDefaultAutoFreeNum;
    // atoi's parse (blanks, sign, leading digits; none gives 0), without its overflow UB:
    // strtol saturates, and a saturated value is out of range anyway.
    const long n = std::strtol(text.c_str(), nullptr, 10);
    if (n < 0 || n > kMaxAutoFreeNum)
        return kDefaultAutoFreeNum;
    return static_cast<int32_t>(n);
}

bool LoadAutoStart(ISettingsStore& store, const std::string& runCommand)
{
    const bool on = store.ReadString(kSettingsKey, "AutoStart") != "FALSE";
    StoreAutoStart(store, on, runCommand);
    return on;
}

void StoreAutoStart(ISettingsStore& store, bool on, const std::string& runCommand)
{
    store.WriteString(kSettingsKey, "AutoStart", OnOffText(on));
    if (on)
        store.WriteString(kRunKey, kRunValueName, runCommand);
    else
        store.DeleteValue(kRunKey, kRunValueName);
}

void StoreAutoFree(ISettingsStore& store, bool on)
{
    store.WriteString(kSettingsKey, "AutoFree", OnOffText(on));
}

void StoreAutoFreeNum(ISettingsStore& store, int32_t n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%d", static_cast<int>(n));
    store.WriteString(kSettingsKey, "AutoFreeNum", buf);
}
