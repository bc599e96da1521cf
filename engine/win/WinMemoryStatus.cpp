#include "win/WinMemoryStatus.h"

#include <windows.h>

#include <algorithm>

MemorySnapshot CWinMemoryStatus::Sample() {
  MEMORYSTATUSEX status = {};
  status.dwLength = sizeof status;
  MemorySnapshot snapshot;
  if (!::GlobalMemoryStatusEx(&status)) return snapshot;
  snapshot.ullTotalPhys = status.ullTotalPhys;
  snapshot.ullAvailPhys = status.ullAvailPhys;
  snapshot.ullTotalPageFile = status.ullTotalPageFile;
  snapshot.ullAvailPageFile = status.ullAvailPageFile;
  snapshot.ullTotalVirtual = status.ullTotalVirtual;
  snapshot.ullAvailVirtual = status.ullAvailVirtual;
#ifdef MNEMORA_AVAIL_PHYS_CAP
  snapshot.ullAvailPhys = std::min<uint64_t>(snapshot.ullAvailPhys, static_cast<uint64_t>(MNEMORA_AVAIL_PHYS_CAP));
#endif
  return snapshot;
}
