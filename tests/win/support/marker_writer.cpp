// Proves that it was started: writes its arguments after the first, one per line, into the
// file named by the first. Written beside and then moved, so a reader never sees half a file.
// A marker whose name ends in ".where" starts with two more lines: the working folder and the
// show command the program was started with.
#include <windows.h>
#include <shellapi.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int count = 0;
    LPWSTR* args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args || count < 2)
        return 2;
    const std::wstring target = args[1];
    std::wstring lines;
    const std::wstring where = L".where";
    if (target.size() > where.size() &&
        target.compare(target.size() - where.size(), where.size(), where) == 0) {
        wchar_t folder[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, folder);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        ::GetStartupInfoW(&startup);
        lines += folder;
        lines += L'\n';
        lines +=
            std::to_wstring((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);
        lines += L'\n';
    }
    for (int i = 2; i < count; ++i) {
        if (i > 2)
            lines += L'\n';
        lines += args[i];
    }
    const std::wstring temporary = target + L".part";
    HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    const int bytes = ::WideCharToMultiByte(
        CP_UTF8, 0, lines.c_str(), static_cast<int>(lines.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, lines.c_str(), static_cast<int>(lines.size()), utf8.data(),
                          bytes, nullptr, nullptr);
    DWORD written = 0;
    ::WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    ::CloseHandle(file);
    ::LocalFree(args);
    return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
