// A desktop that edits its catalogue as fast as it can until it is killed: the first program
// moves from cell to cell along the first row, each move rewriting icons.bin.
#include "desktop/main_frame.h"
#include "support/test_app.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TestApp app;
    if (!app.InitInstance() || !app.Frame())
        return 2;
    CMainFrame& frame = *app.Frame();
    HWND hwnd = app.MainHwnd();
    app.m_adminMode = 1;
    const int columns = frame.Layout().columns;
    if (columns < 2)
        return 3;
    for (unsigned k = 0;; ++k) {
        frame.m_menuEntry = 0;
        ::SendMessageA(hwnd, WM_COMMAND, command::kMoveIcon, 0);
        const GridRect icon = frame.Layout().IconRect(1 + static_cast<int>(k % (columns - 1)), 0);
        ::SendMessageA(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(icon.left + 16, icon.top + 16));
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}
