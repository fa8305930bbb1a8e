// A top-level window "KEYREC" over the upper right quarter of the screen (clear of the
// desktop's buttons) that appends one line per key
// that reaches it to the file named on its command line: "down XX" (the virtual-key code in
// hex, Alt-combinations included) and "close" for a close request, which it ignores.
#include <windows.h>

#include <cstdio>

namespace {

FILE* g_log = nullptr;

void Note(const char* text, unsigned value = 0) {
    std::fprintf(g_log, text, value);
    std::fputc('\n', g_log);
    std::fflush(g_log);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        Note("down %02X", static_cast<unsigned>(wParam));
        break;
    case WM_CLOSE:
        Note("close");
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    g_log = std::fopen(commandLine, "ab");
    if (!g_log)
        return 2;
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "KeyRecorder";
    ::RegisterClassA(&wc);
    const int width = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    const int height = ::GetSystemMetrics(SM_CYSCREEN) / 2 - 60;
    HWND hwnd = ::CreateWindowExA(WS_EX_TOPMOST, "KeyRecorder", "KEYREC", WS_POPUP | WS_VISIBLE,
                                  width, 0, width, height, nullptr, nullptr, instance, nullptr);
    ::SetForegroundWindow(hwnd);
    ::SetFocus(hwnd);
    Note("ready");
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    std::fclose(g_log);
    return 0;
}
