#pragma once
// Lists every icon inside one file, in file order, and returns the one picked.

#include "framework/dialog.h"
#include "framework/unique_handle.h"

#include <commctrl.h>

#include <string>
#include <vector>

class ChangeIconDialog : public Dialog {
public:
    ChangeIconDialog();

    // Set by the caller: the file and how many icons it holds.
    std::string m_filePath;
    int m_iconCount = 0;
    // After OK: the first selected icon's index plus one, 0 when none was selected.
    int m_selection = 0;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    struct ImageListTraits : NullHandleTraits<HIMAGELIST> {
        static void Close(HIMAGELIST list) { ::ImageList_Destroy(list); }
    };

    std::vector<UniqueIcon> m_icons;
    // Owned here: the list view is told to share it, not to destroy it.
    UniqueHandle<HIMAGELIST, ImageListTraits> m_imageList;
};
