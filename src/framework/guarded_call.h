#pragma once
// The boundary between the system's code and ours: window, subclass and dialog procedures run
// their handlers through here, so that anything thrown is reported to the user (the standard
// error reports) instead of crossing into the system.

#include "framework/file_exception_report.h"

#include <windows.h>

#include <exception>

// Runs `body` and returns its result; when it throws, reports the error with `owner` as the
// message box's owner, runs `afterError` and returns `fallback`.
template <typename Result, typename Body, typename AfterError>
Result CallReportingErrors(HWND owner, Result fallback, Body&& body, AfterError&& afterError) {
    try {
        return body();
    } catch (const FileException& e) {
        ReportFileException(owner, e);
    } catch (const std::exception& e) {
        ReportUnexpectedError(owner, e.what());
    } catch (...) {
        ReportUnexpectedError(owner, "unknown error");
    }
    afterError();
    return fallback;
}

template <typename Result, typename Body>
Result CallReportingErrors(HWND owner, Result fallback, Body&& body) {
    return CallReportingErrors(owner, fallback, static_cast<Body&&>(body), [] {});
}
