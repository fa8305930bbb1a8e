#pragma once
// The visual-style functions, loaded from UXTHEME.DLL at run time so that buttons also work
// where the library or any of its functions is missing: every call then does nothing and
// reports failure, and the buttons draw classically. All instances share one loaded library.

#include <windows.h>
#include <uxtheme.h>

class CXThemeHelper {
public:
    CXThemeHelper();
    virtual ~CXThemeHelper();
    CXThemeHelper(const CXThemeHelper&) = delete;
    CXThemeHelper& operator=(const CXThemeHelper&) = delete;

    // The library and all eight functions were found.
    bool IsThemeLibAvailable() const;

    HTHEME OpenThemeData(HWND window, const char* className);
    bool CloseThemeData(HTHEME theme);
    bool DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* rect,
                             const RECT* clip);
    bool DrawThemeParentBackground(HWND window, HDC dc, const RECT* rect);
    bool DrawThemeText(HTHEME theme, HDC dc, int part, int state, const char* text, DWORD textFlags,
                       DWORD textFlags2, const RECT* rect);
    bool GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state,
                                       const RECT* bounding, RECT* content);
    bool IsAppThemed();
    bool IsThemeActive();

    // Test seam: frees the library and loads `libraryName` in its place (null: UXTHEME.DLL
    // again). A name that cannot be loaded makes theming unavailable, as on a system without
    // the library. Theme handles opened before are invalid afterwards.
    static void ReloadLibraryForTesting(const char* libraryName);

private:
    // The shared library, loaded at the first call while an instance exists.
    static const struct ThemeLibrary& LoadedLibrary();
    static void Load(const char* libraryName);
    static void Unload();
};

// The instance the buttons use; it keeps the library loaded for the program's lifetime.
extern CXThemeHelper g_themeHelper;
