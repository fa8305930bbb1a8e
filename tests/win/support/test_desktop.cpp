#include "support/test_desktop.h"

#include "app/password_store.h"
#include "resource.h"
#include "support/test_dialog.h"

#include <cstdio>

bool RecordingActions::StartProcess(const std::string& commandLine, const std::string& folder,
                                    DWORD flags, WORD showCommand) {
    char text[64];
    std::snprintf(text, sizeof text, "|%#lx|%u", static_cast<unsigned long>(flags),
                  static_cast<unsigned>(showCommand));
    calls.push_back("start|" + commandLine + "|" + folder + text);
    return startForReal ? SystemActions::StartProcess(commandLine, folder, flags, showCommand)
                        : true;
}

void RecordingActions::ShellOpen(const std::string& file, const std::string& parameters,
                                 const std::string& folder, int showCommand) {
    calls.push_back("shell|" + file + "|" + parameters + "|" + folder + "|" +
                    std::to_string(showCommand));
}

void RecordingActions::Exec(const std::string& commandLine, UINT showCommand) {
    calls.push_back("exec|" + commandLine + "|" + std::to_string(showCommand));
}

void RecordingActions::OpenHelp(const std::string& path) {
    calls.push_back("help|" + path);
}

bool RecordingActions::EnableShutdownPrivilege() {
    calls.push_back("privilege");
    return true;
}

void RecordingActions::EndSession(UINT flags, DWORD reason) {
    char text[64];
    std::snprintf(text, sizeof text, "exitwindows|%#x|%lu", flags,
                  static_cast<unsigned long>(reason));
    calls.push_back(text);
}

void DesktopTest::SetUp() {
    DeleteTree(DataFolder());
    MakeDataFolder();
    // The real pointer, wherever an earlier test left it, must not rest on an icon and show
    // its description on its own: park it in the screenshot quarter, where nothing is.
    RECT screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    ::SetCursorPos(screen.right - 5, 5);
}

void DesktopTest::TearDown() {
    if (m_app)
        FinishApp(*m_app);
    PumpMessages();
    DeleteTree(DataFolder());
}

void DesktopTest::WriteCatalogue(const std::vector<CatalogueEntryBytes>& entries,
                                 const std::vector<std::string>& tabs) {
    WriteWholeFile(DataFolder() + "\\icons.bin", CatalogueFileBytes(entries, tabs));
}

CMainFrame& DesktopTest::Start() {
    m_app = std::make_unique<TestApp>();
    EXPECT_TRUE(m_app->InitInstance());
    PumpMessages(50);
    return *m_app->Frame();
}

void DesktopTest::Command(UINT id) {
    ::SendMessageA(Hwnd(), WM_COMMAND, id, 0);
    PumpMessages(20);
}

void DesktopTest::EnterAdminMode(const std::string& password) {
    if (RawSetting("passwordhash") == "<missing>" && RawSetting("password") == "<missing>")
        WriteRawSetting("passwordhash", CheapVerifier(password));
    m_ui.dialogScripts.push_back(TypePassword(password));
    Command(command::kSwitchMode);
    ASSERT_EQ(m_app->m_adminMode, 1);
}

POINT DesktopTest::CellCentre(int column, int row) {
    const GridRect r = Frame().Layout().IconRect(column, row);
    return {r.left + 16, r.top + 16};
}

std::string DesktopTest::Catalogue() const {
    return ReadWholeFile(DataFolder() + "\\icons.bin");
}

bool SameIcon(HICON a, HICON b) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 64, 32);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::PatBlt(dc, 0, 0, 64, 32, WHITENESS);
    ::DrawIconEx(dc, 0, 0, a, 32, 32, 0, nullptr, DI_NORMAL);
    ::DrawIconEx(dc, 32, 0, b, 32, 32, 0, nullptr, DI_NORMAL);
    bool same = true;
    for (int y = 0; y < 32 && same; ++y)
        for (int x = 0; x < 32 && same; ++x)
            same = ::GetPixel(dc, x, y) == ::GetPixel(dc, x + 32, y);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    return same;
}

bool ButtonShowsIcon(CMainFrame& frame, UINT buttonId, UINT iconId) {
    CXButtonXP* button = frame.Button(buttonId);
    if (!button)
        return false;
    HICON expected = static_cast<HICON>(
        ::LoadImageA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 32, 32, 0));
    const bool same = SameIcon(button->Icon(), expected);
    ::DestroyIcon(expected);
    return same;
}

DialogScript TypePassword(std::string text) {
    return [text](HWND dialog) {
        TypeText(::GetDlgItem(dialog, IDC_PASSWORD), text);
        ClickButton(dialog, IDOK);
    };
}

std::string RawSetting(const char* name) {
    HKEY key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvane", 0, KEY_READ | KEY_WOW64_64KEY,
                        &key) != ERROR_SUCCESS)
        return "<missing>";
    char data[4096];
    DWORD size = sizeof(data);
    const LONG result =
        ::RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return "<missing>";
    return std::string(data, size);
}

void WriteRawSetting(const char* name, const std::string& text) {
    HKEY key;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Korvane", 0, nullptr, 0,
                                KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(key);
}

std::string CheapVerifier(const std::string& password) {
    return MakeVerifierText(password, 1000).value_or("");
}
