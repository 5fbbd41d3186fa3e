#include "components/shell/StDropFiles.h"

#include "platform/core/DropFiles.h"

// The replacement window procedure and what it needs; it may outlive the component (see Unhook).
struct TStDropFiles::THook {
    TStDropFiles* Owner = nullptr;  // null once the component has gone
    HWND Target = 0;
    WNDPROC Previous = nullptr;
    WNDPROC Own = nullptr;
};

TStDropFiles::TStDropFiles(TComponent* AOwner) : TComponent(AOwner) {}

TStDropFiles::~TStDropFiles() {
    Unhook();
    if (FDropTarget) FDropTarget->RemoveFreeNotification(this);
}

HWND TStDropFiles::HookedWindow() const {
    return FHook ? FHook->Target : 0;
}

void TStDropFiles::SetActive(bool Value) {
    FActive = Value;
    if (FHook) DragAcceptFiles(FHook->Target, FActive);
}

void TStDropFiles::SetDropTarget(TWinControl* Value) {
    if (Value == FDropTarget && (FHook || FWaitingForHandle)) return;
    Unhook();
    FWaitingForHandle = false;
    if (FDropTarget && FDropTarget != Value) FDropTarget->RemoveFreeNotification(this);
    FDropTarget = Value;
    if (!Value) return;
    Value->FreeNotification(this);
    if (!Value->HandleAllocated() && ComponentState().Contains(csLoading)) {
        FWaitingForHandle = true;
        return;
    }
    Hook(Value->Handle());
}

void TStDropFiles::Loaded() {
    TComponent::Loaded();
    if (FWaitingForHandle) {
        FWaitingForHandle = false;
        Hook(FDropTarget->Handle());
    }
    if (!FDropTarget)
        if (auto* Control = dynamic_cast<TWinControl*>(Owner())) SetDropTarget(Control);
}

void TStDropFiles::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != FDropTarget) return;
    Unhook();
    FDropTarget = nullptr;
    FWaitingForHandle = false;
}

void TStDropFiles::Hook(HWND Target) {
    auto Hook = std::make_shared<THook>();
    Hook->Owner = this;
    Hook->Target = Target;
    // The procedure owns its state: a window subclassed again after us may call it after the
    // component has gone.
    Hook->Own = MakeObjectInstance([State = Hook](TMessage& M) {
        const WNDPROC Previous = State->Previous;
        const HWND Target = State->Target;
        if (M.Msg == WM_DROPFILES && State->Owner != nullptr &&
            DragQueryFile(HDROP(M.WParam), 0xFFFFFFFFu, nullptr, 0) > 0) {
            State->Owner->Dropped(M.WParam);
            M.Result = 0;
            return;
        }
        if (M.Msg == WM_NCDESTROY) {
            // The window goes: nothing to restore any more.
            if (State->Owner != nullptr) State->Owner->FHook.reset();
            const WNDPROC Own = State->Own;
            M.Result = CallWindowProc(Previous, Target, M.Msg, M.WParam, M.LParam);
            FreeObjectInstance(Own);
            return;
        }
        M.Result = CallWindowProc(Previous, Target, M.Msg, M.WParam, M.LParam);
    });
    Hook->Previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(Target, GWLP_WNDPROC, LONG_PTR(Hook->Own)));
    FHook = Hook;
    DragAcceptFiles(Target, FActive);
}

void TStDropFiles::Unhook() {
    if (!FHook) return;
    std::shared_ptr<THook> Hook = std::move(FHook);
    Hook->Owner = nullptr;
    if (!IsWindow(Hook->Target)) return;
    DragAcceptFiles(Hook->Target, FALSE);
    // Restored only while ours is the window's procedure; a procedure put in after ours still
    // calls ours, which now passes everything on.
    if (GetWindowLongPtr(Hook->Target, GWLP_WNDPROC) == LONG_PTR(Hook->Own)) {
        SetWindowLongPtr(Hook->Target, GWLP_WNDPROC, LONG_PTR(Hook->Previous));
        FreeObjectInstance(Hook->Own);
    }
}

void TStDropFiles::Dropped(uintptr_t Drop) {
    const HDROP Files = HDROP(Drop);
    const UINT Count = DragQueryFile(Files, 0xFFFFFFFFu, nullptr, 0);
    FFiles.Clear();
    for (UINT N = 0; N < Count; ++N) {
        // The whole name, however long: a path cut short names another file.
        std::string Name(DragQueryFile(Files, N, nullptr, 0) + 1, '\0');
        Name.resize(DragQueryFile(Files, N, Name.data(), UINT(Name.size())));
        FFiles.Add(Name);
    }
    POINT Point;
    DragQueryPoint(Files, &Point);
    if (FReceivingList != nullptr) {
        FReceivingList->Clear();
        FReceivingList->AddStrings(FFiles);
    }
    if (OnDropFiles) OnDropFiles(this, Point);
    DragFinish(Files);
}
