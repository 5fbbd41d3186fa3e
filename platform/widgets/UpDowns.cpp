#include "platform/widgets/UpDowns.h"

#include <algorithm>
#include <utility>

#include "platform/controls/UpDown.h"
#include "platform/gdi/Gdi.h"

TCustomUpDown::TCustomUpDown(TComponent* AOwner) : TWinControl(AOwner) {
    FControlStyle = TControlStyle{csOpaque, csFixedWidth};
    SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 33);
}

TCustomUpDown::~TCustomUpDown() {
    if (FAssociate) FAssociate->RemoveFreeNotification(this);
}

void TCustomUpDown::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    CreateSubClass(Params, "msctls_updown32");
    Params.Style |= UDS_SETBUDDYINT;
    Params.Style |= FAlignButton == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT;
    if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
    if (FArrowKeys) Params.Style |= UDS_ARROWKEYS;
    if (!FThousands) Params.Style |= UDS_NOTHOUSANDS;
    if (FWrap) Params.Style |= UDS_WRAP;
}

void TCustomUpDown::CreateWnd() {
    TWinControl::CreateWnd();
    ApplyRange();
    ApplyBuddy();
}

void TCustomUpDown::DestroyWnd() {
    (void)Position();  // what the associate says now is kept
    GiveRoomBack();
    TWinControl::DestroyWnd();
}

void TCustomUpDown::Loaded() {
    TWinControl::Loaded();
    // A definition may give the position before the range.
    SetPosition(FPosition);
}

void TCustomUpDown::ApplyRange() {
    if (!HandleAllocated()) return;
    ::SendMessage(Handle(), UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
    ::SendMessage(Handle(), UDM_SETPOS32, 0, LPARAM(FPosition));
    FPosition = int(::SendMessage(Handle(), UDM_GETPOS32, 0, 0));
}

void TCustomUpDown::ApplyBuddy() {
    if (!HandleAllocated()) return;
    const int Before = FAssociate ? FAssociate->Width() : 0;
    ::SendMessage(Handle(), UDM_SETBUDDY, WPARAM(FAssociate ? FAssociate->Handle() : 0), 0);
    if (!FAssociate) return;
    FRoomTaken = std::max(0, Before - FAssociate->Width());
    // The associate shows the position from now on.
    ::SendMessage(Handle(), UDM_SETPOS32, 0, LPARAM(FPosition));
}

void TCustomUpDown::GiveRoomBack() {
    const int Room = std::exchange(FRoomTaken, 0);
    if (!FAssociate || Room == 0 || FAssociate->ComponentState().Contains(csDestroying)) return;
    const TRect B = FAssociate->BoundsRect();
    if (FAlignButton == udLeft)
        FAssociate->SetBounds(B.Left - Room, B.Top, B.Width() + Room, B.Height());
    else
        FAssociate->SetBounds(B.Left, B.Top, B.Width() + Room, B.Height());
}

void TCustomUpDown::SetMin(int Value) {
    if (FMin == Value) return;
    FMin = Value;
    ApplyRange();
}

void TCustomUpDown::SetMax(int Value) {
    if (FMax == Value) return;
    FMax = Value;
    ApplyRange();
}

int TCustomUpDown::Position() {
    if (HandleAllocated()) FPosition = int(::SendMessage(Handle(), UDM_GETPOS32, 0, 0));
    return FPosition;
}

void TCustomUpDown::SetPosition(int Value) {
    FPosition = Value;
    if (HandleAllocated())
        ApplyRange();
    else if (!ComponentState().Contains(csLoading))
        FPosition = std::clamp(Value, std::min(FMin, FMax), std::max(FMin, FMax));
}

void TCustomUpDown::SetIncrement(int Value) {
    FIncrement = std::max(Value, 1);
}

void TCustomUpDown::SetAssociate(TWinControl* Value) {
    if (Value == FAssociate) return;
    if (Value == this || dynamic_cast<TCustomUpDown*>(Value))
        throw EInvalidOperation("An up-down control cannot be associated with an up-down control");
    if (FAssociate) {
        GiveRoomBack();
        FAssociate->RemoveFreeNotification(this);
    }
    FAssociate = Value;
    if (FAssociate) FAssociate->FreeNotification(this);
    ApplyBuddy();
}

void TCustomUpDown::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FAssociate) {
        FAssociate = nullptr;
        FRoomTaken = 0;
        if (HandleAllocated() && !ComponentState().Contains(csDestroying))
            ::SendMessage(Handle(), UDM_SETBUDDY, 0, 0);
    }
}

void TCustomUpDown::SetAlignButton(TUDAlignButton Value) {
    if (FAlignButton == Value) return;
    FAlignButton = Value;
    RecreateWnd();
}

void TCustomUpDown::SetArrowKeys(bool Value) {
    if (FArrowKeys == Value) return;
    FArrowKeys = Value;
    RecreateWnd();
}

void TCustomUpDown::SetOrientation(TUDOrientation Value) {
    if (FOrientation == Value) return;
    FOrientation = Value;
    RecreateWnd();
}

void TCustomUpDown::SetThousands(bool Value) {
    if (FThousands == Value) return;
    FThousands = Value;
    RecreateWnd();
}

void TCustomUpDown::SetWrap(bool Value) {
    if (FWrap == Value) return;
    FWrap = Value;
    RecreateWnd();
}

void TCustomUpDown::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CN_NOTIFY:
            if (reinterpret_cast<const NMHDR*>(Message.LParam)->code == UDN_DELTAPOS) {
                DeltaPos(Message);
                return;
            }
            break;
        case CN_VSCROLL:
        case CN_HSCROLL:
            Scrolled(Message);
            return;
        default:
            break;
    }
    TWinControl::Dispatch(Message);
}

void TCustomUpDown::DeltaPos(TMessage& Message) {
    auto& Note = *reinterpret_cast<NMUPDOWN*>(Message.LParam);
    if (!CanChange()) {
        Message.Result = TRUE;
        return;
    }
    // The window steps by one towards the end the arrow points to.
    const bool TowardsMax = (Note.iDelta > 0) == (FMax >= FMin);
    FStepping = TowardsMax ? btNext : btPrev;
    Note.iDelta = Note.iDelta < 0 ? -FIncrement : FIncrement;
    Message.Result = FALSE;
}

void TCustomUpDown::Scrolled(TMessage& Message) {
    if (LOWORD(std::uintptr_t(Message.WParam)) != SB_THUMBPOSITION) return;
    FPosition = int(::SendMessage(Handle(), UDM_GETPOS32, 0, 0));
    Click(FStepping);
}

bool TCustomUpDown::CanChange() {
    bool Allow = true;
    if (OnChanging) OnChanging(this, Allow);
    return Allow;
}

void TCustomUpDown::Click(TUDBtnType Button) {
    if (OnClick) OnClick(this, Button);
}
