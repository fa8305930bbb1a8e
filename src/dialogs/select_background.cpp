#include "dialogs/select_background.h"

#include "dialogs/app_look.h"
#include "framework/dc.h"
#include "framework/modal_ui.h"
#include "framework/unique_handle.h"
#include "resource.h"

#include <commdlg.h>

#include <algorithm>

namespace {

constexpr RECT kThumbnailArea{10, 10, 10 + SelectBackground::kThumbnailSize,
                              10 + SelectBackground::kThumbnailSize};
constexpr DWORD kOpenFlags =
    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_FILEMUSTEXIST | OFN_ENABLESIZING;
// A path the system can open is never longer.
constexpr int kPicturePathLimit = MAX_PATH - 1;

} // namespace

SelectBackground::SelectBackground()
    : Dialog(IDD_SELECT_BACKGROUND), m_thumbnailBackground(AppDesktopColour()) {}

BOOL SelectBackground::OnInitDialog() {
    Dialog::OnInitDialog();
    m_given = Current();
    ::SetWindowTextA(Hwnd(), "Program background selection");
    SetItemText(IDC_CHOOSE_PICTURE, "Choice");
    SetItemText(IDC_CLEAN_PICTURE, "Clean");
    SetItemText(IDC_FULL_SCREEN, "Full screen");
    SetItemText(IDC_REPEAT_COPIES, "Repeat copies");
    SetItemText(IDC_DESKTOP_COLOUR, "Desktop background color");
    SetItemText(IDC_CAPTION_BACK_COLOUR, "Icon name background color");
    SetItemText(IDC_DESCRIPTION_BACK_COLOUR, "Program description background color");
    ::SendDlgItemMessageA(Hwnd(), IDC_PICTURE_PATH, EM_LIMITTEXT, kPicturePathLimit, 0);
    SetItemText(IDC_PICTURE_PATH, m_picturePath);

    m_thumbnail.Create(Hwnd(), IDC_BACKGROUND_PICTURE, kThumbnailArea);
    ::CheckRadioButton(Hwnd(), IDC_FULL_SCREEN, IDC_REPEAT_COPIES,
                       m_fullScreen != 0 ? IDC_FULL_SCREEN : IDC_REPEAT_COPIES);
    m_thumbnail.Show(m_picturePath, kThumbnailSize, kThumbnailSize, m_thumbnailBackground);
    KeepSwatchesInside();
    FitColourLabels();
    return TRUE;
}

void SelectBackground::KeepSwatchesInside() {
    // The swatches' places are in pixels, measured for the dialog font at its usual size. With
    // a lower font the dialog comes out shorter than they need, so it grows to keep them inside.
    constexpr int kMargin = 7;
    RECT client{};
    ::GetClientRect(Hwnd(), &client);
    const int missing = kSwatchTops[2] + kSwatchHeight + kMargin - client.bottom;
    if (missing <= 0)
        return;
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, window.right - window.left,
                   window.bottom - window.top + missing,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SelectBackground::FitColourLabels() {
    // In the template's font "Program description background color" is wider than the
    // template's button, on Windows too, and was cut on both sides. The column right of the
    // thumbnail and the swatches is stretched, the dialog with it, until the widest colour
    // label fits; what stands in the column keeps its share of it.
    constexpr int kColourButtons[] = {IDC_DESKTOP_COLOUR, IDC_CAPTION_BACK_COLOUR,
                                      IDC_DESCRIPTION_BACK_COLOUR};
    int widest = 0;
    {
        ClientDc dc(Hwnd());
        SelectObjectGuard font(dc.Get(),
                               reinterpret_cast<HFONT>(::SendMessageA(Hwnd(), WM_GETFONT, 0, 0)));
        for (int id : kColourButtons) {
            const std::string text = ItemText(id);
            SIZE size{};
            ::GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
            widest = std::max(widest, static_cast<int>(size.cx));
        }
    }
    const auto clientRect = [this](HWND control) {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT column = clientRect(::GetDlgItem(Hwnd(), IDC_DESCRIPTION_BACK_COLOUR));
    const int width = column.right - column.left;
    // The button's frame and the focus rectangle inside it.
    const int frame = 2 * (::GetSystemMetrics(SM_CXEDGE) + 4);
    const int missing = widest + frame - width;
    if (width <= 0 || missing <= 0)
        return;
    const auto stretched = [&](LONG x) {
        return x <= column.left ? x
                                : column.left + ::MulDiv(x - column.left, width + missing, width);
    };
    for (HWND child = ::GetWindow(Hwnd(), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        const RECT rect = clientRect(child);
        if (rect.right <= column.left)
            continue;
        const LONG left = stretched(rect.left);
        ::SetWindowPos(child, nullptr, left, rect.top, stretched(rect.right) - left,
                       rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT window{};
    ::GetWindowRect(Hwnd(), &window);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, window.right - window.left + missing,
                   window.bottom - window.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SelectBackground::OnOK() {
    m_picturePath = ItemText(IDC_PICTURE_PATH);
    m_fullScreen = ::IsDlgButtonChecked(Hwnd(), IDC_FULL_SCREEN) == BST_CHECKED ? 1 : 0;
    EndDialog(IDOK);
}

void SelectBackground::OnCancel() {
    Restore(m_given);
    Dialog::OnCancel();
}

SelectBackground::Fields SelectBackground::Current() const {
    return {m_picturePath, m_desktopColor, m_captionBackColor, m_descriptionBackColor,
            m_fullScreen};
}

void SelectBackground::Restore(const Fields& fields) {
    m_picturePath = fields.picturePath;
    m_desktopColor = fields.desktop;
    m_captionBackColor = fields.captionBack;
    m_descriptionBackColor = fields.descriptionBack;
    m_fullScreen = fields.fullScreen;
}

INT_PTR SelectBackground::OnMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDC_PICTURE_PATH) {
            if (code == EN_CHANGE) {
                m_picturePath = ItemText(IDC_PICTURE_PATH);
                Repaint();
            }
            return TRUE;
        }
        if (code != BN_CLICKED)
            return FALSE;
        switch (id) {
        case IDC_CHOOSE_PICTURE:
            ChoosePicture();
            return TRUE;
        case IDC_CLEAN_PICTURE:
            SetItemText(IDC_PICTURE_PATH, "");
            return TRUE;
        case IDC_DESKTOP_COLOUR:
            ChooseColourFor(m_desktopColor);
            return TRUE;
        case IDC_CAPTION_BACK_COLOUR:
            ChooseColourFor(m_captionBackColor);
            return TRUE;
        case IDC_DESCRIPTION_BACK_COLOUR:
            ChooseColourFor(m_descriptionBackColor);
            return TRUE;
        default:
            return FALSE;
        }
    }
    case WM_PAINT: {
        PaintDc dc(Hwnd());
        PaintSwatches(dc.Get());
        return TRUE;
    }
    case WM_DESTROY:
        m_thumbnail.Detach();
        return FALSE;
    default:
        return FALSE;
    }
}

void SelectBackground::ChoosePicture() {
    std::string path = ItemText(IDC_PICTURE_PATH);
    if (!CurrentModalUi().ChooseOpenFile(Hwnd(), path, kPictureFilter, kOpenFlags))
        return;
    SetItemText(IDC_PICTURE_PATH, path);
    m_picturePath = path;
    m_thumbnail.Show(m_picturePath, kThumbnailSize, kThumbnailSize, m_thumbnailBackground);
    Repaint();
}

void SelectBackground::ChooseColourFor(COLORREF& field) {
    COLORREF colour = field;
    if (!CurrentModalUi().ChooseColour(Hwnd(), colour, CC_RGBINIT | CC_FULLOPEN))
        return;
    field = colour;
    Repaint();
}

void SelectBackground::Repaint() {
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

void SelectBackground::PaintSwatches(HDC dc) {
    const COLORREF colours[3] = {m_desktopColor, m_captionBackColor, m_descriptionBackColor};
    for (int i = 0; i < 3; ++i) {
        const RECT swatch{kSwatchLeft, kSwatchTops[i], kSwatchLeft + kSwatchWidth,
                          kSwatchTops[i] + kSwatchHeight};
        UniqueBrush brush(::CreateSolidBrush(colours[i]));
        ::FillRect(dc, &swatch, brush.Get());
    }
}
