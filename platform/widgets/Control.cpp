#include "platform/widgets/Control.h"

#include <algorithm>

#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/widgets/Align.h"
#include "platform/widgets/Menus.h"

namespace {

// The control holding the mouse capture; a graphic control captures through its parent's window.
TControl* CaptureControl = nullptr;

}  // namespace

// ---- helpers --------------------------------------------------------------------------------

TShiftState MouseShiftState(WPARAM KeyFlags) {
    TShiftState Shift;
    if (KeyFlags & MK_SHIFT) Shift.Include(ssShift);
    if (KeyFlags & MK_CONTROL) Shift.Include(ssCtrl);
    if (KeyFlags & MK_LBUTTON) Shift.Include(ssLeft);
    if (KeyFlags & MK_RBUTTON) Shift.Include(ssRight);
    if (KeyFlags & MK_MBUTTON) Shift.Include(ssMiddle);
    if (GetKeyState(VK_MENU) < 0) Shift.Include(ssAlt);
    return Shift;
}

TShiftState KeyboardShiftState() {
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0) Shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0) Shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0) Shift.Include(ssAlt);
    return Shift;
}

std::string GetShortHint(const std::string& Hint) {
    const auto Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(0, Bar);
}

std::string GetLongHint(const std::string& Hint) {
    const auto Bar = Hint.find('|');
    return Bar == std::string::npos ? Hint : Hint.substr(Bar + 1);
}

TCustomForm* GetParentForm(TControl* Control);

TControl* GetCaptureControl() {
    // A capture taken away by the window layer (another window took it) ends ours too.
    if (CaptureControl) {
        TWinControl* Win = dynamic_cast<TWinControl*>(CaptureControl);
        if (!Win) Win = CaptureControl->Parent();
        if (!Win || !Win->HandleAllocated() || GetCapture() != Win->Handle())
            CaptureControl = nullptr;
    }
    return CaptureControl;
}

void SetCaptureControl(TControl* Control) {
    if (Control == nullptr) {
        CaptureControl = nullptr;
        ReleaseCapture();
        return;
    }
    TWinControl* Win = dynamic_cast<TWinControl*>(Control);
    if (!Win) Win = Control->Parent();
    if (!Win) return;
    CaptureControl = Control;
    SetCapture(Win->Handle());
}

// ---- TControl -------------------------------------------------------------------------------

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
    WindowProc = [this](TMessage& M) { WndProc(M); };
    FFont.OnChange = [this](TGraphicsObject*) { FontChanged(); };
}

TControl::~TControl() {
    if (CaptureControl == this) CaptureControl = nullptr;
    delete FActionLink;
    FActionLink = nullptr;
    if (FParent) FParent->RemoveControl(this);
}

TComponent* TControl::GetParentComponent() const {
    return FParent;
}

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* Win = dynamic_cast<TWinControl*>(Value)) SetParent(Win);
}

void TControl::SetParent(TWinControl* AParent) {
    if (FParent == AParent) return;
    if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (AParent) AParent->InsertControl(this);
}

void TControl::SetName(const std::string& NewName) {
    const bool TakeName = FControlStyle.Contains(csSetCaption) && GetText() == Name() &&
                          !ComponentState().Contains(csLoading);
    TComponent::SetName(NewName);
    if (TakeName) SetText(NewName);
}

void TControl::Loaded() {
    TComponent::Loaded();
    if (FParentFont && FParent) Perform(CM_PARENTFONTCHANGED);
    if (FParentColor && FParent) Perform(CM_PARENTCOLORCHANGED);
    UpdateAnchorRules();
    RequestAlign();
}

void TControl::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const bool Resized = AWidth != FWidth || AHeight != FHeight;
    const bool Changed = Resized || ALeft != FLeft || ATop != FTop;
    if (Changed) {
        if (FParent && FVisible) FParent->Invalidate();
        FLeft = ALeft;
        FTop = ATop;
        FWidth = AWidth;
        FHeight = AHeight;
        Invalidate();
    }
    if (!FPlacingByLayout) {
        UpdateAnchorRules();
        if (Changed) RequestAlign();
    }
    if (Resized) Resize();
}

void TControl::SetBoundsFromLayout(int ALeft, int ATop, int AWidth, int AHeight) {
    FPlacingByLayout = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FPlacingByLayout};
    SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TControl::UpdateAnchorRules() {
    FAnchorOrigin.Bounds = BoundsRect();
    if (FParent) {
        // A parent without a size yet (a tab sheet until its page control places it) is no
        // measure: the size it gets first is the one the control was placed for.
        const TRect R = FParent->ClientRect();
        FAnchorOrigin.ParentWidth = R.Width() > 0 ? int(R.Width()) : -1;
        FAnchorOrigin.ParentHeight = R.Height() > 0 ? int(R.Height()) : -1;
    } else {
        FAnchorOrigin.ParentWidth = FAnchorOrigin.ParentHeight = -1;
    }
}

void TControl::RequestAlign() {
    if (FParent) FParent->AlignChildren();
}

void TControl::Resize() {
    if (OnResize) OnResize(this);
}

TRect TControl::ClientRect() {
    return TRect{0, 0, FWidth, FHeight};
}

void TControl::SetClientSize(int AWidth, int AHeight) {
    const TRect R = ClientRect();
    SetBounds(FLeft, FTop, FWidth - R.Width() + AWidth, FHeight - R.Height() + AHeight);
}

TPoint TControl::ClientOrigin() {
    if (!FParent) return TPoint{FLeft, FTop};
    const TPoint P = FParent->ClientOrigin();
    return TPoint{P.X + FLeft, P.Y + FTop};
}

TPoint TControl::ClientToScreen(TPoint P) {
    const TPoint O = ClientOrigin();
    return TPoint{P.X + O.X, P.Y + O.Y};
}

TPoint TControl::ScreenToClient(TPoint P) {
    const TPoint O = ClientOrigin();
    return TPoint{P.X - O.X, P.Y - O.Y};
}

void TControl::SetAlign(TAlign Value) {
    if (FAlign == Value) return;
    const TAlign Old = FAlign;
    FAlign = Value;
    // Aligned to a side, a control keeps its size across it; taken out of alignment it keeps
    // where it was put.
    if (Old != alNone && Value == alNone) UpdateAnchorRules();
    RequestAlign();
}

void TControl::SetAnchors(TAnchors Value) {
    if (FAnchors == Value) return;
    FAnchors = Value;
    UpdateAnchorRules();
}

void TControl::SetVisible(bool Value) {
    if (FVisible == Value) return;
    if (!Value && FParent) FParent->Invalidate();
    FVisible = Value;
    Perform(CM_VISIBLECHANGED, Value ? 1 : 0);
    Invalidate();
    RequestAlign();
}

void TControl::SetEnabled(bool Value) {
    if (FEnabled == Value) return;
    FEnabled = Value;
    Perform(CM_ENABLEDCHANGED);
}

bool TControl::IsVisibleOnScreen() {
    for (TControl* C = this; C; C = C->FParent)
        if (!C->FVisible) return false;
    TControl* Top = this;
    while (Top->FParent) Top = Top->FParent;
    auto* Win = dynamic_cast<TWinControl*>(Top);
    return Win && Win->HandleAllocated() && IsWindowVisible(Win->Handle());
}

std::string TControl::GetText() {
    return FText;
}

void TControl::SetTextValue(const std::string& Value) {
    FText = Value;
}

void TControl::SetText(const std::string& Value) {
    if (GetText() == Value) return;
    SetTextValue(Value);
    Perform(CM_TEXTCHANGED);
}

void TControl::FontChanged() {
    FParentFont = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool Value) {
    if (FParentFont == Value) return;
    FParentFont = Value;
    if (Value && FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetColor(TColor Value) {
    if (FColor == Value) {
        FParentColor = false;
        return;
    }
    FColor = Value;
    FParentColor = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool Value) {
    if (FParentColor == Value) return;
    FParentColor = Value;
    if (Value && FParent && !ComponentState().Contains(csLoading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetShowHint(bool Value) {
    FShowHint = Value;
    FParentShowHint = false;
    Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool Value) {
    if (FParentShowHint == Value) return;
    FParentShowHint = Value;
    if (Value && FParent && !ComponentState().Contains(csLoading))
        Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
    if (FPopupMenu == Value) return;
    if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
    FPopupMenu = Value;
    if (Value) Value->FreeNotification(this);
}

void TControl::SetCursor(TCursor Value) {
    if (FCursor == Value) return;
    FCursor = Value;
    Perform(CM_CURSORCHANGED);
}

void TControl::SetAutoSize(bool Value) {
    if (FAutoSize == Value) return;
    FAutoSize = Value;
    if (Value) AdjustSize();
}

void TControl::NotifyChildren(UINT) {}

// ---- actions --------------------------------------------------------------------------------

TBasicAction* TControl::Action() const {
    return FActionLink ? FActionLink->Action() : nullptr;
}

void TControl::SetAction(TBasicAction* Value) {
    if (Value == nullptr) {
        delete FActionLink;
        FActionLink = nullptr;
        return;
    }
    if (!FActionLink) FActionLink = new TControlActionLink(this, Value);
    FActionLink->SetAction(Value);
    FActionLink->OnChange = [this](TObject* Sender) { DoActionChange(Sender); };
    ActionChange(Value, ComponentState().Contains(csLoading));
}

void TControl::DoActionChange(TObject* Sender) {
    if (FActionLink && Sender == FActionLink->Action()) ActionChange(FActionLink->Action(), false);
}

// Takes over the action's values; CheckDefaults keeps values the control was given itself.
void TControl::ActionChange(TBasicAction* Sender, bool CheckDefaults) {
    auto* A = dynamic_cast<TCustomAction*>(Sender);
    if (!A) return;
    if (!CheckDefaults || GetText().empty()) SetText(A->Caption());
    if (!CheckDefaults || FEnabled) SetEnabled(A->Enabled());
    if (!CheckDefaults || FHint.empty()) SetHint(A->Hint());
    if (!CheckDefaults || FVisible) SetVisible(A->Visible());
}

TControlActionLink::TControlActionLink(TControl* Client, TBasicAction* Action) : FClient(Client) {
    (void)Action;
}

bool TControlActionLink::IsCaptionLinked() const {
    auto* A = CustomAction();
    return A && FClient->GetText() == A->Caption();
}

bool TControlActionLink::IsEnabledLinked() const {
    auto* A = CustomAction();
    return A && FClient->Enabled() == A->Enabled();
}

bool TControlActionLink::IsHintLinked() const {
    auto* A = CustomAction();
    return A && FClient->Hint() == A->Hint();
}

bool TControlActionLink::IsVisibleLinked() const {
    auto* A = CustomAction();
    return A && FClient->Visible() == A->Visible();
}

bool TControlActionLink::IsOnExecuteLinked() const {
    return Action() != nullptr;
}

void TControlActionLink::SetCaption(const std::string& Value) {
    if (IsCaptionLinked()) FClient->SetText(Value);
}

void TControlActionLink::SetEnabled(bool Value) {
    if (IsEnabledLinked()) FClient->SetEnabled(Value);
}

void TControlActionLink::SetHint(const std::string& Value) {
    if (IsHintLinked()) FClient->SetHint(Value);
}

void TControlActionLink::SetVisible(bool Value) {
    if (IsVisibleLinked()) FClient->SetVisible(Value);
}

void TControlActionLink::SetOnExecute(const TNotifyEvent&) {
    // The control runs the action itself (see TControl::Click): nothing to copy.
}

// ---- messages -------------------------------------------------------------------------------

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
    TMessage Message{Msg, WParam, LParam, 0};
    WindowProc(Message);
    return Message.Result;
}

void TControl::WndProc(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(true);
            if (FControlStyle.Contains(csClickEvents)) FControlState.Include(csClicked);
            break;
        case WM_LBUTTONUP:
            if (FControlStyle.Contains(csCaptureMouse)) SetMouseCapture(false);
            break;
        default:
            break;
    }
    Dispatch(Message);
}

void TControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            WMMouse(Message, Message.Msg);
            return;
        case CM_FONTCHANGED:
            CMFontChanged(Message);
            return;
        case CM_PARENTFONTCHANGED:
            CMParentFontChanged(Message);
            return;
        case CM_PARENTCOLORCHANGED:
            CMParentColorChanged(Message);
            return;
        case CM_PARENTSHOWHINTCHANGED:
            CMParentShowHintChanged(Message);
            return;
        case CM_COLORCHANGED:
        case CM_TEXTCHANGED:
        case CM_ENABLEDCHANGED:
            Invalidate();
            return;
        case CM_HITTEST:
            CMHitTest(Message);
            return;
        case WM_CONTEXTMENU:
            WMContextMenu(Message);
            return;
        default:
            DefaultHandler(Message);
    }
}

void TControl::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETTEXT: {
            char* Buffer = reinterpret_cast<char*>(Message.LParam);
            if (!Buffer || Message.WParam == 0) return;
            const size_t N = std::min(FText.size(), size_t(Message.WParam - 1));
            std::copy_n(FText.data(), N, Buffer);
            Buffer[N] = '\0';
            Message.Result = LRESULT(N);
            return;
        }
        case WM_GETTEXTLENGTH:
            Message.Result = LRESULT(FText.size());
            return;
        case WM_SETTEXT:
            FText = Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "";
            Message.Result = 1;
            return;
        default:
            return;
    }
}

void TControl::WMMouse(TMessage& Message, UINT Msg) {
    const POINT At = MessagePoint(Message.LParam);
    const int X = At.x;
    const int Y = At.y;
    const TShiftState Shift = MouseShiftState(Message.WParam);
    switch (Msg) {
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK: {
            const TMouseButton B = Msg == WM_LBUTTONDBLCLK   ? mbLeft
                                   : Msg == WM_RBUTTONDBLCLK ? mbRight
                                                             : mbMiddle;
            TShiftState S = Shift;
            S.Include(ssDouble);
            if (FControlStyle.Contains(csDoubleClicks) && B == mbLeft) DblClick();
            MouseDown(B, S, X, Y);
            break;
        }
        case WM_LBUTTONDOWN:
            MouseDown(mbLeft, Shift, X, Y);
            break;
        case WM_RBUTTONDOWN:
            MouseDown(mbRight, Shift, X, Y);
            break;
        case WM_MBUTTONDOWN:
            MouseDown(mbMiddle, Shift, X, Y);
            break;
        case WM_MOUSEMOVE:
            MouseMove(Shift, X, Y);
            break;
        case WM_LBUTTONUP:
            if (FControlState.Contains(csClicked)) {
                FControlState.Exclude(csClicked);
                const TRect R = ClientRect();
                if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom) Click();
            }
            MouseUp(mbLeft, Shift, X, Y);
            break;
        case WM_RBUTTONUP:
            MouseUp(mbRight, Shift, X, Y);
            break;
        case WM_MBUTTONUP:
            MouseUp(mbMiddle, Shift, X, Y);
            break;
        default:
            break;
    }
    DefaultHandler(Message);
}

// A right click or the menu key: OnContextPopup may handle it; else the control's popup menu
// shows at the pointer (at the control's corner for the key); else the parent is asked.
void TControl::WMContextMenu(TMessage& Message) {
    if (Message.Result != 0) return;
    const bool FromKeys = Message.LParam == LPARAM(-1);
    const POINT At = MessagePoint(Message.LParam);
    const TPoint Screen{At.x, At.y};
    bool Handled = false;
    if (OnContextPopup)
        OnContextPopup(this, FromKeys ? TPoint{-1, -1} : ScreenToClient(Screen), Handled);
    if (Handled) {
        Message.Result = 1;
        return;
    }
    if (FPopupMenu && FPopupMenu->AutoPopup()) {
        const TPoint At = FromKeys ? ClientToScreen(KeyboardPopupPoint()) : Screen;
        FPopupMenu->SetPopupComponent(this);
        Message.Result = 1;
        // The menu's loop may free the control: nothing of it is used afterwards.
        FPopupMenu->Popup(At.X, At.Y);
        return;
    }
    DefaultHandler(Message);
}

TPoint TControl::PopupPointBelow(const TRect& Item) {
    const TRect Client = ClientRect();
    const bool InView = Item.Right > Item.Left && Item.Bottom > Item.Top &&
                        Item.Left < Client.Right && Item.Top < Client.Bottom &&
                        Item.Bottom > Client.Top;
    if (!InView) return TPoint{0, 0};
    return TPoint{std::max(Item.Left, Client.Left), std::min(Item.Bottom, Client.Bottom)};
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
    if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::Click() {
    // A handler of the control's own wins; without one the action runs (with its update, its
    // enabling and its list's handler).
    if (OnClick)
        OnClick(this);
    else if (FActionLink)
        FActionLink->Execute(this);
}

void TControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}

void TControl::CMFontChanged(TMessage&) {
    Invalidate();
    if (auto* Win = dynamic_cast<TWinControl*>(this)) {
        TMessage M{CM_PARENTFONTCHANGED, 0, 0, 0};
        Win->Broadcast(M);
    }
}

void TControl::CMParentFontChanged(TMessage&) {
    if (!FParentFont || !FParent) return;
    // Taking the parent's font keeps following it.
    FFont.Assign(*FParent->Font());
    FParentFont = true;
}

void TControl::CMParentColorChanged(TMessage&) {
    if (!FParentColor || !FParent) return;
    FColor = FParent->Color();
    Perform(CM_COLORCHANGED);
    FParentColor = true;
}

void TControl::CMParentShowHintChanged(TMessage&) {
    if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
}

void TControl::CMHitTest(TMessage& Message) {
    Message.Result = 1;
}

bool TControl::MouseCapture() {
    return GetCaptureControl() == this;
}

void TControl::SetMouseCapture(bool Value) {
    if (MouseCapture() == Value) return;
    SetCaptureControl(Value ? this : nullptr);
}

void TControl::Invalidate() {
    if (!FParent || !FParent->HandleAllocated() || !FVisible) return;
    const RECT R = BoundsRect();
    InvalidateRect(FParent->Handle(), &R, !FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
    if (FParent) FParent->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::BringToFront() {
    if (!FParent) return;
    auto& List = FParent->FControls;
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
    List.push_back(this);
    if (auto* Win = dynamic_cast<TWinControl*>(this); Win && Win->HandleAllocated())
        SetWindowPos(Win->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
    RequestAlign();
}

void TControl::SendToBack() {
    if (!FParent) return;
    auto& List = FParent->FControls;
    List.erase(std::remove(List.begin(), List.end(), this), List.end());
    List.insert(List.begin(), this);
    if (auto* Win = dynamic_cast<TWinControl*>(this); Win && Win->HandleAllocated())
        SetWindowPos(Win->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
    RequestAlign();
}
