#pragma once

#include <cstdint>
#include <string>

extern const char* const kSettingsKey;   // "SOFTWARE\\Mnemora.Net\\"
extern const char* const kRunKey;        // "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\"
extern const char* const kRunValueName;  // "Mnemora.Net"

// Named string values under key paths. Keys are opened or created on read and write;
// every failure is silent.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual void WriteString(const std::string& key, const std::string& name,
                             const std::string& data) = 0;
    // "" when the value is missing, does not fit 49 characters, or anything fails.
    virtual std::string ReadString(const std::string& key, const std::string& name) = 0;
    // Never creates the key.
    virtual void DeleteValue(const std::string& key, const std::string& name) = 0;
};

// ClearClipbrd counts as on only when it reads exactly "TRUE". A failed query counts as on;
// the caller then writes "TRUE" back.
bool ClearClipboardFromQuery(bool queryOk, const char* text);

// The Run value's command line: the quoted path, then " -m".
std::string MakeRunCommand(const std::string& exePath);

// AutoFree and AutoStart are off only when they read exactly "FALSE"; both are written back
// normalised ("TRUE"/"FALSE"), AutoStart together with the Run value.
bool LoadAutoFree(ISettingsStore& store);
int32_t LoadAutoFreeNum(ISettingsStore& store);  // 0..50; missing or out of range -> 15
bool LoadAutoStart(ISettingsStore& store, const std::string& runCommand);

void StoreAutoStart(ISettingsStore& store, bool on, const std::string& runCommand);
void StoreAutoFree(ISettingsStore& store, bool on);
void StoreAutoFreeNum(ISettingsStore& store, int32_t n);
