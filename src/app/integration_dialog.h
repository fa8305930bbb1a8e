#pragma once
// The integration dialog and the command that runs it.

#include "framework/dialog.h"

#include <windows.h>

class IntegrationDlg : public Dialog {
public:
    IntegrationDlg();

    // 1 = use this program as the log-on shell.
    int m_integrate = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};

// The integration command of the settings menu: refuses systems before Windows 2000, shows
// the dialog with the current state and applies the choice on OK. `owner` is the desktop.
void RunIntegrationCommand(HWND owner);
// The same with the Windows major version given rather than read.
void RunIntegrationCommand(HWND owner, unsigned long majorVersion);
