#include "platform/widgets/Menus.h"

#include <algorithm>
#include <unordered_map>

#include "platform/classes/Mnemonics.h"
#include "platform/menus/Menus.h"
#include "platform/widgets/Forms.h"

namespace {

// ---- commands ---------------------------------------------------------------------------------

// Every item has a command, the id its entry in the window layer's menus carries: WM_COMMAND
// has 16 bits for it. Ids are handed out round the range, so that a command still on its way
// for a freed item is unlikely to meet a new item with its id.
class TCommands {
  public:
    UINT Allocate(TMenuItem* Item) {
        for (UINT Tries = 0; Tries < kLast; ++Tries) {
            const UINT Id = FNext;
            FNext = FNext % kLast + 1;
            if (FItems.emplace(Id, Item).second) return Id;
        }
        return 0;
    }
    void Release(UINT Id) { FItems.erase(Id); }
    TMenuItem* Find(UINT Id) const {
        const auto It = FItems.find(Id);
        return It == FItems.end() ? nullptr : It->second;
    }

  private:
    static constexpr UINT kLast = 0xFFFF;
    std::unordered_map<UINT, TMenuItem*> FItems;
    UINT FNext = 1;
};

TCommands& Commands() {
    static TCommands* C = new TCommands;
    return *C;
}

// The caption without its "&" marks ("&&" is an "&"), ASCII upper-cased.
std::string PlainCaption(const std::string& Caption) {
    std::string Out = StripMnemonics(Caption);
    for (char& C : Out)
        if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return Out;
}

TMenuItem* FindByShortCut(const TMenuItem& Parent, TShortCut ShortCut) {
    for (int I = 0; I < Parent.Count(); ++I) {
        TMenuItem* Item = Parent.Items(I);
        if (Item->ShortCut() == ShortCut) return Item;
        if (TMenuItem* Found = FindByShortCut(*Item, ShortCut)) return Found;
    }
    return nullptr;
}

// ---- the menus being tracked --------------------------------------------------------------------

// The window layer's menus built for one Popup, each with the commands of the items it shows in
// its order (an item freed while the menu is open is then found no more).
class TTracked {
  public:
    TTracked() : FOuter(Current) { Current = this; }
    ~TTracked() {
        Current = FOuter;
        if (FRoot) DestroyMenu(FRoot);
    }
    TTracked(const TTracked&) = delete;
    TTracked& operator=(const TTracked&) = delete;

    HMENU Build(const TMenuItem& Root) {
        FRoot = CreatePopupMenu();
        Fill(FRoot, Root);
        return FRoot;
    }
    // The item of an entry a menu shows, or null.
    TMenuItem* ItemAt(HMENU Menu, UINT Position) const {
        const auto It = FShown.find(Menu);
        if (It == FShown.end() || Position >= It->second.Items.size()) return nullptr;
        return Commands().Find(It->second.Items[Position]);
    }
    // A submenu is about to open: its item hears of it (OnClick, as classic programs expect)
    // and the submenu shows the items as they are then.
    void Opening(HMENU Menu) {
        const auto It = FShown.find(Menu);
        if (Menu == FRoot || It == FShown.end()) return;
        const UINT ParentCommand = It->second.Parent;
        if (TMenuItem* Parent = Commands().Find(ParentCommand)) Parent->Click();
        TMenuItem* Parent = Commands().Find(ParentCommand);
        while (GetMenuItemCount(Menu) > 0) DeleteMenu(Menu, 0, MF_BYPOSITION);
        if (Parent) Fill(Menu, *Parent);
    }

    static TTracked* Current;

  private:
    struct TShown {
        UINT Parent = 0;
        std::vector<UINT> Items;
    };

    void Fill(HMENU Menu, const TMenuItem& Parent) {
        TShown& Shown = FShown[Menu];
        Shown = TShown{Parent.Command(), {}};
        for (int I = 0; I < Parent.Count(); ++I) {
            const TMenuItem& Item = *Parent.Items(I);
            if (!Item.Visible()) continue;
            if (Item.IsLine()) {
                AppendMenu(Menu, MF_SEPARATOR, 0, nullptr);
            } else {
                std::string Text = Item.Caption();
                if (Item.ShortCut() != scNone) Text += "\t" + ShortCutToText(Item.ShortCut());
                UINT Flags = MF_STRING;
                if (!Item.Enabled()) Flags |= MF_GRAYED;
                if (Item.Checked()) Flags |= MF_CHECKED;
                if (Item.RadioItem()) Flags |= MFT_RADIOCHECK;
                if (Item.Default()) Flags |= MF_DEFAULT;
                if (Item.Count() > 0) {
                    const HMENU Sub = CreatePopupMenu();
                    Fill(Sub, Item);
                    AppendMenu(Menu, Flags | MF_POPUP, UINT_PTR(Sub), Text.c_str());
                } else {
                    AppendMenu(Menu, Flags, Item.Command(), Text.c_str());
                }
            }
            Shown.Items.push_back(Item.Command());
        }
    }

    TTracked* FOuter;
    HMENU FRoot = 0;
    std::unordered_map<HMENU, TShown> FShown;
};

TTracked* TTracked::Current = nullptr;

// The hidden window every popup menu is tracked for: it hears the menus' notices and the posted
// command of the chosen item.
void PopupListMessage(TMessage& Message) {
    switch (Message.Msg) {
        case WM_COMMAND:
            if (HIWORD(Message.WParam) == 0)
                if (TMenuItem* Item = Commands().Find(LOWORD(Message.WParam))) Item->Click();
            return;
        case WM_INITMENUPOPUP:
            if (TTracked::Current) TTracked::Current->Opening(HMENU(Message.WParam));
            return;
        case WM_MENUSELECT: {
            const UINT Flags = HIWORD(Message.WParam);
            TMenuItem* Item = nullptr;
            if (Flags == 0xFFFF && Message.LParam == 0) {
                Forms.SetHint("");
                return;
            }
            if (Flags & MF_POPUP) {
                if (TTracked::Current)
                    Item = TTracked::Current->ItemAt(HMENU(Message.LParam), LOWORD(Message.WParam));
            } else {
                Item = Commands().Find(LOWORD(Message.WParam));
            }
            Forms.SetHint(Item ? GetLongHint(Item->Hint()) : std::string());
            return;
        }
        default:
            return;
    }
}

HWND PopupList() {
    static const HWND Window = AllocateHWnd(PopupListMessage);
    return Window;
}

}  // namespace

// ---- TMenuActionLink ----------------------------------------------------------------------------

bool TMenuActionLink::IsCaptionLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->Caption() == A->Caption();
}

bool TMenuActionLink::IsCheckedLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->Checked() == A->Checked();
}

bool TMenuActionLink::IsEnabledLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->Enabled() == A->Enabled();
}

bool TMenuActionLink::IsGroupIndexLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->RadioItem() && FClient->GroupIndex() == A->GroupIndex();
}

bool TMenuActionLink::IsHintLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->Hint() == A->Hint();
}

bool TMenuActionLink::IsShortCutLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->ShortCut() == A->ShortCut();
}

bool TMenuActionLink::IsVisibleLinked() const {
    const TCustomAction* A = CustomAction();
    return A && FClient->Visible() == A->Visible();
}

bool TMenuActionLink::IsOnExecuteLinked() const {
    return Action() != nullptr;
}

void TMenuActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) FClient->SetCaption(Value);
}

void TMenuActionLink::SetChecked(bool Value) {
    if (IsCheckedLinked()) FClient->SetChecked(Value);
}

void TMenuActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TMenuActionLink::SetGroupIndex(int Value) {
    if (IsGroupIndexLinked()) FClient->SetGroupIndex(BYTE(Value));
}

void TMenuActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TMenuActionLink::SetShortCut(TShortCut Value) {
    if (IsShortCutLinked()) FClient->SetShortCut(Value);
}

void TMenuActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}

// ---- TMenuItem ----------------------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {
    FCommand = Commands().Allocate(this);
}

TMenuItem::~TMenuItem() {
    Detach();
}

void TMenuItem::BeforeDestruction() {
    Detach();
    TComponent::BeforeDestruction();
}

void TMenuItem::Detach() {
    if (FDetached) return;
    FDetached = true;
    if (FParent) {
        auto& Siblings = FParent->FItems;
        Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
        FParent = nullptr;
    }
    while (!FItems.empty()) {
        TMenuItem* Last = FItems.back();
        FItems.pop_back();
        Last->FParent = nullptr;
        Last->Free();
    }
    FActionLink.reset();
    if (FCommand) Commands().Release(FCommand);
    FCommand = 0;
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EMenuError("Menu index out of range (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (Item == nullptr) return;
    if (Item->FParent != nullptr) throw EMenuError("Menu inserted twice");
    for (const TMenuItem* P = this; P; P = P->FParent)
        if (P == Item) throw EMenuError("A menu item cannot hold itself");
    if (Index < 0 || Index > Count())
        throw EMenuError("Menu index out of range (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FDefault) {
        // One default per level: the new one keeps it.
        Item->FDefault = false;
        Item->SetDefault(true);
    }
}

void TMenuItem::Delete(int Index) {
    TMenuItem* Item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    Item->FParent = nullptr;
}

void TMenuItem::Remove(TMenuItem* Item) {
    const int Index = IndexOf(Item);
    if (Index < 0) throw EMenuError("Sub-menu is not in menu");
    Delete(Index);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) FItems.back()->Free();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    const auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : int(It - FItems.begin());
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    const std::string Wanted = PlainCaption(ACaption);
    for (TMenuItem* Item : FItems)
        if (PlainCaption(Item->FCaption) == Wanted) return Item;
    return nullptr;
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* Top = this;
    while (Top->FParent) Top = Top->FParent;
    return Top->FMenu;
}

void TMenuItem::SetChecked(bool Value) {
    if (FChecked == Value) return;
    FChecked = Value;
    if (Value && FRadioItem) UncheckGroup();
}

void TMenuItem::SetRadioItem(bool Value) {
    if (FRadioItem == Value) return;
    FRadioItem = Value;
    if (FChecked && FRadioItem) UncheckGroup();
}

void TMenuItem::SetGroupIndex(BYTE Value) {
    if (FGroupIndex == Value) return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem) UncheckGroup();
}

void TMenuItem::UncheckGroup() {
    if (!FParent) return;
    for (TMenuItem* Other : FParent->FItems)
        if (Other != this && Other->FRadioItem && Other->FGroupIndex == FGroupIndex)
            Other->FChecked = false;
}

void TMenuItem::SetDefault(bool Value) {
    if (FDefault == Value) return;
    if (Value && FParent)
        for (TMenuItem* Other : FParent->FItems) Other->FDefault = false;
    FDefault = Value;
}

TBasicAction* TMenuItem::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TMenuItem::SetAction(TBasicAction* Value) {
    if (Value == nullptr) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) FActionLink = std::make_unique<TMenuActionLink>(this);
    FActionLink->SetAction(Value);
    FActionLink->OnChange = [this](TObject* Sender) {
        if (FActionLink && Sender == FActionLink->Action())
            ActionChange(FActionLink->Action(), false);
    };
    ActionChange(Value, ComponentState().Contains(csLoading));
}

// Takes over the action's values; CheckDefaults keeps values the item was given itself.
void TMenuItem::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A) return;
    if (!CheckDefaults || FCaption.empty()) SetCaption(A->Caption());
    if (!CheckDefaults || !FChecked) SetChecked(A->Checked());
    if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(A->Hint());
    if (!CheckDefaults || FShortCut == scNone) SetShortCut(A->ShortCut());
    if (!CheckDefaults || FVisible) SetVisible(A->Visible());
    if (FRadioItem && (!CheckDefaults || FGroupIndex == 0)) SetGroupIndex(BYTE(A->GroupIndex()));
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    // A handler of the item's own wins; without one the action runs (with its update and its
    // enabling). The handler is a copy: it may free the item.
    if (TNotifyEvent Handler = OnClick)
        Handler(this);
    else if (FActionLink)
        FActionLink->Execute(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (!FParent) return FMenu;
    return FParent->FMenu ? static_cast<TComponent*>(FParent->FMenu) : FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (auto* Menu = dynamic_cast<TMenu*>(Value))
        Menu->Items()->Add(this);
    else if (auto* Item = dynamic_cast<TMenuItem*>(Value))
        Item->Add(this);
}

void TMenuItem::GetChildren(const TGetChildProc& Proc, TComponent*) {
    const std::vector<TMenuItem*> Items = FItems;
    for (TMenuItem* Item : Items) Proc(Item);
}

void TMenuItem::SetChildOrder(TComponent* Child, int Order) {
    auto* Item = dynamic_cast<TMenuItem*>(Child);
    const int From = IndexOf(Item);
    if (From < 0) return;
    FItems.erase(FItems.begin() + From);
    FItems.insert(FItems.begin() + std::clamp(Order, 0, Count()), Item);
}

// ---- TMenu --------------------------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(this)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    *FAlive = false;
}

bool TMenu::IsShortCut(TShortCut ShortCut) {
    if (ShortCut == scNone) return false;
    TMenuItem* Item = FindByShortCut(*FItems, ShortCut);
    if (!Item) return false;
    if (Item->FActionLink) Item->FActionLink->Update();
    if (!Item->Enabled()) return false;
    Item->Click();
    return true;
}

TMenuItem* TMenu::FindItem(UINT Command) const {
    TMenuItem* Item = Command ? Commands().Find(Command) : nullptr;
    return Item && Item != FItems && Item->GetParentMenu() == this ? Item : nullptr;
}

void TMenu::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    FItems->GetChildren(Proc, Root);
}

void TMenu::SetChildOrder(TComponent* Child, int Order) {
    FItems->SetChildOrder(Child, Order);
}

// ---- TPopupMenu ---------------------------------------------------------------------------------

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (FPopupComponent == Value) return;
    if (FPopupComponent) FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (Value) Value->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent) FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
    // A copy: the handler may free the menu.
    if (TNotifyEvent Handler = OnPopup) Handler(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
    FPopupPoint = TPoint{X, Y};
    const std::shared_ptr<const bool> Alive = this->Alive();
    DoPopup(this);
    if (!*Alive) return;
    UINT Flags = TPM_RIGHTBUTTON;
    if (FAlignment == paRight) Flags |= TPM_RIGHTALIGN;
    if (FAlignment == paCenter) Flags |= TPM_CENTERALIGN;
    const HWND Owner = PopupList();
    // The menu's loop may free this menu: nothing of it is used once tracking starts.
    TTracked Tracked;
    const HMENU Menu = Tracked.Build(*Items());
    TrackPopupMenuEx(Menu, Flags, X, Y, Owner, nullptr);
}
