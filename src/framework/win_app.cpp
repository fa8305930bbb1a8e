#include "framework/win_app.h"

#include "framework/window.h"

#include <algorithm>

namespace {
WinApp* g_current = nullptr;
}

WinApp::WinApp() : m_instance(::GetModuleHandleA(nullptr)), m_previous(g_current) {
    g_current = this;
}

WinApp::~WinApp() {
    m_mainWindow.reset();
    if (g_current == this)
        g_current = m_previous;
}

WinApp* WinApp::Current() {
    return g_current;
}

HWND WinApp::MainHwnd() const {
    return m_mainWindow ? m_mainWindow->Hwnd() : nullptr;
}

void WinApp::SetMainWindow(std::unique_ptr<Window> window) {
    m_mainWindow = std::move(window);
}

void WinApp::OnMainWindowDestroyed(Window* window) {
    if (window == m_mainWindow.get())
        ::PostQuitMessage(m_exitCode);
}

void WinApp::AddPreTranslateFilter(PreTranslateFilter* filter) {
    m_filters.push_back(filter);
}

void WinApp::RemovePreTranslateFilter(PreTranslateFilter* filter) {
    m_filters.erase(std::remove(m_filters.begin(), m_filters.end(), filter), m_filters.end());
}

bool WinApp::PreTranslate(MSG& msg) {
    // A copy: a filter may remove itself while it runs.
    const std::vector<PreTranslateFilter*> filters = m_filters;
    for (PreTranslateFilter* filter : filters) {
        if (filter->PreTranslateMessage(msg))
            return true;
    }
    if (m_mainWindow && m_mainWindow->Hwnd())
        return m_mainWindow->PreTranslateMessage(msg);
    return false;
}

int WinApp::MessageLoop() {
    MSG msg;
    while (MainHwnd()) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return m_exitCode;
}

int WinApp::Run() {
    if (InitInstance() && MainHwnd())
        MessageLoop();
    return ExitInstance();
}

std::string ModulePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ApplicationName() {
    std::string name = ModulePath();
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}
