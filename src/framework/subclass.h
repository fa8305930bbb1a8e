#pragma once
// An object attached to a window of a system class (a button, a list, an edit): its messages
// reach the object's virtual procedure first, and Default() hands them on to the control's
// own procedure. The counterpart of Window for windows whose class we did not register.

#include <windows.h>

class SubclassedWindow {
public:
    SubclassedWindow() = default;
    // Destroys the window if it is still attached.
    virtual ~SubclassedWindow();
    SubclassedWindow(const SubclassedWindow&) = delete;
    SubclassedWindow& operator=(const SubclassedWindow&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    // The object attached to `hwnd`, if any.
    static SubclassedWindow* FromHandle(HWND hwnd);

    // Creates a child control of the system class `className` and attaches to it.
    bool CreateControl(const char* className, const char* text, DWORD style, const RECT& rect,
                       HWND parent, UINT id, DWORD exStyle = 0);
    // Attaches to an existing window (for example a dialog's control).
    bool Attach(HWND hwnd);
    // Hands the window back to its own procedure; the window lives on.
    HWND Detach();
    void Destroy();

    // A notification about this control that its parent passed back (see reflect.h).
    // True when handled, with the answer for the parent in `result`.
    virtual bool OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    DWORD Style() const;
    // Changes style bits; with `swpFlags` the frame is recalculated (SetWindowPos).
    void ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    int ControlId() const;

protected:
    // Runs once the handle is known, before any message reaches WindowProc.
    virtual void PreSubclassWindow() {}
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
    // After the last message; the handle is already detached.
    virtual void PostNcDestroy() {}

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};
