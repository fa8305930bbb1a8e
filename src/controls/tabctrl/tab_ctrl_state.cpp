// Keeping the tab order and selection between runs.
#include "controls/tabctrl/tab_ctrl.h"

#include "controls/tabctrl/profile.h"
#include "controls/tabctrl/tab_state_codec.h"

#include <new>

bool TabCtrl::SaveState(Profile& profile, const std::string& section,
                        const std::string& entry) const {
    try {
        std::vector<std::int32_t> ids;
        ids.reserve(m_tabs.size());
        for (const auto& tab : m_tabs)
            ids.push_back(tab->pane ? ::GetDlgCtrlID(tab->pane) : 0);
        return profile.WriteProfileBinary(section, entry, tabstate::Encode(GetIndex(m_sel), ids));
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TabCtrl::LoadState(Profile& profile, const std::string& section, const std::string& entry) {
    try {
        std::vector<std::uint8_t> bytes;
        if (!profile.GetProfileBinary(section, entry, bytes))
            return false;
        const tabstate::Decoded stored = tabstate::Decode(bytes);

        std::vector<std::int32_t> ids;
        for (const auto& tab : m_tabs)
            ids.push_back(tab->pane ? ::GetDlgCtrlID(tab->pane) : 0);
        bool allFound = true;
        const std::vector<int> order = tabstate::ReorderByIds(ids, stored.paneIds, allFound);
        std::vector<TabItem*> tabs;
        for (int old : order)
            tabs.push_back(m_tabs[static_cast<std::size_t>(old)].get());
        ApplyOrder(tabs);

        if (stored.hasSelection)
            SetSel(TabAt(stored.selectedIndex));
        return stored.complete && allFound;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
