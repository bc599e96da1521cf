#pragma once

#include <cstdint>
#include <optional>
#include <string>

extern const char* const kSettingsKey;   // "SOFTWARE\\Mnemora.Net\\"
extern const char* const kRunKey;        // "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\"
extern const char* const kRunValueName;  // "Mnemora.Net"

// Named string values under key paths. Every failure is silent apart from the results below.
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // True when the value was stored. The key is created when missing.
  virtual bool WriteString(const std::string& key, const std::string& name, const std::string& data) = 0;
  // Empty when the value is missing, is not a string, does not fit 49 characters, or
  // anything fails. Never creates a key.
  virtual std::optional<std::string> ReadString(const std::string& key, const std::string& name) = 0;
  // Never creates the key.
  virtual void DeleteValue(const std::string& key, const std::string& name) = 0;
};

// Settings kept per machine where this user may write there, per user otherwise, so that
// what a standard user chooses persists and what an installer or an elevated run stored
// still counts:
// - a read takes the user's value, else the machine's;
// - a write goes to the machine when it takes it, and then removes the user's copy so the
//   last write wins; else to the user, unless the machine already holds that very value
//   (then the user's copy goes, and no duplicate Run entry starts a second copy at log-on);
// - a delete removes the value from both.
class CLayeredSettingsStore : public ISettingsStore {
 public:
  CLayeredSettingsStore(ISettingsStore& machine, ISettingsStore& user) : m_machine(machine), m_user(user) {}

  bool WriteString(const std::string& key, const std::string& name, const std::string& data) override;
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
  void DeleteValue(const std::string& key, const std::string& name) override;

 private:
  ISettingsStore& m_machine;
  ISettingsStore& m_user;
};

// The Run value's command line: the quoted path, then " -m".
std::string MakeRunCommand(const std::string& exePath);

// ClearClipbrd is on only when it reads exactly "TRUE"; a missing value counts as on and
// "TRUE" is written.
bool LoadClearClipboard(ISettingsStore& store);
// AutoFree and AutoStart are off only when they read exactly "FALSE"; both are written back
// normalised ("TRUE"/"FALSE"), AutoStart together with the Run value.
bool LoadAutoFree(ISettingsStore& store);
int32_t LoadAutoFreeNum(ISettingsStore& store);  // 0..50; missing or out of range -> 15
bool LoadAutoStart(ISettingsStore& store, const std::string& runCommand);

void StoreClearClipboard(ISettingsStore& store, bool on);
void StoreAutoStart(ISettingsStore& store, bool on, const std::string& runCommand);
void StoreAutoFree(ISettingsStore& store, bool on);
void StoreAutoFreeNum(ISettingsStore& store, int32_t n);
