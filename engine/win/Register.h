#pragma once

#include "Settings.h"

// String values under one registry root. Every call opens and closes its keys; the object
// holds nothing but the root it works on.
//
// Reads use read access only and never create a key; only REG_SZ and REG_EXPAND_SZ count as
// strings (the latter unexpanded), any other type reads as missing. Reads go into 50 bytes:
// a value that does not fit with its terminator reads as missing.
// Preconditions, checked: a non-empty key path everywhere, non-empty data for WriteString.
// A call that breaks them does nothing (ReadString returns nothing, WriteString false).
class CRegistryRoot : public ISettingsStore {
 public:
  enum Root { kMachine, kUser };  // HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER

  explicit CRegistryRoot(Root root) : m_root(root) {}

  bool WriteString(const std::string& key, const std::string& name, const std::string& data) override;
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
  void DeleteValue(const std::string& key, const std::string& name) override;

 private:
  Root m_root;
};

// The program's settings: per machine where this user may write there, per user otherwise
// (see CLayeredSettingsStore).
class CRegistryStore : public ISettingsStore {
 public:
  CRegistryStore();

  bool WriteString(const std::string& key, const std::string& name, const std::string& data) override;
  std::optional<std::string> ReadString(const std::string& key, const std::string& name) override;
  void DeleteValue(const std::string& key, const std::string& name) override;

 private:
  CRegistryRoot m_machine;
  CRegistryRoot m_user;
  CLayeredSettingsStore m_layered;
};

// The start-up entry in the Run keys of HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, through the
// wide-character calls (a path outside the ANSI code page survives) and without the settings'
// length limit (a long install path must not read as missing). Only string values count.
class CRegistryStartupEntries : public IStartupEntries {
 public:
  std::optional<std::string> Read(Scope scope) override;
  void WriteUser(const std::string& command) override;
  void Remove(Scope scope) override;
};
