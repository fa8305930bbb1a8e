// AtomicFile for Windows: CreateFileA / WriteFile / FlushFileBuffers, then MoveFileExA with
// replace-existing and write-through, which returns only once the move is on disk.

#include "catalogue/atomic_file.h"

#include "base/file_error.h"

#include <windows.h>

namespace {

std::string ReasonFor(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0 && text != nullptr) {
        reason.assign(text, length);
        while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                                   reason.back() == ' ' || reason.back() == '.'))
            reason.pop_back();
    }
    if (text != nullptr)
        LocalFree(text);
    if (reason.empty())
        reason = "system error " + std::to_string(error);
    return reason;
}

HANDLE AsHandle(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

AtomicFile::AtomicFile(std::string path)
    : m_path(std::move(path)), m_tempPath(TempPath(m_path)),
      m_handle(reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE)) {
    // MoveFileExA refuses to replace a read-only file on Windows but not under Wine: refuse
    // before writing anything, so that such a file stays as it is everywhere.
    const DWORD attributes = GetFileAttributesA(m_path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        throw FileException(m_path, ReasonFor(ERROR_ACCESS_DENIED));

    const HANDLE file = CreateFileA(m_tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw FileException(m_path, ReasonFor(GetLastError()));
    m_handle = reinterpret_cast<std::intptr_t>(file);
    m_open = true;
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() noexcept {
    if (!m_open)
        return;
    CloseHandle(AsHandle(m_handle));
    DeleteFileA(m_tempPath.c_str());
    m_open = false;
}

void AtomicFile::Write(const void* data, std::size_t size) {
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(AsHandle(m_handle), bytes, chunk, &written, nullptr) || written == 0) {
            const DWORD error = GetLastError();
            Discard();
            throw FileException(m_path, ReasonFor(error));
        }
        bytes += written;
        size -= written;
    }
}

void AtomicFile::Commit() {
    if (!FlushFileBuffers(AsHandle(m_handle))) {
        const DWORD error = GetLastError();
        Discard();
        throw FileException(m_path, ReasonFor(error));
    }
    m_open = false;
    if (!CloseHandle(AsHandle(m_handle))) {
        const DWORD error = GetLastError();
        DeleteFileA(m_tempPath.c_str());
        throw FileException(m_path, ReasonFor(error));
    }
    if (!MoveFileExA(m_tempPath.c_str(), m_path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileA(m_tempPath.c_str());
        throw FileException(m_path, ReasonFor(error));
    }
}

void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
    AtomicFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}
