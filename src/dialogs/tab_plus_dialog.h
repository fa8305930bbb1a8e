#pragma once
// Asks for the name of a new tab, or a new name for an existing one.

#include "framework/dialog.h"

#include <string>

class CTabPlusDlg : public Dialog {
public:
    CTabPlusDlg();

    // Shown when the dialog opens; what was typed, exactly, after OK.
    std::string m_tabName;
    // Chooses the caption: a new tab, or renaming one.
    bool m_isNewTab = true;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};
