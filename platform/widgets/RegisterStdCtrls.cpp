// The edits, buttons, group boxes and glyph buttons in the class registry, with the published
// properties and defaults the class library's definitions use.
#include "platform/forms/Filer.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Buttons.h"
#include "platform/widgets/Mask.h"
#include "platform/widgets/Register.h"
#include "platform/widgets/StdCtrlsGroup.h"
#include "platform/widgets/StdCtrlsMemo.h"
#include "platform/widgets/StoredBitmap.h"

namespace {

void RegisterStdEnums() {
    RegisterEnum<TEditCharCase>({"ecNormal", "ecUpperCase", "ecLowerCase"});
    RegisterEnum<TScrollStyle>({"ssNone", "ssHorizontal", "ssVertical", "ssBoth"});
    RegisterEnum<TCheckBoxState>({"cbUnchecked", "cbChecked", "cbGrayed"});
    RegisterEnum<TButtonLayout>({"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"});
    RegisterEnum<TBitBtnKind>({"bkCustom", "bkOK", "bkCancel", "bkHelp", "bkYes", "bkNo", "bkClose",
                               "bkAbort", "bkRetry", "bkIgnore", "bkAll"});
}

void RegisterBitmap() {
    // Other classes with glyphs may have registered it first; the stored form is the same.
    if (ClassInfoOf<TBitmap>()) return;
    RegisterClass<TBitmap>("TBitmap").DefineProperties([](TBitmap& B, TFiler& Filer) {
        Filer.DefineBinaryProperty(
            "Data", [&B](TStream& S) { ReadStoredBitmap(B, S); },
            [&B](TStream& S) { WriteStoredBitmap(B, S); }, !B.Empty());
    });
}

void RegisterEdits() {
    RegisterClass<TCustomEdit, TWinControl>("TCustomEdit")
        .Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect,
                  Default(true))
        .Property("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, Default(true))
        .Property("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle,
                  Default(bsSingle))
        .Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, Default(ecNormal))
        .Property("Color", &TControl::Color, &TControl::SetColor, Idents(ColorIdents()),
                  Default(clWindow))
        .Property("HideSelection", &TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection,
                  Default(true))
        .Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength, Default(0))
        .Property("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert,
                  Default(false))
        .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, Default(false))
        .Property("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar,
                  Default('\0'))
        .Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, Default(false))
        .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default(true))
        .Property("Text", &TControl::Text, &TControl::SetText)
        .Field("OnChange", &TCustomEdit::OnChange);
    RegisterClass<TEdit, TCustomEdit>("TEdit");
    // The lines hold the text; the text is not stored twice.
    RegisterClass<TCustomMemo, TCustomEdit>("TCustomMemo")
        .Property("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment,
                  Default(taLeftJustify))
        .Property("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, Default(false))
        .Object("Lines", &TCustomMemo::Lines)
        .Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars,
                  Default(ssNone))
        .Property("Text", &TControl::Text, &TControl::SetText, NotStored)
        .Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns,
                  Default(true))
        .Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs, Default(false))
        .Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap, Default(true));
    RegisterClass<TMemo, TCustomMemo>("TMemo");
    RegisterClass<TCustomMaskEdit, TCustomEdit>("TCustomMaskEdit")
        .Property("EditMask", &TCustomMaskEdit::EditMask, &TCustomMaskEdit::SetEditMask);
    RegisterClass<TMaskEdit, TCustomMaskEdit>("TMaskEdit");
}

void RegisterButtons() {
    RegisterClass<TButtonControl, TWinControl>("TButtonControl");
    RegisterClass<TButton, TButtonControl>("TButton")
        .Property("Cancel", &TButton::Cancel, &TButton::SetCancel, Default(false))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property("Default", &TButton::Default, &TButton::SetDefault, Default(false))
        .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, Default(0))
        .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default(true));
    RegisterClass<TCustomCheckBox, TButtonControl>("TCustomCheckBox")
        .Property("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment,
                  Default(taRightJustify))
        .Property("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed,
                  Default(false))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        // The state holds it; Checked is read from definitions that give it instead.
        .Property("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked, NotStored)
        .Property("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState,
                  Default(cbUnchecked))
        .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default(true));
    RegisterClass<TCheckBox, TCustomCheckBox>("TCheckBox");
    RegisterClass<TRadioButton, TButtonControl>("TRadioButton")
        .Property("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment,
                  Default(taRightJustify))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, Default(false));
}

void RegisterGroups() {
    RegisterClass<TCustomGroupBox, TCustomControl>("TCustomGroupBox")
        .Property("Caption", &TControl::Caption, &TControl::SetCaption);
    RegisterClass<TGroupBox, TCustomGroupBox>("TGroupBox");
    RegisterClass<TCustomRadioGroup, TCustomGroupBox>("TCustomRadioGroup")
        .Property("Columns", &TCustomRadioGroup::Columns, &TCustomRadioGroup::SetColumns,
                  Default(1))
        .Property("ItemIndex", &TCustomRadioGroup::ItemIndex, &TCustomRadioGroup::SetItemIndex,
                  Default(-1))
        .Object("Items", &TCustomRadioGroup::Items);
    RegisterClass<TRadioGroup, TCustomRadioGroup>("TRadioGroup");
}

void RegisterGlyphButtons() {
    auto Custom = [](const TBitBtn& B) { return B.IsCustom(); };
    RegisterClass<TBitBtn, TButton>("TBitBtn")
        .Property("Cancel", &TButton::Cancel, &TButton::SetCancel, Stored(Custom))
        .Property(
            "Caption", &TControl::Caption, &TControl::SetCaption,
            Stored([](const TBitBtn& B) { return const_cast<TBitBtn&>(B).IsCustomCaption(); }))
        .Property("Default", &TButton::Default, &TButton::SetDefault, Stored(Custom))
        .Object("Glyph", &TBitBtn::Glyph, Stored(Custom))
        .Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind, Default(TBitBtnKind::bkCustom))
        .Property("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, Default(blGlyphLeft))
        .Property("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin, Default(-1))
        .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, Stored(Custom))
        .Property("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs, Stored(Custom))
        .Property("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing, Default(4));
    RegisterClass<TSpeedButton, TGraphicControl>("TSpeedButton")
        .Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp,
                  Default(false))
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        // The group first: Down holds only in a group.
        .Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex, Default(0))
        .Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown, Default(false))
        .Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, Default(false))
        .Object("Glyph", &TSpeedButton::Glyph)
        .Property("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, Default(blGlyphLeft))
        .Property("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin, Default(-1))
        .Property("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs, Default(1))
        .Property("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing, Default(4))
        .Property("Transparent", &TSpeedButton::Transparent, &TSpeedButton::SetTransparent,
                  Default(true));
}

}  // namespace

void RegisterStdControls() {
    RegisterStdEnums();
    RegisterBitmap();
    RegisterEdits();
    RegisterButtons();
    RegisterGroups();
    RegisterGlyphButtons();
}
