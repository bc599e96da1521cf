#pragma once
#include "afxwin.h"

class CMnemoraApp : public CWinApp {
 public:
  CMnemoraApp() = default;
  BOOL InitInstance() override;
  int ExitInstance() override;

 protected:
  DECLARE_MESSAGE_MAP()
};
