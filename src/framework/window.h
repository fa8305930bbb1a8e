#pragma once
// Base of every window we create: owns its HWND, finds itself from the handle, and
// dispatches messages to a virtual procedure that never lets an exception escape.

#include <windows.h>

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const { return m_hwnd; }
    static Window* FromHandle(HWND hwnd);

    // Registers `className` (once per process) with our window procedure.
    static bool RegisterClass(const char* className, UINT style, HBRUSH background,
                              HICON icon = nullptr);

    bool CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                  const RECT& rect, HWND parent, HMENU menuOrId);
    void Destroy();

    virtual bool PreTranslateMessage(MSG& msg);

protected:
    // Adjust the creation structure before the window exists.
    virtual void PreCreateWindow(CREATESTRUCTA& cs);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // After the last message; the handle is already detached.
    virtual void PostNcDestroy() {}
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT SafeWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hwnd = nullptr;
};
