#pragma once
// The restricted user's limits; the caller maps them to and from the settings.

#include "framework/dialog.h"

class CRestrictionsDlg : public Dialog {
public:
    CRestrictionsDlg();

    // 1 when the exit button is disabled for the restricted user.
    int m_disableExit = 0;
    // 1 when Windows' own ways out are locked for customers while the desktop is the shell.
    int m_lockdown = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};
