#pragma once
// Asks for the administrator password. The caller compares or stores it.

#include "framework/dialog.h"

#include <string>

class CPasswordDialog : public Dialog {
public:
    CPasswordDialog();

    // What was typed, exactly; read it only after OK.
    std::string m_password;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
};
