#include "dialogs/add_edit_icon.h"

#include "dialogs/app_look.h"
#include "dialogs/change_icon_dialog.h"
#include "dialogs/program_choice.h"
#include "dialogs/shortcut_target.h"
#include "framework/dc.h"
#include "framework/modal_ui.h"
#include "resource.h"

#include <shellapi.h>

#include <algorithm>
#include <climits>
#include <fstream>

namespace {

// The preview is one desktop cell with its top-left corner here (client pixels); the icon
// and caption keep the desktop's offsets within the cell.
constexpr int kCellLeft = 8, kCellTop = 8;
constexpr RECT kPreviewFrame{kCellLeft + 1, kCellTop + 1, kCellLeft + 77, kCellTop + 77};
constexpr POINT kPreviewIcon{kCellLeft + 23, kCellTop + 4};
constexpr RECT kPreviewCaption{kCellLeft + 4, kCellTop + 38, kCellLeft + 74, kCellTop + 75};
constexpr POINT kThumbnailAt{301, 10};
// Room kept between the picture and the "Screenshot" button, and the dialog's right edge.
constexpr int kThumbnailGap = 5;

void CutTo(std::string& text, int limit) {
    if (text.size() > static_cast<std::size_t>(limit))
        text.resize(static_cast<std::size_t>(limit));
}

} // namespace

AddEditIcon::AddEditIcon()
    : Dialog(IDD_ADD_EDIT_ICON), m_thumbnailBackground(AppDesktopColour()),
      m_captionFont(AppCaptionFont()) {}

BOOL AddEditIcon::OnInitDialog() {
    Dialog::OnInitDialog();
    m_given = {m_iconFile, m_screenshotPath, m_iconIndex};
    ::SetWindowTextA(Hwnd(), "Add/edit program");
    SetItemText(IDC_CHANGE_ICON, "Change icon");
    SetItemText(IDC_CHOOSE_SCREENSHOT, "Screenshot --->");
    SetItemText(IDC_PROGRAM_LABEL, "Program to launch");
    SetItemText(IDC_PARAMETERS_LABEL, "Parameters");
    SetItemText(IDC_WINDOW_SIZE, "Window size");
    SetItemText(IDC_SHOW_NORMAL, "Standard");
    SetItemText(IDC_SHOW_MAXIMIZED, "Maximized");
    SetItemText(IDC_SHOW_MINIMIZED, "Minimized");
    ::SendDlgItemMessageA(Hwnd(), IDC_CAPTION, EM_LIMITTEXT, kCaptionLimit, 0);
    ::SendDlgItemMessageA(Hwnd(), IDC_PROGRAM_PATH, EM_LIMITTEXT, kPathLimit, 0);
    ::SendDlgItemMessageA(Hwnd(), IDC_PARAMETERS, EM_LIMITTEXT, kPathLimit, 0);

    const int checked = m_showCommand == 1   ? IDC_SHOW_NORMAL
                        : m_showCommand == 3 ? IDC_SHOW_MAXIMIZED
                                             : IDC_SHOW_MINIMIZED;
    ::CheckRadioButton(Hwnd(), IDC_SHOW_NORMAL, IDC_SHOW_MINIMIZED, checked);

    m_thumbnail.Create(Hwnd(), IDC_SCREENSHOT_PICTURE, ThumbnailArea());
    m_thumbnail.Show(m_screenshotPath, kThumbnailWidth, kThumbnailHeight, m_thumbnailBackground);
    return TRUE;
}

RECT AddEditIcon::ThumbnailArea() {
    // The picture's place is in pixels, measured for the dialog font at its usual size. With
    // a wider font the buttons grow past it, so it moves right to stay beside them, and the
    // dialog grows to keep it inside.
    RECT button{};
    ::GetWindowRect(::GetDlgItem(Hwnd(), IDC_CHOOSE_SCREENSHOT), &button);
    ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&button), 2);
    const int left = std::max<int>(kThumbnailAt.x, button.right + kThumbnailGap);
    const RECT area{left, kThumbnailAt.y, left + kThumbnailWidth,
                    kThumbnailAt.y + kThumbnailHeight};

    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int missing = area.right + kThumbnailGap - client.right;
    if (missing > 0) {
        RECT window{};
        ::GetWindowRect(Hwnd(), &window);
        ::SetWindowPos(Hwnd(), nullptr, 0, 0, window.right - window.left + missing,
                       window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return area;
}

void AddEditIcon::DoDataExchange(DataExchange& dx) {
    dx.Text(IDC_CAPTION, m_name);
    dx.Text(IDC_PROGRAM_PATH, m_programPath);
    dx.Text(IDC_PARAMETERS, m_parameters);
    if (dx.Saving()) {
        // The limits hold typing back; this holds back whatever was put in otherwise.
        CutTo(m_name, kCaptionLimit);
        CutTo(m_programPath, kPathLimit);
        CutTo(m_parameters, kPathLimit);
    }
}

void AddEditIcon::OnOK() {
    m_showCommand = ::IsDlgButtonChecked(Hwnd(), IDC_SHOW_NORMAL) == BST_CHECKED      ? 1
                    : ::IsDlgButtonChecked(Hwnd(), IDC_SHOW_MAXIMIZED) == BST_CHECKED ? 3
                                                                                      : 6;
    Dialog::OnOK();
}

void AddEditIcon::OnCancel() {
    m_iconFile = m_given.iconFile;
    m_screenshotPath = m_given.screenshotPath;
    m_iconIndex = m_given.iconIndex;
    Dialog::OnCancel();
}

INT_PTR AddEditIcon::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_CHOOSE_PROGRAM:
            if (HIWORD(wParam) == BN_CLICKED)
                ChooseProgram();
            return TRUE;
        case IDC_CHANGE_ICON:
            if (HIWORD(wParam) == BN_CLICKED)
                ChooseIcon();
            return TRUE;
        case IDC_CHOOSE_SCREENSHOT:
            if (HIWORD(wParam) == BN_CLICKED)
                ChooseScreenshot();
            return TRUE;
        case IDC_CAPTION:
            if (HIWORD(wParam) == EN_CHANGE)
                Repaint();
            return TRUE;
        default:
            return FALSE;
        }
    case WM_PAINT: {
        PaintDc dc(Hwnd());
        PaintPreview(dc.Get());
        return TRUE;
    }
    case WM_DESTROY:
        m_thumbnail.Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

void AddEditIcon::ChooseProgram() {
    std::string path = m_programPath;
    if (!CurrentModalUi().ChooseOpenFile(Hwnd(), path, kProgramFilter, kProgramOpenFlags))
        return;
    TakeProgram(path);
    Repaint();
}

void AddEditIcon::TakeProgram(const std::string& path) {
    auto takeExecutable = [this](const ProgramChoice& choice) {
        SetItemText(IDC_PROGRAM_PATH, choice.programPath);
        m_iconFile = choice.iconFile;
        m_iconIndex = choice.iconIndex;
        SetItemText(IDC_CAPTION, choice.caption);
    };
    switch (KindOfProgram(path)) {
    case ProgramKind::Executable:
        takeExecutable(ExecutableChoice(path));
        break;
    case ProgramKind::Shortcut:
        takeExecutable(ExecutableChoice(ShortcutTarget(path)));
        break;
    case ProgramKind::InternetShortcut: {
        SetItemText(IDC_PROGRAM_PATH, path);
        SetItemText(IDC_CAPTION, UpperCase(SplitPath(path).name));
        std::ifstream file(path, std::ios::binary);
        if (file)
            ReadInternetShortcutIcon(file, m_iconFile, m_iconIndex);
        break;
    }
    case ProgramKind::Other:
        break;
    }
}

void AddEditIcon::ChooseIcon() {
    std::string path = m_iconFile;
    if (!CurrentModalUi().ChooseOpenFile(Hwnd(), path, kIconFilter, kOpenFlags))
        return;
    const UINT count = ::ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0);
    // Some systems answer an unreadable file with -1 rather than 0.
    if (count == 0 || count > static_cast<UINT>(INT_MAX)) {
        AppMessageBox(Hwnd(), "File doesn't have icons", "Warning!", MB_OK);
        return;
    }
    ChangeIconDialog chooser;
    chooser.m_filePath = path;
    chooser.m_iconCount = static_cast<int>(count);
    if (chooser.DoModal(Hwnd()) != IDOK || chooser.m_selection == 0)
        return;
    m_iconFile = path;
    m_iconIndex = chooser.m_selection - 1;
    Repaint();
}

void AddEditIcon::ChooseScreenshot() {
    std::string path = m_screenshotPath;
    if (!CurrentModalUi().ChooseOpenFile(Hwnd(), path, kPictureFilter, kOpenFlags))
        return;
    m_screenshotPath = path;
    m_thumbnail.Show(m_screenshotPath, kThumbnailWidth, kThumbnailHeight, m_thumbnailBackground);
    Repaint();
}

void AddEditIcon::Repaint() {
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void AddEditIcon::PaintPreview(HDC dc) {
    ::SetBkColor(dc, RGB(255, 255, 255));
    {
        SelectObjectGuard pen(dc, ::GetStockObject(BLACK_PEN));
        SelectObjectGuard brush(dc, ::GetStockObject(WHITE_BRUSH));
        ::Rectangle(dc, kPreviewFrame.left, kPreviewFrame.top, kPreviewFrame.right,
                    kPreviewFrame.bottom);
    }

    HICON large = nullptr;
    if (!m_iconFile.empty())
        ::ExtractIconExA(m_iconFile.c_str(), m_iconIndex, &large, nullptr, 1);
    m_previewIcon.Reset(large);
    if (m_previewIcon)
        ::DrawIcon(dc, kPreviewIcon.x, kPreviewIcon.y, m_previewIcon.Get());

    SelectObjectGuard font(dc, m_captionFont ? static_cast<HGDIOBJ>(m_captionFont)
                                             : ::GetStockObject(DEFAULT_GUI_FONT));
    m_previewText = ItemText(IDC_CAPTION);
    ::SetTextColor(dc, RGB(0, 0, 0));
    RECT caption = kPreviewCaption;
    ::DrawTextA(dc, m_previewText.c_str(), -1, &caption, DT_CENTER | DT_WORDBREAK);
}
