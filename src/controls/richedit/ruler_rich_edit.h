#pragma once
// The text part of the description editor: a "RichEdit20A" window that tells its owner about
// every change of the text and about Ctrl+S, and offers the format and RTF transfer calls
// the editor needs.

#include "framework/subclass.h"

#include <windows.h>
#include <richedit.h>

#include <string>

class CRulerRichEdit : public SubclassedWindow {
public:
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);

    // Who hears about changes (m_changeMessage) and Ctrl+S (m_saveMessage); 0 = nobody.
    HWND m_notifyWnd = nullptr;
    UINT m_changeMessage = 0;
    UINT m_saveMessage = 0;

    // The text changed: tell the owner and have the editor's ruler band repainted.
    void OnTextChanged();

    // Formats of the selection (its uniform attributes are in the mask).
    CHARFORMATA GetSelectionCharFormat() const;
    bool SetSelectionCharFormat(CHARFORMATA format);
    bool SetDefaultCharFormat(CHARFORMATA format);
    PARAFORMAT GetParaFormat() const;
    bool SetParaFormat(PARAFORMAT format);

    // The whole content as RTF, out and in. StreamInRtf replaces everything and returns false
    // when the control reports an error.
    std::string StreamOutRtf() const;
    bool StreamInRtf(const std::string& rtf);

    int HorizontalScrollPos() const;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void InvalidateParentBand();
};
