#include "room/room_copy.h"

#include "base/file_error.h"
#include "catalogue/atomic_file.h"
#include "framework/unique_handle.h"
#include "room/sha256_win.h"

#include <windows.h>

#include <vector>

namespace room {

namespace {

constexpr DWORD kPiece = 64 * 1024;

std::uint64_t Join(DWORD high, DWORD low) {
    return (std::uint64_t{high} << 32) | low;
}

// Cancels the I/O call the copying thread is blocked in once the time limit has passed, so a
// share that stops answering ends the copy instead of holding it for minutes.
class IoDeadline {
public:
    explicit IoDeadline(unsigned limitMs) {
        HANDLE self = nullptr;
        if (!::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                               &self, 0, FALSE, DUPLICATE_SAME_ACCESS))
            return;
        m_thread.Reset(self);
        ::CreateTimerQueueTimer(&m_timer, nullptr, &IoDeadline::Expire, this, limitMs, 0,
                                WT_EXECUTEONLYONCE);
        m_end = ::GetTickCount64() + limitMs;
    }
    ~IoDeadline() {
        if (m_timer)
            ::DeleteTimerQueueTimer(nullptr, m_timer, INVALID_HANDLE_VALUE); // waits for it
    }
    IoDeadline(const IoDeadline&) = delete;
    IoDeadline& operator=(const IoDeadline&) = delete;

    bool Passed() const { return ::GetTickCount64() >= m_end; }

private:
    static void CALLBACK Expire(void* self, BOOLEAN) {
        ::CancelSynchronousIo(static_cast<IoDeadline*>(self)->m_thread.Get());
    }

    UniqueKernelHandle m_thread;
    HANDLE m_timer = nullptr;
    ULONGLONG m_end = ~0ull;
};

HANDLE OpenSource(const std::string& path) {
    return ::CreateFileA(path.c_str(), GENERIC_READ,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

std::string TimeLimitReason(unsigned limitMs) {
    return "the copy took longer than " + std::to_string(limitMs / 1000) + " s";
}

} // namespace

std::string SystemReason(unsigned long error) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason;
    if (length > 0 && text)
        reason.assign(text, length);
    if (text)
        ::LocalFree(text);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    return reason.empty() ? "system error " + std::to_string(error) : reason;
}

std::optional<SourceStamp> StampOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return SourceStamp{
        Join(data.nFileSizeHigh, data.nFileSizeLow),
        Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

CopyResult CopySource(const std::string& source, const std::string& target,
                      const SourceStamp& before, unsigned limitMs, const CopyProgress& progress) {
    CopyResult result;
    std::uint64_t copied = 0;
    {
        IoDeadline deadline(limitMs);
        UniqueFile in(OpenSource(source));
        if (!in) {
            result.error = SystemReason(::GetLastError());
            return result;
        }
        UniqueFile out(::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) {
            result.error = SystemReason(::GetLastError());
            return result;
        }
        Sha256 hash;
        std::vector<char> piece(kPiece);
        for (;;) {
            DWORD read = 0;
            if (!::ReadFile(in.Get(), piece.data(), kPiece, &read, nullptr)) {
                const DWORD error = ::GetLastError();
                result.error = error == ERROR_OPERATION_ABORTED ? TimeLimitReason(limitMs)
                                                                : SystemReason(error);
                break;
            }
            if (read == 0)
                break;
            DWORD written = 0;
            if (!::WriteFile(out.Get(), piece.data(), read, &written, nullptr) || written != read) {
                result.error = SystemReason(::GetLastError());
                break;
            }
            hash.Add(piece.data(), read);
            copied += read;
            if (progress)
                progress(copied);
            if (deadline.Passed()) {
                result.error = TimeLimitReason(limitMs);
                break;
            }
            if (copied > before.size)
                break; // grew while being copied: CopyIsWhole refuses it below
        }
        if (result.error.empty() && !::FlushFileBuffers(out.Get()))
            result.error = SystemReason(::GetLastError());
        result.digest = hash.Finish();
        if (result.error.empty() && result.digest.empty())
            result.error = "SHA-256 is not available";
    }
    if (result.error.empty() && !CopyIsWhole(before, copied, StampOf(source)))
        result.error = "the file changed or went away while it was copied";
    result.ok = result.error.empty();
    if (!result.ok)
        ::DeleteFileA(target.c_str());
    return result;
}

bool ReadLimited(const std::string& path, unsigned limitMs, std::string& bytes,
                 std::string& error) {
    IoDeadline deadline(limitMs);
    UniqueFile in(OpenSource(path));
    if (!in) {
        error = SystemReason(::GetLastError());
        return false;
    }
    bytes.clear();
    std::vector<char> piece(kPiece);
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(in.Get(), piece.data(), kPiece, &read, nullptr)) {
            const DWORD code = ::GetLastError();
            error = code == ERROR_OPERATION_ABORTED ? TimeLimitReason(limitMs) : SystemReason(code);
            return false;
        }
        if (read == 0)
            return true;
        bytes.append(piece.data(), read);
        if (deadline.Passed()) {
            error = TimeLimitReason(limitMs);
            return false;
        }
    }
}

std::string PreviousPath(const std::string& catalogue) {
    const std::size_t slash = catalogue.find_last_of('\\');
    return (slash == std::string::npos ? std::string() : catalogue.substr(0, slash + 1)) +
           "icons.prev.bin";
}

bool ReplaceKeepingPrevious(const std::string& copy, const std::string& catalogue,
                            std::string& error) {
    std::string previous;
    if (ReadLimited(catalogue, kCopyLimitMs, previous, error)) {
        try {
            WriteFileAtomically(PreviousPath(catalogue),
                                std::vector<unsigned char>(previous.begin(), previous.end()));
        } catch (const FileException& e) {
            error = e.what();
            ::DeleteFileA(copy.c_str());
            return false;
        }
    } else if (::GetFileAttributesA(catalogue.c_str()) != INVALID_FILE_ATTRIBUTES) {
        ::DeleteFileA(copy.c_str()); // there is one, but it cannot be kept
        return false;
    }
    error.clear();
    if (!::MoveFileExA(copy.c_str(), catalogue.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = SystemReason(::GetLastError());
        ::DeleteFileA(copy.c_str());
        return false;
    }
    return true;
}

PublishResult PublishCatalogue(const std::string& catalogue, const std::string& source,
                               const std::string& takenDigest, unsigned limitMs) {
    PublishResult result;
    std::optional<std::string> sourceDigest;
    if (StampOf(source)) {
        std::string shared;
        if (!ReadLimited(source, limitMs, shared, result.error))
            return result;
        sourceDigest = Sha256::Of(shared.data(), shared.size());
        if (sourceDigest->empty()) {
            result.error = "SHA-256 is not available";
            return result;
        }
    }
    if (!MayPublish(sourceDigest, takenDigest)) {
        result.refused = true;
        return result;
    }
    std::string local;
    if (!ReadLimited(catalogue, limitMs, local, result.error))
        return result;
    try {
        WriteFileAtomically(source, std::vector<unsigned char>(local.begin(), local.end()));
    } catch (const FileException& e) {
        result.error = e.what();
        return result;
    }
    result.digest = Sha256::Of(local.data(), local.size());
    result.published = true;
    return result;
}

} // namespace room
