#include "bars/windows/dxBarPopupMenus.h"

#include <algorithm>

#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStrings.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarSubMenu.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/widgets/Forms.h"

TdxBarPopupMenu::TdxBarPopupMenu(TComponent* AOwner) : TComponent(AOwner) {
    const TdxBarManagerList& Managers = TdxBarManagerList::Instance();
    if (Managers.Count() == 0) throw EdxBarError(dxBarString(kdxBarNoManagers));
    FItemLinks = std::make_unique<TdxBarItemLinks>(nullptr, this);
    FItemLinks->SetUseRecentItems(false);
    TdxBarManager* Manager = BarManagerOfForm(dynamic_cast<TCustomForm*>(AOwner));
    if (!Manager && !dynamic_cast<TCustomForm*>(AOwner)) Manager = Managers.Items(0);
    SetBarManager(Manager);
    FFont.OnChange = [this](TGraphicsObject*) {
        if (FCopyingFont) return;
        FUseOwnFont = true;
        if (FFontHandle) DeleteObject(FFontHandle);
        FFontHandle = 0;
    };
}

TdxBarPopupMenu::~TdxBarPopupMenu() {
    *FAlive = false;
    FItemLinks.reset();
    SetBarManager(nullptr);
    if (FFontHandle) DeleteObject(FFontHandle);
}

void TdxBarPopupMenu::SetBarManager(TdxBarManager* Value) {
    if (FBarManager == Value) return;
    if (FBarManager) {
        auto& Menus = FBarManager->FPopupMenus;
        Menus.erase(std::remove(Menus.begin(), Menus.end(), this), Menus.end());
        FBarManager->RemoveFreeNotification(this);
    }
    FBarManager = Value;
    if (FItemLinks) FItemLinks->SetBarManager(Value);
    if (!FBarManager) return;
    FBarManager->FPopupMenus.push_back(this);
    FBarManager->FreeNotification(this);
    ManagerFontChanged();
}

void TdxBarPopupMenu::SetItemLinks(TdxBarItemLinks* Value) {
    if (Value && Value != FItemLinks.get()) FItemLinks->Assign(Value);
}

void TdxBarPopupMenu::SetUseOwnFont(bool Value) {
    FUseOwnFont = Value;
    if (!Value) ManagerFontChanged();
}

bool TdxBarPopupMenu::UseRecentItems() const {
    return FItemLinks->UseRecentItems();
}

void TdxBarPopupMenu::SetUseRecentItems(bool Value) {
    FItemLinks->SetUseRecentItems(Value);
}

HFONT TdxBarPopupMenu::FontHandle() {
    if (!FUseOwnFont) return FBarManager ? FBarManager->FontHandle() : 0;
    if (!FFontHandle) FFontHandle = CreateFontIndirect(FFont.LogFont());
    return FFontHandle;
}

void TdxBarPopupMenu::ManagerFontChanged() {
    if (FUseOwnFont || !FBarManager) return;
    const TFlagScope CopyingFont(FCopyingFont);
    FFont.Assign(*FBarManager->Font());
}

void TdxBarPopupMenu::DoPaintBar(TCanvas* Canvas, const TRect& R) {
    if (OnPaintBar) OnPaintBar(this, Canvas, R);
}

// ---- showing ----------------------------------------------------------------------------------

TdxBarSubMenuControl* TdxBarPopupMenu::Window() const {
    return FItemLinks ? dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->BarControl()) : nullptr;
}

void TdxBarPopupMenu::Popup(int X, int Y) {
    if (IsOpen() || FLoopRunning || !FBarManager) return;
    // Whatever the form was doing with the mouse ends.
    if (const HWND Captured = GetCapture()) {
        SendMessage(Captured, CM_CANCELMODE, 0, 0);
        ReleaseCapture();
    }
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->CreateBarControl());
    if (!Menu) return;
    Menu->SetRequestedPos(TPoint{X, Y});
    Menu->SetParentItemSize(FParentItemWidth, FParentItemHeight);
    if (auto* Control = dynamic_cast<TWinControl*>(Owner()); Control && Control->HandleAllocated())
        Menu->SetOwnerWindow(Control->Handle());
    Menu->SetParentItemControl(FOpener);
    Menu->SetAnimationAllowed(FAnimate);
    std::shared_ptr<bool> Alive = FAlive;
    // The menu may close inside a pass that someone else runs while the loop below waits (an
    // item's command showing a dialog, a hook): a message of no meaning makes sure the wait
    // ends, also when that pass left the queue empty.
    TCustomForm* Form = FBarManager->OwnerForm();
    const HWND Wake = Form && Form->HandleAllocated() ? Form->Handle() : 0;
    Menu->OnCloseUp = [this, Alive, Wake](TObject*) {
        if (!*Alive) return;
        if (FLoopRunning && Wake) PostMessage(Wake, WM_NULL, 0, 0);
        FLoopRunning = false;
        if (OnCloseUp) OnCloseUp(this);
    };
    Menu->OnPopup = [this, Alive](TObject*) {
        if (*Alive && OnPopup) OnPopup(this);
    };
    const bool Modal = !FNonModal;
    FLoopRunning = Modal;
    Menu->Show();
    if (!Modal || !*Alive) return;
    // Not GetMessage: it would go on waiting when the menu closed inside a pass that emptied
    // the queue; WaitMessage returns after any news, and the menu's state is looked at again.
    const auto Ended = [this, Alive] { return !*Alive || !FLoopRunning || !IsOpen(); };
    TModalLoop Loop(TModalLoop::TWait::News, Ended);
    MSG Msg;
    while (!Ended()) {
        const TModalLoop::TNext Next = Loop.Next(Msg);
        if (Next == TModalLoop::TNext::Idle || Next == TModalLoop::TNext::Done) continue;
        if (Next == TModalLoop::TNext::Quit) break;
        if (Ended()) {
            // The menu closed meanwhile: the message belongs to the loop outside.
            PostMessage(Msg.hwnd, Msg.message, Msg.wParam, Msg.lParam);
            break;
        }
        if (Msg.message == WM_COMMAND) continue;
        TModalLoop::Deliver(Msg);
    }
    if (*Alive) FLoopRunning = false;
}

void TdxBarPopupMenu::PopupEx(int X, int Y, int ParentItemWidth, int ParentItemHeight,
                              bool Animate) {
    FParentItemWidth = ParentItemWidth;
    FParentItemHeight = ParentItemHeight;
    FAnimate = Animate;
    std::shared_ptr<bool> Alive = FAlive;
    struct TReset {
        TdxBarPopupMenu* Menu;
        std::shared_ptr<bool> Alive;
        ~TReset() {
            if (!*Alive) return;
            Menu->FParentItemWidth = Menu->FParentItemHeight = 0;
            Menu->FAnimate = true;
        }
    } Reset{this, Alive};
    Popup(X, Y);
}

void TdxBarPopupMenu::DropDownFor(TdxBarItemControl* Opener, TPoint At, int ParentItemWidth,
                                  int ParentItemHeight, bool Animate) {
    {
        const TFlagScope NonModal(FNonModal);
        FOpener = Opener;
        PopupEx(At.X, At.Y, ParentItemWidth, ParentItemHeight, Animate);
    }
    FOpener = nullptr;
}

void TdxBarPopupMenu::Loaded() {
    TComponent::Loaded();
    FItemLinks->ResetUsage(true);
}

void TdxBarPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FBarManager) SetBarManager(nullptr);
}

void TdxBarPopupMenuLink::SetControl(TWinControl* Value) {
    auto* Links = static_cast<TdxBarPopupMenuLinks*>(Collection());
    TdxBarManager* Manager = Links ? Links->BarManager() : nullptr;
    if (Value && (!Manager || GetParentForm(Value) != Manager->OwnerForm())) Value = nullptr;
    FControl = Value;
    // A control that is not the form's component would go unannounced: the manager listens.
    if (FControl) FControl->FreeNotification(Manager);
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarPopupMenu* Value) {
    FPopupMenu = Value;
    if (!FPopupMenu) return;
    auto* Links = static_cast<TdxBarPopupMenuLinks*>(Collection());
    if (Links && Links->BarManager()) FPopupMenu->FreeNotification(Links->BarManager());
}

void TdxBarPopupMenuLink::Assign(const TPersistent* Source) {
    auto* From = dynamic_cast<const TdxBarPopupMenuLink*>(Source);
    if (!From) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetControl(From->FControl);
    SetPopupMenu(From->FPopupMenu);
    OnAction = From->OnAction;
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* Manager)
    : TCollection(ItemClassOf<TdxBarPopupMenuLink>(), Manager), FBarManager(Manager) {}

bool TdxBarPopupMenuLinks::ShowFor(TWinControl* Control, HWND Window, TPoint Position) {
    if (!Control || !Control->HandleAllocated()) return false;
    for (int I = 0; I < Count(); ++I) {
        TdxBarPopupMenuLink* Link = Items(I);
        if (Link->Control() != Control) continue;
        DropQueued(Window, WM_CONTEXTMENU, WM_CONTEXTMENU);
        const bool ByMouse = Position != TPoint{-1, -1};
        POINT At{0, 0};
        HWND From = ByMouse ? Window : 0;
        if (ByMouse) {
            At = POINT{Position.X, Position.Y};
        } else {
            // From the keyboard the menu opens where the user types: at the caret when the
            // window (or a part of it, such as a combo box's edit) shows one, else at its corner.
            HWND CaretWnd = 0;
            POINT Caret{};
            if (GetCaretWindowPos(&CaretWnd, &Caret) &&
                (CaretWnd == Window || IsChild(Window, CaretWnd))) {
                At = Caret;
                From = CaretWnd;
            }
        }
        if (From) MapWindowPoints(From, Control->Handle(), &At, 1);
        bool Handled = false;
        if (Control->OnContextPopup) Control->OnContextPopup(Control, TPoint{At.x, At.y}, Handled);
        if (Handled) return true;
        bool Allow = Link->PopupMenu() != nullptr;
        int X = At.x, Y = At.y;
        if (Link->OnAction) Link->OnAction(Link, X, Y, ByMouse, Allow);
        if (!Allow || !Link->PopupMenu()) continue;
        if (IsWindowEnabled(Window)) SetFocus(Window);
        POINT Screen{X, Y};
        ClientToScreen(Control->Handle(), &Screen);
        Link->PopupMenu()->Popup(Screen.x, Screen.y);
        return true;
    }
    return false;
}

void TdxBarPopupMenuLinks::ComponentRemoved(TComponent* AComponent) {
    for (int I = 0; I < Count(); ++I) {
        TdxBarPopupMenuLink* Link = Items(I);
        if (Link->Control() == AComponent) Link->SetControl(nullptr);
        if (Link->PopupMenu() == AComponent) Link->SetPopupMenu(nullptr);
    }
}
