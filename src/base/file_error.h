#pragma once
// The error raised when a file of ours cannot be written; the user interface reports it
// with the file's name and the system's reason (see framework/file_exception_report).

#include <stdexcept>
#include <string>

class FileException : public std::runtime_error {
public:
    FileException(std::string path, std::string reason)
        : std::runtime_error("Cannot write \"" + path + "\": " + reason), m_path(std::move(path)),
          m_reason(std::move(reason)) {}

    const std::string& Path() const { return m_path; }
    const std::string& Reason() const { return m_reason; }

private:
    std::string m_path;
    std::string m_reason;
};
