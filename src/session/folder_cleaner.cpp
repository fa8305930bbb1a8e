#include "session/folder_cleaner.h"

#include "framework/unique_handle.h"

#include <windows.h>

namespace {

constexpr long long kProgressEvery = 25;

struct FindTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
    static void Close(HANDLE h) { ::FindClose(h); }
};
using UniqueFind = UniqueHandle<HANDLE, FindTraits>;

// Customers name files in any language: the cleaner works in UTF-16, with the long-path
// prefix so that deep download folders are reached too.
std::wstring LongWidePath(const std::string& path) {
    const int n = ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(n > 0 ? static_cast<std::size_t>(n) : 1, L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), n);
    wide.resize(wide.size() - 1);
    if (wide.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

bool DeleteEntry(const std::wstring& path, DWORD attributes, bool directory) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        ::SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // A directory link goes with RemoveDirectory, which removes the link, not its target.
    return directory ? ::RemoveDirectoryW(path.c_str()) != 0 : ::DeleteFileW(path.c_str()) != 0;
}

} // namespace

FolderCleaner::FolderCleaner(const std::atomic<bool>& cancel,
                             std::function<void(const CleanCounts&)> progress)
    : m_cancel(cancel), m_progress(std::move(progress)) {}

void FolderCleaner::Empty(const std::string& folder) {
    EmptyWide(LongWidePath(folder));
    if (m_progress)
        m_progress(m_counts);
}

void FolderCleaner::Count(bool removed) {
    (removed ? m_counts.removed : m_counts.left) += 1;
    if (m_progress && (m_counts.removed + m_counts.left) % kProgressEvery == 0)
        m_progress(m_counts);
}

void FolderCleaner::EmptyWide(const std::wstring& folder) {
    WIN32_FIND_DATAW found{};
    UniqueFind search(::FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (!search)
        return;
    do {
        if (m_cancel.load())
            return;
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const std::wstring path = folder + L"\\" + name;
        const DWORD attributes = found.dwFileAttributes;
        const bool directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            Count(DeleteEntry(path, attributes, directory)); // the link, never its target
        } else if (directory) {
            EmptyWide(path);
            DeleteEntry(path, attributes, true); // stays when something in it was left
        } else {
            Count(DeleteEntry(path, attributes, false));
        }
    } while (::FindNextFileW(search.Get(), &found));
}
