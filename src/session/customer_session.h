#pragma once
// A customer session and its end: the programs started from the desktop are asked to close
// and, after a grace period, ended; the configured folders are emptied on a worker thread
// while a notice shows the progress; the desktop returns to its first tab in restricted mode;
// the result is stored. Also the idle watch, asked at each tick of the desktop's timer.

#include "framework/window.h"
#include "session/program_job.h"
#include "session/session_notice.h"
#include "session/session_rules.h"
#include "session/session_settings.h"

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

class CustomerSession : public Window {
public:
    // What the session asks of the desktop.
    struct Host {
        std::function<bool()> adminMode;
        std::function<void()> resetDesktop; // first tab, no description, restricted mode
    };

    // `dataFolder` and `moduleFolder` are never emptied; the settings key may be another
    // one for tests.
    CustomerSession(std::string dataFolder, std::string moduleFolder,
                    HKEY root = HKEY_LOCAL_MACHINE, std::string subkey = SessionSettings::kSubkey);
    ~CustomerSession() override;

    void SetHost(Host host) { m_host = std::move(host); }
    const SessionSettings& Settings() const { return m_settings; }
    void Save(const SessionSettings& settings);
    bool Enabled() const { return m_settings.enabled; }
    ProgramJob& Job() { return m_job; }
    std::vector<ProtectedFolder> ProtectedFolders() const;

    // Starts ending the session (at once, whether or not sessions are enabled); `then` runs
    // once it has ended. False when a session end is already under way.
    bool End(SessionEndReason reason, std::function<void()> then = {});
    // At a start as the log-on shell: when sessions are enabled, the folders are emptied and
    // then `then` runs; false (and nothing done) when they are not.
    bool CleanAtLogOn(std::function<void()> then);
    bool Busy() const { return m_phase != Phase::Idle; }
    // The idle watch; nothing is read from the registry here.
    void OnTick();
    // From now on (after the notice's settle time) input is taken as a new customer's: called
    // once the desktop is shown, whose own appearance under the pointer is no customer.
    void RestartIdleWatch();

    const SessionRecord& LastRecord() const { return m_record; }
    SessionNotice& Notice() { return m_notice; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    enum class Phase { Idle, ClosingPrograms, Cleaning };
    static constexpr UINT kProgress = WM_APP + 1;
    static constexpr UINT kCleaned = WM_APP + 2;
    static constexpr UINT_PTR kGraceTimer = 1;
    static constexpr UINT kGracePoll = 200;
    // After the job was ended, how long its processes may take to let go of their files.
    static constexpr DWORD kExitWait = 3000;

    void OnGraceTick();
    void StartCleaning();
    void OnCleaned();
    void ShowProgress(long long files);

    std::string m_dataFolder;
    std::string m_moduleFolder;
    HKEY m_root;
    std::string m_subkey;
    SessionSettings m_settings;
    Host m_host;
    ProgramJob m_job;
    SessionNotice m_notice;

    Phase m_phase = Phase::Idle;
    SessionRecord m_record;
    std::function<void()> m_then;
    DWORD m_graceStart = 0;
    bool m_terminated = false;
    DWORD m_lastEndTick = 0;

    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    std::vector<std::string> m_toClean;
    long long m_removed = 0;
    long long m_left = 0;
};
