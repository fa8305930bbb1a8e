// Failures that reach the user: a catalogue that cannot be written, and anything thrown inside
// a window procedure, end in a message box and never in a crash or a lost catalogue.
#include "base/file_error.h"
#include "catalogue/icons.h"
#include "framework/win_app.h"
#include "framework/window.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

namespace {

constexpr UINT kThrowFileError = WM_APP + 1;
constexpr UINT kThrowOther = WM_APP + 2;

class ThrowingWindow : public Window {
public:
    std::string path;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrowFileError)
            throw FileException(path, "Access denied.");
        if (message == kThrowOther)
            throw std::runtime_error("out of cells");
        return Default(message, wParam, lParam);
    }
};

TEST(FrameworkErrors, ExceptionsInAWindowProcedureBecomeMessageBoxes) {
    ScriptedModalUi ui;
    ASSERT_TRUE(Window::RegisterClass("KorvaneThrowingTest", 0, nullptr));
    ThrowingWindow window;
    window.path = "C:\\ProgramData\\Quillmoran\\Shell\\icons.bin";
    ASSERT_TRUE(window.CreateEx(0, "KorvaneThrowingTest", "thrower", WS_POPUP, RECT{0, 0, 10, 10},
                                nullptr, nullptr));

    ::SendMessageA(window.Hwnd(), kThrowFileError, 0, 0);
    ::SendMessageA(window.Hwnd(), kThrowOther, 0, 0);
    EXPECT_TRUE(::IsWindow(window.Hwnd()));

    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_NE(ui.shown[0].text.find(window.path), std::string::npos);
    EXPECT_NE(ui.shown[0].text.find("Access denied."), std::string::npos);
    EXPECT_EQ(ui.shown[0].caption, ApplicationName()) << "captionless boxes show the app name";
    EXPECT_EQ(ui.shown[0].owner, window.Hwnd());
    EXPECT_NE(ui.shown[1].text.find("out of cells"), std::string::npos);
}

TEST(FrameworkErrors, ACatalogueThatCannotBeSavedKeepsTheOldFileAndTheChange) {
    TempFolder temp;
    const std::string path = temp.File("icons.bin");
    {
        Icons original(path);
        original.m_tabs = {"Games"};
        original.Save();
    }
    const std::string before = ReadWholeFile(path);

    Icons catalogue(path);
    catalogue.m_tabs.push_back("Office");
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    try {
        catalogue.Save();
        ADD_FAILURE() << "saving over a read-only catalogue succeeded";
    } catch (const FileException& e) {
        EXPECT_EQ(e.Path(), path);
        EXPECT_FALSE(e.Reason().empty());
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadWholeFile(path), before);
    EXPECT_EQ(catalogue.m_tabs, (std::vector<std::string>{"Games", "Office"}));

    Icons intoMissingFolder(temp.File("gone\\icons.bin"));
    EXPECT_EQ(intoMissingFolder.m_tabs, std::vector<std::string>{"Programs"});
    EXPECT_THROW(intoMissingFolder.Save(), FileException);
}

TEST(FrameworkErrors, AReadOnlyCatalogueStillLoadsItsPrograms) {
    TempFolder temp;
    const std::string path = temp.File("icons.bin");
    {
        Icons original(path);
        ProgramEntry entry{};
        std::strcpy(entry.caption, "Browser");
        entry.tab = 0;
        original.AddEntry(entry);
        original.Save();
    }
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Icons reloaded(path);
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_EQ(reloaded.m_count, 1);
    EXPECT_STREQ(reloaded.m_entries[0].caption, "Browser");
}

} // namespace
