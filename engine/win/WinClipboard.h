#pragma once

#include "OptimizePass.h"

// The system clipboard, opened on behalf of ownerHwnd (an HWND; void* keeps <windows.h>
// out of the engine's headers).
class CWinClipboard : public IClipboard {
 public:
  explicit CWinClipboard(void* ownerHwnd);

  bool Open() override;
  void Empty() override;
  void Close() override;

 private:
  void* m_hOwner;
};
