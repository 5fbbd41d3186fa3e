#include "platform/widgets/TabControls.h"

#include <algorithm>

#include "platform/controls/Limits.h"
#include "platform/controls/TabControl.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/widgets/Forms.h"

// ---- TTabStrings -------------------------------------------------------------------------------

std::string TTabStrings::Get(int Index) const {
    CheckIndex(Index);
    return FTabs[size_t(Index)].Text;
}

void TTabStrings::Put(int Index, const std::string& Value) {
    CheckIndex(Index);
    FTabs[size_t(Index)].Text = Value;
    FOwner->SetWindowTab(Index, TCIF_TEXT);
    FOwner->TabsChanged();
}

void* TTabStrings::GetObject(int Index) const {
    CheckIndex(Index);
    return FTabs[size_t(Index)].Object;
}

void TTabStrings::PutObject(int Index, void* Object) {
    CheckIndex(Index);
    FTabs[size_t(Index)].Object = Object;
    FOwner->SetWindowTab(Index, TCIF_PARAM | TCIF_IMAGE);
}

void TTabStrings::Insert(int Index, const std::string& Value) {
    InsertObject(Index, Value, nullptr);
}

void TTabStrings::InsertObject(int Index, const std::string& Value, void* Object) {
    if (Index < 0 || Index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
    if (Count() >= ControlsLimits::kMaxTabs)
        throw EStringListError("A tab control holds at most " +
                               std::to_string(ControlsLimits::kMaxTabs) + " tabs");
    FTabs.insert(FTabs.begin() + Index, TTab{Value, Object});
    // Without a window the chosen tab moves as the window moves it: the first tab is chosen, and
    // a tab put before the chosen one pushes it on.
    if (FOwner->FTabIndex < 0)
        FOwner->FTabIndex = 0;
    else if (Index <= FOwner->FTabIndex)
        ++FOwner->FTabIndex;
    FOwner->InsertWindowTab(Index);
    FOwner->UpdateTabImages();
    FOwner->TabsChanged();
}

void TTabStrings::Delete(int Index) {
    CheckIndex(Index);
    FTabs.erase(FTabs.begin() + Index);
    if (Index == FOwner->FTabIndex)
        FOwner->FTabIndex = -1;
    else if (Index < FOwner->FTabIndex)
        --FOwner->FTabIndex;
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), TCM_DELETEITEM, WPARAM(Index), 0);
    FOwner->UpdateTabImages();
    FOwner->TabsChanged();
}

void TTabStrings::Clear() {
    if (FTabs.empty()) return;
    FTabs.clear();
    FOwner->FTabIndex = -1;
    if (FOwner->HandleAllocated()) SendMessage(FOwner->Handle(), TCM_DELETEALLITEMS, 0, 0);
    FOwner->TabsChanged();
}

// ---- TCustomTabControl -------------------------------------------------------------------------

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), FTabs(this), FImages(this, [this] { UpdateImages(); }) {
    FControlStyle.Include(csAcceptsControls);
    FControlStyle.Exclude(csSetCaption);
    SetBounds(0, 0, 289, 193);
    SetTabStop(true);
}

void TCustomTabControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "SysTabControl32");
    if (FMultiLine) Params.Style |= TCS_MULTILINE;
    Params.WindowClass.style &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TCustomTabControl::CreateWnd() {
    TWinControl::CreateWnd();
    FFilling = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FFilling};
    UpdateImages();
    for (int I = 0; I < FTabs.Count(); ++I) InsertWindowTab(I);
    if (FTabIndex >= 0) SendMessage(FHandle, TCM_SETCURSEL, WPARAM(FTabIndex), 0);
}

void TCustomTabControl::InsertWindowTab(int Index) {
    if (!FHandle) return;
    const TTabStrings::TTab& Tab = FTabs.FTabs[size_t(Index)];
    TCITEM Item;
    Item.mask = TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM;
    Item.pszText = const_cast<char*>(Tab.Text.c_str());
    Item.iImage = GetImageIndex(Index);
    Item.lParam = reinterpret_cast<LPARAM>(Tab.Object);
    SendMessage(FHandle, TCM_INSERTITEM, WPARAM(Index), reinterpret_cast<LPARAM>(&Item));
}

void TCustomTabControl::SetWindowTab(int Index, UINT Mask) {
    if (!FHandle) return;
    const TTabStrings::TTab& Tab = FTabs.FTabs[size_t(Index)];
    TCITEM Item;
    Item.mask = Mask;
    Item.pszText = const_cast<char*>(Tab.Text.c_str());
    Item.iImage = GetImageIndex(Index);
    Item.lParam = reinterpret_cast<LPARAM>(Tab.Object);
    SendMessage(FHandle, TCM_SETITEM, WPARAM(Index), reinterpret_cast<LPARAM>(&Item));
}

void TCustomTabControl::UpdateTabImages() {
    for (int I = 0; I < FTabs.Count(); ++I) SetWindowTab(I, TCIF_IMAGE);
}

void TCustomTabControl::TabsChanged() {
    if (FHandle) FTabIndex = int(SendMessage(FHandle, TCM_GETCURSEL, 0, 0));
    // More or fewer rows of tabs leave another display area.
    Realign();
}

void TCustomTabControl::UpdateImages() {
    if (!FHandle) return;
    SendMessage(FHandle, TCM_SETIMAGELIST, 0, LPARAM(FImages.Handle()));
    Realign();
}

int TCustomTabControl::GetImageIndex(int TabIndex) {
    return TabIndex;
}

void TCustomTabControl::SetTabIndex(int Value) {
    if (ComponentState().Contains(csLoading)) {
        // The tabs may come later in the definition: Loaded checks it.
        FTabIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FTabs.Count()) return;
    FTabIndex = Value;
    if (FHandle && Value >= 0) SendMessage(FHandle, TCM_SETCURSEL, WPARAM(Value), 0);
}

void TCustomTabControl::Loaded() {
    TWinControl::Loaded();
    if (FTabIndex < -1 || FTabIndex >= FTabs.Count()) FTabIndex = FTabs.Count() > 0 ? 0 : -1;
    if (FHandle && FTabIndex >= 0) SendMessage(FHandle, TCM_SETCURSEL, WPARAM(FTabIndex), 0);
}

void TCustomTabControl::SetMultiLine(bool Value) {
    if (FMultiLine == Value) return;
    FMultiLine = Value;
    if (!FHandle) return;
    const auto Style = DWORD(GetWindowLongPtr(FHandle, GWL_STYLE));
    SetWindowLongPtr(FHandle, GWL_STYLE,
                     LONG_PTR(Value ? Style | TCS_MULTILINE : Style & ~TCS_MULTILINE));
    InvalidateRect(FHandle, nullptr, TRUE);
    Realign();
}

TRect TCustomTabControl::DisplayRect() {
    TRect R = ClientRect();
    if (!FHandle) return R;
    RECT Area{R.Left, R.Top, R.Right, R.Bottom};
    SendMessage(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Area));
    return TRect{Area.left, Area.top, Area.right, Area.bottom};
}

void TCustomTabControl::AdjustClientRect(TRect& Rect) {
    Rect = DisplayRect();
    TWinControl::AdjustClientRect(Rect);
}

void TCustomTabControl::AlignControls(TControl* AControl, TRect& Rect) {
    // Where the tabs end is the window's to say: until it is there the pages keep the size they
    // have (none, when read from a definition), so that what is anchored on them is measured
    // against the display area, not the whole control.
    if (!FHandle) return;
    TWinControl::AlignControls(AControl, Rect);
}

bool TCustomTabControl::CanChange() {
    bool Allow = true;
    if (OnChanging) OnChanging(this, Allow);
    return Allow;
}

void TCustomTabControl::Change() {
    if (OnChange) OnChange(this);
}

void TCustomTabControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    FImages.Notification(AComponent, Operation);
}

void TCustomTabControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY: {
            const auto* Header = reinterpret_cast<const NMHDR*>(Message.LParam);
            if (!Header || FFilling) return;
            if (Header->code == TCN_SELCHANGING) {
                Message.Result = CanChange() ? FALSE : TRUE;
            } else if (Header->code == TCN_SELCHANGE) {
                FTabIndex = int(SendMessage(FHandle, TCM_GETCURSEL, 0, 0));
                Change();
            }
            return;
        }
        case CM_FONTCHANGED:
            TWinControl::Dispatch(Message);
            Realign();
            return;
        default:
            TWinControl::Dispatch(Message);
    }
}

// ---- TTabSheet ---------------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle.Include(csAcceptsControls);
    FAlign = alClient;
    // The page control shows the sheet when it becomes the active one.
    FVisible = false;
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* Value) {
    SetParent(Value);
}

void TTabSheet::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    if (FPageControl) FPageControl->RemovePage(this);
    TWinControl::SetParent(AParent);
    if (auto* Pages = dynamic_cast<TPageControl*>(AParent)) Pages->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& Pages = FPageControl->FPages;
    return int(std::find(Pages.begin(), Pages.end(), this) - Pages.begin());
}

void TTabSheet::SetPageIndex(int Value) {
    if (FPageControl) FPageControl->MovePage(this, Value);
}

void TTabSheet::SetTabVisible(bool Value) {
    if (FTabVisible == Value) return;
    FTabVisible = Value;
    if (FPageControl) FPageControl->UpdateTabs();
}

void TTabSheet::SetImageIndex(int Value) {
    if (FImageIndex == Value) return;
    FImageIndex = Value;
    if (FPageControl) FPageControl->UpdateTabImages();
}

int TTabSheet::TabIndex() const {
    if (!FPageControl || !FTabVisible) return -1;
    int Result = 0;
    for (const TTabSheet* Page : FPageControl->FPages) {
        if (Page == this) return Result;
        if (Page->FTabVisible) ++Result;
    }
    return -1;
}

void TTabSheet::Dispatch(TMessage& Message) {
    TWinControl::Dispatch(Message);
    if (Message.Msg == CM_TEXTCHANGED && FPageControl) FPageControl->UpdateTabs();
}

// ---- TPageControl ------------------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

TPageControl::~TPageControl() {
    for (TTabSheet* Page : FPages) Page->FPageControl = nullptr;
}

TTabSheet* TPageControl::Pages(int Index) const {
    if (Index < 0 || Index >= PageCount())
        throw ERangeError("List index out of bounds (" + std::to_string(Index) + ")");
    return FPages[size_t(Index)];
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int Value) {
    SetActivePage(Value >= 0 && Value < PageCount() ? FPages[size_t(Value)] : nullptr);
}

void TPageControl::SetActivePage(TTabSheet* Value) {
    if (Value && Value->FPageControl != this) return;
    ChangeActivePage(Value);
}

void TPageControl::InsertPage(TTabSheet* Page) {
    FPages.push_back(Page);
    Page->FPageControl = this;
    UpdateTabs();
    if (!ComponentState().Contains(csLoading)) ShowSomePage();
}

void TPageControl::RemovePage(TTabSheet* Page) {
    const auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end()) return;
    TTabSheet* Next = nullptr;
    if (Page == FActivePage) {
        Next = FindNextPage(Page, true, true);
        if (Next == Page) Next = nullptr;
    }
    FPages.erase(It);
    Page->FPageControl = nullptr;
    if (ComponentState().Contains(csDestroying)) {
        if (Page == FActivePage) FActivePage = nullptr;
        return;
    }
    if (Page == FActivePage) ChangeActivePage(Next);
    UpdateTabs();
}

void TPageControl::MovePage(TTabSheet* Page, int Index) {
    const auto It = std::find(FPages.begin(), FPages.end(), Page);
    if (It == FPages.end()) return;
    FPages.erase(It);
    Index = std::clamp(Index, 0, PageCount());
    FPages.insert(FPages.begin() + Index, Page);
    UpdateTabs();
}

void TPageControl::UpdateTabs() {
    if (ComponentState().Contains(csDestroying)) return;
    TStrings& List = *Tabs();
    List.BeginUpdate();
    List.Clear();
    for (TTabSheet* Page : FPages)
        if (Page->FTabVisible) List.AddObject(Page->Caption(), Page);
    List.EndUpdate();
    // An active page whose tab went passes on to the next page that has one.
    if (FActivePage && !FActivePage->FTabVisible) {
        TTabSheet* Next = FindNextPage(FActivePage, true, true);
        ChangeActivePage(Next == FActivePage ? nullptr : Next);
    }
    SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
}

void TPageControl::ShowSomePage() {
    if (!FActivePage) ChangeActivePage(FindNextPage(nullptr, true, true));
}

void TPageControl::ChangeActivePage(TTabSheet* Page) {
    if (FActivePage == Page) return;
    TCustomForm* Form = GetParentForm(this);
    TTabSheet* Old = FActivePage;
    const bool HadFocus =
        Form && Old && Form->ActiveControl() && Old->ContainsControl(Form->ActiveControl());
    if (Page) {
        Page->BringToFront();
        Page->SetVisible(true);
    }
    FActivePage = Page;
    // The focus does not stay on a page that hides: it goes to the first control of the new
    // page, or to the tabs.
    if (HadFocus) {
        TWinControl* First = Page ? Page->FindNextControl(nullptr, true, true, false) : nullptr;
        if (First)
            First->SetFocus();
        else if (CanFocus())
            SetFocus();
    }
    if (Old) Old->SetVisible(false);
    if (!ComponentState().Contains(csLoading)) SetTabIndex(Page ? Page->TabIndex() : -1);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* CurPage, bool GoForward,
                                      bool CheckTabVisible) const {
    const int Count = PageCount();
    if (Count == 0) return nullptr;
    int Start = int(std::find(FPages.begin(), FPages.end(), CurPage) - FPages.begin());
    if (Start == Count) Start = GoForward ? Count - 1 : 0;
    int I = Start;
    do {
        I = GoForward ? (I + 1) % Count : (I + Count - 1) % Count;
        if (!CheckTabVisible || FPages[size_t(I)]->FTabVisible) return FPages[size_t(I)];
    } while (I != Start);
    return nullptr;
}

void TPageControl::SelectNextPage(bool GoForward, bool CheckTabVisible) {
    TTabSheet* Page = FindNextPage(FActivePage, GoForward, CheckTabVisible);
    if (!Page || Page == FActivePage || !CanChange()) return;
    ChangeActivePage(Page);
    TCustomTabControl::Change();
}

void TPageControl::Change() {
    const int Tab = TabIndex();
    if (Tab >= 0 && Tab < Tabs()->Count())
        ChangeActivePage(static_cast<TTabSheet*>(Tabs()->GetObject(Tab)));
    TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int TabIndex) {
    if (TabIndex < 0 || TabIndex >= Tabs()->Count()) return -1;
    const auto* Page = static_cast<const TTabSheet*>(Tabs()->GetObject(TabIndex));
    return Page ? Page->FImageIndex : -1;
}

void TPageControl::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 &&
        FHandle && (Focused() || IsChild(FHandle, GetFocus()))) {
        SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
        Message.Result = 1;
        return;
    }
    TCustomTabControl::Dispatch(Message);
}

void TPageControl::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
    for (TTabSheet* Page : FPages)
        if (Page->Owner() == Root) Proc(Page);
}

void TPageControl::Loaded() {
    TCustomTabControl::Loaded();
    ShowSomePage();
    SetTabIndex(FActivePage ? FActivePage->TabIndex() : -1);
}
