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
//   (then the user's copy goes);
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

// The start-up entry kRunValueName under kRunKey: the user's own, and a machine-wide one that
// an earlier installer or an elevated run of an earlier version left. Commands are UTF-8 and
// of any length.
class IStartupEntries {
 public:
  enum Scope { kUser, kMachine };
  virtual ~IStartupEntries() = default;
  virtual std::optional<std::string> Read(Scope scope) = 0;
  virtual void WriteUser(const std::string& command) = 0;
  // Silently nothing where this user may not.
  virtual void Remove(Scope scope) = 0;
};

// The Run value's command line: the quoted path, then " -m".
std::string MakeRunCommand(const std::string& exePath);

// ClearClipbrd is on only when it reads exactly "TRUE"; a missing value counts as on and
// "TRUE" is written.
bool LoadClearClipboard(ISettingsStore& store);
// AutoFree and AutoStart are off only when they read exactly "FALSE"; both are written back
// normalised ("TRUE"/"FALSE"), AutoStart together with the start-up entry.
bool LoadAutoFree(ISettingsStore& store);
int32_t LoadAutoFreeNum(ISettingsStore& store);  // 0..50; missing or out of range -> 15
bool LoadAutoStart(ISettingsStore& store, IStartupEntries& entries, const std::string& runCommand);

void StoreClearClipboard(ISettingsStore& store, bool on);
// The start-up entry is each user's own, whatever this copy's rights: on writes the user's
// entry (only when it differs, so Windows' own Startup choice for it stays as it is); off
// removes it. Either way a machine-wide entry goes where this user may remove it, since it
// would start the program for every user; one that stays and names this very command keeps
// the user from getting a duplicate, which would start a second copy at every log-on.
void StoreAutoStart(ISettingsStore& store, IStartupEntries& entries, bool on, const std::string& runCommand);
void StoreAutoFree(ISettingsStore& store, bool on);
void StoreAutoFreeNum(ISettingsStore& store, int32_t n);
