#include "shell/launcher.h"

#include "shell/command_line.h"

#include <objbase.h>
#include <shellapi.h>

#include <string>

namespace {

// ShellExecuteEx may hand shortcuts and documents to COM handlers, which want an apartment.
class ComApartment {
public:
    ComApartment()
        : m_initialized(SUCCEEDED(
              ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment() {
        if (m_initialized)
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_initialized;
};

DWORD Attributes(const std::wstring& path) {
    return path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(path.c_str());
}

bool Exists(const std::wstring& path) {
    return Attributes(path) != INVALID_FILE_ATTRIBUTES;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = Attributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring ExpandEnvironment(const std::wstring& text) {
    std::wstring expanded(text.size() + 1, L'\0');
    for (;;) {
        const DWORD needed = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(),
                                                         static_cast<DWORD>(expanded.size()));
        if (needed == 0)
            return text;
        if (needed <= expanded.size()) {
            expanded.resize(needed - 1);
            return expanded;
        }
        expanded.resize(needed);
    }
}

// The reading whose program exists (as given or with ".exe" added), the way the system
// resolves an unquoted path with blanks; otherwise the first, which the shell then looks
// up on the search path ("notepad.exe file.txt").
const CommandLineSplit& ChooseReading(const std::vector<CommandLineSplit>& readings) {
    for (const CommandLineSplit& reading : readings) {
        if (IsFile(reading.program) || IsFile(reading.program + L".exe"))
            return reading;
    }
    return readings.front();
}

bool ShellStart(const std::wstring& file, const std::wstring& parameters, int showCommand,
                const wchar_t* directory) {
    const ComApartment apartment;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // No process handle is asked for: nothing here waits for the program.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = directory && *directory ? directory : nullptr;
    info.nShow = showCommand;
    return ::ShellExecuteExW(&info) != FALSE;
}

} // namespace

bool ELExecute(const wchar_t* target, const wchar_t* parameters, int showCommand,
               const wchar_t* directory) {
    if (!target || !*target)
        return false;
    const std::wstring extra = parameters ? parameters : L"";
    const std::wstring text = target;
    if (Exists(text))
        return ShellStart(text, JoinArguments({}, extra), showCommand, directory);

    const std::wstring expanded = ExpandEnvironment(text);
    if (expanded != text && Exists(expanded))
        return ShellStart(expanded, JoinArguments({}, extra), showCommand, directory);

    const std::vector<CommandLineSplit> readings = CommandLineCandidates(expanded);
    if (readings.empty())
        return false;
    const CommandLineSplit& reading = ChooseReading(readings);
    return ShellStart(reading.program, JoinArguments(reading.arguments, extra), showCommand,
                      directory);
}

bool ELCloseRegKey(HKEY key) {
    return key && ::RegCloseKey(key) == ERROR_SUCCESS;
}
