#pragma once
// The program editor: caption, program, parameters, icon, screenshot and window size of one
// catalogue entry, with a live preview of its desktop cell and a thumbnail of the screenshot.
// The caller fills the fields, runs the dialog and reads them back after OK.

#include "dialogs/picture_thumbnail.h"
#include "framework/dialog.h"
#include "framework/unique_handle.h"

#include <windows.h>
#include <commdlg.h>

#include <string>

class AddEditIcon : public Dialog {
public:
    AddEditIcon();

    std::string m_name;
    std::string m_programPath;
    std::string m_parameters;
    std::string m_iconFile;
    std::string m_screenshotPath;
    int m_iconIndex = 0;
    // SW_SHOWNORMAL (1), SW_SHOWMAXIMIZED (3) or SW_MINIMIZE (6).
    int m_showCommand = 1;

    // Taken from the application: the colour behind the thumbnail and the preview's font
    // (not owned).
    COLORREF m_thumbnailBackground;
    HFONT m_captionFont;

    static constexpr const char* kProgramFilter =
        "Executable files (*.exe, *.bat, *.cmd, *.cpl, *.url, *.lnk)|"
        "*.exe; *.bat; *.cmd; *.cpl; *.url; *.lnk||";
    static constexpr const char* kIconFilter =
        "Icon files (*.ico, *.exe, *.dll, *.icl)|*.ico; *.exe; *.dll; *.icl||";
    static constexpr const char* kPictureFilter =
        "Image files (*.jpg;*.png;*.gif;*.bmp)|*.jpg;*.png;*.gif;*.bmp||";
    static constexpr DWORD kOpenFlags =
        OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
    // A chosen shortcut comes back as the .lnk itself, so its target can be read here.
    static constexpr DWORD kProgramOpenFlags = kOpenFlags | OFN_NODEREFERENCELINKS;
    static constexpr int kThumbnailWidth = 100;
    static constexpr int kThumbnailHeight = 75;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    void DoDataExchange(DataExchange& dx) override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ChooseProgram();
    void TakeProgram(const std::string& path);
    void ChooseIcon();
    void ChooseScreenshot();
    RECT ThumbnailArea();
    void PaintPreview(HDC dc);
    void Repaint();

    // What the handlers change before OK; Cancel puts the caller's values back.
    struct ChangedFields {
        std::string iconFile, screenshotPath;
        int iconIndex;
    };
    ChangedFields m_given{};

    std::string m_previewText;
    UniqueIcon m_previewIcon;
    PictureThumbnail m_thumbnail;
};
