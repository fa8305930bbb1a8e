// AtomicFile for POSIX systems (the native build): open / write / fsync / rename, then fsync of
// the folder so that the rename itself survives a power cut.

#include "catalogue/atomic_file.h"

#include "base/file_error.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string ReasonFor(int error) {
    return std::generic_category().message(error);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

AtomicFile::AtomicFile(std::string path)
    : m_path(std::move(path)), m_tempPath(TempPath(m_path)), m_handle(-1) {
    // Windows refuses to replace a read-only file; rename() would replace it regardless.
    // Refuse here too, so that a file the administrator made read-only stays as it is.
    if (::access(m_path.c_str(), F_OK) == 0 && ::access(m_path.c_str(), W_OK) != 0)
        throw FileException(m_path, ReasonFor(errno));

    const int fd = ::open(m_tempPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw FileException(m_path, ReasonFor(errno));
    m_handle = fd;
    m_open = true;

    // The new file keeps the permission bits of the one it replaces.
    struct stat old {};
    if (::stat(m_path.c_str(), &old) == 0)
        ::fchmod(fd, old.st_mode & 07777);
}

AtomicFile::~AtomicFile() {
    Discard();
}

void AtomicFile::Discard() noexcept {
    if (!m_open)
        return;
    ::close(static_cast<int>(m_handle));
    ::unlink(m_tempPath.c_str());
    m_open = false;
}

void AtomicFile::Write(const void* data, std::size_t size) {
    const int fd = static_cast<int>(m_handle);
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            Discard();
            throw FileException(m_path, ReasonFor(error));
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
}

void AtomicFile::Commit() {
    const int fd = static_cast<int>(m_handle);
    if (::fsync(fd) != 0) {
        const int error = errno;
        Discard();
        throw FileException(m_path, ReasonFor(error));
    }
    m_open = false;
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(m_tempPath.c_str());
        throw FileException(m_path, ReasonFor(error));
    }
    if (::rename(m_tempPath.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        ::unlink(m_tempPath.c_str());
        throw FileException(m_path, ReasonFor(error));
    }
    // The new content is in place; making the rename durable is best effort (some file
    // systems refuse fsync on a folder), so a failure here does not undo the save.
    const int folder = ::open(FolderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void WriteFileAtomically(const std::string& path, const std::vector<unsigned char>& bytes) {
    AtomicFile file(path);
    file.Write(bytes.data(), bytes.size());
    file.Commit();
}
