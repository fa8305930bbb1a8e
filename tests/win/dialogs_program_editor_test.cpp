// The program editor and its icon chooser, run for real with real files: shortcuts made by the
// shell's link object, internet shortcuts, icon files and pictures.
#include "dialogs/add_edit_icon.h"
#include "framework/dc.h"
#include "framework/unique_handle.h"
#include "resource.h"
#include "support/test_dialog.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace {

const std::string kNotepad = "C:\\windows\\notepad.exe";

struct EditorFields {
    std::string name, programPath, parameters, iconFile, screenshot;
    int iconIndex = 0;
    int showCommand = 1;
    bool operator==(const EditorFields&) const = default;
};

void PrintTo(const EditorFields& f, std::ostream* out) {
    *out << "{" << f.name << " | " << f.programPath << " | " << f.parameters << " | " << f.iconFile
         << "," << f.iconIndex << " | " << f.screenshot << " | " << f.showCommand << "}";
}

EditorFields FieldsOf(const AddEditIcon& d) {
    return {d.m_name,           d.m_programPath, d.m_parameters, d.m_iconFile,
            d.m_screenshotPath, d.m_iconIndex,   d.m_showCommand};
}

AddEditIcon& Fill(AddEditIcon& d, const EditorFields& f) {
    d.m_name = f.name;
    d.m_programPath = f.programPath;
    d.m_parameters = f.parameters;
    d.m_iconFile = f.iconFile;
    d.m_screenshotPath = f.screenshot;
    d.m_iconIndex = f.iconIndex;
    d.m_showCommand = f.showCommand;
    return d;
}

// A shortcut to `target` written by the shell's own link object.
void MakeShortcut(const std::string& link, const std::string& target) {
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    IShellLinkA* shellLink = nullptr;
    ASSERT_EQ(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)),
              S_OK);
    shellLink->SetPath(target.c_str());
    shellLink->SetArguments("/unused");
    IPersistFile* file = nullptr;
    shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    wchar_t wide[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    EXPECT_EQ(file->Save(wide, TRUE), S_OK);
    file->Release();
    shellLink->Release();
    ::CoUninitialize();
}

int IconCount(const std::string& file) {
    return static_cast<int>(::ExtractIconExA(file.c_str(), -1, nullptr, nullptr, 0));
}

std::string ThisProgram() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

TEST(ProgramEditor, OpensWithItsTextsTheFieldsAndTheRadioOfTheShowCommand) {
    const struct {
        int showCommand;
        int checked;
        int returned;
    } cases[] = {{1, IDC_SHOW_NORMAL, 1},    {3, IDC_SHOW_MAXIMIZED, 3},
                 {6, IDC_SHOW_MINIMIZED, 6}, {0, IDC_SHOW_MINIMIZED, 6},
                 {2, IDC_SHOW_MINIMIZED, 6}, {-1, IDC_SHOW_MINIMIZED, 6}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.showCommand);
        ScriptedModalUi ui;
        std::vector<std::string> texts;
        int checkedCount = 0, checkedId = 0;
        ui.dialogScripts.push_back([&](HWND dialog) {
            texts.push_back(WindowText(dialog));
            for (int id : {IDC_CHANGE_ICON, IDC_CHOOSE_SCREENSHOT, IDC_PROGRAM_LABEL,
                           IDC_CHOOSE_PROGRAM, IDC_PARAMETERS_LABEL, IDC_WINDOW_SIZE,
                           IDC_SHOW_NORMAL, IDC_SHOW_MAXIMIZED, IDC_SHOW_MINIMIZED, IDOK, IDCANCEL,
                           IDC_CAPTION, IDC_PROGRAM_PATH, IDC_PARAMETERS})
                texts.push_back(ItemText(dialog, id));
            for (int id = IDC_SHOW_NORMAL; id <= IDC_SHOW_MINIMIZED; ++id) {
                if (IsItemChecked(dialog, id)) {
                    ++checkedCount;
                    checkedId = id;
                }
            }
            ClickButton(dialog, IDOK);
        });
        AddEditIcon dialog;
        Fill(dialog, {"Note\r\npad", "C:\\p.exe", "-x", kNotepad, "", 0, c.showCommand});

        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_showCommand, c.returned);
        EXPECT_EQ(checkedCount, 1);
        EXPECT_EQ(checkedId, c.checked);
        const std::vector<std::string> expected = {
            "Add/edit program",  "Change icon", "Screenshot --->",
            "Program to launch", "...",         "Parameters",
            "Window size",       "Standard",    "Maximized",
            "Minimized",         "OK",          "Cancel",
            "Note\r\npad",       "C:\\p.exe",   "-x"};
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(dialog.m_name, "Note\r\npad");
        EXPECT_EQ(ui.shownDialogs.at(0).templateId, static_cast<UINT>(IDD_ADD_EDIT_ICON));
    }
}

TEST(ProgramEditor, ThePictureControlEditLimitsAndOverlongFieldsStayWithinTheEntry) {
    ScriptedModalUi ui;
    LONG_PTR pictureStyle = 0;
    RECT pictureRect{}, buttonRect{}, client{};
    std::vector<int> typedLengths;
    ui.dialogScripts.push_back([&](HWND dialog) {
        HWND picture = ::GetDlgItem(dialog, IDC_SCREENSHOT_PICTURE);
        pictureStyle = ::GetWindowLongPtrA(picture, GWL_STYLE);
        ::GetWindowRect(picture, &pictureRect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&pictureRect), 2);
        ::GetWindowRect(::GetDlgItem(dialog, IDC_CHOOSE_SCREENSHOT), &buttonRect);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&buttonRect), 2);
        ::GetClientRect(dialog, &client);
        for (int id : {IDC_CAPTION, IDC_PROGRAM_PATH, IDC_PARAMETERS}) {
            HWND edit = ::GetDlgItem(dialog, id);
            ClearText(edit);
            TypeText(edit, std::string(1005, 'q'));
            typedLengths.push_back(::GetWindowTextLengthA(edit));
        }
        // Texts put in by a program are not held back by the limits; OK cuts them.
        ::SetDlgItemTextA(dialog, IDC_CAPTION, std::string(600, 'n').c_str());
        ::SetDlgItemTextA(dialog, IDC_PROGRAM_PATH, std::string(1200, 'p').c_str());
        ClickButton(dialog, IDOK);
    });
    AddEditIcon dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(pictureStyle & (WS_CHILD | WS_VISIBLE | WS_BORDER),
              WS_CHILD | WS_VISIBLE | WS_BORDER);
    EXPECT_EQ(pictureStyle & SS_TYPEMASK, SS_BITMAP);
    // (301, 10) to (401, 85) with the usual font; beside the button and inside the dialog always.
    EXPECT_EQ(pictureRect.left, std::max<LONG>(301, buttonRect.right + 5));
    EXPECT_EQ(pictureRect.top, 10);
    EXPECT_EQ(pictureRect.right - pictureRect.left, 100);
    EXPECT_EQ(pictureRect.bottom, 85);
    EXPECT_LE(pictureRect.right, client.right);
    EXPECT_EQ(typedLengths, (std::vector<int>{499, 999, 999}));
    EXPECT_EQ(dialog.m_name, std::string(499, 'n'));
    EXPECT_EQ(dialog.m_programPath, std::string(999, 'p'));
    EXPECT_EQ(dialog.m_parameters, std::string(999, 'q'));
}

TEST(ProgramEditor, ChoosingAProgramFollowsItsExtension) {
    TempFolder temp;
    ::CreateDirectoryA(temp.File("Office").c_str(), nullptr);
    const std::string winword = temp.File("Office\\winword.exe");
    ASSERT_TRUE(::CopyFileA(kNotepad.c_str(), winword.c_str(), FALSE));
    MakeShortcut(temp.File("Word.lnk"), winword);
    WriteWholeFile(temp.File("Broken.lnk"), "this is no shortcut");
    WriteWholeFile(temp.File("Site.url"), "[InternetShortcut]\r\nURL=http://example.org/\r\n"
                                          "IconFile=C:\\x\\site.ico\r\nIconIndex=2\r\n"
                                          "iconindex=5\r\n IconFile=C:\\no.ico\r\n");
    WriteWholeFile(temp.File("Huge.url"),
                   std::string(3 << 20, 'z') + "\nIconIndex=4\n" + std::string(1 << 20, '\0'));
    WriteWholeFile(temp.File("readme.txt"), "IconIndex=3\n");
    ::CreateDirectoryA(temp.File("Folder.url").c_str(), nullptr); // exists, cannot be read
    const std::string longName = std::string(250, 'L');
    const std::string longExe = "C:\\" + longName + ".exe"; // 257 characters
    const std::string longLink = temp.File(std::string(260, 'k') + ".lnk");

    const EditorFields start{"OLD", "C:\\old.exe", "-p", "C:\\old.ico", "", 7, 1};
    const struct {
        const char* what;
        std::optional<std::string> answer;
        EditorFields after;
        int end = IDOK;
    } cases[] = {
        {"exe", kNotepad, {"NOTEPAD", kNotepad, "-p", kNotepad, "", 0, 1}},
        {"lnk", temp.File("Word.lnk"), {"WINWORD", winword, "-p", winword, "", 0, 1}},
        {"broken lnk", temp.File("Broken.lnk"), {"", "", "-p", "", "", 0, 1}},
        {"missing lnk", temp.File("Gone.lnk"), {"", "", "-p", "", "", 0, 1}},
        {"overlong lnk", longLink, {"", "", "-p", "", "", 0, 1}},
        {"url",
         temp.File("Site.url"),
         {"SITE", temp.File("Site.url"), "-p", "C:\\x\\site.ico", "", 2, 1}},
        {"huge url",
         temp.File("Huge.url"),
         {"HUGE", temp.File("Huge.url"), "-p", "C:\\old.ico", "", 4, 1}},
        {"missing url",
         temp.File("None.url"),
         {"NONE", temp.File("None.url"), "-p", "C:\\old.ico", "", 7, 1}},
        {"unreadable url",
         temp.File("Folder.url"),
         {"FOLDER", temp.File("Folder.url"), "-p", "C:\\old.ico", "", 7, 1}},
        {"txt", temp.File("readme.txt"), start},
        {"cancelled", std::nullopt, start},
        {"long exe", longExe, {std::string(250, 'L'), longExe, "-p", longExe, "", 0, 1}},
        {"url, then Cancel", temp.File("Site.url"), start, IDCANCEL},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedModalUi ui;
        ui.fileAnswers.push_back(c.answer);
        ui.dialogScripts.push_back([&c](HWND dialog) {
            ClickButton(dialog, IDC_CHOOSE_PROGRAM);
            ClickButton(dialog, c.end);
        });
        AddEditIcon dialog;
        Fill(dialog, start);
        ASSERT_EQ(dialog.DoModal(), c.end);
        EXPECT_EQ(FieldsOf(dialog), c.after);
        ASSERT_EQ(ui.shownFileDialogs.size(), 1u);
        EXPECT_EQ(ui.shownFileDialogs[0].initialPath, "C:\\old.exe");
        EXPECT_EQ(ui.shownFileDialogs[0].filter, AddEditIcon::kProgramFilter);
        EXPECT_EQ(ui.shownFileDialogs[0].flags,
                  static_cast<DWORD>(OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST |
                                     OFN_ENABLESIZING | OFN_NODEREFERENCELINKS));
    }
}

// Draws image `index` of a list, or an icon, over grey into a 32 x 32 pixel array.
std::vector<COLORREF> Pixels32(const std::function<void(HDC)>& draw) {
    HDC screen = ::GetDC(nullptr);
    MemoryDc memory(screen, 32, 32);
    ::ReleaseDC(nullptr, screen);
    RECT all{0, 0, 32, 32};
    UniqueBrush grey(::CreateSolidBrush(RGB(128, 128, 128)));
    ::FillRect(memory.Get(), &all, grey.Get());
    draw(memory.Get());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            pixels.push_back(::GetPixel(memory.Get(), x, y));
    return pixels;
}

TEST(IconChooser, ListsEveryIconInFileOrderAndReturnsThePickedOne) {
    const std::string file = ThisProgram();
    const int count = IconCount(file);
    ASSERT_GE(count, 5) << "the program's own icons";
    const struct {
        int pick; // -1: nothing selected
        int button;
        int iconIndex;
        std::string iconFile;
    } cases[] = {{2, IDOK, 2, file},
                 {0, IDOK, 0, file},
                 {-1, IDOK, 7, "C:\\old.ico"},
                 {3, IDCANCEL, 7, "C:\\old.ico"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pick);
        ScriptedModalUi ui;
        ui.fileAnswers.push_back(file);
        std::string caption;
        int items = -1;
        bool inFileOrder = true;
        ui.dialogScripts.push_back([](HWND dialog) {
            ClickButton(dialog, IDC_CHANGE_ICON);
            ClickButton(dialog, IDOK);
        });
        ui.dialogScripts.push_back([&](HWND chooser) {
            caption = WindowText(chooser);
            HWND list = ::GetDlgItem(chooser, IDC_ICON_LIST);
            items = ListView_GetItemCount(list);
            HIMAGELIST images = ListView_GetImageList(list, LVSIL_NORMAL);
            for (int i = 0; i < items && inFileOrder; ++i) {
                LVITEMA item{};
                item.mask = LVIF_IMAGE;
                item.iItem = i;
                ::SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
                HICON icon = nullptr;
                ::ExtractIconExA(file.c_str(), i, &icon, nullptr, 1);
                const auto shown = Pixels32(
                    [&](HDC dc) { ::ImageList_Draw(images, item.iImage, dc, 0, 0, ILD_NORMAL); });
                const auto inFile = Pixels32([&](HDC dc) {
                    HIMAGELIST own = ::ImageList_Create(32, 32, ILC_COLOR32, 1, 1);
                    ::ImageList_AddIcon(own, icon);
                    ::ImageList_Draw(own, 0, dc, 0, 0, ILD_NORMAL);
                    ::ImageList_Destroy(own);
                });
                ::DestroyIcon(icon);
                inFileOrder = shown == inFile;
            }
            if (c.pick >= 0)
                ListView_SetItemState(list, c.pick, LVIS_SELECTED, LVIS_SELECTED);
            ClickButton(chooser, c.button);
        });
        AddEditIcon dialog;
        Fill(dialog, {"OLD", "C:\\old.exe", "", "C:\\old.ico", "", 7, 1});
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_iconFile, c.iconFile);
        EXPECT_EQ(dialog.m_iconIndex, c.iconIndex);
        EXPECT_EQ(caption, "Choose icon");
        EXPECT_EQ(items, count);
        EXPECT_TRUE(inFileOrder);
        ASSERT_EQ(ui.shownDialogs.size(), 2u);
        EXPECT_EQ(ui.shownDialogs[0].templateId, static_cast<UINT>(IDD_CHANGE_ICON));
        EXPECT_EQ(ui.shownDialogs[0].result, c.button);
        EXPECT_EQ(ui.shownFileDialogs.at(0).initialPath, "C:\\old.ico");
        EXPECT_EQ(ui.shownFileDialogs.at(0).filter, AddEditIcon::kIconFilter);
        EXPECT_EQ(ui.shownFileDialogs.at(0).flags,
                  static_cast<DWORD>(OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST |
                                     OFN_ENABLESIZING));
        EXPECT_TRUE(ui.shown.empty());
    }
}

TEST(IconChooser, AFileWithoutIconsIsToldAndChangesNothing) {
    TempFolder temp;
    WriteWholeFile(temp.File("plain.ico"), "not an icon at all");
    ::CreateDirectoryA(temp.File("locked").c_str(), nullptr);
    for (const std::string& file :
         {temp.File("plain.ico"), temp.File("missing.dll"), temp.File("locked")}) {
        SCOPED_TRACE(file);
        ScriptedModalUi ui;
        ui.fileAnswers.push_back(file);
        ui.dialogScripts.push_back([](HWND dialog) {
            ClickButton(dialog, IDC_CHANGE_ICON);
            ClickButton(dialog, IDOK);
        });
        AddEditIcon dialog;
        Fill(dialog, {"OLD", "", "", kNotepad, "", 0, 1});
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_iconFile, kNotepad);
        EXPECT_EQ(dialog.m_iconIndex, 0);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, "File doesn't have icons");
        EXPECT_EQ(ui.shown[0].caption, "Warning!");
        EXPECT_EQ(ui.shown[0].type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(ui.shownDialogs.size(), 1u) << "no chooser";
    }
}

TEST(ProgramEditor, TheScreenshotThumbnailIsTheStretchedPictureOrBlankAndThePathIsKept) {
    GdiplusSession gdiplus;
    TempFolder temp;
    WriteWholeFile(temp.File("shot.bmp"), QuadrantBmp(64));
    WriteWholeFile(temp.File("broken.png"), "\x89PNG\r\n\x1a\nnot really a picture");
    const struct {
        std::string opening, chosen;
        bool openingShown, chosenShown;
    } cases[] = {
        {temp.File("shot.bmp"), temp.File("broken.png"), true, false},
        {"", temp.File("shot.bmp"), false, true},
        {temp.File("missing.jpg"), temp.File(std::string(300, 'x') + ".bmp"), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.chosen.substr(0, 60));
        ScriptedModalUi ui;
        ui.fileAnswers.push_back(c.chosen);
        // What the picture shows: its size and three quadrants, or nothing.
        std::vector<long> opening, chosen;
        auto shown = [](HWND dialog) {
            HBITMAP image = reinterpret_cast<HBITMAP>(::SendDlgItemMessageA(
                dialog, IDC_SCREENSHOT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
            if (!image)
                return std::vector<long>{};
            const SIZE size = BitmapSize(image);
            return std::vector<long>{size.cx, size.cy, static_cast<long>(PixelOf(image, 5, 5)),
                                     static_cast<long>(PixelOf(image, 95, 5)),
                                     static_cast<long>(PixelOf(image, 5, 70))};
        };
        ui.dialogScripts.push_back([&](HWND dialog) {
            opening = shown(dialog);
            ClickButton(dialog, IDC_CHOOSE_SCREENSHOT);
            chosen = shown(dialog);
            ClickButton(dialog, IDOK);
        });
        AddEditIcon dialog;
        dialog.m_screenshotPath = c.opening;
        ASSERT_EQ(dialog.DoModal(), IDOK);
        EXPECT_EQ(dialog.m_screenshotPath, c.chosen);
        const std::vector<long> quadrants = {100, 75, RGB(255, 0, 0), RGB(0, 255, 0),
                                             RGB(0, 0, 255)};
        EXPECT_EQ(opening, c.openingShown ? quadrants : std::vector<long>{});
        EXPECT_EQ(chosen, c.chosenShown ? quadrants : std::vector<long>{});
        EXPECT_EQ(ui.shownFileDialogs.at(0).initialPath, c.opening);
        EXPECT_EQ(ui.shownFileDialogs.at(0).filter, AddEditIcon::kPictureFilter);
    }
}

// Rows of the caption rectangle that hold text: anything not white, smoothed edges included.
std::vector<int> InkedRows(const WindowPixels& shot) {
    std::vector<int> rows;
    for (int y = 46; y < 83; ++y) {
        for (int x = 12; x < 82; ++x) {
            if (shot.At(x, y) != RGB(255, 255, 255)) {
                rows.push_back(y);
                break;
            }
        }
    }
    return rows;
}

bool IconDrawn(const WindowPixels& shot) {
    for (int y = 12; y < 44; ++y)
        for (int x = 31; x < 63; ++x)
            if (shot.At(x, y) != RGB(255, 255, 255))
                return true;
    return false;
}

// Groups of consecutive rows: the lines of text.
int LineCount(const std::vector<int>& rows) {
    int lines = 0;
    for (std::size_t i = 0; i < rows.size(); ++i)
        lines += i == 0 || rows[i] != rows[i - 1] + 1;
    return lines;
}

TEST(ProgramEditor, ThePreviewShowsTheCellAndFollowsTheCaptionAsItIsTyped) {
    const struct {
        std::string iconFile, caption;
        bool icon;
        int lines;
    } cases[] = {{kNotepad, "AB\r\nCD", true, 2}, {"C:\\nowhere\\none.ico", "ABC", false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        ScriptedModalUi ui;
        COLORREF frame = 0, inside = 0, outside = 0;
        bool icon = !c.icon;
        int lines = 0, linesCleared = -1, linesTyped = -1;
        ui.dialogScripts.push_back([&](HWND dialog) {
            ::UpdateWindow(dialog);
            {
                WindowPixels shot(dialog);
                frame = shot.At(9, 40);
                inside = shot.At(10, 10);
                outside = shot.At(4, 4);
                icon = IconDrawn(shot);
                lines = LineCount(InkedRows(shot));
            }
            HWND caption = ::GetDlgItem(dialog, IDC_CAPTION);
            ClearText(caption);
            PumpMessages(50);
            linesCleared = LineCount(InkedRows(WindowPixels(dialog)));
            TypeText(caption, "X");
            PumpMessages(50);
            linesTyped = LineCount(InkedRows(WindowPixels(dialog)));
            ClickButton(dialog, IDCANCEL);
        });
        AddEditIcon dialog;
        Fill(dialog, {c.caption, "", "", c.iconFile, "", 0, 1});
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(frame, RGB(0, 0, 0));
        EXPECT_EQ(inside, RGB(255, 255, 255));
        EXPECT_NE(outside, RGB(255, 255, 255)) << "the dialog's own face around the cell";
        EXPECT_EQ(icon, c.icon);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(linesCleared, 0);
        EXPECT_EQ(linesTyped, 1);
        EXPECT_EQ(dialog.m_name, c.caption) << "Cancel keeps the caller's fields";
    }
}

} // namespace
