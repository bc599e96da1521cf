// The maker's own texts: one place for the names, the address and the rights
// notice. Included by C++ and by Mnemora.rc, so each macro must stay a single
// string literal (or a plain number): the resource compiler does not join
// adjacent literals, hence the address is spelt out twice below. The installer's
// build reads the "#define NAME "text"" lines too (installer/CMakeLists.txt).
#ifndef MNEMORA_PRODUCT_INFO_H
#define MNEMORA_PRODUCT_INFO_H

#define MNEMORA_PRODUCT_NAME "Mnemora.Net"
#define MNEMORA_COMPANY_NAME "Mnemora Software"
#define MNEMORA_FILE_DESCRIPTION "Mnemora.Net memory optimizer"

#define MNEMORA_HOMEPAGE "http://www.mnemora.net"
#define MNEMORA_SUPPORT_MAIL "support@mnemora.net"
#define MNEMORA_MAIL_TEXT "E-mail: support@mnemora.net"

// Sized for the About dialog's 154 x 9 dialog-unit notice label in Verdana.
#define MNEMORA_RIGHTS "Copyright (C) 2026 Mnemora Software"

// The version numbers and texts come from the CMake project's version (generated header).
#include "MnemoraVersion.h"

#endif  // MNEMORA_PRODUCT_INFO_H
