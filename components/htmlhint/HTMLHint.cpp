#include "components/htmlhint/HTMLHint.h"

#include "platform/core/Paint.h"

namespace {

// The screen's width when no hint has told the window a maximum.
int ScreenWidth() {
    return Screen ? Screen->Width() : GetSystemMetrics(SM_CXSCREEN);
}

}  // namespace

// ---- THTMLHint ------------------------------------------------------------------------------

THTMLHint::THTMLHint(TComponent* AOwner) : TComponent(AOwner) {
    auto* Form = dynamic_cast<TCustomForm*>(AOwner);
    if (!Form) throw EHTMLHintError("Control parent must be a form!");
    int OnForm = 0;
    for (int I = 0; I < Form->ComponentCount(); ++I)
        if (dynamic_cast<THTMLHint*>(Form->Components(I))) ++OnForm;
    if (OnForm > 1) throw EHTMLHintError("Only one instance of THTMLHint allowed on form");
    FHintFont.SetColor(clInfoText);
    FHintFont.SetName("Tahoma");
    FHintInfo.HintMaxWidth = ScreenWidth();
    FPreviousWindowClass = Forms.HintWindowClass;
    FPreviousShowHint = Forms.OnShowHint;
    FInstalled = true;
    Forms.HintWindowClass = [](TComponent* Owner) { return new THTMLHintWindow(Owner); };
    // Off and on again: the window of the old class goes, the next hint makes one of the new.
    if (Forms.ShowHint()) {
        Forms.SetShowHint(false);
        Forms.SetShowHint(true);
    }
    Forms.OnShowHint = [this](std::string& HintStr, bool& CanShow, THintInfo& Info) {
        ShowHint(HintStr, CanShow, Info);
    };
}

THTMLHint::~THTMLHint() {
    if (!FInstalled) return;
    // The application must not call into a component that is gone.
    Forms.OnShowHint = FPreviousShowHint;
    Forms.HintWindowClass = FPreviousWindowClass;
    if (Forms.ShowHint()) {
        Forms.SetShowHint(false);
        Forms.SetShowHint(true);
    }
}

void THTMLHint::SetPictureContainer(TPictureContainer* Value) {
    if (FSettings.PictureContainer) FSettings.PictureContainer->RemoveFreeNotification(this);
    FSettings.PictureContainer = Value;
    if (Value) Value->FreeNotification(this);
}

void THTMLHint::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSettings.PictureContainer)
        FSettings.PictureContainer = nullptr;
}

THTMLHintSettings THTMLHint::Settings() {
    THTMLHintSettings S = FSettings;
    S.Cache = &FCache;
    return S;
}

void THTMLHint::ShowHint(std::string& HintStr, bool& CanShow, THintInfo& Info) {
    Info.HintColor = FSettings.HintColor;
    if (OnShowHint) OnShowHint(HintStr, CanShow, Info);
    FHintInfo = Info;
}

// ---- THTMLHintWindow ------------------------------------------------------------------------

THTMLHintWindow::THTMLHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void THTMLHintWindow::CreateParams(TCreateParams& Params) {
    THintWindow::CreateParams(Params);
    // The window paints its own frame.
    Params.Style &= ~WS_BORDER;
}

THTMLHint* THTMLHintWindow::FindHTMLHint() {
    TCustomForm* Main = Forms.MainForm();
    if (!Main) return nullptr;
    for (int I = 0; I < Main->ComponentCount(); ++I)
        if (auto* Hint = dynamic_cast<THTMLHint*>(Main->Components(I))) return Hint;
    return nullptr;
}

THTMLHintSettings THTMLHintWindow::CurrentSettings(THTMLHint* Hint) {
    if (Hint) {
        Canvas()->Font().Assign(*Hint->HintFont());
        return Hint->Settings();
    }
    Canvas()->Font().Assign(FFont);
    return THTMLHintSettings{};
}

THintPlacement THTMLHintWindow::Measure(const std::string& Hint, TPoint Pos, int MaxWidth) {
    THTMLHint* Component = FindHTMLHint();
    const THTMLHintSettings Settings = CurrentSettings(Component);
    const HDC DC = GetDC(0);
    Canvas()->SetHandle(DC);
    THintPlacement Placement;
    try {
        Placement = PlaceHTMLHint(*Canvas(), Hint, Pos, MaxWidth, Settings);
    } catch (...) {
        Canvas()->SetHandle(0);
        ReleaseDC(0, DC);
        throw;
    }
    Canvas()->SetHandle(0);
    ReleaseDC(0, DC);
    return Placement;
}

TRect THTMLHintWindow::CalcHintRect(int MaxWidth, const std::string& Hint, void*) {
    const THintPlacement P = Measure(Hint, TPoint{0, 0}, MaxWidth);
    return TRect{0, 0, P.Window.Width(), P.Window.Height()};
}

void THTMLHintWindow::ActivateHintData(TRect Rect, const std::string& Hint, void*) {
    ActivateHint(Rect, Hint);
}

void THTMLHintWindow::ActivateHint(TRect Rect, const std::string& Hint) {
    if (HandleAllocated() && IsWindowVisible(Handle())) ShowWindow(Handle(), SW_HIDE);
    SetText(Hint);
    THTMLHint* Component = FindHTMLHint();
    if (Component) SetColor(Component->HintColor());
    const int MaxWidth = Component ? Component->HintInfo().HintMaxWidth : ScreenWidth();
    const THintPlacement P = Measure(Hint, TPoint{Rect.Left, Rect.Top}, MaxWidth);
    FTextSize = P.Text;
    const TRect& W = P.Window;
    SetBounds(W.Left, W.Top, W.Width(), W.Height());
    const THTMLHintSettings Settings = CurrentSettings(Component);
    SetWindowRgn(Handle(), HTMLHintRegion(Settings, W.Width(), W.Height()), TRUE);
    SetWindowPos(Handle(), HWND_TOPMOST, W.Left, W.Top, W.Width(), W.Height(),
                 SWP_SHOWWINDOW | SWP_NOACTIVATE);
    FVisible = true;
    Invalidate();
}

void THTMLHintWindow::Paint() {
    THTMLHint* Component = FindHTMLHint();
    THTMLHintSettings Settings = CurrentSettings(Component);
    Settings.HintColor = Component ? Component->HintInfo().HintColor : Color();
    PaintHTMLHint(*Canvas(), ClientRect(), Caption(), FTextSize.cy, Settings);
}
