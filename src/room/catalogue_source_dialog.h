#pragma once
// Where this PC takes the room's catalogue from: the path of a shared icons.bin (empty: off),
// how often it is looked at, and "Take now". The caller fills the fields and stores them after
// OK; `m_takeNow` says the operator left with "Take now".

#include "framework/dialog.h"

#include <string>

class CatalogueSourceDialog : public Dialog {
public:
    CatalogueSourceDialog();

    std::string m_source;
    int m_minutes = 5;
    bool m_takeNow = false;
    // Shown under the fields: what was taken and refused last.
    std::string m_status;

    static constexpr const char* kFilter = "Catalogue (*.bin)|*.bin|All files (*.*)|*.*||";
    static constexpr const char* kBadMinutes = "Enter the minutes as a number from 1 to 1440.";
    static constexpr const char* kTakeNowNeedsSource =
        "Enter the path of the shared icons.bin first.";

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Copies the controls into the fields; false (after saying why) when the minutes are wrong.
    bool ReadFields();
    void Browse();
};
