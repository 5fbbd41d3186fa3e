#pragma once
// What a list view holds: its columns and items in display order, and the settings its picture
// depends on. The control (ListViewControl) changes it and tells its Qt widget
// (ListViewWidget), which only reads it.
#include <string>
#include <vector>

#include "platform/controls/ListView.h"

struct TListViewColumn {
    std::string Text;
    int Format = LVCFMT_LEFT;
    int Width = 50;
    // Which sub-item's text the column shows (the first column always shows the item's text).
    int SubItem = 0;
};

struct TListViewRow {
    // Index 0 is the item's text, 1.. its sub-items; missing ones are empty.
    std::vector<std::string> Texts;
    int Image = 0;
    UINT State = 0;
    LPARAM Param = 0;
    int Indent = 0;

    const std::string& Text(int SubItem) const;
};

struct TListViewData {
    std::vector<TListViewColumn> Columns;
    std::vector<TListViewRow> Items;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    COLORREF BkColour;
    COLORREF TextColour;
    COLORREF TextBkColour;
    bool Focused = false;
    // The window has a frame (WS_BORDER or WS_EX_CLIENTEDGE): the sunken edge.
    bool Frame = false;

    TListViewData();
    DWORD View() const { return Style & LVS_TYPEMASK; }
    bool Valid(int Item) const { return Item >= 0 && Item < static_cast<int>(Items.size()); }
    // The sub-item a column shows.
    int SubItemOf(int Column) const;
};
