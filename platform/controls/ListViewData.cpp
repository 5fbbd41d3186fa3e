#include "platform/controls/ListViewData.h"

#include "platform/gdi/Gdi.h"

const std::string& TListViewRow::Text(int SubItem) const {
    static const std::string None;
    if (SubItem < 0 || SubItem >= static_cast<int>(Texts.size())) return None;
    return Texts[static_cast<size_t>(SubItem)];
}

TListViewData::TListViewData()
    : BkColour(GetSysColor(COLOR_WINDOW)),
      TextColour(GetSysColor(COLOR_WINDOWTEXT)),
      TextBkColour(GetSysColor(COLOR_WINDOW)) {}

int TListViewData::SubItemOf(int Column) const {
    if (Column <= 0 || Column >= static_cast<int>(Columns.size())) return 0;
    return Columns[static_cast<size_t>(Column)].SubItem;
}
