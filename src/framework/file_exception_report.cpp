#include "framework/file_exception_report.h"

#include "framework/modal_ui.h"

void ReportFileException(HWND owner, const FileException& error) {
    AppMessageBox(owner,
                  "The file \"" + error.Path() + "\" could not be written.\r\n" + error.Reason() +
                      "\r\nThe change is kept until the program ends; try again later.",
                  nullptr, MB_OK | MB_ICONERROR);
}

void ReportUnexpectedError(HWND owner, const char* what) {
    AppMessageBox(owner, std::string("The command could not be completed: ") + what, nullptr,
                  MB_OK | MB_ICONERROR);
}

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD n = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n && buffer ? std::string(buffer, n) : "error " + std::to_string(code);
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}
