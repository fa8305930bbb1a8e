// Sits in the Wine session so the server and its services stay warm between test processes.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // A hidden top-level window: it brings up the desktop process once, for every test after.
    HWND hwnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "korvane keep-alive", WS_POPUP, 0, 0,
                                  1, 1, nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (hwnd && ::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
