#pragma once

#include "Settings.h"

// String values under HKEY_LOCAL_MACHINE. Every call opens (or creates) and closes its keys;
// the object holds nothing. Failures are silent.
//
// Preconditions, checked: a non-empty key path everywhere, non-empty data for WriteString.
// A call that breaks them does nothing (ReadString returns "").
class CRegistryStore : public ISettingsStore {
public:
    ~CRegistryStore() override;

    void WriteString(const std::string& key, const std::string& name,
                     const std::string& data) override;
    // Reads into 50 bytes: a value that does not fit with its terminator reads as "".
    // The value's type is not checked, but the result never runs past the buffer.
    std::string ReadString(const std::string& key, const std::string& name) override;
    void DeleteValue(const std::string& key, const std::string& name) override;
};
