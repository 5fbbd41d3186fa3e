#include "bars/customize/dxBarPopupMenuEd.h"

#include "bars/customize/dxBarCustForm.h"
#include "bars/look/dxBarDraw.h"
#include "bars/model/dxBarCategories.h"
#include "bars/model/dxBarContainerItems.h"
#include "bars/model/dxBarGroups.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarStoredValues.h"
#include "bars/model/dxBarStrings.h"
#include "bars/model/dxBarTypes.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarControl.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSubMenu.h"
#include "bars/windows/dxBarToolbar.h"
#include "platform/forms/ClassRegistry.h"

namespace {

TdxBarSubMenuEditor*& Editor() {
    static TdxBarSubMenuEditor* Instance = nullptr;
    return Instance;
}

void RegisterSubMenuEditor() {
    static const bool Registered = [] {
        RegisterClass<TdxBarSubMenuEditor, TForm>("TdxBarSubMenuEditor")
            .Method("FormCreate", &TdxBarSubMenuEditor::FormCreate);
        return true;
    }();
    (void)Registered;
}

}  // namespace

TdxBarSubMenuEditor::~TdxBarSubMenuEditor() {
    CloseSubMenu();
    if (FWatched) FWatched->RemoveFreeNotification(this);
    if (Editor() == this) Editor() = nullptr;
}

void TdxBarSubMenuEditor::FormCreate(TObject*) {
    SetCaption(dxBarString(kdxBarSubMenuEditorCaption));
    SetClientHeight(0);
}

void TdxBarSubMenuEditor::CreateParams(TCreateParams& Params) {
    TForm::CreateParams(Params);
    // A tool window of the customizing dialog, above the form being designed.
    Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CAPTION | WS_SYSMENU;
    Params.ExStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    if (TdxBarCustomizingForm* Dialog = GetCustomizingForm())
        if (TdxBarManager* Manager = Dialog->BarManager())
            if (TCustomForm* Owner = Manager->OwnerForm(); Owner && Owner->HandleAllocated())
                Params.WndParent = Owner->Handle();
}

TComponent* TdxBarSubMenuEditor::LinksOwner() const {
    if (!FItemLinks) return nullptr;
    if (auto* Owner = dynamic_cast<TComponent*>(FItemLinks->LinksOwner())) return Owner;
    return FItemLinks->BarManager();
}

void TdxBarSubMenuEditor::SetItemLinks(TdxBarItemLinks* Value) {
    if (!Value) {
        Release();
        return;
    }
    if (Value == FItemLinks) return;
    CloseSubMenu();
    if (FWatched) FWatched->RemoveFreeNotification(this);
    FItemLinks = Value;
    FWatched = LinksOwner();
    if (FWatched) FWatched->FreeNotification(this);
}

void TdxBarSubMenuEditor::Notification(TComponent* AComponent, TOperation Operation) {
    TForm::Notification(AComponent, Operation);
    if (Operation != opRemove || AComponent != FWatched) return;
    // The links go with their owner (freed already, with their window): so does the editor.
    FWatched = nullptr;
    FItemLinks = nullptr;
    if (Editor() == this) Editor() = nullptr;
    Release();
}

TdxBarSubMenuControl* TdxBarSubMenuEditor::SubMenu() const {
    return FItemLinks ? dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->BarControl()) : nullptr;
}

void TdxBarSubMenuEditor::ShowSubMenu() {
    if (!FItemLinks || FItemLinks->BarControl() || !HandleAllocated()) return;
    auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(FItemLinks->CreateBarControl());
    if (!Menu) return;
    Menu->SetRequestedPos(TPoint{Left(), Top() + Height()});
    Menu->SetOwnerWindow(Handle());
    Menu->SetAnimationAllowed(false);
    Menu->Show();
    if (SubMenu() && SubMenu()->HandleAllocated()) {
        RECT R{};
        GetWindowRect(SubMenu()->Handle(), &R);
        SetWidth(R.right - R.left);
        FollowWithSubMenu();
    }
}

void TdxBarSubMenuEditor::CloseSubMenu() {
    if (TdxBarSubMenuControl* Menu = SubMenu(); Menu && !Menu->Hiding()) Menu->Hide();
}

void TdxBarSubMenuEditor::FollowOwnerForm(bool Shown) {
    if (!HandleAllocated()) return;
    if (!Shown) {
        CloseSubMenu();
        ShowWindow(Handle(), SW_HIDE);
        return;
    }
    ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    ShowSubMenu();
}

void TdxBarSubMenuEditor::FollowWithSubMenu() {
    TdxBarSubMenuControl* Menu = SubMenu();
    if (!Menu || !Menu->HandleAllocated() || !HandleAllocated()) return;
    RECT R{};
    GetWindowRect(Handle(), &R);
    SetWindowPos(Menu->Handle(), 0, R.left, R.bottom, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TdxBarSubMenuEditor::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_ACTIVATE:
            TForm::Dispatch(Message);
            if (LOWORD(Message.WParam) != WA_INACTIVE) ShowSubMenu();
            return;
        case WM_MOVE:
            TForm::Dispatch(Message);
            FollowWithSubMenu();
            return;
        case WM_GETMINMAXINFO: {
            TForm::Dispatch(Message);
            // Only the caption shows: the editor is as high as that and as wide as the menu.
            auto* Info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
            if (!Info || !HandleAllocated()) return;
            RECT R{};
            GetWindowRect(Handle(), &R);
            const int H = R.bottom - R.top;
            int W = R.right - R.left;
            if (TdxBarSubMenuControl* Menu = SubMenu(); Menu && Menu->HandleAllocated()) {
                RECT M{};
                GetWindowRect(Menu->Handle(), &M);
                W = M.right - M.left;
            }
            Info->ptMinTrackSize = POINT{W, H};
            Info->ptMaxTrackSize = POINT{W, H};
            Info->ptMaxSize = POINT{W, H};
            return;
        }
        case WM_SYSCOMMAND:
            if ((Message.WParam & 0xFFF0) == SC_CLOSE) CloseSubMenu();
            TForm::Dispatch(Message);
            return;
        default:
            TForm::Dispatch(Message);
    }
}

void TdxBarSubMenuEditor::DoClose(TCloseAction& Action) {
    TForm::DoClose(Action);
    if (Action == caNone) return;
    CloseSubMenu();
    if (Editor() == this) Editor() = nullptr;
    Action = caFree;
}

void ShowSubMenuEditor(TdxBarItemLinks* ItemLinks) {
    if (!ItemLinks) {
        FreeSubMenuEditor();
        return;
    }
    if (TdxBarManager* Manager = ItemLinks->BarManager()) {
        Manager->Customizing(true);
        TdxBarCustomizingForm* Dialog = GetCustomizingForm();
        if (Dialog && Manager->ComponentState().Contains(csDesigning))
            Dialog->PageControl->SetActivePage(Dialog->TabSheet2);
    }
    RegisterSubMenuEditor();
    if (!Editor()) Editor() = CreateForm<TdxBarSubMenuEditor>(nullptr);
    Editor()->SetClientHeight(0);
    Editor()->SetItemLinks(ItemLinks);
    Editor()->Show();
    Editor()->ShowSubMenu();
}

TdxBarSubMenuEditor* GetSubMenuEditor() {
    return Editor();
}

void FreeSubMenuEditor() {
    if (TdxBarSubMenuEditor* Open = Editor()) {
        Editor() = nullptr;
        Open->Free();
    }
}
