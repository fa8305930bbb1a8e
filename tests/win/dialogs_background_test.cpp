// The background and colours dialog, run for real with real pictures and driven with messages.
#include "dialogs/add_edit_icon.h"
#include "dialogs/select_background.h"
#include "resource.h"
#include "support/test_app.h"
#include "support/test_dialog.h"
#include "support/test_pictures.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <gdiplus.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF kDesktop = RGB(10, 20, 30), kCaption = RGB(40, 50, 60),
                   kDescription = RGB(70, 80, 90);

SelectBackground& Fill(SelectBackground& d, const std::string& path, int fullScreen) {
    d.m_picturePath = path;
    d.m_desktopColor = kDesktop;
    d.m_captionBackColor = kCaption;
    d.m_descriptionBackColor = kDescription;
    d.m_fullScreen = fullScreen;
    return d;
}

HBITMAP Thumbnail(HWND dialog) {
    return reinterpret_cast<HBITMAP>(
        ::SendDlgItemMessageA(dialog, IDC_BACKGROUND_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// The room a button's label has in the dialog's font, in pixels: negative when it is cut.
int LabelRoom(HWND dialog, int id) {
    const HWND button = ::GetDlgItem(dialog, id);
    RECT client{};
    ::GetClientRect(button, &client);
    const std::string text = ItemText(dialog, id);
    HDC dc = ::GetDC(button);
    const HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageA(button, WM_GETFONT, 0, 0)));
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(button, dc);
    return client.right - 2 * ::GetSystemMetrics(SM_CXEDGE) - size.cx;
}

RECT ItemRect(HWND dialog, int id) {
    RECT rect{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &rect);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

TEST(BackgroundDialog, OpensWithItsTextsAndTheRadioOfFullScreenAndReturnsThemOnOk) {
    const struct {
        int fullScreen;
        bool fullChecked;
        bool toggle;
        int returned;
    } cases[] = {{1, true, false, 1},
                 {0, false, false, 0},
                 {5, true, false, 1},
                 {1, true, true, 0},
                 {0, false, true, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        ScriptedModalUi ui;
        std::vector<std::string> texts;
        bool full = false, repeat = false;
        ui.dialogScripts.push_back([&](HWND dialog) {
            texts.push_back(WindowText(dialog));
            for (int id : {IDC_CHOOSE_PICTURE, IDC_CLEAN_PICTURE, IDC_FULL_SCREEN,
                           IDC_REPEAT_COPIES, IDC_PICTURE_PATH, IDC_DESKTOP_COLOUR,
                           IDC_CAPTION_BACK_COLOUR, IDC_DESCRIPTION_BACK_COLOUR, IDCANCEL, IDOK})
                texts.push_back(ItemText(dialog, id));
            full = IsItemChecked(dialog, IDC_FULL_SCREEN);
            repeat = IsItemChecked(dialog, IDC_REPEAT_COPIES);
            // Every colour label fits its button, the column stays one column beside the
            // swatches (within a pixel of rounding), and the dialog keeps its margin.
            RECT client{};
            ::GetClientRect(dialog, &client);
            const LONG right = ItemRect(dialog, IDOK).right;
            EXPECT_GT(client.right - right, 5);
            for (int id :
                 {IDC_DESKTOP_COLOUR, IDC_CAPTION_BACK_COLOUR, IDC_DESCRIPTION_BACK_COLOUR}) {
                EXPECT_GE(LabelRoom(dialog, id), 4) << ItemText(dialog, id);
                EXPECT_GE(ItemRect(dialog, id).left,
                          SelectBackground::kSwatchLeft + SelectBackground::kSwatchWidth);
                EXPECT_NEAR(ItemRect(dialog, id).right, right, 1);
            }
            EXPECT_NEAR(ItemRect(dialog, IDC_CLEAN_PICTURE).right, right, 1);
            EXPECT_NEAR(ItemRect(dialog, IDC_PICTURE_PATH).right, right, 1);
            if (c.toggle)
                ClickButton(dialog, c.fullChecked ? IDC_REPEAT_COPIES : IDC_FULL_SCREEN);
            ClickButton(dialog, IDOK);
        });
        SelectBackground dialog;
        Fill(dialog, "C:\\pictures\\sea.jpg", c.fullScreen);
        ASSERT_EQ(dialog.DoModal(), IDOK);
        const std::vector<std::string> expected = {"Program background selection",
                                                   "Choice",
                                                   "Clean",
                                                   "Full screen",
                                                   "Repeat copies",
                                                   "C:\\pictures\\sea.jpg",
                                                   "Desktop background color",
                                                   "Icon name background color",
                                                   "Program description background color",
                                                   "Cancel",
                                                   "OK"};
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(full, c.fullChecked);
        EXPECT_EQ(repeat, !c.fullChecked);
        EXPECT_EQ(dialog.m_fullScreen, c.returned);
        EXPECT_EQ(dialog.m_picturePath, "C:\\pictures\\sea.jpg");
        EXPECT_EQ(ui.shownDialogs.at(0).templateId, static_cast<UINT>(IDD_SELECT_BACKGROUND));
    }
}

TEST(BackgroundDialog, ThePicturePathFollowsChoiceTypingAndCleanWhileTheThumbnailFollowsChoice) {
    GdiplusSession gdiplus;
    TempFolder temp;
    const std::string picture = temp.File("quadrants.bmp");
    WriteWholeFile(picture, QuadrantBmp(64));
    WriteWholeFile(temp.File("broken.png"), "\x89PNG\r\n\x1a\nnot really a picture");

    const struct {
        const char* what;
        std::string opening;
        std::optional<std::string> chosen;
        const char* typed; // appended to the edit after choosing, null: nothing typed
        bool clean;
        INT_PTR button;
        bool openingShown, finalShown;
        std::string returned;
    } cases[] = {
        {"choice", "", picture, nullptr, false, IDOK, false, true, picture},
        {"clean", picture, std::nullopt, nullptr, true, IDOK, true, true, ""},
        {"choice then clean", "", picture, nullptr, true, IDOK, false, true, ""},
        {"typed", picture, std::nullopt, ".old", false, IDOK, true, true, picture + ".old"},
        {"undecodable", picture, temp.File("broken.png"), nullptr, false, IDOK, true, false,
         temp.File("broken.png")},
        {"cancelled choice", picture, std::nullopt, nullptr, false, IDOK, true, true, picture},
        {"cancel", "C:\\kept.bmp", picture, nullptr, true, IDCANCEL, false, true, "C:\\kept.bmp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedModalUi ui;
        ui.fileAnswers.push_back(c.chosen);
        bool openingShown = false, finalShown = false;
        SIZE size{};
        COLORREF corners[2] = {};
        ui.dialogScripts.push_back([&](HWND dialog) {
            openingShown = Thumbnail(dialog) != nullptr;
            ClickButton(dialog, IDC_CHOOSE_PICTURE);
            if (c.typed) {
                HWND edit = ::GetDlgItem(dialog, IDC_PICTURE_PATH);
                ::SetFocus(edit);
                const int end = ::GetWindowTextLengthA(edit);
                ::SendMessageA(edit, EM_SETSEL, end, end);
                TypeText(edit, c.typed);
            }
            if (c.clean)
                ClickButton(dialog, IDC_CLEAN_PICTURE);
            finalShown = Thumbnail(dialog) != nullptr;
            if (finalShown) {
                size = BitmapSize(Thumbnail(dialog));
                corners[0] = PixelOf(Thumbnail(dialog), 5, 5);
                corners[1] = PixelOf(Thumbnail(dialog), 95, 95);
            }
            ClickButton(dialog, static_cast<int>(c.button));
        });
        SelectBackground dialog;
        Fill(dialog, c.opening, 0);
        ASSERT_EQ(dialog.DoModal(), c.button);
        EXPECT_EQ(dialog.m_picturePath, c.returned);
        EXPECT_EQ(openingShown, c.openingShown);
        EXPECT_EQ(finalShown, c.finalShown);
        if (c.finalShown) {
            EXPECT_EQ(size.cx, 100);
            EXPECT_EQ(size.cy, 100);
            EXPECT_EQ(corners[0], RGB(255, 0, 0));
            EXPECT_EQ(corners[1], RGB(255, 255, 255));
        }
        ASSERT_EQ(ui.shownFileDialogs.size(), 1u);
        EXPECT_EQ(ui.shownFileDialogs[0].filter, SelectBackground::kPictureFilter);
        EXPECT_EQ(ui.shownFileDialogs[0].flags,
                  static_cast<DWORD>(OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST |
                                     OFN_ENABLESIZING));
    }
}

TEST(BackgroundDialog, AChosenColourShowsInItsSwatchAtOnceAndOnlyOkReturnsIt) {
    const COLORREF chosen = RGB(200, 30, 160);
    const struct {
        int button;
        int swatch;
        std::optional<COLORREF> answer;
        INT_PTR end;
        COLORREF desktop, caption, description;
    } cases[] = {
        {IDC_DESKTOP_COLOUR, 0, chosen, IDOK, chosen, kCaption, kDescription},
        {IDC_CAPTION_BACK_COLOUR, 1, chosen, IDOK, kDesktop, chosen, kDescription},
        {IDC_DESCRIPTION_BACK_COLOUR, 2, chosen, IDOK, kDesktop, kCaption, chosen},
        {IDC_DESKTOP_COLOUR, 0, chosen, IDCANCEL, kDesktop, kCaption, kDescription},
        {IDC_CAPTION_BACK_COLOUR, 1, std::nullopt, IDOK, kDesktop, kCaption, kDescription},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        ScriptedModalUi ui;
        ui.colourAnswers.push_back(c.answer);
        std::vector<COLORREF> before, after;
        auto swatches = [](HWND dialog) {
            WindowPixels shot(dialog);
            std::vector<COLORREF> colours;
            for (int top : SelectBackground::kSwatchTops) {
                colours.push_back(shot.At(10, top));
                colours.push_back(shot.At(109, top + 32));
            }
            colours.push_back(shot.At(10, 186)); // between the swatches: the dialog's face
            return colours;
        };
        ui.dialogScripts.push_back([&](HWND dialog) {
            ::UpdateWindow(dialog);
            before = swatches(dialog);
            ClickButton(dialog, c.button);
            ::UpdateWindow(dialog);
            after = swatches(dialog);
            ClickButton(dialog, static_cast<int>(c.end));
        });
        SelectBackground dialog;
        Fill(dialog, "", 1);
        ASSERT_EQ(dialog.DoModal(), c.end);
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        EXPECT_EQ(before, (std::vector<COLORREF>{kDesktop, kDesktop, kCaption, kCaption,
                                                 kDescription, kDescription, face}));
        std::vector<COLORREF> shownAfter = {kDesktop,     kDesktop,     kCaption, kCaption,
                                            kDescription, kDescription, face};
        if (c.answer)
            shownAfter[2 * c.swatch] = shownAfter[2 * c.swatch + 1] = *c.answer;
        EXPECT_EQ(after, shownAfter);
        EXPECT_EQ(dialog.m_desktopColor, c.desktop);
        EXPECT_EQ(dialog.m_captionBackColor, c.caption);
        EXPECT_EQ(dialog.m_descriptionBackColor, c.description);
        EXPECT_EQ(ui.colourFlags, (std::vector<DWORD>{CC_RGBINIT | CC_FULLOPEN}));
    }
}

// A PNG whose every pixel is fully transparent: a thumbnail of it shows its background colour.
void WriteTransparentPng(const std::string& path) {
    Gdiplus::Bitmap bitmap(16, 16, PixelFormat32bppARGB);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            bitmap.SetPixel(x, y, Gdiplus::Color(0, 255, 255, 255));
    const CLSID pngEncoder = {
        0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    wchar_t wide[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    ASSERT_EQ(bitmap.Save(wide, &pngEncoder, nullptr), Gdiplus::Ok);
}

TEST(BackgroundDialog, ThumbnailsShowTheApplicationsDesktopColourAndThePreviewItsFont) {
    GdiplusSession gdiplus;
    TempFolder temp;
    const std::string clear = temp.File("clear.png");
    WriteTransparentPng(clear);

    {
        AddEditIcon editor;
        SelectBackground background;
        EXPECT_EQ(editor.m_thumbnailBackground, RGB(0, 0, 0x60)) << "the setting's default";
        EXPECT_EQ(background.m_thumbnailBackground, RGB(0, 0, 0x60));
        EXPECT_EQ(editor.m_captionFont, ::GetStockObject(DEFAULT_GUI_FONT));
    }

    TestApp app;
    app.cvetfona = RGB(1, 2, 3);
    LOGFONTA font{};
    font.lfHeight = -20;
    lstrcpyA(font.lfFaceName, "Tahoma");
    app.m_captionFont.Reset(::CreateFontIndirectA(&font));
    ScriptedModalUi ui;
    COLORREF editorPixel = 0, backgroundPixel = 0;
    ui.dialogScripts.push_back([&](HWND dialog) {
        editorPixel = PixelOf(reinterpret_cast<HBITMAP>(::SendDlgItemMessageA(
                                  dialog, IDC_SCREENSHOT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                              50, 40);
        ClickButton(dialog, IDCANCEL);
    });
    ui.dialogScripts.push_back([&](HWND dialog) {
        backgroundPixel = PixelOf(Thumbnail(dialog), 50, 50);
        ClickButton(dialog, IDCANCEL);
    });
    AddEditIcon editor;
    editor.m_screenshotPath = clear;
    EXPECT_EQ(editor.m_captionFont, app.m_captionFont.Get());
    editor.DoModal();
    SelectBackground background;
    Fill(background, clear, 0);
    background.DoModal();
    EXPECT_EQ(editorPixel, RGB(1, 2, 3));
    EXPECT_EQ(backgroundPixel, RGB(1, 2, 3)) << "cvetfona, not the colour being chosen";
}

} // namespace
