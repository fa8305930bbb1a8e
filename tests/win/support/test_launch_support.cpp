#include "support/test_launch_support.h"

#include <objbase.h>
#include <shlobj.h>

static bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring Wide(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

std::wstring CopyMarkerWriter(const std::wstring& folder, const std::wstring& fileName) {
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring target = folder + L"\\" + fileName;
    // The helper program is built beside the test executable.
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring source = self;
    source = source.substr(0, source.find_last_of(L'\\')) + L"\\marker_writer.exe";
    ::CopyFileW(source.c_str(), target.c_str(), FALSE);
    return target;
}

bool CreateShortcut(const std::wstring& linkPath, const std::wstring& target,
                    const std::wstring& arguments) {
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool saved = false;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_IShellLinkW, reinterpret_cast<void**>(&link)))) {
        link->SetPath(target.c_str());
        link->SetArguments(arguments.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            saved = SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    return saved;
}

std::string WaitForMarker(const std::wstring& path, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!FileExists(path)) {
        if (::GetTickCount() - start > timeoutMs)
            return "<none>";
        ::Sleep(50);
    }
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<unreadable>";
    std::string content;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        content.append(buffer, got);
    ::CloseHandle(file);
    return content;
}
