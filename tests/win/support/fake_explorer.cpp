// Stands in for explorer.exe beside a korvane.exe under test: proves it was started by leaving
// explorer-started.txt, holding its command line, in its own folder, and then ends.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string marker = self;
    marker = marker.substr(0, marker.find_last_of('\\')) + "\\explorer-started.txt";
    HANDLE file = ::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 3;
    const std::string text = std::string("[") + (commandLine ? commandLine : "") + "]";
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return 0;
}
