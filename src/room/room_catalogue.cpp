#include "room/room_catalogue.h"

#include "app/registry_plus.h"
#include "catalogue_check.h"
#include "room/room_copy.h"

#include <mutex>
#include <optional>

namespace {

room::Moment Now() {
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

// The texts of `check` are UTF-8; the settings and message boxes take the ANSI code page.
std::string InCodePage(const CodePage& codePage, const std::string& utf8) {
    std::string bytes;
    char32_t unfit = 0;
    return codePage.FromUtf8(utf8, bytes, unfit) ? bytes : utf8;
}

const CodePage& SystemCodePage() {
    const CodePage* codePage = CodePage::Find(static_cast<int>(::GetACP()));
    return codePage ? *codePage : *CodePage::Find(1252);
}

} // namespace

struct RoomCatalogue::State {
    std::mutex lock;
    // Settings, as the desktop last gave them.
    std::string source;
    int minutes = room::kDefaultMinutes;
    const std::string catalogPath;
    const std::string copyPath; // the checked copy waits here until it is put in place
    // What the passes know.
    std::optional<room::SourceStamp> lastCopied;
    std::string takenDigest;
    struct Pending {
        room::SourceStamp stamp;
        std::string digest;
        std::string source;
    };
    std::optional<Pending> pending;
    bool forceNext = false;
    bool publishNext = false;
    std::vector<std::string> reports;
    HWND notify = nullptr;
    std::function<void(std::uint64_t)> progress;

    // wake: auto-reset, a pass or publish is asked for; stop: manual; firstPass: manual.
    HANDLE wake = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE stop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE firstPass = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);

    explicit State(std::string path)
        : catalogPath(std::move(path)), copyPath(catalogPath + ".room") {}
    ~State() {
        ::CloseHandle(wake);
        ::CloseHandle(stop);
        ::CloseHandle(firstPass);
    }

    void Announce() { // lock held
        if (notify)
            ::PostMessageA(notify, kReadyMessage, 0, 0);
    }
    void Report(std::string text) {
        std::lock_guard<std::mutex> hold(lock);
        reports.push_back(std::move(text));
        Announce();
    }

    void Pass(CRegistryPlus& settings);
    void PublishNow(CRegistryPlus& settings);
    static DWORD WINAPI Run(void* parameter);
};

void RoomCatalogue::State::Pass(CRegistryPlus& settings) {
    std::string from;
    bool forced = false;
    std::optional<room::SourceStamp> last;
    std::string taken;
    std::function<void(std::uint64_t)> onPiece;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (pending || source.empty())
            return; // the desktop has not put the last good copy in place yet
        from = source;
        forced = std::exchange(forceNext, false);
        last = lastCopied;
        taken = takenDigest;
        onPiece = progress;
    }
    const std::optional<room::SourceStamp> stamp = room::StampOf(from);
    if (!stamp) {
        if (forced)
            Report("The shared catalogue " + from + " cannot be reached.");
        return; // a missing share changes nothing
    }
    if (!room::ShouldCopy(*stamp, last, forced))
        return;
    const room::CopyResult copy =
        room::CopySource(from, copyPath, *stamp, room::kCopyLimitMs, onPiece);
    if (!copy.ok) {
        if (forced)
            Report("The shared catalogue " + from + " could not be copied: " + copy.error + ".");
        return; // tried again at the next pass
    }

    std::vector<std::string> problems;
    std::string bytes, error;
    if (!room::ReadLimited(copyPath, room::kCopyLimitMs, bytes, error)) {
        ::DeleteFileA(copyPath.c_str());
        return;
    }
    RECT screen{};
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    const CodePage& codePage = SystemCodePage();
    const auto findings = CheckIconsBytes(
        reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
        ScreenGrid::ForScreen(screen.right - screen.left, screen.bottom - screen.top), codePage,
        copyPath + "\\icons.bin"); // below a file: the layout pass can save nothing there
    for (const Finding& f : findings)
        if (f.problem)
            problems.push_back(InCodePage(codePage, f.text));

    switch (room::JudgeCopy(copy.digest, taken, problems)) {
    case room::CopyVerdict::Unchanged: {
        ::DeleteFileA(copyPath.c_str());
        std::lock_guard<std::mutex> hold(lock);
        lastCopied = stamp;
        if (forced) {
            reports.push_back("The shared catalogue is the one this PC has.");
            Announce();
        }
        return;
    }
    case room::CopyVerdict::Refuse: {
        ::DeleteFileA(copyPath.c_str());
        const std::string reason = room::RefusalReason(problems);
        settings.WriteString(room::kRefusedSetting, room::RefusedRecord(Now(), from, reason));
        std::lock_guard<std::mutex> hold(lock);
        lastCopied = stamp;
        if (forced) {
            reports.push_back("The shared catalogue was refused: " + reason);
            Announce();
        }
        return;
    }
    case room::CopyVerdict::Take: {
        std::lock_guard<std::mutex> hold(lock);
        pending = Pending{*stamp, copy.digest, from};
        if (forced)
            reports.push_back("The shared catalogue is checked. It is shown when you leave admin "
                              "mode.");
        Announce();
        return;
    }
    }
}

void RoomCatalogue::State::PublishNow(CRegistryPlus& settings) {
    std::string to, taken;
    {
        std::lock_guard<std::mutex> hold(lock);
        to = source;
        taken = takenDigest;
    }
    if (to.empty())
        return;
    const room::PublishResult result =
        room::PublishCatalogue(catalogPath, to, taken, room::kCopyLimitMs);
    if (result.refused) {
        Report(room::kPublishRefused);
        return;
    }
    if (!result.published) {
        Report("The catalogue could not be published: " + result.error);
        return;
    }
    // The shared file is now the one this PC has: a later pass has nothing to take.
    settings.WriteString(room::kTakenSetting, room::TakenRecord(Now(), result.digest, to));
    std::lock_guard<std::mutex> hold(lock);
    takenDigest = result.digest;
    lastCopied = room::StampOf(to);
    reports.push_back("The catalogue is published to " + to + ".");
    Announce();
}

DWORD WINAPI RoomCatalogue::State::Run(void* parameter) {
    // Our own share of the state: it outlives the desktop's object if a copy hangs at exit.
    std::unique_ptr<std::shared_ptr<State>> owner(static_cast<std::shared_ptr<State>*>(parameter));
    State& state = **owner;
    CRegistryPlus settings; // a store of the worker's own: the desktop's is not shared
    DWORD wait = 0;         // the first pass at once
    for (;;) {
        const HANDLE events[] = {state.stop, state.wake};
        const DWORD woke = ::WaitForMultipleObjects(2, events, FALSE, wait);
        if (woke == WAIT_OBJECT_0)
            break;
        bool publish = false;
        {
            std::lock_guard<std::mutex> hold(state.lock);
            publish = std::exchange(state.publishNext, false);
            wait = room::PassIntervalMs(state.minutes);
        }
        try {
            if (publish)
                state.PublishNow(settings);
            else
                state.Pass(settings);
        } catch (const std::exception&) {
            // Out of memory on a huge file and the like: this pass is lost, the next one runs.
            ::DeleteFileA(state.copyPath.c_str());
        }
        ::SetEvent(state.firstPass);
    }
    return 0;
}

RoomCatalogue::RoomCatalogue(std::string catalogPath)
    : m_state(std::make_shared<State>(std::move(catalogPath))) {}

RoomCatalogue::~RoomCatalogue() {
    if (!m_thread)
        return;
    ::SetEvent(m_state->stop);
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        m_state->notify = nullptr;
    }
    // A copy from a share that stopped answering ends within its time limit; the process need
    // not wait for that.
    ::WaitForSingleObject(m_thread, 2000);
    ::CloseHandle(m_thread);
}

void RoomCatalogue::Start(CRegistryPlus& settings, bool takeNow) {
    std::string source, taken;
    int minutes = room::kDefaultMinutes;
    settings.ReadString(room::kSourceSetting, "", source);
    settings.ReadDword(room::kMinutesSetting, room::kDefaultMinutes, minutes);
    settings.TryReadString(room::kTakenSetting, taken); // a record, not a setting: no default
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        if (source != m_state->source)
            m_state->lastCopied.reset(); // another file: look at it afresh
        m_state->source = source;
        m_state->minutes = minutes;
        m_state->takenDigest = room::DigestOfTaken(taken);
        m_state->forceNext = m_state->forceNext || takeNow;
    }
    if (source.empty()) {
        ::SetEvent(m_state->firstPass);
        return;
    }
    if (m_thread) {
        ::SetEvent(m_state->wake);
        return;
    }
    auto* share = new std::shared_ptr<State>(m_state);
    m_thread = ::CreateThread(nullptr, 0, &State::Run, share, 0, nullptr);
    if (!m_thread) {
        delete share;
        ::SetEvent(m_state->firstPass);
    }
}

bool RoomCatalogue::HasSource() const {
    std::lock_guard<std::mutex> hold(m_state->lock);
    return !m_state->source.empty();
}

bool RoomCatalogue::WaitForFirstPass(unsigned ms) {
    return ::WaitForSingleObject(m_state->firstPass, ms) == WAIT_OBJECT_0;
}

void RoomCatalogue::SetNotifyWindow(HWND hwnd) {
    std::lock_guard<std::mutex> hold(m_state->lock);
    m_state->notify = hwnd;
    if (m_state->pending || !m_state->reports.empty())
        m_state->Announce();
}

bool RoomCatalogue::HasPending() const {
    std::lock_guard<std::mutex> hold(m_state->lock);
    return m_state->pending.has_value();
}

bool RoomCatalogue::InstallPending(CRegistryPlus& settings) {
    State::Pending pending;
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        if (!m_state->pending)
            return false;
        pending = *m_state->pending;
    }
    std::string error;
    const bool replaced =
        room::ReplaceKeepingPrevious(m_state->copyPath, m_state->catalogPath, error);
    if (replaced)
        settings.WriteString(room::kTakenSetting,
                             room::TakenRecord(Now(), pending.digest, pending.source));
    else
        settings.WriteString(room::kRefusedSetting,
                             room::RefusedRecord(Now(), pending.source,
                                                 "icons.bin could not be replaced: " + error));
    std::lock_guard<std::mutex> hold(m_state->lock);
    m_state->pending.reset();
    if (replaced) {
        m_state->takenDigest = pending.digest;
        m_state->lastCopied = pending.stamp;
    }
    return replaced;
}

void RoomCatalogue::Publish() {
    {
        std::lock_guard<std::mutex> hold(m_state->lock);
        if (m_state->source.empty() || !m_thread)
            return;
        m_state->publishNext = true;
    }
    ::SetEvent(m_state->wake);
}

std::vector<std::string> RoomCatalogue::TakeReports() {
    std::lock_guard<std::mutex> hold(m_state->lock);
    return std::exchange(m_state->reports, {});
}

void RoomCatalogue::SetCopyProgress(std::function<void(std::uint64_t)> progress) {
    std::lock_guard<std::mutex> hold(m_state->lock);
    m_state->progress = std::move(progress);
}
