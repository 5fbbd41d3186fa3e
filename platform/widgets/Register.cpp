#include "platform/widgets/Register.h"

#include "platform/forms/ClassRegistry.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Forms.h"

namespace {

bool FontStored(const TControl& C) {
    return !C.ParentFont();
}
bool ColorStored(const TControl& C) {
    return !C.ParentColor();
}
bool ShowHintStored(const TControl& C) {
    return !C.ParentShowHint();
}

void RegisterEnums() {
    RegisterEnum<TAlign>({"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"});
    RegisterEnum<TAnchorKind>({"akLeft", "akTop", "akRight", "akBottom"});
    RegisterEnum<TFormBorderStyle>(
        {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"});
    RegisterEnum<TBorderIcon>({"biSystemMenu", "biMinimize", "biMaximize", "biHelp"});
    RegisterEnum<TPosition>({"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                             "poScreenCenter", "poDesktopCenter", "poMainFormCenter",
                             "poOwnerFormCenter"});
    RegisterEnum<TWindowState>({"wsNormal", "wsMinimized", "wsMaximized"});
    RegisterEnum<TFormStyle>({"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
}

void RegisterControls() {
    RegisterClass<TControl, TComponent>("TControl")
        .Property("Left", &TControl::Left, &TControl::SetLeft)
        .Property("Top", &TControl::Top, &TControl::SetTop)
        .Property("Width", &TControl::Width, &TControl::SetWidth)
        .Property("Height", &TControl::Height, &TControl::SetHeight)
        .Property("Action", &TControl::Action, &TControl::SetAction)
        .Property("Align", &TControl::Align, &TControl::SetAlign, Default(alNone))
        .Property("Anchors", &TControl::Anchors, &TControl::SetAnchors,
                  Default(TAnchors{akLeft, akTop}))
        .Property("Color", &TControl::Color, &TControl::SetColor, Idents(ColorIdents()),
                  Stored(&ColorStored))
        .Property("Cursor", &TControl::Cursor, &TControl::SetCursor, Idents(CursorIdents()),
                  Default(crDefault))
        .Property("Enabled", &TControl::Enabled, &TControl::SetEnabled, Default(true))
        .Object("Font", &TControl::Font, Stored(&FontStored))
        .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, Default(true))
        .Property("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, Default(true))
        .Property("ParentShowHint", &TControl::ParentShowHint, &TControl::SetParentShowHint,
                  Default(true))
        .Property("Hint", &TControl::Hint, &TControl::SetHint)
        .Property("ShowHint", &TControl::ShowHint, &TControl::SetShowHint, Stored(&ShowHintStored))
        .Property("Visible", &TControl::Visible, &TControl::SetVisible, Default(true))
        .Field("OnClick", &TControl::OnClick)
        .Field("OnDblClick", &TControl::OnDblClick)
        .Field("OnMouseDown", &TControl::OnMouseDown)
        .Field("OnMouseMove", &TControl::OnMouseMove)
        .Field("OnMouseUp", &TControl::OnMouseUp)
        .Field("OnResize", &TControl::OnResize)
        .Field("OnContextPopup", &TControl::OnContextPopup);
    RegisterClass<TWinControl, TControl>("TWinControl")
        .Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
        .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default(false))
        .Field("OnEnter", &TWinControl::OnEnter)
        .Field("OnExit", &TWinControl::OnExit)
        .Field("OnKeyDown", &TWinControl::OnKeyDown)
        .Field("OnKeyPress", &TWinControl::OnKeyPress)
        .Field("OnKeyUp", &TWinControl::OnKeyUp);
    RegisterClass<TGraphicControl, TControl>("TGraphicControl");
    RegisterClass<TCustomControl, TWinControl>("TCustomControl");
}

void RegisterForms() {
    RegisterClass<TCustomForm, TWinControl>("TCustomForm")
        .Property("ActiveControl", &TCustomForm::ActiveControl, &TCustomForm::SetActiveControl)
        .Property("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons,
                  Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize}))
        .Property("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle,
                  Default(bsSizeable))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property(
            "ClientHeight", [](TCustomForm& F) { return F.ClientHeight(); },
            [](TCustomForm& F, int V) { F.SetDefinedClientHeight(V); }, NotStored)
        .Property(
            "ClientWidth", [](TCustomForm& F) { return F.ClientWidth(); },
            [](TCustomForm& F, int V) { F.SetDefinedClientWidth(V); }, NotStored)
        .Property("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle,
                  Default(fsNormal))
        .Property("KeyPreview", &TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview,
                  Default(false))
        .Property("Position", &TCustomForm::Position, &TCustomForm::SetPosition,
                  Default(poDesigned))
        .Property("Visible", &TControl::Visible, &TControl::SetVisible, Default(false))
        .Property("WindowState", &TCustomForm::WindowState, &TCustomForm::SetWindowState,
                  Default(wsNormal))
        .Property("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
        // Written by the designer and read back; nothing here depends on them.
        .Property(
            "OldCreateOrder", [](TCustomForm&) { return false; }, [](TCustomForm&, bool) {},
            NotStored)
        .Property(
            "Scaled", [](TCustomForm&) { return true; }, [](TCustomForm&, bool) {}, NotStored)
        .Property(
            "TextHeight", [](TCustomForm&) { return 13; }, [](TCustomForm&, int) {}, NotStored)
        .Field("OnActivate", &TCustomForm::OnActivate)
        .Field("OnClose", &TCustomForm::OnClose)
        .Field("OnCloseQuery", &TCustomForm::OnCloseQuery)
        .Field("OnCreate", &TCustomForm::OnCreate)
        .Field("OnDeactivate", &TCustomForm::OnDeactivate)
        .Field("OnDestroy", &TCustomForm::OnDestroy)
        .Field("OnHide", &TCustomForm::OnHide)
        .Field("OnPaint", &TCustomForm::OnPaint)
        .Field("OnShortCut", &TCustomForm::OnShortCut)
        .Field("OnShow", &TCustomForm::OnShow);
    RegisterClass<TForm, TCustomForm>("TForm");
}

}  // namespace

void RegisterWidgetClasses() {
    static const bool Done = [] {
        RegisterActionClasses();
        RegisterEnums();
        RegisterControls();
        RegisterForms();
        return true;
    }();
    (void)Done;
}
