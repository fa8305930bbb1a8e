// Customer session ends on real folders: what goes, what stays, what is refused (in the
// dialog and straight from the registry), and the clean-up at a log-on start.
#include "resource.h"
#include "session/customer_session.h"
#include "session/session_folders.h"
#include "session/sessions_dialog.h"
#include "support/test_app.h"
#include "support/test_dialog.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

constexpr const char* kTestKey = "Software\\KorvaneSessionTest";

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void MakeFile(const std::string& path) {
    WriteWholeFile(path, "customer data");
}

// The folder as the Unix side sees it (Wine maps it to a path of its prefix).
std::string UnixPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    const std::wstring wide(path.begin(), path.end());
    char* name = unixName(wide.c_str());
    std::string result = name ? name : "";
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

// A Unix symbolic link inside the prefix, made by the Unix `ln` (Wine starts Unix programs).
void MakeUnixLink(const std::string& link, const std::string& target) {
    std::string command = "Z:\\bin\\ln -s " + UnixPath(target) + " " + UnixPath(link);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process))
        << command;
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    // Wine may report the Unix program ended before it ran: the link can come a little later.
    DWORD attributes = INVALID_FILE_ATTRIBUTES;
    for (int i = 0; i < 100 && attributes == INVALID_FILE_ATTRIBUTES; ++i) {
        attributes = ::GetFileAttributesA(link.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES)
            ::Sleep(100);
    }
    // What Wine reports for such a link is what the cleaner relies on.
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << link;
    ASSERT_TRUE(attributes & FILE_ATTRIBUTE_REPARSE_POINT) << std::hex << attributes;
}

bool EndAndWait(CustomerSession& session) {
    bool ended = false;
    if (!session.End(SessionEndReason::Operator, [&ended] { ended = true; }))
        return false;
    for (int i = 0; i < 600 && !ended; ++i)
        PumpMessages(100);
    return ended;
}

// The folder chooser answers from a queue.
class ScriptedSessionsDlg : public CSessionsDlg {
public:
    using CSessionsDlg::CSessionsDlg;
    std::deque<std::string> chosen;

protected:
    bool ChooseFolder(std::string& folder) override {
        if (chosen.empty())
            return false;
        folder = chosen.front();
        chosen.pop_front();
        return true;
    }
};

std::string SystemFolder(int csidl) {
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

} // namespace

TEST(CustomerSessionTest, EmptiesRealFoldersAndNeverWhatItMustNotTouch) {
    ScopedRegistryKeyReset key(kTestKey);
    TempFolder temp;
    const std::string root = temp.Path();
    for (const char* folder : {"data", "module", "plain", "plain\\sub", "plain\\sub\\deep", "links",
                               "outside", "outside2", "held"})
        ASSERT_TRUE(::CreateDirectoryA((root + "\\" + folder).c_str(), nullptr)) << folder;
    for (const char* file :
         {"canary.txt", "data\\icons.bin", "module\\korvane.exe", "plain\\a.txt",
          "plain\\sub\\b.txt", "plain\\sub\\deep\\c.txt", "plain\\readonly.txt", "links\\own.txt",
          "outside\\keep.txt", "outside2\\keep.txt", "held\\open.txt", "held\\free.txt"})
        MakeFile(root + "\\" + file);
    ::SetFileAttributesA((root + "\\plain\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring unicodeFile =
        std::wstring(root.begin(), root.end()) + L"\\plain\\r\u00e9sum\u00e9 \u4e2d.txt";
    ::CloseHandle(
        ::CreateFileW(unicodeFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    MakeUnixLink(root + "\\links\\to-outside", root + "\\outside");
    MakeUnixLink(root + "\\linked", root + "\\outside2");
    // Held open the way a running program holds its document: no sharing of deletion.
    UniqueFile held(::CreateFileA((root + "\\held\\open.txt").c_str(), GENERIC_READ,
                                  FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    CustomerSession session(root + "\\data", root + "\\module", HKEY_LOCAL_MACHINE, kTestKey);
    const std::vector<ProtectedFolder> guarded = session.ProtectedFolders();

    // Every folder of the list: whether a session end may empty it, and how the dialog answers.
    const struct {
        std::string folder;
        FolderRule rule;
    } list[] = {
        {root + "\\plain", FolderRule::Accepted},
        {root + "\\links\\", FolderRule::Accepted},
        {root + "\\held", FolderRule::Accepted},
        {root + "\\missing", FolderRule::Accepted}, // nothing to do, nothing refused
        {root + "\\data", FolderRule::IsProtected},
        {root + "\\module\\.", FolderRule::IsProtected},
        {root + "\\DATA\\..\\module\\sub", FolderRule::InsideProtected},
        {root, FolderRule::ContainsProtected},
        {root + "\\linked", FolderRule::IsLink},
        {"plain", FolderRule::NotFullPath},
        {"%NO_SUCH_VARIABLE%\\x", FolderRule::NotFullPath},
        {"C:\\", FolderRule::DriveRoot},
        {"\\\\server\\share\\", FolderRule::ShareRoot},
        {"%WINDIR%", FolderRule::IsProtected},
        {"%SystemRoot%\\System32", FolderRule::InsideProtected},
        {SystemFolder(CSIDL_PROGRAM_FILES), FolderRule::IsProtected},
        {SystemFolder(CSIDL_PROGRAM_FILESX86), FolderRule::IsProtected},
        {"%ProgramData%", FolderRule::IsProtected},
        {"%USERPROFILE%", FolderRule::IsProtected},
        {"%USERPROFILE%\\..", FolderRule::ContainsProtected},
    };
    SessionSettings settings;
    settings.enabled = true;
    int refused = 0;
    std::vector<std::string> accepted;
    for (const auto& entry : list) {
        SCOPED_TRACE(entry.folder);
        const ResolvedFolder resolved = ResolveSessionFolder(entry.folder, guarded);
        EXPECT_EQ(resolved.verdict.rule, entry.rule)
            << RefusalMessage(entry.folder, resolved.verdict);
        settings.folders.push_back(entry.folder);
        if (entry.rule == FolderRule::Accepted)
            accepted.push_back(entry.folder);
        else
            ++refused;
    }

    // The dialog refuses each refused folder with a message naming its rule, and keeps the rest.
    {
        ScriptedModalUi ui;
        ScriptedSessionsDlg dialog(guarded);
        for (const auto& entry : list)
            dialog.chosen.push_back(entry.folder);
        ui.dialogScripts.push_back([&](HWND hwnd) {
            for (std::size_t i = 0; i < std::size(list); ++i)
                ClickButton(hwnd, IDC_SESSION_ADD);
            ClickButton(hwnd, IDOK);
        });
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_folders, accepted);
        ASSERT_EQ(static_cast<int>(ui.shown.size()), refused);
        std::size_t box = 0;
        for (const auto& entry : list) {
            if (entry.rule == FolderRule::Accepted)
                continue;
            EXPECT_EQ(
                ui.shown[box].text,
                RefusalMessage(entry.folder, ResolveSessionFolder(entry.folder, guarded).verdict));
            EXPECT_EQ(ui.shown[box].caption, "Customer sessions");
            ++box;
        }
    }

    // Written straight into the registry, the same list: refused again when the session ends.
    settings.Write(HKEY_LOCAL_MACHINE, kTestKey);
    ASSERT_TRUE(EndAndWait(session));
    const struct {
        const char* path;
        bool stays;
    } after[] = {
        {"plain", true},
        {"plain\\a.txt", false},
        {"plain\\sub", false},
        {"plain\\readonly.txt", false},
        {"links", true},
        {"links\\own.txt", false},
        {"outside\\keep.txt", true}, // behind the link: never entered
        {"outside2\\keep.txt", true},
        {"held\\open.txt", true}, // in use: left and counted
        {"held\\free.txt", false},
        {"canary.txt", true},
        {"data\\icons.bin", true},
        {"module\\korvane.exe", true},
        {"linked", true},
    };
    for (const auto& a : after)
        EXPECT_EQ(Exists(root + "\\" + a.path), a.stays) << a.path;
    EXPECT_EQ(::GetFileAttributesW(unicodeFile.c_str()), INVALID_FILE_ATTRIBUTES);

    // Wine cannot remove a Unix symbolic link through the Windows calls: there the link is
    // left and counted; Windows removes it. Either way its target keeps its files.
    const bool linkRemoved = !Exists(root + "\\links\\to-outside");
    const SessionRecord& record = session.LastRecord();
    EXPECT_EQ(record.removed, 7 + (linkRemoved ? 1 : 0));
    EXPECT_EQ(record.left, 1 + (linkRemoved ? 0 : 1));
    EXPECT_EQ(record.refusedFolders, refused);
    EXPECT_EQ(record.reason, SessionEndReason::Operator);
    CRegistryPlus stored(HKEY_LOCAL_MACHINE, kTestKey);
    std::string last;
    ASSERT_TRUE(stored.TryReadString("lastsession", last));
    EXPECT_EQ(last, FormatSessionRecord(record));

    // Once the program lets go of it, the next session end removes the file left.
    held.Reset();
    ASSERT_TRUE(EndAndWait(session));
    EXPECT_FALSE(Exists(root + "\\held\\open.txt"));
    EXPECT_EQ(session.LastRecord().removed, 1);
}

// Notes whether the last customer's file was still there when the Startup items ran.
class LogOnShell : public Shell {
public:
    LogOnShell(std::string file, std::vector<bool>& fileThere)
        : m_file(std::move(file)), m_fileThere(fileThere) {}
    void RunStartupFolders() override { m_fileThere.push_back(Exists(m_file)); }
    void RunRegistryKeys() override {}

private:
    std::string m_file;
    std::vector<bool>& m_fileThere;
};

class LogOnApp : public TestApp {
public:
    std::string file;
    std::vector<bool> fileThereAtStartup;

protected:
    std::shared_ptr<Shell> CreateShell() override {
        return std::make_shared<LogOnShell>(file, fileThereAtStartup);
    }
};

TEST(CustomerSessionTest, ALogOnStartCleansBeforeTheStartupProgramsButNotAfterACrash) {
    ScopedRegistryKeyReset settingsKey("Software\\Korvane");
    MakeDataFolder();
    TempFolder temp;
    const std::string folder = temp.File("desktop");
    ::CreateDirectoryA(folder.c_str(), nullptr);
    SessionSettings settings;
    settings.enabled = true;

    const struct {
        const char* what;
        bool restarted;
        bool withFolder;
    } starts[] = {{"restarted after a crash", true, true},
                  {"log-on start", false, true},
                  {"log-on start, no folder to clean", false, false}};
    for (const auto& start : starts) {
        SCOPED_TRACE(start.what);
        settings.folders =
            start.withFolder ? std::vector<std::string>{folder} : std::vector<std::string>{};
        settings.Write();
        LogOnApp app;
        app.file = folder + "\\left by the last customer.txt";
        MakeFile(app.file);
        app.taskbar = false;
        app.m_restartedAfterCrash = start.restarted;
        ASSERT_TRUE(app.InitInstance());
        // With nothing to close or clean no notice flashes over the first paint.
        if (!start.withFolder)
            EXPECT_FALSE(app.m_session->Notice().IsShown());
        for (int i = 0; i < (start.restarted ? 10 : 300) && app.fileThereAtStartup.empty(); ++i)
            PumpMessages(100);
        if (start.restarted) {
            EXPECT_TRUE(app.fileThereAtStartup.empty()) << "the first desktop ran them";
            EXPECT_TRUE(Exists(app.file));
        } else {
            EXPECT_EQ(app.fileThereAtStartup, std::vector<bool>{!start.withFolder});
            EXPECT_EQ(app.m_session->LastRecord().reason, SessionEndReason::LogOn);
            EXPECT_FALSE(app.m_session->Notice().IsShown());
        }
        FinishApp(app);
    }
}
