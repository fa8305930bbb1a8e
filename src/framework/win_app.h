#pragma once
// The application object: start-up and exit routines around the message loop.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class Window;

// Something that may take a message before it is translated and dispatched (tooltips,
// dialog keys). Returns true when the message was handled.
class PreTranslateFilter {
public:
    virtual ~PreTranslateFilter() = default;
    virtual bool PreTranslateMessage(MSG& msg) = 0;
};

class WinApp {
public:
    WinApp();
    virtual ~WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;

    // The application object of this process (the most recently constructed one alive).
    static WinApp* Current();

    // FALSE ends the process without a message loop; ExitInstance runs either way.
    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return m_exitCode; }

    // InitInstance, the message loop while a main window exists, ExitInstance.
    int Run();
    // Pumps messages until the main window is gone or WM_QUIT arrives; returns the exit code.
    int MessageLoop();

    Window* MainWindow() const { return m_mainWindow.get(); }
    HWND MainHwnd() const;
    void SetMainWindow(std::unique_ptr<Window> window);
    // Called by the main window when it is destroyed.
    void OnMainWindowDestroyed(Window* window);

    void AddPreTranslateFilter(PreTranslateFilter* filter);
    void RemovePreTranslateFilter(PreTranslateFilter* filter);

    HINSTANCE Instance() const { return m_instance; }

protected:
    std::unique_ptr<Window> m_mainWindow;
    int m_exitCode = 0;

private:
    bool PreTranslate(MSG& msg);

    HINSTANCE m_instance;
    WinApp* m_previous;
    std::vector<PreTranslateFilter*> m_filters;
};

// The executable's file name without its extension: the caption of captionless message boxes.
std::string ApplicationName();
// Full path of the running executable.
std::string ModulePath();
