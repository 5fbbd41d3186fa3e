// The edit control with buttons: its children, its text and its buttons' count.
#include "components/dcedit/DCEdit.h"

#include <exception>

#include "components/dcedit/Register.h"
#include "components/registries/ClassRegistries.h"
#include "platform/classes/FlagScope.h"
#include "platform/controls/Edit.h"

// ---- the simple children ----------------------------------------------------------------------

TDummyPopup::TDummyPopup(TComponent* AOwner) : TWinControl(AOwner) {
    FVisible = false;
    FControlStyle.Exclude(csCaptureMouse);
}

// ---- life -------------------------------------------------------------------------------------

struct TCustomDCEdit::TChildClass {
    TPackagedCollection& (*Registry)();
    const char* DefaultClass;
};

const TCustomDCEdit::TChildClass& TCustomDCEdit::ChildClassOf(TChild Kind) {
    static const TChildClass Classes[] = {
        {&EditSourceClasses, "TDummyEditSource"},
        {&EditClasses, "TDCSimpleEdit"},
        {&PopupClasses, "TDummyPopup"},
    };
    return Classes[int(Kind)];
}

TCustomDCEdit::TCustomDCEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    // The classes children are chosen from by name.
    RegisterDCEditClasses();
    FControlStyle = TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks};
    FEditInstance = MakeObjectInstance([this](TMessage& M) { EditWndProc(M); });
    SetBounds(0, 0, 121, 21);
    FColor = clWindow;
    FParentColor = false;
    for (int I = 0; I < DCEditLimits::kMaxButtons; ++I) {
        FButtons[I] = new TEditButton(this);
        FButtonParams[I] =
            std::make_unique<TButtonParams>(FButtons[I], [this] { LayoutButtons(); });
    }
    FButtonParams[0]->SetKind(bkDropDown);
    FButtonParams[1]->SetKind(bkDots);
    SetButtonCount(1);
    FPopup = new TDummyPopup(this);
    FEditSource = new TDummyEditSource(this);
    ApplyTabStop();
}

TCustomDCEdit::~TCustomDCEdit() {
    TCustomDCEdit::BeforeDestruction();
    FreeObjectInstance(FEditInstance);
}

void TCustomDCEdit::BeforeDestruction() {
    RemovePopupHooks();
    if (HandleAllocated()) KillTimer(Handle(), kPopupTimer);
    UnhookEdit();
    // The children go without telling the edit: it forgets them first.
    FEdit = nullptr;
    FPopup = nullptr;
    FEditSource = nullptr;
    for (TEditButton*& Button : FButtons) Button = nullptr;
    TCustomControl::BeforeDestruction();
}

void TCustomDCEdit::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FPopup) {
        if (FDroppedDown) {
            RemovePopupHooks();
            FDroppedDown = false;
        }
        FPopup = nullptr;
    }
    if (AComponent == FEdit) FEdit = nullptr;
    if (AComponent == FEditSource) FEditSource = nullptr;
    for (TEditButton*& Button : FButtons)
        if (AComponent == Button) Button = nullptr;
}

void TCustomDCEdit::SetParent(TWinControl* AParent) {
    TCustomControl::SetParent(AParent);
    if (AParent && FCreateChildrenOnParent) CreateChildren();
}

void TCustomDCEdit::Loaded() {
    TCustomControl::Loaded();
    if (FFirstLoad) {
        FFirstLoad = false;
        // Children read from the definition take the place of those made meanwhile.
        for (TChild Kind : {TChild::EditSource, TChild::Edit, TChild::Popup})
            if (!ChildClassName(Kind).empty()) ChooseChild(Kind, ChildClassName(Kind), true);
    }
    LayoutButtons();
}

void TCustomDCEdit::GetChildren(const TGetChildProc& Proc, TComponent*) {
    for (TChild Kind : {TChild::Popup, TChild::EditSource, TChild::Edit})
        if (!ChildClassName(Kind).empty())
            if (TComponent* Child = ChildOf(Kind)) Proc(Child);
}

// ---- children by class name -------------------------------------------------------------------

const TClassInfo* TCustomDCEdit::GetEditClass() {
    return ClassInfoOf<TDCSimpleEdit>();
}

const TClassInfo* TCustomDCEdit::GetPopupClass() {
    return GetClass("TPopupListBox");
}

void TCustomDCEdit::CreateChildren() {
    if (!FEdit) {
        const TClassInfo* Class = GetEditClass();
        AdjustEditClass(Class);
        AttachChild(TChild::Edit, Class->Create(this));
    }
    if (IsDummyPopup()) {
        const TClassInfo* Class = GetPopupClass();
        if (FPopup) FPopup->Free();
        AttachChild(TChild::Popup, Class->Create(this));
        FPopupClassName = Class->Name;
    }
}

TComponent* TCustomDCEdit::ChildOf(TChild Kind) const {
    switch (Kind) {
        case TChild::EditSource:
            return FEditSource;
        case TChild::Edit:
            return FEdit;
        default:
            return FPopup;
    }
}

std::string& TCustomDCEdit::ChildClassName(TChild Kind) {
    switch (Kind) {
        case TChild::EditSource:
            return FEditSourceClassName;
        case TChild::Edit:
            return FEditClassName;
        default:
            return FPopupClassName;
    }
}

void TCustomDCEdit::SetEditClassName(const std::string& Value) {
    ChooseChild(TChild::Edit, Value, false);
}

void TCustomDCEdit::SetPopupClassName(const std::string& Value) {
    ChooseChild(TChild::Popup, Value, false);
}

void TCustomDCEdit::SetEditSourceClassName(const std::string& Value) {
    ChooseChild(TChild::EditSource, Value, false);
}

void TCustomDCEdit::ChooseChild(TChild Kind, const std::string& Name, bool Again) {
    std::string& Current = ChildClassName(Kind);
    if (!Again && Name == Current) return;
    Current = Name;
    if (ComponentState().Contains(csLoading)) return;
    if (Kind == TChild::Popup && FDroppedDown) CloseUp(false);
    if (TComponent* Old = ChildOf(Kind)) Old->Free();
    const TChildClass& Row = ChildClassOf(Kind);
    const TClassInfo* Class = FindRegisteredClass(Row.Registry(), Name) ? GetClass(Name) : nullptr;
    if (Kind == TChild::Edit) AdjustEditClass(Class);
    if (!Class || !Class->Create) Class = GetClass(Row.DefaultClass);
    TComponent* Child = ReadChildOf(Class);
    AttachChild(Kind, Child ? Child : Class->Create(this));
}

TComponent* TCustomDCEdit::ReadChildOf(const TClassInfo* Class) {
    for (int I = 0; I < ComponentCount(); ++I) {
        TComponent* C = Components(I);
        const bool InUse =
            C == FEdit || C == FPopup || C == FEditSource || C == FButtons[0] || C == FButtons[1];
        if (!InUse && ClassInfoOf(C) == Class) return C;
    }
    return nullptr;
}

void TCustomDCEdit::AttachChild(TChild Kind, TComponent* Child) {
    const auto Mismatch = [&] {
        // A registered class of the wrong kind: the default serves instead.
        Child->Free();
        Child = GetClass(ChildClassOf(Kind).DefaultClass)->Create(this);
    };
    switch (Kind) {
        case TChild::EditSource:
            if (!dynamic_cast<TEditSource*>(Child)) Mismatch();
            FEditSource = static_cast<TEditSource*>(Child);
            return;
        case TChild::Edit:
            if (!dynamic_cast<TControl*>(Child)) Mismatch();
            AttachEdit(static_cast<TControl*>(Child));
            return;
        default:
            if (!dynamic_cast<TWinControl*>(Child)) Mismatch();
            AttachPopup(static_cast<TWinControl*>(Child));
            return;
    }
}

void TCustomDCEdit::AttachEdit(TControl* Edit) {
    FEdit = Edit;
    if (auto* Plain = dynamic_cast<TCustomEdit*>(Edit)) Plain->SetBorderStyle(bsNone);
    Edit->SetColor(FColor);
    Edit->SetEnabled(FEnabled);
    Edit->SetVisible(true);
    // Made with its window when the edit has one; the window is subclassed as it is made.
    Edit->SetParent(this);
    if (auto* Windowed = dynamic_cast<TWinControl*>(Edit); Windowed && Windowed->HandleAllocated())
        HookEdit(Windowed->Handle());
    LayoutButtons();
    ApplyTabStop();
    UpdateReadOnly();
}

void TCustomDCEdit::AttachPopup(TWinControl* Popup) {
    FPopup = Popup;
    Popup->SetVisible(false);
    TControlStyle Style = Popup->ControlStyle();
    Style.Exclude(csCaptureMouse);
    Popup->SetControlStyle(Style);
    Popup->SetParent(this);
}

bool TCustomDCEdit::HasWindowedEdit() const {
    return dynamic_cast<TWinControl*>(FEdit) != nullptr;
}

bool TCustomDCEdit::IsDummyPopup() const {
    return !FPopup || dynamic_cast<TDummyPopup*>(FPopup) != nullptr;
}

void TCustomDCEdit::SetEditTabStop(bool Value) {
    FTabStop = Value;
    ApplyTabStop();
}

void TCustomDCEdit::ApplyTabStop() {
    if (auto* Windowed = dynamic_cast<TWinControl*>(FEdit)) {
        TWinControl::SetTabStop(false);
        Windowed->SetTabStop(FTabStop);
    } else {
        TWinControl::SetTabStop(FTabStop);
    }
}

// ---- the text ---------------------------------------------------------------------------------

std::string TCustomDCEdit::GetEditText() {
    return FEdit ? FEdit->Text() : std::string();
}

void TCustomDCEdit::SetEditText(const std::string& Value) {
    if (!FEdit || Value == GetEditText()) return;
    {
        // The inner edit reports the change too; it is this one.
        const bool Was = FSettingText;
        FSettingText = true;
        struct TDone {
            bool& Flag;
            bool Was;
            ~TDone() { Flag = Was; }
        } Done{FSettingText, Was};
        FEdit->SetText(Value);
    }
    FText = Value;
    Change();
}

void TCustomDCEdit::RestoreText() {
    if (!FText.empty()) SetEditText(FText);
}

bool TCustomDCEdit::GetModified() {
    if (auto* Windowed = dynamic_cast<TWinControl*>(FEdit); Windowed && Windowed->HandleAllocated())
        return ::SendMessage(Windowed->Handle(), EM_GETMODIFY, 0, 0) != 0;
    return FModified;
}

void TCustomDCEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    UpdateReadOnly();
}

void TCustomDCEdit::UpdateReadOnly() {
    const bool Value = GetReadOnly();
    if (auto* Windowed = dynamic_cast<TWinControl*>(FEdit); Windowed && Windowed->HandleAllocated())
        ::SendMessage(Windowed->Handle(), EM_SETREADONLY, Value ? TRUE : FALSE, 0);
    if (auto* Plain = dynamic_cast<TCustomEdit*>(FEdit)) Plain->SetReadOnly(Value);
}

void TCustomDCEdit::UpdateSource() {
    if (FUpdatingSource || std::uncaught_exceptions() > 0 || !FEditSource) return;
    FUpdatingSource = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FUpdatingSource};
    FEditSource->SetValue(GetEditText());
}

void TCustomDCEdit::Change() {
    if (OnChange) OnChange(this);
    Perform(CM_CHANGED);
}

void TCustomDCEdit::InnerEditChanged() {
    if (!FSettingText) Change();
}

// ---- the buttons ------------------------------------------------------------------------------

void TCustomDCEdit::SetButtonCount(int Value) {
    if (Value < 0 || Value > DCEditLimits::kMaxButtons) return;
    FButtonCount = Value;
    {
        const TFlagScope Counting(FCountingButtons);
        for (int I = 0; I < DCEditLimits::kMaxButtons; ++I)
            if (FButtons[I]) FButtons[I]->SetVisible(I < Value);
    }
    LayoutButtons();
}

void TCustomDCEdit::ButtonVisibilityChanged() {
    if (FCountingButtons || !FButtonParams[DCEditLimits::kMaxButtons - 1]) return;
    int Visible = 0;
    for (TEditButton* Button : FButtons) Visible += Button && Button->Visible() ? 1 : 0;
    SetButtonCount(Visible);
}

void TCustomDCEdit::SetOnButton1Click(TNotifyEvent Value) {
    FOnButtonClick[0] = Value;
    if (FButtons[0]) FButtons[0]->OnClick = std::move(Value);
}

void TCustomDCEdit::SetOnButton2Click(TNotifyEvent Value) {
    FOnButtonClick[1] = Value;
    if (FButtons[1]) FButtons[1]->OnClick = std::move(Value);
}
