#include "bars/windows/dxBarSystemMenu.h"

#include "bars/model/dxBarItemLinks.h"
#include "bars/windows/dxBarControl.h"
#include "platform/actions/ShortCuts.h"
#include "platform/gdi/Gdi.h"
#include "platform/menus/Menus.h"
#include "platform/widgets/Forms.h"

namespace {

constexpr WPARAM kIconSmall = 0;
constexpr WPARAM kIconBig = 1;

// The window commands whose entries show a picture of their own, as the caption buttons do.
struct TCommandGlyph {
    WPARAM Command;
    const char* Resource;
};
constexpr TCommandGlyph kCommandGlyphs[] = {
    {SC_CLOSE, "DXBARCLOSE"},
    {SC_RESTORE, "DXBARRESTORE"},
    {SC_MAXIMIZE, "DXBARMAXIMIZE"},
    {SC_MINIMIZE, "DXBARMINIMIZE"},
};

// The picture of an entry's command, or none.
const char* GlyphOfCommand(UINT Command) {
    for (const TCommandGlyph& G : kCommandGlyphs)
        if (G.Command == Command) return G.Resource;
    return nullptr;
}

}  // namespace

TSystemMenuSubItem::~TSystemMenuSubItem() {
    FreeMadeItems();
}

void TSystemMenuSubItem::SetForm(TCustomForm* Value) {
    if (FForm) FForm->RemoveFreeNotification(this);
    FForm = Value;
    if (FForm) FForm->FreeNotification(this);
}

void TSystemMenuSubItem::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomdxBarSubItem::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FForm) FForm = nullptr;
}

void TSystemMenuSubItem::DoClick() {
    Rebuild();
    TCustomdxBarSubItem::DoClick();
}

void TSystemMenuSubItem::FreeMadeItems() {
    if (ItemLinks()) ItemLinks()->Clear();
    for (auto It = FMade.rbegin(); It != FMade.rend(); ++It) (*It)->Free();
    FMade.clear();
}

void TSystemMenuSubItem::Rebuild() {
    FreeMadeItems();
    if (FSystemMenu) ReadMenu(FSystemMenu, ItemLinks());
}

void TSystemMenuSubItem::ReadMenu(HMENU Menu, TdxBarItemLinks* Links) {
    bool BeginGroup = false;
    const int Count = GetMenuItemCount(Menu);
    for (int I = 0; I < Count; ++I) {
        MENUITEMINFO Info;
        Info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_TYPE;
        if (!GetMenuItemInfo(Menu, UINT(I), TRUE, &Info)) continue;
        if (Info.fType & MFT_SEPARATOR) {
            BeginGroup = true;
            continue;
        }
        const size_t Tab = Info.Text.find('\t');
        TdxBarItem* Item;
        if (Info.hSubMenu) {
            auto* Sub = new TdxBarSubItem(Owner());
            ReadMenu(Info.hSubMenu, Sub->ItemLinks());
            Item = Sub;
        } else {
            auto* Button = new TdxBarButton(Owner());
            Button->SetTag(int(Info.wID));
            if (Info.fState & MFS_CHECKED) {
                Button->SetButtonStyle(bsChecked);
                Button->SetDown(true);
            }
            if (const char* Glyph = GlyphOfCommand(Info.wID)) {
                TBitmap Picture;
                Picture.LoadFromResourceName(Glyph);
                Button->SetGlyph(&Picture);
            }
            if (Tab != std::string::npos)
                Button->SetShortCut(TextToShortCut(Info.Text.substr(Tab + 1)));
            Button->OnClick = [this](TObject* Sender) {
                if (FForm && FForm->HandleAllocated())
                    SendMessage(FForm->Handle(), WM_SYSCOMMAND,
                                WPARAM(static_cast<TdxBarButton*>(Sender)->Tag()), 0);
            };
            Item = Button;
        }
        Item->SetCaption(Info.Text.substr(0, Tab));
        Item->SetEnabled((Info.fState & (MF_GRAYED | MF_DISABLED)) == 0);
        FMade.push_back(Item);
        TdxBarItemLink* Link = Links->Add();
        Link->SetItem(Item);
        Link->SetBeginGroup(BeginGroup);
        BeginGroup = false;
    }
}

// ---- the control ------------------------------------------------------------------------------

bool TSystemMenuSubItemControl::IsSelectable() const {
    return !Parent() || !Parent()->IsCustomizing();
}

void TSystemMenuSubItemControl::DblClick() {
    auto* Item = dynamic_cast<TSystemMenuSubItem*>(this->Item());
    if (Parent()) Parent()->HideAll();
    if (!Item || !Item->Form() || !Item->Form()->HandleAllocated() || !Item->SystemMenu()) return;
    const UINT Command = GetMenuDefaultItem(Item->SystemMenu(), FALSE, 0);
    if (Command != 0xFFFFFFFF) SendMessage(Item->Form()->Handle(), WM_SYSCOMMAND, Command, 0);
}

int TSystemMenuSubItemControl::GetDefaultWidth() const {
    return GetSystemMetrics(SM_CXSMICON);
}

int TSystemMenuSubItemControl::GetDefaultHeight() const {
    return GetSystemMetrics(SM_CYSMICON);
}

void TSystemMenuSubItemControl::Paint(const TRect& R, TdxBarPaintType) {
    const HDC DC = Canvas()->Handle();
    const RECT Rc = R;
    FillRect(DC, &Rc, Parent()->BkBrushOfItem());
    auto* Item = dynamic_cast<TSystemMenuSubItem*>(this->Item());
    if (!Item || !Item->Form() || !Item->Form()->HandleAllocated()) return;
    const HWND Form = Item->Form()->Handle();
    auto Icon = HICON(SendMessage(Form, WM_GETICON, kIconSmall, 0));
    if (!Icon) Icon = HICON(SendMessage(Form, WM_GETICON, kIconBig, 0));
    if (Icon) DrawIconEx(DC, R.Left, R.Top, Icon, R.Width(), R.Height(), 0, 0, DI_NORMAL);
}
