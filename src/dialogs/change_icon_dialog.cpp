#include "dialogs/change_icon_dialog.h"

#include "resource.h"

#include <shellapi.h>

ChangeIconDialog::ChangeIconDialog() : Dialog(IDD_CHANGE_ICON) {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&controls);
}

BOOL ChangeIconDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    ::SetWindowTextA(Hwnd(), "Choose icon");

    const int count = m_iconCount > 0 ? m_iconCount : 0;
    m_imageList.Reset(::ImageList_Create(32, 32, ILC_COLOR32, count, 1));
    m_icons.clear();
    m_icons.resize(static_cast<std::size_t>(count));
    std::vector<int> images(static_cast<std::size_t>(count), I_IMAGENONE);
    for (int i = 0; i < count; ++i) {
        HICON large = nullptr;
        ::ExtractIconExA(m_filePath.c_str(), i, &large, nullptr, 1);
        m_icons[static_cast<std::size_t>(i)].Reset(large);
        // An icon that cannot be extracted shows as an empty item, so the others keep their
        // places and every item still stands for its index in the file.
        if (large && m_imageList)
            images[static_cast<std::size_t>(i)] = ::ImageList_AddIcon(m_imageList.Get(), large);
    }

    HWND list = ::GetDlgItem(Hwnd(), IDC_ICON_LIST);
    ListView_SetImageList(list, m_imageList.Get(), LVSIL_NORMAL);
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = const_cast<char*>("");
        item.iImage = images[static_cast<std::size_t>(i)] >= 0 ? images[static_cast<std::size_t>(i)]
                                                               : I_IMAGENONE;
        ::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    return TRUE;
}

void ChangeIconDialog::OnOK() {
    const int first = ListView_GetNextItem(::GetDlgItem(Hwnd(), IDC_ICON_LIST), -1, LVNI_SELECTED);
    m_selection = first + 1;
    EndDialog(IDOK);
}
