#include "platform/forms/StandardClasses.h"
#include "platform/widgets/ComCtrls.h"
#include "platform/widgets/Register.h"

namespace {

// Image lists are referred to by name like components; the list a definition names must be one.
TCustomImageList* ImageListOf(TComponent* Component) {
    if (!Component) return nullptr;
    auto* List = dynamic_cast<TCustomImageList*>(Component);
    if (!List) throw EInvalidOperation("'" + Component->Name() + "' is not an image list");
    return List;
}

template <class T>
auto ImagesProperty(TCustomImageList* (T::*Get)() const) {
    return [Get](T& Obj) -> TComponent* { return dynamic_cast<TComponent*>((Obj.*Get)()); };
}

template <class T>
auto ImagesSetter(void (T::*Set)(TCustomImageList*)) {
    return [Set](T& Obj, TComponent* Value) { (Obj.*Set)(ImageListOf(Value)); };
}

void RegisterListView() {
    RegisterClass<TListColumn, TCollectionItem>("TListColumn")
        .Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment,
                  Default(taLeftJustify))
        .Property("AutoSize", &TListColumn::AutoSize, &TListColumn::SetAutoSize, Default(false))
        .Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption)
        .Property("MaxWidth", &TListColumn::MaxWidth, &TListColumn::SetMaxWidth, Default(0))
        .Property("MinWidth", &TListColumn::MinWidth, &TListColumn::SetMinWidth, Default(0))
        .Property("Width", &TListColumn::Width, &TListColumn::SetWidth, Default(50));
    RegisterClass<TListColumns, TCollection>("TListColumns");
    using L = TCustomListView;
    RegisterClass<L, TWinControl>("TCustomListView")
        .Property("BorderStyle", &L::BorderStyle, &L::SetBorderStyle, Default(bsSingle))
        .Property("ColumnClick", &L::ColumnClick, &L::SetColumnClick, Default(true))
        .Object("Columns", &L::Columns)
        .Property("GridLines", &L::GridLines, &L::SetGridLines, Default(false))
        .Property("HideSelection", &L::HideSelection, &L::SetHideSelection, Default(true))
        .Property("LargeImages", ImagesProperty(&L::LargeImages), ImagesSetter(&L::SetLargeImages))
        .Property("MultiSelect", &L::MultiSelect, &L::SetMultiSelect, Default(false))
        .Property("ReadOnly", &L::ReadOnly, &L::SetReadOnly, Default(false))
        .Property("RowSelect", &L::RowSelect, &L::SetRowSelect, Default(false))
        .Property("ShowColumnHeaders", &L::ShowColumnHeaders, &L::SetShowColumnHeaders,
                  Default(true))
        .Property("SmallImages", ImagesProperty(&L::SmallImages), ImagesSetter(&L::SetSmallImages))
        .Property("SortType", &L::SortType, &L::SetSortType, Default(stNone))
        .Property("StateImages", ImagesProperty(&L::StateImages), ImagesSetter(&L::SetStateImages))
        .Property("TabStop", &L::TabStop, &L::SetTabStop, Default(true))
        .Property("ViewStyle", &L::ViewStyle, &L::SetViewStyle, Default(vsIcon))
        .Field("OnChange", &L::OnChange)
        .Field("OnColumnClick", &L::OnColumnClick)
        .Field("OnCompare", &L::OnCompare)
        .Field("OnSelectItem", &L::OnSelectItem);
    RegisterClass<TListView, TCustomListView>("TListView");
}

void RegisterTreeView() {
    using T = TCustomTreeView;
    RegisterClass<T, TWinControl>("TCustomTreeView")
        .Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, Default(bsSingle))
        .Property("HideSelection", &T::HideSelection, &T::SetHideSelection, Default(true))
        .Property("HotTrack", &T::HotTrack, &T::SetHotTrack, Default(false))
        .Property("Images", ImagesProperty(&T::Images), ImagesSetter(&T::SetImages))
        .Property("Indent", &T::Indent, &T::SetIndent)
        .Property("ReadOnly", &T::ReadOnly, &T::SetReadOnly, Default(false))
        .Property("RowSelect", &T::RowSelect, &T::SetRowSelect, Default(false))
        .Property("ShowButtons", &T::ShowButtons, &T::SetShowButtons, Default(true))
        .Property("ShowLines", &T::ShowLines, &T::SetShowLines, Default(true))
        .Property("ShowRoot", &T::ShowRoot, &T::SetShowRoot, Default(true))
        .Property("SortType", &T::SortType, &T::SetSortType, Default(stNone))
        .Property("StateImages", ImagesProperty(&T::StateImages), ImagesSetter(&T::SetStateImages))
        .Property("TabStop", &T::TabStop, &T::SetTabStop, Default(true))
        .Field("OnChange", &T::OnChange)
        .Field("OnChanging", &T::OnChanging)
        .Field("OnCollapsed", &T::OnCollapsed)
        .Field("OnCollapsing", &T::OnCollapsing)
        .Field("OnCompare", &T::OnCompare)
        .Field("OnDeletion", &T::OnDeletion)
        .Field("OnExpanded", &T::OnExpanded)
        .Field("OnExpanding", &T::OnExpanding);
    RegisterClass<TTreeView, TCustomTreeView>("TTreeView");
}

void RegisterTabControls() {
    RegisterClass<TTabStrings>("TTabStrings").DefineProperties(DefineStrings);
    using C = TCustomTabControl;
    RegisterClass<C, TWinControl>("TCustomTabControl")
        .Property("Images", ImagesProperty(&C::Images), ImagesSetter(&C::SetImages))
        .Property("MultiLine", &C::MultiLine, &C::SetMultiLine, Default(false))
        .Property("TabStop", &C::TabStop, &C::SetTabStop, Default(true))
        .Field("OnChange", &C::OnChange)
        .Field("OnChanging", &C::OnChanging);
    // The tabs are written before the chosen one, which needs them.
    RegisterClass<TTabControl, TCustomTabControl>("TTabControl")
        .Object("Tabs", &TTabControl::Tabs)
        .Property("TabIndex", &TTabControl::TabIndex, &TTabControl::SetTabIndex, Default(-1));
    RegisterClass<TPageControl, TCustomTabControl>("TPageControl")
        .Property("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage);
    // A sheet fills its page control, takes its place among the pages in the order the
    // definition gives and shows when it is the active page: neither its place nor its order
    // nor its visibility is its own to store.
    RegisterClass<TTabSheet, TWinControl>("TTabSheet")
        .Property("Align", &TControl::Align, &TControl::SetAlign, Default(alClient))
        .Property("Left", &TControl::Left, &TControl::SetLeft, NotStored)
        .Property("Top", &TControl::Top, &TControl::SetTop, NotStored)
        .Property("Width", &TControl::Width, &TControl::SetWidth, NotStored)
        .Property("Height", &TControl::Height, &TControl::SetHeight, NotStored)
        .Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, NotStored)
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex, Default(0))
        .Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex, NotStored)
        .Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible, Default(true))
        .Property("Visible", &TControl::Visible, &TControl::SetVisible, NotStored);
}

}  // namespace

void RegisterCommonControls() {
    RegisterEnum<TViewStyle>({"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
    RegisterEnum<TSortType>({"stNone", "stData", "stText", "stBoth"});
    RegisterListView();
    RegisterTreeView();
    RegisterTabControls();
}
