#include "controls/button/xtheme_helper.h"

#include <vector>

namespace {

using CloseThemeDataFn = HRESULT(WINAPI*)(HTHEME);
using DrawThemeBackgroundFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*);
using DrawThemeParentBackgroundFn = HRESULT(WINAPI*)(HWND, HDC, const RECT*);
using DrawThemeTextFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD,
                                         const RECT*);
using GetThemeBackgroundContentRectFn = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
using IsAppThemedFn = BOOL(WINAPI*)();
using IsThemeActiveFn = BOOL(WINAPI*)();
using OpenThemeDataFn = HTHEME(WINAPI*)(HWND, LPCWSTR);

} // namespace

// The loaded library and its functions, shared by all instances.
struct ThemeLibrary {
    int instances = 0;
    bool tried = false; // loading was attempted (it happens at the first call, not at start)
    HMODULE module = nullptr;
    bool available = false;
    CloseThemeDataFn closeThemeData = nullptr;
    DrawThemeBackgroundFn drawThemeBackground = nullptr;
    DrawThemeParentBackgroundFn drawThemeParentBackground = nullptr;
    DrawThemeTextFn drawThemeText = nullptr;
    GetThemeBackgroundContentRectFn getThemeBackgroundContentRect = nullptr;
    IsAppThemedFn isAppThemed = nullptr;
    IsThemeActiveFn isThemeActive = nullptr;
    OpenThemeDataFn openThemeData = nullptr;
};

namespace {

ThemeLibrary& Library() {
    static ThemeLibrary library;
    return library;
}

constexpr const char* kLibraryName = "UXTHEME.DLL";

template <typename Fn> bool Find(HMODULE module, const char* name, Fn& function) {
    function = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    return function != nullptr;
}

// The text in UTF-16, or nothing when it cannot be converted.
bool Widen(const char* text, std::vector<wchar_t>& wide) {
    const int n = ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, nullptr, 0);
    if (n <= 0)
        return false;
    try {
        wide.assign(static_cast<std::size_t>(n), L'\0');
    } catch (...) {
        return false;
    }
    return ::MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, wide.data(), n) > 0;
}

} // namespace

CXThemeHelper g_themeHelper;

const ThemeLibrary& CXThemeHelper::LoadedLibrary() {
    ThemeLibrary& lib = Library();
    if (!lib.tried && lib.instances > 0)
        Load(kLibraryName);
    return lib;
}

void CXThemeHelper::Load(const char* libraryName) {
    ThemeLibrary& lib = Library();
    lib.tried = true;
    lib.module = ::LoadLibraryA(libraryName);
    if (!lib.module)
        return;
    lib.available =
        Find(lib.module, "CloseThemeData", lib.closeThemeData) &&
        Find(lib.module, "DrawThemeBackground", lib.drawThemeBackground) &&
        Find(lib.module, "DrawThemeParentBackground", lib.drawThemeParentBackground) &&
        Find(lib.module, "DrawThemeText", lib.drawThemeText) &&
        Find(lib.module, "GetThemeBackgroundContentRect", lib.getThemeBackgroundContentRect) &&
        Find(lib.module, "IsAppThemed", lib.isAppThemed) &&
        Find(lib.module, "IsThemeActive", lib.isThemeActive) &&
        Find(lib.module, "OpenThemeData", lib.openThemeData);
    if (!lib.available)
        Unload();
}

void CXThemeHelper::Unload() {
    ThemeLibrary& lib = Library();
    const int instances = lib.instances;
    if (lib.module)
        ::FreeLibrary(lib.module);
    lib = ThemeLibrary{};
    lib.instances = instances;
}

// The library is loaded at the first call: under Wine loading it connects to the display and
// reads the theme (30 ms), which a process that never draws a button (the watcher) should not
// pay, and which the desktop pays only once its first window is on the way.
CXThemeHelper::CXThemeHelper() {
    ++Library().instances;
}

CXThemeHelper::~CXThemeHelper() {
    if (--Library().instances == 0)
        Unload();
}

void CXThemeHelper::ReloadLibraryForTesting(const char* libraryName) {
    Unload();
    Load(libraryName ? libraryName : kLibraryName);
}

bool CXThemeHelper::IsThemeLibAvailable() const {
    return LoadedLibrary().available;
}

HTHEME CXThemeHelper::OpenThemeData(HWND window, const char* className) {
    const ThemeLibrary& lib = LoadedLibrary();
    std::vector<wchar_t> wide;
    if (!lib.available || !className || !Widen(className, wide))
        return nullptr;
    return lib.openThemeData(window, wide.data());
}

bool CXThemeHelper::CloseThemeData(HTHEME theme) {
    const ThemeLibrary& lib = LoadedLibrary();
    return lib.available && theme && SUCCEEDED(lib.closeThemeData(theme));
}

bool CXThemeHelper::DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                                        const RECT* clip) {
    const ThemeLibrary& lib = LoadedLibrary();
    return lib.available && theme &&
           SUCCEEDED(lib.drawThemeBackground(theme, dc, part, state, rect, clip));
}

bool CXThemeHelper::DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect) {
    const ThemeLibrary& lib = LoadedLibrary();
    return lib.available && ::IsWindow(window) && rect &&
           SUCCEEDED(lib.drawThemeParentBackground(window, dc, rect));
}

bool CXThemeHelper::DrawThemeText(HTHEME theme, HDC dc, int part, int state, const char* text,
                                  DWORD textFlags, DWORD textFlags2, const RECT* rect) {
    const ThemeLibrary& lib = LoadedLibrary();
    std::vector<wchar_t> wide;
    if (!lib.available || !theme || !text || !Widen(text, wide))
        return false;
    return SUCCEEDED(
        lib.drawThemeText(theme, dc, part, state, wide.data(), -1, textFlags, textFlags2, rect));
}

bool CXThemeHelper::GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                                  const RECT* bounding, RECT* content) {
    const ThemeLibrary& lib = LoadedLibrary();
    return lib.available && theme &&
           SUCCEEDED(lib.getThemeBackgroundContentRect(theme, dc, part, state, bounding, content));
}

bool CXThemeHelper::IsAppThemed() {
    const ThemeLibrary& lib = LoadedLibrary();
    return lib.available && lib.isAppThemed();
}

bool CXThemeHelper::IsThemeActive() {
    const ThemeLibrary& lib = LoadedLibrary();
    return lib.available && lib.isThemeActive();
}
