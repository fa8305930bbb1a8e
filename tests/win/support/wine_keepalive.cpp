// Sits in the Wine session so the server, its services and the desktop process stay warm
// between test processes. With a file name as argument it writes that file once its window
// exists, so the caller can wait until the session is fully up.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    // A hidden top-level window: it brings up the desktop process once, for every test after.
    HWND hwnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "korvane keep-alive", WS_POPUP, 0, 0,
                                  1, 1, nullptr, nullptr, nullptr, nullptr);
    if (commandLine && *commandLine) {
        HANDLE ready = ::CreateFileA(commandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr);
        if (ready != INVALID_HANDLE_VALUE)
            ::CloseHandle(ready);
    }
    MSG msg;
    while (hwnd && ::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
