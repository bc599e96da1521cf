#include "Settings.h"

#include <cstdio>
#include <cstdlib>

const char* const kSettingsKey = "SOFTWARE\\Mnemora.Net\\";
const char* const kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
const char* const kRunValueName = "Mnemora.Net";

namespace {

constexpr int32_t kDefaultAutoFreeNum = 15;
constexpr long kMaxAutoFreeNum = 50;

const char* OnOffText(bool on) { return on ? "TRUE" : "FALSE"; }

}  // namespace

bool CLayeredSettingsStore::WriteString(const std::string& key, const std::string& name, const std::string& data) {
  if (m_machine.WriteString(key, name, data) || m_machine.ReadString(key, name) == data) {
    m_user.DeleteValue(key, name);
    return true;
  }
  return m_user.WriteString(key, name, data);
}

std::optional<std::string> CLayeredSettingsStore::ReadString(const std::string& key, const std::string& name) {
  if (std::optional<std::string> text = m_user.ReadString(key, name)) return text;
  return m_machine.ReadString(key, name);
}

void CLayeredSettingsStore::DeleteValue(const std::string& key, const std::string& name) {
  m_machine.DeleteValue(key, name);
  m_user.DeleteValue(key, name);
}

std::string MakeRunCommand(const std::string& exePath) { return "\"" + exePath + "\" -m"; }

bool LoadClearClipboard(ISettingsStore& store) {
  const std::optional<std::string> text = store.ReadString(kSettingsKey, "ClearClipbrd");
  if (!text) {
    StoreClearClipboard(store, true);
    return true;
  }
  return *text == "TRUE";
}

bool LoadAutoFree(ISettingsStore& store) {
  const bool on = store.ReadString(kSettingsKey, "AutoFree") != "FALSE";
  StoreAutoFree(store, on);
  return on;
}

int32_t LoadAutoFreeNum(ISettingsStore& store) {
  const std::string text = store.ReadString(kSettingsKey, "AutoFreeNum").value_or("");
  if (text.empty()) return kDefaultAutoFreeNum;
  // atoi's parse (blanks, sign, leading digits; none gives 0), without its overflow UB:
  // strtol saturates, and a saturated value is out of range anyway.
  const long n = std::strtol(text.c_str(), nullptr, 10);
  if (n < 0 || n > kMaxAutoFreeNum) return kDefaultAutoFreeNum;
  return static_cast<int32_t>(n);
}

bool LoadAutoStart(ISettingsStore& store, IStartupEntries& entries, const std::string& runCommand) {
  const bool on = store.ReadString(kSettingsKey, "AutoStart") != "FALSE";
  StoreAutoStart(store, entries, on, runCommand);
  return on;
}

void StoreClearClipboard(ISettingsStore& store, bool on) {
  store.WriteString(kSettingsKey, "ClearClipbrd", OnOffText(on));
}

void StoreAutoStart(ISettingsStore& store, IStartupEntries& entries, bool on, const std::string& runCommand) {
  store.WriteString(kSettingsKey, "AutoStart", OnOffText(on));
  if (entries.Read(IStartupEntries::kMachine)) entries.Remove(IStartupEntries::kMachine);
  if (!on) {
    entries.Remove(IStartupEntries::kUser);
    return;
  }
  const std::optional<std::string> userEntry = entries.Read(IStartupEntries::kUser);
  if (entries.Read(IStartupEntries::kMachine) == runCommand) {
    if (userEntry) entries.Remove(IStartupEntries::kUser);
  } else if (userEntry != runCommand) {
    entries.WriteUser(runCommand);
  }
}

void StoreAutoFree(ISettingsStore& store, bool on) { store.WriteString(kSettingsKey, "AutoFree", OnOffText(on)); }

void StoreAutoFreeNum(ISettingsStore& store, int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", static_cast<int>(n));
  store.WriteString(kSettingsKey, "AutoFreeNum", buf);
}
