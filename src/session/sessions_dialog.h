#pragma once
// "Customer sessions": the folders emptied at every session end, the idle minutes, the
// enabled check box and "End customer session now". A folder that a session end must never
// touch is refused with a message naming the rule it breaks.

#include "framework/dialog.h"
#include "session/session_rules.h"

#include <string>
#include <vector>

class CSessionsDlg : public Dialog {
public:
    // What DoModal returns when "End customer session now" was pressed (the fields are saved
    // as with OK).
    static constexpr INT_PTR kEndNow = 100;
    static constexpr int kMaxIdleMinutes = 1440;

    explicit CSessionsDlg(std::vector<ProtectedFolder> protectedFolders);

    std::vector<std::string> m_folders;
    int m_idleMinutes = 0;
    int m_enabled = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The folder chooser; a seam for tests. False when nothing was chosen.
    virtual bool ChooseFolder(std::string& folder);

private:
    // The message for a refused folder, or empty when it may be emptied.
    std::string Refusal(const std::string& folder) const;
    // Copies the controls into the fields; false (after telling why) when they are not valid.
    bool SaveFields();
    void FillList();
    void AddFolder();
    void RemoveFolder();

    std::vector<ProtectedFolder> m_protected;
};
