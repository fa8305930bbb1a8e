// A customer's program that starts a child: "parent DIR" writes DIR\parent.txt, starts itself
// as "child DIR" and waits for ever; the child writes DIR\child.txt and waits for ever. Neither
// has a window, so only ending the job ends them.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string line = commandLine ? commandLine : "";
    const std::size_t space = line.find(' ');
    if (space == std::string::npos)
        return 2;
    const std::string role = line.substr(0, space);
    const std::string folder = line.substr(space + 1);
    const std::string marker = folder + "\\" + role + ".txt";
    HANDLE file = ::CreateFileA(marker.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const std::string pid = std::to_string(::GetCurrentProcessId());
        DWORD written = 0;
        ::WriteFile(file, pid.data(), static_cast<DWORD>(pid.size()), &written, nullptr);
        ::CloseHandle(file);
    }
    if (role == "parent") {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string child = "\"" + std::string(self) + "\" child " + folder;
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process{};
        if (::CreateProcessA(nullptr, child.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process)) {
            ::CloseHandle(process.hThread);
            ::CloseHandle(process.hProcess);
        }
    }
    ::Sleep(INFINITE);
    return 0;
}
