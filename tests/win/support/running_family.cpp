// A customer's program with a window, for the tests of bringing running programs back.
// "window" opens a top-level window titled "Running family from 0" and runs until it is closed;
// "launcher" starts itself as "window <its own id>" and exits at once, as many launchers do:
// the child's window is then titled "Running family from <launcher id>".
#include <windows.h>

#include <string>

namespace {

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

int RunWindow(const std::string& from, int show) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = "RunningFamily";
    ::RegisterClassA(&windowClass);
    const std::string title = "Running family from " + from;
    HWND window = ::CreateWindowA("RunningFamily", title.c_str(), WS_OVERLAPPEDWINDOW, 300, 40, 300,
                                  200, nullptr, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(window, show);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int show) {
    const std::string line = commandLine ? commandLine : "";
    if (line.rfind("window", 0) == 0)
        return RunWindow(line.size() > 7 ? line.substr(7) : "0", show);
    if (line != "launcher")
        return 2;
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string child =
        "\"" + std::string(self) + "\" window " + std::to_string(::GetCurrentProcessId());
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, child.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return 1;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return 0;
}
