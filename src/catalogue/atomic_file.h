#pragma once
// Writing a file so that a crash or power cut at any moment leaves either its old or its new
// content, never a mixture or a truncated file: the bytes go to "<path>.tmp", which is flushed
// to disk and then put in the target's place in one step. The platform half lives in
// atomic_file_posix.cpp (native tree) and atomic_file_win.cpp (Windows tree).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class AtomicFile {
public:
    // Creates (or truncates) "<path>.tmp". Throws FileException(path, reason).
    explicit AtomicFile(std::string path);
    // Without a successful Commit the temporary file is closed and removed; the target is
    // left as it was.
    ~AtomicFile();

    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Appends bytes to the temporary file. Throws FileException(path, reason).
    void Write(const void* data, std::size_t size);
    // Flushes the temporary file to disk and replaces the target with it. Throws
    // FileException(path, reason); the temporary file is removed then.
    void Commit();

    static std::string TempPath(const std::string& path) { return path + ".tmp"; }

private:
    void Discard() noexcept;

    std::string m_path;
    std::string m_tempPath;
    std::intptr_t m_handle; // a file descriptor or a HANDLE, depending on the platform
    bool m_open = false;
};

// The whole write in one call.
void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes);
