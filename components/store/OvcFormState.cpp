#include "components/store/OvcFormState.h"

#include "platform/forms/Errors.h"

namespace {

// The form a control sits on, or the form that owns another component.
TCustomForm* FormOf(const TComponent* Component) {
    if (auto* Control = dynamic_cast<const TControl*>(Component))
        return GetParentForm(const_cast<TControl*>(Control));
    return dynamic_cast<TCustomForm*>(Component->Owner());
}

// A control of the form the restore may make active: shown and enabled up to the form, which is
// itself not shown yet while it is created.
bool CanBeActive(TWinControl* Control, TCustomForm* Form) {
    if (!Control || Control == Form || GetParentForm(Control) != Form) return false;
    for (TControl* C = Control; C && C != Form; C = C->Parent())
        if (!C->Visible() || !C->Enabled()) return false;
    return true;
}

// The form that is or is about to become the main form: the first made by the application
// object is not its main form before its creation has ended.
bool IsMainForm(const TCustomForm& Form) {
    return Forms.MainForm() == &Form || (!Forms.MainForm() && Form.Owner() == &Forms);
}

}  // namespace

std::string DefaultStateSection(const TComponent* Component) {
    if (!Component) return "";
    if (dynamic_cast<const TCustomForm*>(Component)) return Component->ClassName();
    if (auto* Control = dynamic_cast<const TControl*>(Component)) {
        if (TCustomForm* Form = FormOf(Control)) {
            const std::string Prefix = Form->Name().empty() ? Form->ClassName() : Form->Name();
            return Prefix + "." + Control->Name();
        }
        if (Control->Parent()) return Control->Parent()->Name() + "." + Control->Name();
        return Control->Name();
    }
    if (auto* Owner = dynamic_cast<const TCustomForm*>(Component->Owner()))
        return Owner->ClassName() + "." + Component->Name();
    return Component->Name();
}

// ---- TOvcFormState --------------------------------------------------------------------------

TOvcFormState::TOvcFormState(TComponent* AOwner) : TOvcAbstractState(AOwner) {
    if (!dynamic_cast<TCustomForm*>(AOwner))
        throw EComponentError("This component can only be used on forms");
}

TOvcFormState::~TOvcFormState() {
    Unhook();
}

TCustomForm* TOvcFormState::Form() const {
    return dynamic_cast<TCustomForm*>(Owner());
}

std::string TOvcFormState::DefaultSection() const {
    return DefaultStateSection(Owner());
}

void TOvcFormState::Loaded() {
    TOvcAbstractState::Loaded();
    TCustomForm* F = Form();
    if (FHooked || !F) return;
    FHooked = true;
    FPreviousCreate = F->OnCreate;
    FPreviousCloseQuery = F->OnCloseQuery;
    FPreviousDestroy = F->OnDestroy;
    F->OnCreate = [this](TObject* Sender) {
        FormCreated([&] {
            if (FPreviousCreate) FPreviousCreate(Sender);
        });
    };
    F->OnCloseQuery = [this](TObject* Sender, bool& CanClose) {
        FormCloseQuery(
            [&](bool& C) {
                if (FPreviousCloseQuery) FPreviousCloseQuery(Sender, C);
            },
            CanClose);
    };
    F->OnDestroy = [this](TObject* Sender) {
        FormDestroying([&] {
            if (FPreviousDestroy) FPreviousDestroy(Sender);
        });
    };
}

void TOvcFormState::Unhook() {
    TCustomForm* F = Form();
    if (!FHooked || !F) return;
    FHooked = false;
    F->OnCreate = FPreviousCreate;
    F->OnCloseQuery = FPreviousCloseQuery;
    F->OnDestroy = FPreviousDestroy;
}

TFormStateSubject TOvcFormState::Subject(TCustomForm& F) const {
    TFormStateSubject S;
    S.Wnd = F.Handle();
    S.MainForm = IsMainForm(F);
    S.ApplicationMinimized = Forms.Minimized();
    // A main form restored minimised minimises the application through its own window (so that
    // a tray icon of the form sees the command too).
    S.ApplicationWindow = 0;
    // Every window of the program is a class of its own derived from the plain form class; each
    // of them takes its restored position over its definition's centring.
    S.PlainFormClass = dynamic_cast<TForm*>(&F) != nullptr;
    S.MDIChild = F.FormStyle() == fsMDIChild;
    S.Loading = F.ComponentState().Contains(csLoading);
    S.Color = F.Color();
    S.DefaultMonitor = int(F.DefaultMonitor());
    if (F.ActiveControl()) S.ActiveControl = F.ActiveControl()->Name();
    return S;
}

void TOvcFormState::RestoreState() {
    TCustomForm* F = Form();
    if (!F || !Storage()) return;
    Apply(*F, RestoreFormState(*Storage(), Section(), FOptions, Subject(*F)));
}

void TOvcFormState::Apply(TCustomForm& F, const TFormStateRestored& Restored) {
    if (Restored.PositionDesigned) F.SetPosition(poDesigned);
    if (Restored.WindowState) {
        switch (*Restored.WindowState) {
            case TRestoredWindowState::Minimized:
                F.SetWindowState(wsMinimized);
                break;
            case TRestoredWindowState::Maximized:
                F.SetWindowState(wsMaximized);
                break;
            default:
                F.SetWindowState(wsNormal);
        }
    }
    if (Restored.DefaultMonitor) F.SetDefaultMonitor(TDefaultMonitor(*Restored.DefaultMonitor));
    if (Restored.Color) F.SetColor(*Restored.Color);
    if (Restored.Repaint) F.Update();
    if (!Restored.ActiveControl.empty()) {
        auto* Control = dynamic_cast<TWinControl*>(F.FindComponent(Restored.ActiveControl));
        if (CanBeActive(Control, &F)) F.SetActiveControl(Control);
    }
}

void TOvcFormState::SaveState() {
    TCustomForm* F = Form();
    // A form whose window never existed has no placement to save.
    if (!F || !Storage() || !F->HandleAllocated()) return;
    SaveFormState(*Storage(), Section(), FOptions, Subject(*F));
}

// ---- TOvcAttachedLabel ----------------------------------------------------------------------

TOvcAttachedLabel::TOvcAttachedLabel(TComponent* AOwner) : TLabel(AOwner) {
    SetAutoSize(true);
    SetParentFont(true);
    SetTransparent(false);
}

TOvcAttachedLabel::TOvcAttachedLabel(TComponent* AOwner, TWinControl* Control)
    : TOvcAttachedLabel(AOwner) {
    SetFocusControl(Control);
}

bool TOvcAttachedLabel::TellControl() {
    TWinControl* Control = FocusControl();
    if (!Control) return false;
    const TComponentState State = ComponentState();
    if (State.Contains(csLoading) || State.Contains(csDestroying)) return false;
    const TCustomForm* Form = GetParentForm(this);
    const TComponent* Holder = Form ? static_cast<const TComponent*>(Form) : Owner();
    if (Control->Owner() != Holder || !Control->Parent()) return false;
    const HWND Wnd = Control->Handle();
    SendMessage(Wnd, OM_ASSIGNLABEL, 0, LPARAM(this));
    PostMessage(Wnd, OM_POSITIONLABEL, 0, 0);
    return true;
}

void TOvcAttachedLabel::Loaded() {
    TLabel::Loaded();
    TellControl();
}

void TOvcAttachedLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (TellControl()) Application.ProcessMessages();
}
