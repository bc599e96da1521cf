#pragma once
#include "afxwin.h"

class CMnemoraApp : public CWinApp {
 public:
  CMnemoraApp() = default;
  BOOL InitInstance() override;
  int ExitInstance() override;

 private:
  int m_nExitCode = 0;

 protected:
  DECLARE_MESSAGE_MAP()
};
