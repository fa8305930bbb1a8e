#pragma once
// A tab strip bound to one drawing style, whose managers it installs at construction.

#include "controls/tabctrl/tab_ctrl.h"

template <typename Style> class TabCtrlEx : public TabCtrl {
public:
    TabCtrlEx() {
        SetDrawManager(m_style.GetDrawManager());
        SetRecalcManager(m_style.GetRecalcManager());
        SetBehaviorManager(m_style.GetBehaviorManager());
        SetToolTipManager(m_style.GetToolTipManager());
    }
    // The window goes before the style it paints with.
    ~TabCtrlEx() override { Destroy(); }

    Style& GetStyle() { return m_style; }

private:
    Style m_style;
};
