// Tells the end-to-end tests the moment Windows takes a window away (an X window may outlive
// it). Usage: window_gone TITLE READY_FILE. Waits until a visible top-level window has the
// title TITLE, creates READY_FILE, then waits until no visible window has that title. Exits 0
// once it is gone, 1 when a wait takes more than 30 s, 2 on a bad command line.
#include <windows.h>

#include <cstring>

namespace {

const char* g_title = nullptr;

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM found) {
    char title[256] = {};
    ::GetWindowTextA(hwnd, title, sizeof(title));
    if (::IsWindowVisible(hwnd) && std::strcmp(title, g_title) == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

bool Shown() {
    bool found = false;
    ::EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&found));
    return found;
}

bool WaitFor(bool shown) {
    for (int waited = 0; waited < 30000; waited += 10) {
        if (Shown() == shown)
            return true;
        ::Sleep(10);
    }
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    g_title = argv[1];
    if (!WaitFor(true))
        return 1;
    ::CloseHandle(::CreateFileA(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    return WaitFor(false) ? 0 : 1;
}
