// The desktop on an account that may not write its settings key: it reads the operator's
// settings, never pretends to store a password, and says once per command what it could not
// store.
#include "app/password_store.h"
#include "app/registry_plus.h"
#include "support/test_desktop.h"

namespace {

class SettingsAccessTest : public DesktopTest {
protected:
    void StartUnwritable() {
        ScopedUnwritableSettings refuse; // the store opens its key as the desktop starts
        Start();
    }
    std::vector<std::string> ShownTexts() {
        std::vector<std::string> texts;
        for (const ShownMessageBox& box : m_ui.shown)
            texts.push_back(box.text + " | " + box.caption);
        return texts;
    }
};

TEST_F(SettingsAccessTest, NoPasswordCanBeStoredSoNoneOpensAdminMode) {
    WriteCatalogue({{0, 0, 0, "Notepad", "", "", "", "", "C:\\windows\\notepad.exe"}}, {"Office"});
    WriteRawSetting("backgroundBitmap", "C:\\pictures\\none.bmp");
    StartUnwritable();
    EXPECT_EQ(m_app->backgroundBitmap, "C:\\pictures\\none.bmp") << "settings are read";
    for (const char* typed : {"anything", ""}) {
        m_ui.shown.clear();
        m_ui.dialogScripts.push_back(TypePassword(typed));
        Command(command::kSwitchMode);
        EXPECT_EQ(ShownTexts(),
                  std::vector<std::string>{std::string(kPasswordNotStored) + " | Warning!"});
        EXPECT_EQ(m_app->m_adminMode, 0) << typed;
        EXPECT_EQ(RawSetting("passwordhash"), "<missing>");
    }
}

TEST_F(SettingsAccessTest, AFailedSettingWriteInAdminModeIsReportedOncePerCommand) {
    WriteCatalogue({{0, 0, 0, "Notepad", "", "", "", "", "C:\\windows\\notepad.exe"}}, {"Office"});
    WriteRawSetting("passwordhash", CheapVerifier("pw"));
    StartUnwritable();
    EnterAdminMode("pw");
    const std::string setting = std::string(CRegistryPlus::kSettingNotStored) + " | Warning!";
    const std::string password = std::string(kPasswordNotStored) + " | Warning!";
    LOGFONTA font{};
    std::strcpy(font.lfFaceName, "Tahoma");
    m_ui.shown.clear();
    m_ui.fontAnswers.push_back({{font, 0x123456}}); // fifteen values, one report
    Command(command::kIconFont);
    m_ui.colourAnswers.push_back(0x00FF00);
    Command(command::kDescriptionColour);
    m_ui.colourAnswers.push_back(std::nullopt); // cancelled: nothing written, nothing said
    Command(command::kDescriptionColour);
    m_ui.dialogScripts.push_back(TypePassword("n3w"));
    Command(command::kPassword);
    EXPECT_EQ(ShownTexts(), (std::vector<std::string>{setting, setting, password}));
    EXPECT_EQ(RawSetting("fontfacename"), "<missing>");
    EXPECT_EQ(m_app->m_adminMode, 1);
}

} // namespace
