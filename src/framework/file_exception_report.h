#pragma once
// The standard error reports: a file that could not be written, and anything unexpected that
// reached a window procedure. Both are message boxes through the modal-UI service.

#include "base/file_error.h"

#include <windows.h>

void ReportFileException(HWND owner, const FileException& error);
void ReportUnexpectedError(HWND owner, const char* what);
// The system's text for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);
