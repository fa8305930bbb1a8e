#pragma once
// The background picture (stretched or tiled) and the three background colours, each shown
// as a thumbnail or a swatch. The caller fills the fields and reads them back after OK.

#include "dialogs/picture_thumbnail.h"
#include "framework/dialog.h"

#include <windows.h>

#include <string>

class SelectBackground : public Dialog {
public:
    SelectBackground();

    std::string m_picturePath; // empty: no picture
    COLORREF m_desktopColor = 0;
    COLORREF m_captionBackColor = 0;
    COLORREF m_descriptionBackColor = 0;
    int m_fullScreen = 0; // 1 stretched over the screen, 0 tiled

    // The desktop colour the thumbnail is drawn over: the application's current setting, not
    // the colour being chosen here.
    COLORREF m_thumbnailBackground;

    static constexpr const char* kPictureFilter =
        "Image files (*.jpg;*.png;*.gif;*.bmp)|*.jpg;*.png;*.gif;*.bmp||";
    static constexpr int kThumbnailSize = 100;
    // The swatches: 100 x 33 pixels at x = 10, one below the other in the buttons' order.
    static constexpr int kSwatchLeft = 10, kSwatchWidth = 100, kSwatchHeight = 33;
    static constexpr int kSwatchTops[3] = {152, 187, 222};

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ChoosePicture();
    void ChooseColourFor(COLORREF& field);
    void PaintSwatches(HDC dc);
    void KeepSwatchesInside();
    void FitColourLabels();
    void Repaint();

    struct Fields {
        std::string picturePath;
        COLORREF desktop, captionBack, descriptionBack;
        int fullScreen;
    };
    Fields Current() const;
    void Restore(const Fields& fields);

    PictureThumbnail m_thumbnail;
    // The fields as the caller gave them: Cancel puts them back, so that what the handlers
    // changed on the way never reaches a caller.
    Fields m_given{};
};
