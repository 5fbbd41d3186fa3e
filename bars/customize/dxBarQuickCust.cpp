// The quick-customizing window: its life with the hidden bar behind it, its place beside the
// mark, its frame, and the rules that close it.
#include "bars/customize/dxBarQuickCust.h"

#include <algorithm>
#include <utility>

#include "bars/customize/dxBarCustomizeEntry.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarHint.h"
#include "bars/windows/dxBarTimers.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Pointer.h"
#include "platform/core/Screens.h"
#include "platform/gdi/RectMath.h"
#include "platform/widgets/Forms.h"

namespace {

constexpr UINT kQuickCloseElapse = 200;

struct TQuickState {
    TdxBarQuickControl* Open = nullptr;
    UINT_PTR CloseTimer = 0;
};

TQuickState& Quick() {
    static TQuickState S;
    return S;
}

// The bar behind the window: hidden from the lists of bars, without a mark of its own, in the
// owning window's font.
TdxBar* MakeHiddenBar(TdxBarControl* Owning) {
    TdxBar* Bar = Owning->BarManager()->Bars()->Add();
    Bar->Hidden = true;
    Bar->SetAllowQuickCustomizing(false);
    Bar->SetUseRecentItems(false);
    Bar->SetFont(Owning->Font());
    Bar->SetUseOwnFont(true);
    return Bar;
}

bool IsButtonMessage(UINT Msg) {
    return (Msg >= WM_LBUTTONDOWN && Msg <= WM_MBUTTONDBLCLK) ||
           (Msg >= WM_NCLBUTTONDOWN && Msg <= WM_NCMBUTTONDBLCLK);
}

// The window itself, or a menu opened from it ("&Add or Remove Buttons").
bool BelongsToQuickControl(TdxBarQuickControl* Quick, HWND Wnd) {
    if (!Quick->HandleAllocated()) return false;
    if (Wnd == Quick->Handle() || IsChildWindowOf(Wnd, Quick->Handle())) return true;
    auto* Bar = dynamic_cast<TCustomdxBarControl*>(FindControlOfWindow(Wnd));
    return !BarWindowGone(Bar) && Quick->IsParentOf(Bar);
}

}  // namespace

// ---- placement --------------------------------------------------------------------------------

TRect PlaceQuickControl(const TRect& Mark, TSize Size, TdxBarDockingStyle OwnerStyle, bool Flat,
                        const TRect& Work) {
    const int W = Size.cx, H = Size.cy;
    if (OwnerStyle == dsLeft || OwnerStyle == dsRight) {
        int X = Mark.Right;
        if (X + W > Work.Right) X = Mark.Left - W;
        const int Y = std::max(Work.Top, std::min(Mark.Top, Work.Bottom - H));
        return TRect{X, Y, X + W, Y + H};
    }
    int X = OwnerStyle == dsNone && Flat ? Mark.Left : Mark.Right - W;
    X = std::max(Work.Left, std::min(X, Work.Right - W));
    int Y = Mark.Bottom;
    if (Y + H > Work.Bottom) Y = Mark.Top - H;
    return TRect{X, Y, X + W, Y + H};
}

// ---- life -------------------------------------------------------------------------------------

TdxBarQuickControl::TdxBarQuickControl(TdxBarControl* Owning)
    : TdxBarControl(Owning->BarManager(), MakeHiddenBar(Owning)), FOwning(Owning) {
    TdxBarItem::FreeTemporaryItems();
    Quick().Open = this;
    DockTo(nullptr, dsNone);
    Bar()->ItemLinks()->SetBarControl(this);
    SetItemLinks(Bar()->ItemLinks());
    FAddRemove = new TdxBarSubItem(BarManager()->OwnerForm());
    TdxBarItem::AddTemporaryItem(FAddRemove);
    FAddRemove->FreeNotification(this);
    FAddRemove->SetCaption(dxBarString(kdxBarAddRemoveButtons));
    FAddRemove->SetEnabled(Owning->Bar()->AllowQuickCustomizing());
    FAddRemove->OnPopup = [this](TObject*) {
        if (FAddRemove && FAddRemove->Enabled()) FillAddRemove();
    };
    CopyHiddenLinks();
    TdxBarItemLink* Link = ItemLinks()->Add();
    Link->SetItem(FAddRemove);
    Link->SetBeginGroup(true);
}

TdxBarQuickControl::~TdxBarQuickControl() {
    Unregister();
}

void TdxBarQuickControl::Retire() {
    Unregister();
    TdxBarControl::Retire();
}

void TdxBarQuickControl::Unregister() {
    if (FUnregistered) return;
    FUnregistered = true;
    if (Quick().Open == this) Quick().Open = nullptr;
    dxBarKillTimer(Quick().CloseTimer);
    if (FAddRemove) {
        FAddRemove->OnPopup = nullptr;
        FAddRemove->RemoveFreeNotification(this);
        FAddRemove = nullptr;
    }
    if (TdxBarQuickCustItem* Item = std::exchange(FQuickItem, nullptr)) Item->Free();
    // The hidden bar goes too, unless it is the one going now (it lets go of the window first).
    TdxBar* Hidden = Bar();
    if (Hidden->ItemLinks() && Hidden->ItemLinks()->BarControl() == this) {
        Hidden->ItemLinks()->SetBarControl(nullptr);
        SetItemLinks(nullptr);
        delete Hidden;
    }
}

void TdxBarQuickControl::Notification(TComponent* AComponent, TOperation Operation) {
    TdxBarControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FAddRemove) FAddRemove = nullptr;
    if (AComponent == FQuickItem) FQuickItem = nullptr;
}

void TdxBarQuickControl::CopyHiddenLinks() {
    TdxBarItemLinks* From = FOwning->ItemLinks();
    if (!From) return;
    // What the owning window leaves out: links the personalized menus hide, and those that did
    // not fit on its line.
    for (int I = 0; I < From->CanVisibleItemCount(); ++I) {
        TdxBarItemLink* Source = From->CanVisibleItems(I);
        if (From->VisibleIndexOf(Source) >= 0 && From->ShownIndexOf(Source) >= 0 &&
            !IsRectEmpty(Source->ItemRect()))
            continue;
        TdxBarItemLink* Copy = ItemLinks()->Add();
        Copy->Assign(Source);
        Copy->SetOriginalLink(Source);
    }
}

void TdxBarQuickControl::FillAddRemove() {
    TdxBarItemLinks* Entries = FAddRemove->ItemLinks();
    if (FQuickItem) FQuickItem->ForgetEntries();
    Entries->Clear();
    if (BarWindowGone(FOwning) || !FOwning->ItemLinks()) return;
    TdxBarManager* Manager = BarManager();
    if (!FQuickItem) {
        FQuickItem = new TdxBarQuickCustItem(Manager->OwnerForm());
        FQuickItem->FreeNotification(this);
    }
    TdxBarItemLinks* Toolbar = FOwning->ItemLinks();
    FQuickItem->SetToolbarLinks(Toolbar);
    for (int I = 0; I < Toolbar->Count(); ++I) {
        TdxBarItemLink* Source = Toolbar->Items(I);
        if (!Source->Item()) continue;
        TdxBarItemLink* Entry = Entries->Add();
        Entry->SetItem(FQuickItem);
        FQuickItem->Represent(Entry, Source);
    }
    TdxBar* Owner = FOwning->Bar();
    const bool Resets = Manager->BarsResettable() && Owner->CanReset();
    if (Resets) {
        auto* Reset = new TdxBarQuickCustExtButton(Manager->OwnerForm());
        TdxBarItem::AddTemporaryItem(Reset);
        Reset->SetCaption(dxBarString(kdxBarResetToolbar));
        Reset->OnClick = [Owner](TObject*) { Owner->ResetWithConfirmation(); };
        TdxBarItemLink* Link = Entries->Add();
        Link->SetItem(Reset);
        Link->SetBeginGroup(true);
    }
    if (TdxBarItemLink* Customize = Manager->AddCustomizeButton(
            Entries, new TdxBarQuickCustExtButton(Manager->OwnerForm())))
        Customize->SetBeginGroup(!Resets);
}

// ---- placement and frame ----------------------------------------------------------------------

void TdxBarQuickControl::SetPosition(const TRect& MarkRect) {
    HandleNeeded();
    TdxBarItemLinks* Links = ItemLinks();
    // One line of the buttons that did not fit, or as wide as "&Add or Remove Buttons".
    int Line = 0, Widest = 0;
    for (int I = 0; I < Links->VisibleItemCount(); ++I) {
        TdxBarItemLink* Link = Links->VisibleItems(I);
        Link->CreateControl();
        const int Width = Link->Control() ? Link->Control()->GetWidth() : 0;
        Widest = std::max(Widest, Width);
        if (Link->Item() != FAddRemove)
            Line += Width + (I > 0 && Link->BeginGroup() ? GetBeginGroupSize() : 0);
    }
    Bar()->FloatClientWidth = std::max(Line, Widest);
    const TSize Outer = GetSizeForStyle(dsNone);
    const bool Flat = BarManager()->IsFlat();
    const TSize Size{
        Outer.cx - Bar()->FrameWidth(dsNone) + 2 * BarManager()->BorderWidth() + (Flat ? 2 : 0),
        Outer.cy - Bar()->FrameHeight(dsNone) + 2 * BarManager()->BorderHeight() + (Flat ? 2 : 0)};
    const TRect Place =
        PlaceQuickControl(MarkRect, Size, FOwning->DockingStyle(), Flat,
                          ToTRect(WorkAreaAt(POINT{MarkRect.Left, MarkRect.Bottom})));
    SetBounds(Place.Left, Place.Top, Place.Width(), Place.Height());
    UpdateLayout();
    if (Retired() || !HandleAllocated()) return;
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetVisible(true);
}

void TdxBarQuickControl::CreateParams(TCreateParams& Params) {
    TdxBarControl::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
}

HBRUSH TdxBarQuickControl::GetBkBrush() const {
    return BarManager()->IsFlat() ? dxBarSysBrush(COLOR_WINDOW) : TdxBarControl::GetBkBrush();
}

void TdxBarQuickControl::WMNCCalcSize(TMessage& Message) {
    TCustomdxBarControl::WMNCCalcSize(Message);
    RECT* R = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                             : reinterpret_cast<RECT*>(Message.LParam);
    InflateRect(R, -BarManager()->BorderWidth(), -BarManager()->BorderHeight());
    R->right = std::max(R->right, R->left);
    R->bottom = std::max(R->bottom, R->top);
}

void TdxBarQuickControl::WMNCPaint(TMessage& Message) {
    TCustomdxBarControl::WMNCPaint(Message);
    if (!HandleAllocated()) return;
    const HDC DC = GetWindowDC(Handle());
    RECT W;
    GetWindowRect(Handle(), &W);
    const int Shadow = BarManager()->IsFlat() ? 2 : 0;
    RECT Frame{0, 0, W.right - W.left - Shadow, W.bottom - W.top - Shadow};
    RECT Client = Frame;
    InflateRect(&Client, -BarManager()->BorderWidth(), -BarManager()->BorderHeight());
    // The ring between the frame's edge and the client area takes the background.
    const HRGN Ring = CreateRectRgn(Frame.left, Frame.top, Frame.right, Frame.bottom);
    const HRGN Inner = CreateRectRgn(Client.left, Client.top, Client.right, Client.bottom);
    CombineRgn(Ring, Ring, Inner, RGN_DIFF);
    FillRgn(DC, Ring, GetBkBrush());
    DeleteObject(Inner);
    DeleteObject(Ring);
    if (BarManager()->IsFlat())
        FrameRect(DC, &Frame, dxBarSysBrush(COLOR_BTNSHADOW));
    else
        DrawEdge(DC, &Frame, EDGE_RAISED, BF_RECT);
    ReleaseDC(Handle(), DC);
}

void TdxBarQuickControl::WMNCHitTest(TMessage& Message) {
    // Neither moved nor sized: everything but the client area is border.
    const POINT At = MessagePoint(Message.LParam);
    const TPoint P = ScreenToClient(TPoint{At.x, At.y});
    Message.Result = PtInRect(ClientRect(), P) ? HTCLIENT : HTBORDER;
    if (Message.Result != HTCLIENT && HandleAllocated()) StopMouseTracking(Handle());
}

void TdxBarQuickControl::WMRButtonDown(TMessage& Message) {
    DefaultHandler(Message);
}

void TdxBarQuickControl::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_SHOWWINDOW && !Message.WParam && !Destroying() && !FUnregistered) {
        TdxBarControl::Dispatch(Message);
        CloseQuickControl();
        return;
    }
    TdxBarControl::Dispatch(Message);
}

void TdxBarQuickControl::HideAll() {
    const bool KeyboardMode = BarManager()->KeyboardModeBar() == this;
    if (KeyboardMode && !BarWindowGone(FOwning) && FOwning->HandleAllocated() &&
        GetKeyState(VK_LBUTTON) < 0) {
        POINT Cursor;
        GetCursorPos(&Cursor);
        // The press that closes the window must not open it again on the mark.
        if (PtInRect(FOwning->MarkRect(), FOwning->ScreenToClient(TPoint{Cursor.x, Cursor.y})))
            FOwning->IgnoreNextClick = true;
    }
    TdxBarControl::HideAll();
    if (KeyboardMode && !Retired()) CloseQuickControl();
}

// ---- the program's one window -----------------------------------------------------------------

TdxBarQuickControl* OpenQuickControl() {
    return Quick().Open;
}

void ShowQuickControl(TdxBarControl* Owning) {
    RegisterdxBarCustomizing();
    if (TdxBarQuickControl* Open = Quick().Open; Open && Open->OwningBarControl() != Owning)
        CloseQuickControl();
    if (Quick().Open || !Owning->HandleAllocated()) return;
    const TRect Mark = Owning->MarkRect();
    const TPoint TopLeft = Owning->ClientToScreen(TPoint{Mark.Left, Mark.Top});
    auto* Window = new TdxBarQuickControl(Owning);
    Window->SetPosition(
        TRect{TopLeft.X, TopLeft.Y, TopLeft.X + Mark.Width(), TopLeft.Y + Mark.Height()});
}

void FreeQuickControlOf(TdxBarControl* Owning) {
    TdxBarQuickControl* Open = Quick().Open;
    if (!Open || Open->OwningBarControl() != Owning) return;
    TdxBar* Hidden = Open->Bar();
    Quick().Open = nullptr;
    // The bar lets go of its window, which is freed (or retired until its handler returned).
    delete Hidden;
}

void CloseQuickControl() {
    TdxBarQuickControl* Open = Quick().Open;
    if (!Open) return;
    const TBarWindowRef<TdxBarControl> Owning = Open->OwningBarControl();
    if (!BarWindowGone(Owning)) Owning->SetMarkState(TdxBarButtonState::Normal);
    // While the manager customizes the mark keeps its state: the window goes all the same.
    if (Quick().Open == Open) FreeQuickControlOf(Owning);
}

void StartQuickCloseTimer() {
    if (Quick().CloseTimer) return;
    Quick().CloseTimer = dxBarTimers().SetTimer(kQuickCloseElapse, [] {
        dxBarKillTimer(Quick().CloseTimer);
        TdxBarQuickControl* Open = Quick().Open;
        if (!Open) return;
        TdxBarItemControl* Selection = Open->BarManager()->CustomizingSelection();
        if (!Selection) return;
        TCustomdxBarControl* Under = Selection->Parent();
        if (Under != Open && !Open->IsParentOf(Under)) CloseQuickControl();
    });
}

void QuickControlSelectionChanging(TCustomdxBarControl* Window) {
    TdxBarQuickControl* Open = Quick().Open;
    if (!Open || Window == Open || !Open->Visible() || Open->InMenuMode()) return;
    CloseQuickControl();
}

void QuickControlMouseMessage(UINT Msg, HWND Wnd, POINT Screen) {
    TdxBarQuickControl* Open = Quick().Open;
    if (!Open || !IsButtonMessage(Msg) || BelongsToQuickControl(Open, Wnd)) return;
    TdxBarControl* Owning = Open->OwningBarControl();
    const bool RightPress = Msg == WM_RBUTTONDOWN || Msg == WM_NCRBUTTONDOWN;
    if (!BarWindowGone(Owning) && Owning->HandleAllocated() && Wnd == Owning->Handle() &&
        !RightPress &&
        PtInRect(Owning->MarkRect(), Owning->ScreenToClient(TPoint{Screen.x, Screen.y})))
        return;
    CloseQuickControl();
}
