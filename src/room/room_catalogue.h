#pragma once
// The room's catalogue: a worker thread looks at the shared icons.bin every few minutes, copies
// a changed one into the data folder within a time limit, checks it as `korvane-catalogue check`
// would at this PC's screen size and hands a good copy to the desktop's thread, which puts it in
// place of icons.bin (at once in restricted mode, on leaving admin mode otherwise). All share
// access runs on the worker, so a slow or missing share never holds the desktop up.

#include "room/room_rules.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CRegistryPlus;

class RoomCatalogue {
public:
    // Posted to the notify window when a checked copy waits or a report is ready.
    static constexpr UINT kReadyMessage = WM_USER + 110;

    explicit RoomCatalogue(std::string catalogPath);
    ~RoomCatalogue();
    RoomCatalogue(const RoomCatalogue&) = delete;
    RoomCatalogue& operator=(const RoomCatalogue&) = delete;

    // Reads the source, the minutes and the catalogue taken last from `settings` and, when a
    // source is set, starts the worker, whose first pass begins at once. Again later (after the
    // settings changed): the worker takes the new values; `takeNow` copies at once whatever the
    // source's size and time, and reports the outcome.
    void Start(CRegistryPlus& settings, bool takeNow = false);
    bool HasSource() const;
    // Waits up to `ms` for the first pass; true when it ended in time.
    bool WaitForFirstPass(unsigned ms);
    // Where kReadyMessage goes; a copy or report that is already waiting is announced at once.
    void SetNotifyWindow(HWND hwnd);

    // Desktop thread: puts a waiting checked copy in place of icons.bin and records it in
    // `settings`; true when icons.bin changed.
    bool InstallPending(CRegistryPlus& settings);
    bool HasPending() const;
    // Asks the worker to publish the local catalogue; the outcome comes as a report.
    void Publish();
    // Texts for the operator from "Take now" and from publishing, oldest first; emptied.
    std::vector<std::string> TakeReports();

    // Tests: called on the worker after every piece of a copy.
    void SetCopyProgress(std::function<void(std::uint64_t)> progress);

    struct State;

private:
    std::shared_ptr<State> m_state;
    HANDLE m_thread = nullptr;
};
