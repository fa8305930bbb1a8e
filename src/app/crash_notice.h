#pragma once
// The operator learns of the desktop's last crash or hang once, at the next entry into admin
// mode: when it happened and where its dump is.

#include <windows.h>

#include <string>

class CRegistryPlus;

// Shows the message when the crash history in `settings` holds a crash the operator was not told
// of, and marks it told; the dump is looked for in `crashFolder`. Does nothing otherwise.
void TellOfLastCrash(HWND owner, CRegistryPlus& settings, const std::string& crashFolder);
