#include "bars/customize/dxBarAddGroupItemsEd.h"

#include <algorithm>

#include "bars/customize/dxBarCustForm.h"
#include "bars/look/dxBarDraw.h"
#include "bars/model/dxBarCategories.h"
#include "bars/model/dxBarContainerItems.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredValues.h"
#include "bars/model/dxBarTypes.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/core/Paint.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Errors.h"

namespace {

constexpr const char* kGroupsHeader = "< Groups >";
// Entries under a header are set in by three blanks.
constexpr const char* kIndent = "   ";

template <class T>
T* Part(TComponent* Form, const std::string& Name) {
    auto* Found = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Found) throw EComponentError("Add group items: control " + Name + " is missing");
    return Found;
}

void RegisterAddGroupItems() {
    static const bool Registered = [] {
        RegisterClass<TdxBarGroupItemsListBox, TListBox>("TdxBarGroupItemsListBox");
        RegisterClass<TfrmAddGroupItems, TForm>("TfrmAddGroupItems")
            .Method("FormCreate", &TfrmAddGroupItems::FormCreate);
        return true;
    }();
    (void)Registered;
}

std::string Header(const std::string& Text) {
    return std::string(1, TdxBarGroupItemsListBox::kHeaderMark) + Text;
}

}  // namespace

// ---- the list ---------------------------------------------------------------------------------

TdxBarGroupItemsListBox::TdxBarGroupItemsListBox(TComponent* AOwner) : TListBox(AOwner) {
    SetStyle(lbOwnerDrawFixed);
}

void TdxBarGroupItemsListBox::CreateParams(TCreateParams& Params) {
    TListBox::CreateParams(Params);
    // The two halves of an item entry follow the width: the whole list repaints on resizing.
    Params.WindowClass.style |= CS_VREDRAW | CS_HREDRAW;
}

bool TdxBarGroupItemsListBox::IsHeader(int Index) {
    if (Index < 0 || Index >= Items()->Count()) return false;
    const std::string Text = Items()->Get(Index);
    return !Text.empty() && Text[0] == kHeaderMark;
}

TComponent* TdxBarGroupItemsListBox::Member(int Index) {
    if (Index < 0 || Index >= Items()->Count() || IsHeader(Index)) return nullptr;
    return static_cast<TComponent*>(Items()->GetObject(Index));
}

void TdxBarGroupItemsListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_ERASEBKGND:
            // Every row paints its whole rectangle and the paint below fills the rest: erasing
            // first would only flicker.
            Message.Result = 1;
            return;
        case WM_PAINT: {
            TListBox::Dispatch(Message);
            if (!HandleAllocated()) return;
            RECT Rest = ClientRect();
            Rest.top = std::max<LONG>(Rest.top, ItemRect(Items()->Count()).Top);
            if (Items()->Count() == 0) Rest.top = 0;
            if (Rest.top >= Rest.bottom) return;
            HDC DC = GetDC(Handle());
            FillRect(DC, &Rest, GetSysColorBrush(COLOR_BTNFACE));
            ReleaseDC(Handle(), DC);
            return;
        }
        default:
            TListBox::Dispatch(Message);
    }
}

void TdxBarGroupItemsListBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    HDC DC = Canvas()->Handle();
    const bool Selected = State.Contains(odSelected);
    const std::string Text = Items()->Get(Index);
    RECT R = Rect;
    SetBkMode(DC, TRANSPARENT);
    if (IsHeader(Index)) {
        FillRect(DC, &R, GetSysColorBrush(COLOR_BTNFACE));
        SetTextColor(DC, GetSysColor(COLOR_BTNTEXT));
        DrawText(DC, Text.substr(1), &R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    TComponent* Entry = Member(Index);
    // What the group has already cannot be added again.
    const bool Member = FGroup && Entry && FGroup->IndexOf(Entry) >= 0;
    int Back = COLOR_WINDOW, Fore = COLOR_WINDOWTEXT;
    if (Member) {
        Fore = COLOR_BTNFACE;
    } else if (Selected) {
        Back = COLOR_HIGHLIGHT;
        Fore = COLOR_HIGHLIGHTTEXT;
    }
    FillRect(DC, &R, GetSysColorBrush(Back));
    SetTextColor(DC, GetSysColor(Fore));
    auto* Item = dynamic_cast<TdxBarItem*>(Entry);
    if (!Item) {
        DrawText(DC, kIndent + Text, &R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return;
    }
    // The caption on the left, the component's name on the right.
    const int Middle = (Rect.Left + Rect.Right) / 2;
    RECT Left{R.left, R.top, Middle, R.bottom};
    RECT Right{Middle + 3, R.top, R.right, R.bottom};
    DrawText(DC, kIndent + Text, &Left, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    DrawText(DC, Item->Name(), &Right, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    RECT Line{Middle, R.top, Middle + 1, R.bottom};
    FillRect(DC, &Line, GetSysColorBrush(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
}

// ---- the dialog -------------------------------------------------------------------------------

void TfrmAddGroupItems::FormCreate(TObject*) {
    lbGroupItems = Part<TdxBarGroupItemsListBox>(this, "lbGroupItems");
    btnOk = Part<TButton>(this, "btnOk");
    btnCancel = Part<TButton>(this, "btnCancel");
}

void TfrmAddGroupItems::Prepare(TdxBarGroup* Group) {
    if (TdxBarCustomizingForm* Dialog = GetCustomizingForm()) Font()->Assign(*Dialog->Font());
    lbGroupItems->SetGroup(Group);
    lbGroupItems->SetItemHeight(TextExtentOf(Font()->Handle(), "Qq").cy + 2);
    TStrings* Entries = lbGroupItems->Items();
    Entries->Clear();
    TdxBarManager* Manager = Group ? Group->BarManager() : nullptr;
    if (!Manager) return;
    if (Manager->GroupCount() > 1) {
        Entries->Add(Header(kGroupsHeader));
        for (int I = 0; I < Manager->GroupCount(); ++I)
            if (TdxBarGroup* Other = Manager->Groups(I); Other != Group)
                Entries->AddObject(Other->Name(), Other);
    }
    TdxBarManagerCategories* Categories = Manager->Categories();
    for (int C = 0; C < Categories->Count(); ++C) {
        std::vector<TdxBarItem*> Items;
        Manager->GetItemsByCategory(C, Items);
        if (Items.empty()) continue;
        Entries->Add(Header(Categories->Get(C)));
        for (TdxBarItem* Item : Items) Entries->AddObject(Item->Caption(), Item);
    }
}

void TfrmAddGroupItems::GetSelected(std::vector<TComponent*>& List) {
    for (int I = 0; I < lbGroupItems->Items()->Count(); ++I)
        if (lbGroupItems->Selected(I))
            if (TComponent* Entry = lbGroupItems->Member(I)) List.push_back(Entry);
}

bool ShowAddGroupItems(TdxBarGroup* Group, std::vector<TComponent*>& List) {
    RegisterAddGroupItems();
    TfrmAddGroupItems* Dialog = CreateForm<TfrmAddGroupItems>(nullptr);
    struct TFree {
        TfrmAddGroupItems* Dialog;
        ~TFree() { Dialog->Free(); }
    } Free{Dialog};
    Dialog->Prepare(Group);
    if (Dialog->ShowModal() != mrOk) return false;
    Dialog->GetSelected(List);
    return true;
}
