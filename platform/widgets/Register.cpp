#include "platform/widgets/Register.h"

#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Errors.h"
#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/Forms.h"
#include "platform/widgets/Menus.h"
#include "platform/widgets/StoredBitmap.h"

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
    RegisterEnum<TDefaultMonitor>({"dmDesktop", "dmPrimary", "dmMainForm", "dmActiveForm"});
    RegisterEnum<TFormStyle>({"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"});
    RegisterEnum<TAlignment>({"taLeftJustify", "taRightJustify", "taCenter"});
    RegisterEnum<TTextLayout>({"tlTop", "tlCenter", "tlBottom"});
    RegisterEnum<TBevelCut>({"bvNone", "bvLowered", "bvRaised", "bvSpace"});
    RegisterEnum<TBevelShape>(
        {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"});
    RegisterEnum<TBevelStyle>({"bsLowered", "bsRaised"});
}

// A stored picture: the graphic's class name (a length byte, then the name), then its data; a
// bitmap's data is stored as glyphs store theirs.
void ReadPictureData(TPicture& Picture, TStream& Stream) {
    unsigned char Length = 0;
    Stream.ReadBuffer(&Length, 1);
    std::string ClassName(Length, '\0');
    if (Length) Stream.ReadBuffer(ClassName.data(), Length);
    std::unique_ptr<TGraphic> Graphic = TPicture::CreateGraphic(ClassName);
    if (!Graphic) throw EInvalidGraphic("Unknown picture class " + ClassName);
    if (ClassName == "TBitmap") {
        ReadStoredBitmap(*Graphic, Stream);
    } else {
        Graphic->LoadFromStream(Stream);
    }
    Picture.SetGraphic(Graphic.get());
}

void WritePictureData(TPicture& Picture, TStream& Stream) {
    TGraphic* Graphic = Picture.Graphic();
    const std::string Name = Graphic->ClassName();
    const auto Length = static_cast<unsigned char>(Name.size());
    Stream.WriteBuffer(&Length, 1);
    Stream.WriteString(Name);
    if (Name == "TBitmap") {
        WriteStoredBitmap(*Graphic, Stream);
    } else {
        Graphic->SaveToStream(Stream);
    }
}

void RegisterGraphics() {
    RegisterClass<TPicture>("TPicture").DefineProperties([](TPicture& P, TFiler& Filer) {
        Filer.DefineBinaryProperty(
            "Data", [&P](TStream& S) { ReadPictureData(P, S); },
            [&P](TStream& S) { WritePictureData(P, S); }, P.Graphic() && !P.Graphic()->Empty());
    });
    // An icon's data is its .ico file.
    RegisterClass<TIcon>("TIcon").DefineProperties([](TIcon& I, TFiler& Filer) {
        Filer.DefineBinaryProperty(
            "Data", [&I](TStream& S) { I.LoadFromStream(S); },
            [&I](TStream& S) { I.SaveToStream(S); }, !I.Empty());
    });
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
        .Property("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
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
        .Property("DefaultMonitor", &TCustomForm::DefaultMonitor, &TCustomForm::SetDefaultMonitor,
                  Default(dmActiveForm))
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

void RegisterExtControls() {
    RegisterClass<TCustomLabel, TGraphicControl>("TCustomLabel")
        .Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
                  Default(taLeftJustify))
        .Property("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, Default(true))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl)
        .Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, Default(tlTop))
        .Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar,
                  Default(true))
        .Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent,
                  Default(false))
        .Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap, Default(false))
        .Field("OnMouseEnter", &TCustomLabel::OnMouseEnter)
        .Field("OnMouseLeave", &TCustomLabel::OnMouseLeave);
    RegisterClass<TLabel, TCustomLabel>("TLabel");
    RegisterClass<TCustomPanel, TCustomControl>("TCustomPanel")
        .Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment,
                  Default(taCenter))
        .Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner,
                  Default(bvNone))
        .Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter,
                  Default(bvRaised))
        .Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth, Default(1))
        .Property("BorderWidth", &TWinControl::BorderWidth, &TWinControl::SetBorderWidth,
                  Default(0))
        .Property("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
                  Default(bsNone))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Field("FullRepaint", &TCustomPanel::FullRepaint, Default(true));
    RegisterClass<TPanel, TCustomPanel>("TPanel");
    RegisterClass<TBevel, TGraphicControl>("TBevel")
        .Property("Shape", &TBevel::Shape, &TBevel::SetShape, Default(bsBox))
        .Property("Style", &TBevel::Style, &TBevel::SetStyle, Default(bsLowered));
    RegisterClass<TImage, TGraphicControl>("TImage")
        .Property("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, Default(false))
        .Property("Center", &TImage::Center, &TImage::SetCenter, Default(false))
        .Object("Picture", &TImage::Picture)
        .Property("Proportional", &TImage::Proportional, &TImage::SetProportional, Default(false))
        .Property("Stretch", &TImage::Stretch, &TImage::SetStretch, Default(false))
        .Property("Transparent", &TImage::Transparent, &TImage::SetTransparent, Default(false));
    RegisterClass<TSplitter, TGraphicControl>("TSplitter")
        .Field("Beveled", &TSplitter::Beveled, Default(false))
        .Field("MinSize", &TSplitter::MinSize, Default(30))
        .Field("OnMoved", &TSplitter::OnMoved);
    RegisterClass<TTimer, TComponent>("TTimer")
        .Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled, Default(true))
        .Property("Interval", &TTimer::Interval, &TTimer::SetInterval, Default(1000u))
        .Property("OnTimer", &TTimer::OnTimer, &TTimer::SetOnTimer);
}

}  // namespace

void RegisterWidgetClasses() {
    static const bool Done = [] {
        RegisterActionClasses();
        RegisterEnums();
        RegisterGraphics();
        RegisterControls();
        RegisterForms();
        RegisterExtControls();
        RegisterCommonControls();
        RegisterListControls();
        RegisterStdControls();
        RegisterMenuClasses();
        return true;
    }();
    (void)Done;
}
