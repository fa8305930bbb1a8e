#pragma once
// Modal dialogs over the program's dialog templates: init / OK / cancel hooks and the exchange
// of field values with controls. Every run goes through the modal-UI service, so tests can
// drive the real dialog.

#include <windows.h>

#include <string>

class Dialog;

// Copies values between a dialog's controls and the fields bound to them.
class DataExchange {
public:
    DataExchange(HWND dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}

    bool Saving() const { return m_saving; }
    // The whole text of control `id`, exactly as typed.
    void Text(int id, std::string& value);
    // A check box: 1 checked, 0 not (an indeterminate box reads as 2).
    void Check(int id, int& value);

private:
    HWND m_dialog;
    bool m_saving;
};

class Dialog {
public:
    explicit Dialog(UINT templateId) : m_templateId(templateId) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally through the modal-UI service. A null owner means the
    // application's main window. IDOK, IDCANCEL, or -1 when the dialog could not run.
    INT_PTR DoModal(HWND owner = nullptr);
    // The system's modal run of the template (what the real modal-UI service does).
    INT_PTR RunSystemModal(HWND owner);

    UINT TemplateId() const { return m_templateId; }
    // The live dialog window while it runs, null otherwise.
    HWND Hwnd() const { return m_hwnd; }
    void EndDialog(INT_PTR result);

protected:
    // Fields are copied into the controls first; TRUE lets the dialog manager set the focus.
    virtual BOOL OnInitDialog();
    // Copies the controls back into the fields and ends with IDOK.
    virtual void OnOK();
    virtual void OnCancel();
    // Binds fields to controls; called in both directions.
    virtual void DoDataExchange(DataExchange&) {}
    // Messages other than the ones above; TRUE when handled.
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void UpdateData(bool saving);
    void SetItemText(int id, const std::string& text);
    std::string ItemText(int id) const;

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);
    void CenterOverOwner();

    UINT m_templateId;
    HWND m_hwnd = nullptr;
};
