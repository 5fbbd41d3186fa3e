#include "bars/windows/dxBarWindowViews.h"

#include "bars/look/dxBarDraw.h"
#include "bars/look/dxBarSystem.h"
#include "bars/model/dxBarItemLinks.h"
#include "bars/model/dxBarItems.h"
#include "bars/model/dxBarManager.h"
#include "bars/model/dxBarViews.h"
#include "bars/model/dxBarWindowItems.h"
#include "bars/model/dxBars.h"
#include "bars/windows/dxBarDock.h"
#include "bars/windows/dxBarDropDownList.h"
#include "bars/windows/dxBarEditControls.h"
#include "bars/windows/dxBarHooks.h"
#include "bars/windows/dxBarItemControls.h"
#include "bars/windows/dxBarPopupMenus.h"
#include "bars/windows/dxBarSubMenu.h"
#include "bars/windows/dxBarToolbar.h"
#include "bars/windows/dxBarUtils.h"
#include "platform/core/Input.h"
#include "platform/widgets/Forms.h"

namespace {

// Whether the control is the one the user works in (the selected control of an active window).
bool IsControlInUse(TdxBarItemControl* Control) {
    TCustomdxBarControl* Window = Control->Parent();
    return Window && Window->Active() && Window->SelectedControl() == Control;
}

void TellButton(TdxBarItemControl* Control, void (TdxBarButtonControl::*Tell)()) {
    if (auto* Button = dynamic_cast<TdxBarButtonControl*>(Control)) (Button->*Tell)();
}

void SetRedraw(TWinControl* Window, bool Value) {
    if (Window->HandleAllocated()) SendMessage(Window->Handle(), WM_SETREDRAW, Value, 0);
}

// The bar windows a going manager still owns go the way every bar window goes: later, while one
// of their handlers runs.
void ReleaseWindowsOf(TdxBarManager* Manager) {
    std::vector<TBarWindowRef<>> Windows;
    Windows.reserve(size_t(Manager->ComponentCount()));
    for (int I = 0; I < Manager->ComponentCount(); ++I)
        if (auto* Window = dynamic_cast<TCustomdxBarControl*>(Manager->Components(I)))
            Windows.emplace_back(Window);
    for (TCustomdxBarControl* Window : Windows)
        if (Window) Window->ReleaseWindow();
}

class TWindowViews : public TdxBarViews {
  public:
    // ---- the item controls ----

    void ItemChanged(TdxBarItemLink* Link, TdxBarItemChange What) override {
        TdxBarItemControl* Control = Link->Control();
        if (!Control) return;
        switch (What) {
            case TdxBarItemChange::Layout:
                Control->RequestLayout();
                break;
            case TdxBarItemChange::LayoutUnlessInUse:
                if (!IsControlInUse(Control)) Control->RequestLayout();
                break;
            case TdxBarItemChange::RepaintUnlessInUse:
                if (!IsControlInUse(Control)) Control->Repaint();
                break;
            case TdxBarItemChange::Caption:
                Control->CaptionChanged();
                break;
            case TdxBarItemChange::Enabled:
                Control->EnabledChanged();
                break;
            case TdxBarItemChange::Glyph:
                Control->GlyphChanged();
                break;
            case TdxBarItemChange::ShortCut:
                Control->ShortCutChanged();
                break;
            case TdxBarItemChange::BeginGroup:
                Control->BeginGroupChanged();
                break;
            case TdxBarItemChange::Visible:
                Control->VisibleChanged();
                break;
            case TdxBarItemChange::PaintStyle:
                TellButton(Control, &TdxBarButtonControl::PaintStyleChanged);
                break;
            case TdxBarItemChange::ButtonStyle:
                TellButton(Control, &TdxBarButtonControl::ButtonStyleChanged);
                break;
            case TdxBarItemChange::Down:
                TellButton(Control, &TdxBarButtonControl::DownChanged);
                break;
            case TdxBarItemChange::DropDownEnabled:
                TellButton(Control, &TdxBarButtonControl::DropDownEnabledChanged);
                break;
        }
    }

    TdxBarControlState ControlState(const TdxBarItemLink* Link) override {
        TdxBarControlState State;
        TdxBarItemControl* Control = Link->Control();
        if (!Control) return State;
        State.Selectable = Control->IsSelectable();
        State.Selected = Control->Selected();
        auto* Sub = dynamic_cast<TdxBarSubItemControl*>(Control);
        State.SubMenuOpen = Sub && Sub->GetSubMenuControl();
        if (auto* Button = dynamic_cast<TdxBarButtonControl*>(Control))
            State.PaintStyle = Button->RealPaintStyle();
        return State;
    }

    void FreeControl(TdxBarItemControl* Control) override { ReleaseItemControl(Control); }

    void SelectionMoved(TdxBarItemControl* Previous, TdxBarItemControl* Current) override {
        // A control in a submenu lies under the toolbar its menu was opened from: selecting an
        // entry of an open menu leaves the menu open.
        auto* Before = dynamic_cast<TdxBarControl*>(TopLevelBarControl(Previous->Parent()));
        auto* After =
            Current ? dynamic_cast<TdxBarControl*>(TopLevelBarControl(Current->Parent())) : nullptr;
        if (Before && (!Current || After != Before)) Before->SetMouseSelectedControl(nullptr);
    }

    void RepaintControl(TdxBarItemControl* Control) override {
        if (!BarWindowGone(Control->Parent())) Control->Repaint();
    }

    bool FocusedText(const TdxBarItemLink* Link, std::string& Text) override {
        auto* Control = dynamic_cast<TdxBarWinControl*>(Link->Control());
        if (!Control || !Control->Focused()) return false;
        Text = Control->GetEditText();
        return true;
    }

    // ---- the bar windows ----

    TCustomdxBarControl* MakeWindow(TdxBarItemLinks* Links) override {
        TCustomdxBarControl* Window = nullptr;
        if (TdxBar* Bar = Links->OwnerBar())
            Window = new TdxBarControl(Links->BarManager(), Bar);
        else if (Links->OwnerSubItem() || Links->OwnerPopupMenu())
            Window = new TdxBarSubMenuControl(Links->BarManager());
        if (!Window) return nullptr;
        Links->SetBarControl(Window);
        Window->SetItemLinks(Links);
        return Window;
    }

    void PlaceToolbar(TdxBar* Bar) override {
        TdxBarControl* Window = Bar->Control();
        if (!Window) return;
        const TdxBarDockingStyle Style = Bar->DockingStyle();
        TdxDockControl* Site = Bar->RealDockControl();
        if (Style == dsNone || !Site) {
            Window->DockTo(nullptr, dsNone);
            const TSize Size = Window->GetSizeForStyle(dsNone);
            Window->SetBounds(Bar->FloatLeft, Bar->FloatTop, Size.cx, Size.cy);
            Window->SetVisible(true);
            // A window without a parent is made only when asked for: the floating bar shows now,
            // or waits for its form.
            Window->HandleNeeded();
            if (Window->WaitsForForm() && Window->HandleAllocated())
                ShowWindow(Window->Handle(), SW_HIDE);
            return;
        }
        Window->DockTo(Site, Style);
        const TPoint At = Site->ClientToScreen(TPoint{Bar->DockedLeft(), Bar->DockedTop()});
        Site->InsertBar(Window, At, true, true);
        Window->SetVisible(true);
    }

    void ReleaseWindow(TCustomdxBarControl* Window) override {
        Window->SetItemLinks(nullptr);
        Window->ReleaseWindow();
    }

    void WindowChanged(const TdxBarItemLinks* Links, TdxBarWindowChange What) override {
        TCustomdxBarControl* Window = Links->BarControl();
        if (!Window) return;
        auto* Toolbar = dynamic_cast<TdxBarControl*>(Window);
        switch (What) {
            case TdxBarWindowChange::Frame:
                if (Toolbar) Toolbar->FrameChanged();
                break;
            case TdxBarWindowChange::Layout:
                Window->UpdateLayout();
                break;
            case TdxBarWindowChange::DockedFrameLayout:
                if (Toolbar && !Toolbar->IsFloating()) {
                    Toolbar->FrameChanged();
                    Toolbar->UpdateLayout();
                }
                break;
            case TdxBarWindowChange::Caption:
                if (Toolbar) Toolbar->BarCaptionChanged();
                break;
            case TdxBarWindowChange::Font:
                Window->AssignFont();
                break;
            case TdxBarWindowChange::Rotation:
                Window->Perform(CM_FONTCHANGED);
                break;
            case TdxBarWindowChange::Repaint:
                Window->Invalidate();
                break;
            case TdxBarWindowChange::PostLayout:
                if (!BarWindowGone(Window) && Window->HandleAllocated())
                    PostMessage(Window->Handle(), WM_DXBARUPDATELAYOUT, 0, 0);
                break;
            case TdxBarWindowChange::CloseMenus:
                Window->HideAll();
                break;
            case TdxBarWindowChange::StopRedraw:
                SetRedraw(Window, false);
                break;
            case TdxBarWindowChange::ResumeRedraw:
                SetRedraw(Window, true);
                break;
        }
    }

    TdxBarWindowState WindowState(const TdxBarItemLinks* Links) override {
        TdxBarWindowState State;
        TCustomdxBarControl* Window = Links->BarControl();
        if (!Window) return State;
        auto* Toolbar = dynamic_cast<TdxBarControl*>(Window);
        State.Exists = true;
        State.HasHandle = Window->HandleAllocated();
        State.Toolbar = Toolbar != nullptr;
        State.Floating = Toolbar && Toolbar->IsFloating();
        State.DockingStyle = Window->DockingStyle();
        State.Site = Window->DockControl();
        State.Customizing = Window->IsCustomizing();
        State.Client = Window->ClientRect();
        State.OnParentsBottom = true;
        for (TControl* C = Window; C->Parent(); C = C->Parent())
            if (C->Top() + C->Height() != C->Parent()->ClientRect().Bottom) {
                State.OnParentsBottom = false;
                break;
            }
        return State;
    }

    TdxBarControl* ToolbarOf(TCustomdxBarControl* Window) override {
        return static_cast<TdxBarControl*>(Window);
    }

    TdxBarItemLink* OpenerLink(const TdxBarItemLinks* Links) override {
        auto* Menu = dynamic_cast<TdxBarSubMenuControl*>(Links->BarControl());
        TdxBarItemControl* Opener = Menu ? Menu->ParentItemControl() : nullptr;
        return Opener ? Opener->ItemLink() : nullptr;
    }

    TdxBarItemLinks* ParentBarLinks(const TdxBarItemLinks* Links) override {
        TCustomdxBarControl* Window = Links->BarControl();
        TCustomdxBarControl* Parent = Window ? Window->ParentBar() : nullptr;
        return Parent ? Parent->ItemLinks() : nullptr;
    }

    // ---- the dock sites ----

    TdxDockControl* MakeSite(TdxBarManager* Manager, TdxBarDockingStyle Style) override {
        static constexpr TAlign kAligns[5] = {alNone, alLeft, alTop, alRight, alBottom};
        auto* Site = new TdxDockControl(nullptr, Manager, Style);
        Site->SetAlign(kAligns[Style]);
        if (Manager->OwnerForm()) Site->SetParent(Manager->OwnerForm());
        return Site;
    }

    void FreeSite(TdxDockControl* Site) override { Site->Free(); }

    TdxDockControl* SiteOf(TdxBarDockControl* Site) override { return Site; }

    void SiteChanged(TdxDockControl* Site, TdxBarSiteChange What) override {
        switch (What) {
            case TdxBarSiteChange::Realign:
                if (Site->HandleAllocated()) Site->Realign();
                break;
            case TdxBarSiteChange::RepaintFrame:
                if (Site->HandleAllocated()) SendMessage(Site->Handle(), WM_NCPAINT, 1, 0);
                break;
            case TdxBarSiteChange::Frame:
                if (!Site->HandleAllocated()) break;
                SetWindowPos(
                    Site->Handle(), 0, 0, 0, 0, 0,
                    SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
                Site->Realign();
                break;
            case TdxBarSiteChange::Color:
                Site->UpdateColor();
                break;
            case TdxBarSiteChange::StopRedraw:
                SetRedraw(Site, false);
                break;
            case TdxBarSiteChange::ResumeRedraw:
                SetRedraw(Site, true);
                break;
            case TdxBarSiteChange::ParentColor:
                if (!Site->ComponentState().Contains(csDestroying)) Site->SetParentColor(true);
                break;
            case TdxBarSiteChange::LeaveManager:
                Site->SetBarManager(nullptr);
                break;
        }
    }

    TdxBarSiteState SiteState(const TdxDockControl* Site) override {
        TdxBarSiteState State;
        State.Manager = Site->BarManager();
        State.DockingStyle = Site->DockingStyle();
        State.Default = Site->IsDefaultSite();
        State.Horizontal = Site->IsHorizontal();
        State.Extent = State.Horizontal ? Site->Height() : Site->Width();
        return State;
    }

    void SetSiteExtent(TdxDockControl* Site, int Extent) override {
        if (Site->IsHorizontal())
            Site->SetHeight(Extent);
        else
            Site->SetWidth(Extent);
    }

    bool SiteTakes(const TdxDockControl* Site, TdxBar* Bar) override { return Site->CanDock(Bar); }

    std::string SiteName(const TdxBarDockControl* Site) override { return Site->Name(); }

    TdxBarDockControl* FindSite(TCustomForm* Form, const std::string& Name) override {
        return dynamic_cast<TdxBarDockControl*>(Form->FindComponent(Name));
    }

    // ---- menus ----

    TdxBarPopupMenu* PopupMenuOf(const TPersistent* Owner) override {
        return dynamic_cast<TdxBarPopupMenu*>(const_cast<TPersistent*>(Owner));
    }

    TdxBarItemLinks* PopupMenuLinks(const TdxBarPopupMenu* Menu) override {
        return Menu->ItemLinks();
    }

    TComponent* PopupMenuComponent(TdxBarPopupMenu* Menu) override { return Menu; }

    void DropDown(TdxBarButton* Button, TdxBarButtonControl* Control, TPoint ScreenPoint,
                  bool ByMouse) override {
        TdxBarPopupMenu* Menu = Button->DropDownMenu();
        if (!Menu || !Control) {
            if (Control) Control->CloseUp();
            return;
        }
        // The menu may flip across the button: beside it in menus and vertical bars, else
        // above it.
        const TRect R = Control->Parent()->GetItemRect(Control);
        const bool Beside = Control->InSubMenu() || Control->IsVertical();
        Menu->DropDownFor(Control, ScreenPoint, Beside ? R.Width() : 0, Beside ? 0 : R.Height(),
                          ByMouse);
        if (!Menu->IsOpen() && Control->DroppedDown()) Control->CloseUp();
    }

    void CloseDropDown(TdxBarButton* Button) override {
        TdxBarPopupMenu* Menu = Button->DropDownMenu();
        if (TdxBarSubMenuControl* Window = Menu ? Menu->Window() : nullptr) {
            Window->HideAll();
            return;
        }
        for (int I = 0; I < Button->LinkCount(); ++I)
            if (auto* Control = dynamic_cast<TdxBarButtonControl*>(Button->Links(I)->Control());
                Control && Control->DroppedDown())
                Control->CloseUp();
    }

    bool CanDropDown(TCustomdxBarComboControl* Control) override {
        return Control && Control->Parent();
    }

    void ShowDropDown(HWND Window, TCustomdxBarComboControl* Control, TPoint At) override {
        ShowDropDownWindow(Window, Control, At);
    }

    void HideDropDown(HWND Window) override { HideDropDownWindow(Window); }

    HWND ComboListWindow(TdxBarCustomCombo* Combo) override { return ::ComboListWindow(Combo); }

    void FillComboList(TdxBarCustomCombo* Combo, HWND Window,
                       TCustomdxBarComboControl* Control) override {
        ::FillComboList(Combo, Window, Control);
    }

    TSize ComboTextExtent(TdxBarCustomCombo* Combo, const std::string& Text) override {
        return ComboListTextExtent(Combo, Text);
    }

    void ComboListChanged(TdxBarCustomCombo* Combo, TdxBarComboListChange What) override {
        switch (What) {
            case TdxBarComboListChange::Closed:
                ComboListClosed(Combo);
                break;
            case TdxBarComboListChange::Freed:
                FreeComboList(Combo);
                break;
        }
    }

    // ---- the manager ----

    void ManagerChanged(TdxBarManager* Manager, TdxBarManagerChange What,
                        TComponent* Component) override {
        switch (What) {
            case TdxBarManagerChange::Joined:
                RegisterManager(Manager);
                Manager->SetPopupMenuLinks(new TdxBarPopupMenuLinks(Manager));
                break;
            case TdxBarManagerChange::Left: {
                ReleaseWindowsOf(Manager);
                UnregisterManager(Manager);
                TdxBarPopupMenuLinks* Links = Manager->PopupMenuLinks();
                Manager->SetPopupMenuLinks(nullptr);
                delete Links;
                break;
            }
            case TdxBarManagerChange::ComponentRemoved:
                if (TdxBarPopupMenuLinks* Links = Manager->PopupMenuLinks())
                    Links->ComponentRemoved(Component);
                break;
            case TdxBarManagerChange::Font:
                for (TdxBarPopupMenu* Menu : Manager->PopupMenus()) Menu->ManagerFontChanged();
                break;
        }
    }

    // ---- the look ----

    LOGFONT MenuFont() override { return dxBarMenuLogFont(); }

    COLORREF LightColor(int SysColorIndex, int DeltaRed, int DeltaGreen, int DeltaBlue) override {
        return GetLightColor(SysColorIndex, DeltaRed, DeltaGreen, DeltaBlue);
    }

    void MakeBarFont(const TFont& Font, HFONT& Handle, bool UseSystemFont) override {
        CreateBarFont(Font, Handle, UseSystemFont);
    }
};

}  // namespace

void RegisterdxBarViews() {
    // Never freed: see dxBarInPlace.
    static auto* Views = new TWindowViews;
    SetdxBarViews(Views);
}
