// The least a full-screen program takes here: one borderless window over the screen in the
// bench background colour, with notepad's icon drawn at the spot the start-up harness watches.
// No catalogue, no settings, no buttons, no theme. The harness times it like the desktop, so
// that the desktop's start can be read against what Wine itself needs for such a window.
//   floor_window X Y
#include <windows.h>

#include <shellapi.h>

#include <cstdlib>

namespace {

// The desktop's background in the harness's catalogue (bench_desktop.h).
constexpr COLORREF kBenchBackground = RGB(0, 0, 96);
int g_x = 0, g_y = 0;
HICON g_icon = nullptr;

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        HBRUSH background = ::CreateSolidBrush(kBenchBackground);
        ::FillRect(dc, &ps.rcPaint, background);
        ::DeleteObject(background);
        ::DrawIconEx(dc, g_x, g_y, g_icon, 32, 32, 0, nullptr, DI_NORMAL);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    if (__argc < 3)
        return 2;
    g_x = std::atoi(__argv[1]);
    g_y = std::atoi(__argv[2]);
    ::ExtractIconExA("C:\\windows\\notepad.exe", 0, &g_icon, nullptr, 1);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FloorProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "FloorWindow";
    ::RegisterClassA(&windowClass);
    HWND hwnd = ::CreateWindowExA(0, "FloorWindow", "FLOOR", WS_POPUP, 0, 0,
                                  ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    ::ShowWindow(hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(hwnd);
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&message);
    return 0;
}
