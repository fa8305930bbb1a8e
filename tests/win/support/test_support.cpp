#include "support/test_support.h"

#include "app/registry_plus.h"

#include <shlwapi.h>

#include <fstream>
#include <sstream>

int ScriptedModalUi::ShowMessageBox(HWND owner, const std::string& text, const char* caption,
                                    UINT type) {
    shown.push_back({owner, text, caption ? caption : "<null>", type});
    if (answers.empty())
        return IDOK;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

std::vector<UINT> ShownMenu::Ids() const {
    std::vector<UINT> ids;
    for (const auto& item : items)
        ids.push_back(item.first);
    return ids;
}

namespace {

template <typename T> std::optional<T> NextAnswer(std::deque<std::optional<T>>& queue) {
    if (queue.empty())
        return std::nullopt;
    std::optional<T> answer = std::move(queue.front());
    queue.pop_front();
    return answer;
}

} // namespace

BOOL ScriptedModalUi::TrackMenu(HMENU menu, UINT flags, POINT at, HWND owner) {
    ShownMenu shownMenu{owner, at, flags, {}};
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        ::GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        const UINT id = ::GetMenuItemID(menu, i);
        shownMenu.items.push_back({id == static_cast<UINT>(-1) ? 0 : id, text});
    }
    shownMenus.push_back(std::move(shownMenu));
    UINT answer = 0;
    if (!menuAnswers.empty()) {
        answer = menuAnswers.front();
        menuAnswers.pop_front();
    }
    if (answer == 0)
        return FALSE;
    ::PostMessageA(owner, WM_COMMAND, answer, 0);
    return TRUE;
}

bool ScriptedModalUi::ChooseOpenFile(HWND, std::string& path, const char* filter, DWORD flags) {
    shownFileDialogs.push_back({path, filter ? filter : "", flags});
    std::optional<std::string> answer = NextAnswer(fileAnswers);
    if (!answer)
        return false;
    path = *answer;
    return true;
}

bool ScriptedModalUi::ChooseColour(HWND, COLORREF& colour, DWORD flags) {
    colourFlags.push_back(flags);
    std::optional<COLORREF> answer = NextAnswer(colourAnswers);
    if (!answer)
        return false;
    colour = *answer;
    return true;
}

bool ScriptedModalUi::ChooseFontAndColour(HWND, LOGFONTA& font, COLORREF& colour, DWORD flags) {
    fontFlags.push_back(flags);
    std::optional<FontAnswer> answer = NextAnswer(fontAnswers);
    if (!answer)
        return false;
    font = answer->font;
    colour = answer->colour;
    return true;
}

ScopedRegistryKeyReset::ScopedRegistryKeyReset(std::string subkey) : m_subkey(std::move(subkey)) {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_subkey.c_str());
}

ScopedRegistryKeyReset::~ScopedRegistryKeyReset() {
    ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_subkey.c_str());
}

namespace {
LONG RefuseWriteAccess(HKEY root, const char* subkey, REGSAM access, bool create, HKEY* key) {
    if (access & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY))
        return ERROR_ACCESS_DENIED;
    return CRegistryPlus::OpenKeyForReal(root, subkey, access, create, key);
}
} // namespace

ScopedUnwritableSettings::ScopedUnwritableSettings() {
    CRegistryPlus::SetOpenKeyFunction(&RefuseWriteAccess);
}

ScopedUnwritableSettings::~ScopedUnwritableSettings() {
    CRegistryPlus::SetOpenKeyFunction(nullptr);
}

TempFolder::TempFolder() {
    char base[MAX_PATH];
    ::GetTempPathA(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        m_path = std::string(base) + "korvane-test-" + std::to_string(::GetCurrentProcessId()) +
                 "-" + std::to_string(++counter);
        if (::CreateDirectoryA(m_path.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    DeleteTree(m_path);
}

void DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = path + "\\" + name;
            ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                ::DeleteFileA(child.c_str());
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(path.c_str());
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void PumpMessages(DWORD ms) {
    const DWORD until = ::GetTickCount() + ms;
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (ms)
            ::Sleep(5);
    } while (static_cast<LONG>(::GetTickCount() - until) < 0);
}
