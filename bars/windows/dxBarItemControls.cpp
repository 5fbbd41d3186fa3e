// What item controls do: sizes, selection, presses, clicks and keys. Their painting is
// dxBarItemPaint.cpp's.
#include "bars/windows/dxBarItemControls.h"

#include <algorithm>
#include <cstdlib>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSubMenu.h"
#include "bars/windows/dxBarTimers.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/classes/Mnemonics.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/RectMath.h"
#include "platform/shell/Sound.h"

namespace {

// Opening and closing submenus by resting the pointer on a sub-item waits so long.
constexpr UINT kHoverDelay = 400;

// The one pending hover action of the program.
struct THover {
    TdxBarSubItemControl* Control = nullptr;
    bool Closing = false;
    UINT_PTR Timer = 0;
};

THover& Hover() {
    static auto* H = new THover;
    return *H;
}

void CancelHover() {
    THover& H = Hover();
    dxBarKillTimer(H.Timer);
    H.Control = nullptr;
}

void StartHover(TdxBarSubItemControl* Control, bool Closing) {
    CancelHover();
    THover& H = Hover();
    H.Control = Control;
    H.Closing = Closing;
    H.Timer = dxBarTimers().SetTimer(kHoverDelay, [] {
        THover& H = Hover();
        TdxBarSubItemControl* Control = H.Control;
        const bool Closing = H.Closing;
        CancelHover();
        if (!Control) return;
        if (Closing)
            Control->Deselect(true);
        else
            Control->Select(true);
    });
}

int TextWidthOf(HFONT Font, const std::string& Text) {
    return TextExtentOf(Font, Text).cx;
}

}  // namespace

TdxBarSubItemControl* PendingHoverControl() {
    return Hover().Control;
}

std::string GetEditText(HWND Wnd) {
    // Asked for its length first: a text of any length comes back whole.
    const int Length = GetWindowTextLength(Wnd);
    if (Length <= 0) return {};
    std::string Text(size_t(Length) + 1, '\0');
    const int Got = GetWindowText(Wnd, Text.data(), Length + 1);
    Text.resize(size_t(std::max(Got, 0)));
    return Text;
}

// ---- the base ---------------------------------------------------------------------------------

TdxBarItemControl::TdxBarItemControl(TdxBarItemLink* Link)
    : FItemLink(Link), FParent(Link->Links() ? Link->Links()->BarControl() : nullptr) {}

TdxBarItemControl::~TdxBarItemControl() {
    if (!FDetached) TdxBarItemControl::LetGo();
}

void TdxBarItemControl::Detach() {
    if (FDetached) return;
    LetGo();
    FDetached = true;
}

void TdxBarItemControl::LetGo() {
    if (TdxBarManager* Manager = BarManager()) Manager->ControlDestroyed(this);
    if (!BarWindowGone(FParent)) FParent->ControlDestroyed(this);
}

void ReleaseItemControl(TdxBarItemControl* Control) {
    TCustomdxBarControl* Window = Control->Parent();
    if (!Window || !Window->HandlerRunning()) {
        delete Control;
        return;
    }
    // Detached now, freed once no handler of its window runs any more (or the window went).
    Control->Detach();
    AfterHandlersOf(Window, [Control](bool) { delete Control; });
}

TdxBarItem* TdxBarItemControl::Item() const {
    return FItemLink->Item();
}

TdxBarManager* TdxBarItemControl::BarManager() const {
    return FItemLink->BarManager();
}

TCanvas* TdxBarItemControl::Canvas() const {
    return FParent->Canvas();
}

bool TdxBarItemControl::IsFlat() const {
    return BarManager() && BarManager()->IsFlat();
}

bool TdxBarItemControl::IsSelected() const {
    return FParent && FParent->SelectedControl() == this;
}

TdxBarItemAlign TdxBarItemControl::RealAlign() const {
    return FParent && FParent->CanAlignItems() && Item() ? Item()->Align() : iaLeft;
}

bool TdxBarItemControl::IsVertical() const {
    return IsVerticalBar(FParent);
}

bool TdxBarItemControl::IsRotated() const {
    return IsRotatedBar(FParent);
}

bool TdxBarItemControl::InSubMenu() const {
    return FParent && FParent->IsSubMenuWindow();
}

bool TdxBarItemControl::IsMouseDownOver() const {
    if (!GetEnabled() || !FParent || !FParent->HandleAllocated()) return false;
    POINT P;
    GetCursorPos(&P);
    ScreenToClient(FParent->Handle(), &P);
    const bool Down =
        GetSystemMetrics(SM_SWAPBUTTON) ? IsPrimaryButtonDown() : GetKeyState(VK_LBUTTON) < 0;
    return Down &&
           PtInRect(FParent->GetItemRect(const_cast<TdxBarItemControl*>(this)), TPoint{P.x, P.y});
}

bool TdxBarItemControl::HasGlyph() const {
    if (TBitmap* Glyph = GetGlyph(); Glyph && !Glyph->Empty()) return true;
    TCustomImageList* Images = GetImages();
    return Images && GetImageIndex() >= 0 && GetImageIndex() < Images->Count();
}

int TdxBarItemControl::GetHeight() const {
    if (RealAlign() == iaClient && IsVertical())
        return IsRotated() ? GetMinWidth() : GetMinHeight();
    return GetDefaultHeight();
}

int TdxBarItemControl::GetWidth() const {
    if (RealAlign() == iaClient && !IsVertical()) return GetMinWidth();
    return GetDefaultWidth();
}

int TdxBarItemControl::CaptionWidth() const {
    return TextWidthOf(Canvas()->Font().Handle(), StripMnemonics(GetCaption()));
}

void TdxBarItemControl::SetDoingClick(bool Value) {
    if (FDoingClick == Value) return;
    FDoingClick = Value;
    StateChanged();
}

// ---- what the items tell ----------------------------------------------------------------------

void TdxBarItemControl::RequestLayout() {
    if (FParent) FParent->UpdateLayout();
}

void TdxBarItemControl::BeginGroupChanged() {
    RequestLayout();
}

void TdxBarItemControl::CaptionChanged() {
    RequestLayout();
}

void TdxBarItemControl::EnabledChanged() {
    if (!GetEnabled() && IsSelected()) FParent->SetSelectedControl(nullptr);
    Repaint();
}

void TdxBarItemControl::GlyphChanged() {
    Repaint();
}

void TdxBarItemControl::StateChanged() {
    if (!FDoingClick) Repaint();
}

void TdxBarItemControl::ShortCutChanged() {
    if (InSubMenu()) RequestLayout();
}

void TdxBarItemControl::VisibleChanged() {
    RequestLayout();
}

void TdxBarItemControl::Repaint() {
    if (!BarWindowGone(FParent) && !FParent->Destroying()) FParent->RepaintItem(this);
}

// ---- answers ----------------------------------------------------------------------------------

bool TdxBarItemControl::IsOwnManagerItem() const {
    return Item() && Item()->BarManager() == BarManager();
}

bool TdxBarItemControl::IsSelectable() const {
    return !FParent || !FParent->IsCustomizing() || IsOwnManagerItem();
}

bool TdxBarItemControl::HandlesDblClick() const {
    return (BarManager() && BarManager()->IsCustomizing()) || OpensOnDblClick();
}

std::string TdxBarItemControl::GetCaption() const {
    return FItemLink->Caption();
}

bool TdxBarItemControl::GetEnabled() const {
    return Item() && Item()->Enabled();
}

TBitmap* TdxBarItemControl::GetGlyph() const {
    return FItemLink->Glyph();
}

int TdxBarItemControl::GetImageIndex() const {
    return Item() ? Item()->ImageIndex() : -1;
}

TCustomImageList* TdxBarItemControl::GetImages() const {
    return BarManager() ? BarManager()->Images() : nullptr;
}

std::string TdxBarItemControl::GetHint() const {
    return Item() ? Item()->Hint() : std::string();
}

TCustomImageList* TdxBarItemControl::GetHotImages() const {
    return BarManager() ? BarManager()->HotImages() : nullptr;
}

TCustomImageList* TdxBarItemControl::GetLargeImages() const {
    return BarManager() ? BarManager()->LargeImages() : nullptr;
}

TShortCut TdxBarItemControl::GetShortCut() const {
    return Item() ? Item()->ShortCut() : scNone;
}

int TdxBarItemControl::GetMenuTextOffset() const {
    if (!InSubMenu()) return 0;
    return FParent->TextSize() + (IsFlat() ? 3 : 1);
}

bool TdxBarItemControl::HasHint() const {
    return !GetHint().empty() && FParent && !FParent->IsSubMenuWindow();
}

// ---- selection and clicks ---------------------------------------------------------------------

void TdxBarItemControl::Select(bool) {
    FSelected = true;
}

void TdxBarItemControl::Deselect(bool) {
    FSelected = false;
}

void TdxBarItemControl::Activate(bool ByMouse) {
    if (!GetEnabled()) return;
    const TBarWindowRef<> Window = FParent;
    Press(ByMouse);
    if (!BarWindowGone(Window) && Window->HasControl(this)) Click(ByMouse);
}

void TdxBarItemControl::Click(bool) {
    const TBarWindowRef<> Window = FParent;
    if (InSubMenu() && dynamic_cast<TdxBarButtonControl*>(this)) PlayMenuSound(msMenuCommand);
    TdxBarItemLink* Source = FItemLink->SourceLink();
    TdxBarItem* Target = Item();
    const bool Executes = ExecutesItemOnClick();
    const bool Closes = ClosesMenusOnClick();
    if (Closes) {
        try {
            Source->RecordUse(true);
            if (Source != FItemLink) FItemLink->RecordUse(true);
        } catch (...) {
            // Bookkeeping of use never stops the command.
        }
    }
    auto* Button = dynamic_cast<TdxBarButton*>(Target);
    const bool Unclick =
        (!Button || Button->UnclickAfterDoing()) && (!Closes || !Window->IsSubMenuWindow());
    if (Unclick) SetDoingClick(true);
    // The control may go with its window while the command runs: what it needs afterwards is
    // taken from here.
    TdxBarItemControl* Self = this;
    if (Closes) Window->HideAll();
    struct TEnd {
        TdxBarItemControl* Self;
        const TBarWindowRef<>& Window;
        bool Unclick;
        ~TEnd() {
            if (Unclick && !BarWindowGone(Window) && Window->HasControl(Self))
                Self->SetDoingClick(false);
        }
    } End{Self, Window, Unclick};
    if (Executes && Target) Target->ClickThrough(Source);
}

// ---- buttons ----------------------------------------------------------------------------------

TdxBarButtonControl::~TdxBarButtonControl() {
    if (!Detached()) LetGoOfDropDown();
}

void TdxBarButtonControl::LetGo() {
    LetGoOfDropDown();
    TdxBarItemControl::LetGo();
}

void TdxBarButtonControl::LetGoOfDropDown() {
    TdxBarButton* B = Button();
    TdxBarSubMenuControl* Menu = B && B->DropDownMenu() ? B->DropDownMenu()->Window() : nullptr;
    if (Menu && Menu->ParentItemControl() == this) {
        Menu->SetParentItemControl(nullptr);
        Menu->Hide();
    }
}

TdxBarButton* TdxBarButtonControl::Button() const {
    return dynamic_cast<TdxBarButton*>(Item());
}

TdxBarPaintStyle TdxBarButtonControl::RealPaintStyle() const {
    const TdxBarPaintStyle Style = ItemLink()->PaintStyle();
    if (Style == psStandard && !InSubMenu() && !HasGlyph()) return psCaption;
    return Style;
}

int TdxBarButtonControl::GetDropDownArrowWidth() const {
    if (auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Parent())) return Menu->ArrowWidth();
    return BarManager() ? BarManager()->ArrowWidth() : 0;
}

int TdxBarButtonControl::CalcButtonHeight() const {
    TdxBarManager* M = BarManager();
    const bool Lowered = Button() && Button()->Lowered();
    int Height;
    if (InSubMenu()) {
        Height = Parent()->TextSize() + (IsFlat() ? 2 : 0);
    } else {
        const TdxBarPaintStyle Style = RealPaintStyle();
        if (Style == psStandard || Style == psCaptionInMenu)
            Height = M->ButtonHeight();
        else
            Height =
                std::max(Parent()->TextSize(), IsRotated() ? M->ButtonWidth() : M->ButtonHeight());
    }
    return Height + (Lowered ? 2 : 0);
}

int TdxBarButtonControl::CalcButtonWidth() const {
    TdxBarManager* M = BarManager();
    const bool Lowered = Button() && Button()->Lowered();
    int Width;
    if (InSubMenu()) {
        Width = CaptionWidth() + 2 * Parent()->TextSize() + 6;
        if (GetShortCut() != scNone)
            Width += TextWidthOf(Canvas()->Font().Handle(), ShortCutToText(GetShortCut())) +
                     Parent()->TextSize() - 6;
        if (IsFlat()) Width += 9;
    } else {
        switch (RealPaintStyle()) {
            case psCaption:
                Width = CaptionWidth() + Canvas()->Font().Size();
                break;
            case psCaptionGlyph:
                Width = CaptionWidth() + (IsRotated() ? M->ButtonHeight() : M->ButtonWidth()) + 4;
                break;
            default:
                Width = M->ButtonWidth();
                break;
        }
    }
    return Width + (Lowered ? 2 : 0);
}

int TdxBarButtonControl::GetDefaultHeight() const {
    const TdxBarPaintStyle Style = RealPaintStyle();
    if (IsRotated() && (Style == psCaption || Style == psCaptionGlyph)) return CalcButtonWidth();
    return CalcButtonHeight();
}

int TdxBarButtonControl::GetDefaultWidth() const {
    const TdxBarPaintStyle Style = RealPaintStyle();
    int Width = IsRotated() && (Style == psCaption || Style == psCaptionGlyph) ? CalcButtonHeight()
                                                                               : CalcButtonWidth();
    if (!InSubMenu() && Button() && Button()->ButtonStyle() == bsDropDown)
        Width += GetDropDownArrowWidth();
    return Width;
}

TRect TdxBarButtonControl::ArrowRect(const TRect& R) const {
    if (!Button() || Button()->ButtonStyle() != bsDropDown) return TRect{};
    return TRect{R.Right - GetDropDownArrowWidth(), R.Top, R.Right, R.Bottom};
}

void TdxBarButtonControl::Click(bool ByMouse) {
    if (FDroppedDown) return;
    TdxBarButton* B = Button();
    if (B && B->ButtonStyle() == bsChecked) B->SetDown(!B->Down());
    Deselect(true);
    TdxBarItemControl::Click(ByMouse);
}

void TdxBarButtonControl::Press(bool ByMouse) {
    TdxBarButton* B = Button();
    const bool DropDownButton = B && B->ButtonStyle() == bsDropDown;
    if (DropDownButton && ByMouse && IsMouseDownOver()) {
        POINT P;
        GetCursorPos(&P);
        ScreenToClient(Parent()->Handle(), &P);
        if (PtInRect(ArrowRect(Parent()->GetItemRect(this)), TPoint{P.x, P.y})) {
            DropDown(true);
            return;
        }
    }
    if (!InSubMenu() || DropDownButton) Repaint();
}

void TdxBarButtonControl::DropDown(bool ByMouse) {
    TdxBarButton* B = Button();
    if (FDroppedDown || !GetEnabled() || !B || !B->DropDownEnabled() || !B->DropDownMenu()) return;
    FDroppedDown = true;
    if (!Selected()) Select(true);
    Repaint();
    const TRect R = Parent()->GetItemRect(this);
    const int Border = IsFlat() ? 2 : 3;
    const TPoint At =
        InSubMenu() || IsVertical() ? TPoint{R.Right, R.Top - Border} : TPoint{R.Left, R.Bottom};
    const TPoint Screen = Parent()->ClientToScreen(At);
    B->DropDown(Screen, ByMouse, this);
}

void TdxBarButtonControl::CloseUp() {
    FDroppedDown = false;
    Repaint();
}

void TdxBarButtonControl::MenuClosed() {
    const TBarWindowRef<> Window = Parent();
    CloseUp();
    if (BarWindowGone(Window) || !Window->HasControl(this)) return;
    if (IsMouseDownOver()) {
        // The press that closed the menu must not open it again.
        POINT P;
        GetCursorPos(&P);
        ScreenToClient(Window->Handle(), &P);
        Window->IgnoreNextClick = PtInRect(ArrowRect(Window->GetItemRect(this)), TPoint{P.x, P.y});
        if (!Window->IsSubMenuWindow()) Window->HideAll();
        return;
    }
    if (GetKeyState(VK_ESCAPE) < 0 || GetKeyState(VK_LEFT) < 0 || GetKeyState(VK_RIGHT) < 0) return;
    Window->HideAll();
}

void TdxBarButtonControl::Deselect(bool Immediately) {
    TdxBarItemControl::Deselect(Immediately);
    if (FDroppedDown && Button()) Button()->CloseDropDown();
}

void TdxBarButtonControl::KeyDown(WORD Key) {
    if (Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN) DropDown(false);
}

bool TdxBarButtonControl::WantsKey(WORD Key) const {
    if (!Button() || Button()->ButtonStyle() != bsDropDown) return false;
    return InSubMenu() ? Key == VK_RIGHT : Key == VK_UP || Key == VK_DOWN;
}

bool TdxBarButtonControl::IsPressed() const {
    return (IsSelected() && !(BarManager() && BarManager()->IsCustomizing())) || DoingClick();
}

bool TdxBarButtonControl::ClosesMenusOnClick() const {
    if (!InSubMenu()) return true;
    return !Button() || Button()->CloseSubMenuOnClick;
}

void TdxBarButtonControl::GlyphChanged() {
    // A standard button without a glyph shows its caption: a glyph changes its size.
    if (ItemLink()->PaintStyle() == psStandard)
        RequestLayout();
    else
        Repaint();
}

// ---- sub-items --------------------------------------------------------------------------------

TdxBarSubItemControl::~TdxBarSubItemControl() {
    if (!Detached()) LetGoOfSubMenu();
}

void TdxBarSubItemControl::LetGo() {
    LetGoOfSubMenu();
    TdxBarItemControl::LetGo();
}

void TdxBarSubItemControl::LetGoOfSubMenu() {
    if (Hover().Control == this) CancelHover();
    TCustomdxBarSubItem* Sub = SubItem();
    if (!Sub || Sub->IsDestroying()) return;
    if (TdxBarSubMenuControl* Menu = OwnSubMenu()) {
        Menu->SetParentItemControl(nullptr);
        Menu->Hide();
    }
}

TCustomdxBarSubItem* TdxBarSubItemControl::SubItem() const {
    return dynamic_cast<TCustomdxBarSubItem*>(Item());
}

TCustomdxBarControl* TdxBarSubItemControl::GetSubMenuControl() const {
    TCustomdxBarSubItem* Sub = SubItem();
    return Sub && Sub->ItemLinks() ? Sub->ItemLinks()->BarControl() : nullptr;
}

TdxBarSubMenuControl* TdxBarSubItemControl::OwnSubMenu() const {
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(GetSubMenuControl());
    return Menu && Menu->ParentItemControl() == this ? Menu : nullptr;
}

void TdxBarSubItemControl::CreateSubMenuControl() {
    if (TCustomdxBarSubItem* Sub = SubItem()) Sub->ItemLinks()->CreateBarControl();
}

int TdxBarSubItemControl::CalcSubItemHeight() const {
    if (InSubMenu()) return Parent()->TextSize() + (IsFlat() ? 2 : 0);
    TdxBarManager* M = BarManager();
    TCustomdxBarSubItem* Sub = SubItem();
    const bool ShowCaption = !Sub || Sub->ShowCaption();
    const int V =
        HasGlyph() || !ShowCaption ? (IsRotated() ? M->ButtonWidth() : M->ButtonHeight()) : 0;
    if (V != 0 && (!ShowCaption || V >= Parent()->TextSize())) return V;
    return Parent()->TextSize();
}

int TdxBarSubItemControl::CalcSubItemWidth() const {
    if (InSubMenu()) return CaptionWidth() + 2 * Parent()->TextSize() + 3 + (IsFlat() ? 9 : 0);
    TdxBarManager* M = BarManager();
    TCustomdxBarSubItem* Sub = SubItem();
    const bool ShowCaption = !Sub || Sub->ShowCaption();
    int Width = ShowCaption ? CaptionWidth() : 0;
    if (!HasGlyph() && ShowCaption)
        Width += std::abs(Canvas()->Font().Height()) & ~1;
    else
        Width += (IsRotated() ? M->ButtonHeight() : M->ButtonWidth()) + (ShowCaption ? 4 : 0);
    auto* Bar = dynamic_cast<TdxBarControl*>(Parent());
    if (Bar && !Bar->Bar()->IsMainMenu()) Width += Parent()->TextSize() / 2;
    return Width;
}

int TdxBarSubItemControl::GetDefaultHeight() const {
    return IsRotated() ? CalcSubItemWidth() : CalcSubItemHeight();
}

int TdxBarSubItemControl::GetDefaultWidth() const {
    return IsRotated() ? CalcSubItemHeight() : CalcSubItemWidth();
}

void TdxBarSubItemControl::Select(bool Immediately) {
    if (GetSubMenuControl()) {
        // The item's menu is open: from another link of the item it moves here; from this
        // control it stays, and a pending close is called off.
        TdxBarItemControl* Other = nullptr;
        for (int I = 0; I < Item()->LinkCount() && !Other; ++I)
            if (TdxBarItemControl* C = Item()->Links(I)->Control(); C && C != this && C->Selected())
                Other = C;
        if (!Other) {
            if (Hover().Control == this) CancelHover();
            return;
        }
        Other->Deselect(true);
        if (GetSubMenuControl()) return;
    }
    FSelected = true;
    const bool Customizing = BarManager() && BarManager()->IsCustomizing();
    if (!GetEnabled() && !Customizing) return;
    if (!InSubMenu()) {
        // A toolbar opens submenus at once, but only in menu mode.
        if (Customizing || Parent()->Active()) OpenSubMenu();
        return;
    }
    if (!Immediately && !Customizing) {
        // A submenu opens once the pointer has rested on its item.
        TdxBarSubItemControl* Pending = Hover().Control;
        if (Pending && Pending != this) {
            CancelHover();
            if (Pending->Parent() != Parent()->ParentBar()) Pending->Deselect(true);
        }
        StartHover(this, false);
        return;
    }
    OpenSubMenu();
}

void TdxBarSubItemControl::OpenSubMenu() {
    TCustomdxBarSubItem* Sub = SubItem();
    if (!Sub) return;
    const TBarWindowRef<> Window = Parent();
    Sub->DoPopup();
    Sub->DoClick();
    if (BarWindowGone(Window) || !Window->HasControl(this)) return;
    CreateSubMenuControl();
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(GetSubMenuControl());
    if (!Menu) return;
    const TRect R = Window->GetItemRect(this);
    TPoint At{R.Left, R.Bottom};
    if (InSubMenu()) {
        At = TPoint{R.Right, R.Top - (IsFlat() ? 2 : 3)};
        Menu->SetParentItemSize(R.Width(), 0);
    } else if (IsVertical()) {
        At = TPoint{R.Right, R.Top};
        Menu->SetParentItemSize(R.Width(), 0);
    } else {
        Menu->SetParentItemSize(0, R.Height());
    }
    Menu->SetRequestedPos(Window->ClientToScreen(At));
    Menu->SetParentItemControl(this);
    Menu->SetParentBar(Window);
    Window->SetChildBar(Menu);
    if (!InSubMenu()) Repaint();
    Menu->SetAnimationAllowed(AnimateNextOpening);
    AnimateNextOpening = false;
    Menu->Show();
}

void TdxBarSubItemControl::Deselect(bool Immediately) {
    const bool Customizing = BarManager() && BarManager()->IsCustomizing();
    if (InSubMenu() && !Immediately && !Hover().Control && !BarWindowGone(Parent()) &&
        !Customizing) {
        // An open submenu closes once the pointer has stayed away from its item.
        StartHover(this, true);
        return;
    }
    TdxBarSubMenuControl* Menu = OwnSubMenu();
    if (Menu) Menu->SetParentItemControl(nullptr);
    FSelected = false;
    if (Hover().Control == this) CancelHover();
    if (Menu) {
        if (Parent()->ChildBar() == Menu) Parent()->SetChildBar(nullptr);
        Menu->Hide();
    }
    if (!InSubMenu()) Repaint();
    if (Menu)
        if (TCustomdxBarSubItem* Sub = SubItem()) Sub->DoCloseUp();
}

void TdxBarSubItemControl::Press(bool ByMouse) {
    TCustomdxBarControl* Menu = GetSubMenuControl();
    if (!Menu) {
        Select(true);
        Menu = GetSubMenuControl();
        if (!ByMouse && Menu && Menu->ItemLinks())
            if (TdxBarItemLink* First = Menu->ItemLinks()->First())
                Menu->SetKeySelectedControl(First->Control());
        return;
    }
    const bool Customizing = BarManager() && BarManager()->IsCustomizing();
    if (Customizing || (BarManager() && BarManager()->Style() == bmsStandard)) Deselect(true);
}

void TdxBarSubItemControl::KeyDown(WORD Key) {
    if (Key == VK_RIGHT) Activate(false);
}

bool TdxBarSubItemControl::WantsKey(WORD Key) const {
    return InSubMenu() && Key == VK_RIGHT;
}

bool TdxBarSubItemControl::HandlesDblClick() const {
    return !(BarManager() && BarManager()->IsCustomizing());
}

// ---- containers -------------------------------------------------------------------------------

std::string TdxBarContainerItemControl::GetCaption() const {
    const std::string Caption = TdxBarSubItemControl::GetCaption();
    return InSubMenu() ? "(" + Caption + ")" : Caption;
}

bool TdxBarContainerItemControl::OpensOnDblClick() const {
    return !(BarManager() && BarManager()->IsCustomizing());
}
