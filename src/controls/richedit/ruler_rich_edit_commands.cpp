// The editor's formatting commands: what the tool-bar buttons and the font messages do to the
// selection.

#include "controls/richedit/rich_edit_format.h"
#include "controls/richedit/ruler_rich_edit_ctrl.h"
#include "controls/richedit/toolbar_template.h"
#include "framework/modal_ui.h"

#include "base/text.h"

#include <commdlg.h>

void CRulerRichEditCtrl::DoFontDialog() {
    if (!m_edit.Hwnd())
        return;
    const richedit::FontRequest request = richedit::FontRequestFor(
        richedit::SnapshotOf(m_edit.GetSelectionCharFormat()), m_pixelsPerInch);
    LOGFONTA font{};
    CopyText(font.lfFaceName, request.face);
    font.lfHeight = request.height;
    font.lfWeight = request.weight;
    font.lfItalic = request.italic;
    font.lfUnderline = request.underline;
    int pointSizeTenths = 0;
    if (CurrentModalUi().ChooseTextFont(Hwnd(), font, pointSizeTenths,
                                        CF_SCREENFONTS | CF_EFFECTS)) {
        richedit::FontChoice choice;
        choice.face = std::string(FieldText(font.lfFaceName));
        choice.pointSizeTenths = pointSizeTenths;
        choice.weight = font.lfWeight;
        choice.italic = font.lfItalic != 0;
        choice.underline = font.lfUnderline != 0;
        m_edit.SetSelectionCharFormat(
            richedit::FormatForChange(richedit::ChangeForFontChoice(choice)));
        UpdateToolbarState();
    }
    FocusText();
}

void CRulerRichEditCtrl::DoColorDialog() {
    if (!m_edit.Hwnd())
        return;
    const CHARFORMATA current = m_edit.GetSelectionCharFormat();
    COLORREF colour = RGB(0, 0, 0);
    if ((current.dwMask & CFM_COLOR) && !(current.dwEffects & CFE_AUTOCOLOR))
        colour = current.crTextColor;
    if (CurrentModalUi().ChooseColour(Hwnd(), colour, 0)) {
        ApplyColour(colour);
        UpdateToolbarState();
    }
    FocusText();
}

void CRulerRichEditCtrl::ToggleEffect(int command, DWORD mask, DWORD effect) {
    if (!m_edit.Hwnd())
        return;
    const bool on = !m_toolbar.IsButtonChecked(command);
    m_toolbar.CheckButton(command, on);
    CHARFORMATA format{};
    format.dwMask = mask;
    format.dwEffects = on ? effect : 0;
    m_edit.SetSelectionCharFormat(format);
    FocusText();
}

void CRulerRichEditCtrl::ToggleBold() {
    ToggleEffect(richedit::kCmdBold, CFM_BOLD, CFE_BOLD);
}

void CRulerRichEditCtrl::ToggleItalic() {
    ToggleEffect(richedit::kCmdItalic, CFM_ITALIC, CFE_ITALIC);
}

void CRulerRichEditCtrl::ToggleUnderline() {
    ToggleEffect(richedit::kCmdUnderline, CFM_UNDERLINE, CFE_UNDERLINE);
}

void CRulerRichEditCtrl::Align(int command, WORD alignment) {
    if (!m_edit.Hwnd())
        return;
    if (!m_toolbar.IsButtonChecked(command)) {
        PARAFORMAT paragraph{};
        paragraph.dwMask = PFM_ALIGNMENT;
        paragraph.wAlignment = alignment;
        m_edit.SetParaFormat(paragraph);
        UpdateToolbarState();
    }
    FocusText();
}

void CRulerRichEditCtrl::AlignLeft() {
    Align(richedit::kCmdAlignLeft, PFA_LEFT);
}

void CRulerRichEditCtrl::AlignCenter() {
    Align(richedit::kCmdAlignCentre, PFA_CENTER);
}

void CRulerRichEditCtrl::AlignRight() {
    Align(richedit::kCmdAlignRight, PFA_RIGHT);
}

void CRulerRichEditCtrl::ApplyIndent(int twips) {
    PARAFORMAT paragraph{};
    paragraph.dwMask = PFM_STARTINDENT | PFM_OFFSET;
    paragraph.dxStartIndent = twips;
    paragraph.dxOffset = twips;
    m_edit.SetParaFormat(paragraph);
}

void CRulerRichEditCtrl::IndentParagraph() {
    if (!m_edit.Hwnd())
        return;
    const PARAFORMAT current = m_edit.GetParaFormat();
    const auto target = richedit::IndentTarget(
        current.dxStartIndent, richedit::EffectiveTabStops(richedit::TabStopsOf(current)));
    if (target)
        ApplyIndent(*target);
    FocusText();
}

void CRulerRichEditCtrl::OutdentParagraph() {
    if (!m_edit.Hwnd())
        return;
    const PARAFORMAT current = m_edit.GetParaFormat();
    ApplyIndent(richedit::OutdentTarget(
        current.dxStartIndent, richedit::EffectiveTabStops(richedit::TabStopsOf(current))));
    FocusText();
}

void CRulerRichEditCtrl::ToggleBullets() {
    if (!m_edit.Hwnd())
        return;
    const bool on = !m_toolbar.IsButtonChecked(richedit::kCmdBullets);
    m_toolbar.CheckButton(richedit::kCmdBullets, on);
    PARAFORMAT paragraph{};
    paragraph.dwMask = PFM_NUMBERING;
    paragraph.wNumbering = on ? PFN_BULLET : 0;
    m_edit.SetParaFormat(paragraph);
    FocusText();
}

void CRulerRichEditCtrl::SetCurrentFontName(const std::string& face) {
    if (!m_edit.Hwnd())
        return;
    CHARFORMATA format{};
    format.dwMask = CFM_FACE;
    CopyText(format.szFaceName, richedit::CutFaceName(face));
    m_edit.SetSelectionCharFormat(format);
}

void CRulerRichEditCtrl::SetCurrentFontSize(int points) {
    // Nothing sensible to apply for a size that is no size.
    if (!m_edit.Hwnd() || points <= 0)
        return;
    CHARFORMATA format{};
    format.dwMask = CFM_SIZE;
    format.yHeight = points * richedit::kTwipsPerPoint;
    m_edit.SetSelectionCharFormat(format);
}

void CRulerRichEditCtrl::ApplyColour(COLORREF colour) {
    CHARFORMATA format{};
    format.dwMask = CFM_COLOR;
    // "Automatic" is the edit's own automatic text colour.
    if (colour == richedit::kAutomaticColour)
        format.dwEffects = CFE_AUTOCOLOR;
    else
        format.crTextColor = colour;
    m_edit.SetSelectionCharFormat(format);
}

void CRulerRichEditCtrl::SetCurrentFontColor(COLORREF colour) {
    if (m_edit.Hwnd())
        ApplyColour(colour);
}
