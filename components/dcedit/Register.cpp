#include "components/dcedit/Register.h"

#include <string>
#include <typeindex>

#include "components/dcedit/DirectoryEdit.h"
#include "components/dcedit/PathDialog.h"
#include "components/dcedit/ValueEdits.h"
#include "components/dcedit/ValueLists.h"
#include "components/registries/ClassRegistries.h"
#include "platform/forms/StandardClasses.h"
#include "platform/widgets/Register.h"

namespace {

void RegisterEnums() {
    RegisterEnum<TButtonKind>({"bkCustom", "bkDropDown", "bkDots"});
    RegisterEnum<TDreamBorderStyle>({"dbsNone", "dbsSunkenBorder", "dbsRaisedBorder",
                                     "dbsSunkenSingle", "dbsRaisedSingle", "dbsSunkenLine",
                                     "dbsRaisedLine", "dbsLine", "dbsLineBorder"});
    RegisterEnum<TDCPathDialogRoot>(
        {"pdrNone", "pdrBitBucket", "pdrControls", "pdrDesktop", "pdrDesktopDirectory", "pdrDrives",
         "pdrFonts", "pdrNetHood", "pdrNetwork", "pdrPersonal", "pdrPrinters", "pdrPrograms",
         "pdrRecent", "pdrSendto", "pdrStartmenu", "pdrStartup", "pdrTemplates"});
    RegisterEnum<TDCPathDialogFlag>({"pdfBrowseForComputer", "pdfBrowseForPrinter",
                                     "pdfDontGoBelowDomain", "pdfReturnfsAncestors",
                                     "pdfReturnOnlyFSDirs"});
}

void RegisterChildren() {
    RegisterClass<TButtonParams, TPersistent>("TButtonParams")
        .Property("Width", &TButtonParams::Width, &TButtonParams::SetWidth, Default(0))
        .Property("Cursor", &TButtonParams::Cursor, &TButtonParams::SetCursor,
                  Idents(CursorIdents()), Default(crDefault))
        .Property("Kind", &TButtonParams::Kind, &TButtonParams::SetKind, Default(bkCustom))
        .Object("Glyph", &TButtonParams::Glyph,
                Stored([](const TButtonParams& P) { return P.Kind() == bkCustom; }))
        .Property("Hint", &TButtonParams::Hint, &TButtonParams::SetHint)
        .Property("NumGlyphs", &TButtonParams::NumGlyphs, &TButtonParams::SetNumGlyphs, Default(1))
        .Property("ParentShowHint", &TButtonParams::ParentShowHint,
                  &TButtonParams::SetParentShowHint, Default(true))
        .Property("ShowHint", &TButtonParams::ShowHint, &TButtonParams::SetShowHint, Default(false))
        .Property("Visible", &TButtonParams::Visible, &TButtonParams::SetVisible, Default(true));
    RegisterClass<TEditSource, TComponent>("TEditSource");
    RegisterClass<TDummyEditSource, TEditSource>("TDummyEditSource");
    RegisterClass<TDummyPopup, TWinControl>("TDummyPopup");
    RegisterClass<TDCSimpleEdit, TCustomEdit>("TDCSimpleEdit");
    RegisterClass<TDCListBox, TCustomListBox>("TDCListBox")
        .Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle,
                  Default(lbOwnerDrawFixed));
    RegisterClass<TPopupListBox, TDCListBox>("TPopupListBox")
        .Property("DisplayNames", &TPopupListBox::DisplayNames, &TPopupListBox::SetDisplayNames,
                  Default(false))
        .Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, Default(false))
        .Property("Visible", &TControl::Visible, &TControl::SetVisible, Default(false));
}

void RegisterEditControls() {
    RegisterClass<TCustomDCEdit, TCustomControl>("TCustomDCEdit")
        .Property("AutoSize", &TControl::AutoSize, &TControl::SetAutoSize, Default(false))
        .Property("BorderStyle", &TCustomDCEdit::BorderStyle, &TCustomDCEdit::SetBorderStyle,
                  Default(bsSingle))
        .Object("Button1", &TCustomDCEdit::Button1)
        .Object("Button2", &TCustomDCEdit::Button2)
        .Property("Caption", &TControl::Caption, &TControl::SetCaption)
        .Property("Color", &TControl::Color, &TControl::SetColor, Idents(ColorIdents()),
                  Default(clWindow))
        .Property("Ctl3D", &TCustomDCEdit::Ctl3D, &TCustomDCEdit::SetCtl3D, Default(true))
        .Property("Flat", &TCustomDCEdit::Flat, &TCustomDCEdit::SetFlat, Default(false))
        .Property("DreamBorderStyle", &TCustomDCEdit::DreamBorderStyle,
                  &TCustomDCEdit::SetDreamBorderStyle, Default(dbsSunkenBorder))
        .Property("UseDreamBorder", &TCustomDCEdit::UseDreamBorder,
                  &TCustomDCEdit::SetUseDreamBorder, Default(false))
        .Property("LineColor", &TCustomDCEdit::LineColor, &TCustomDCEdit::SetLineColor,
                  Idents(ColorIdents()), Default(cl3DDkShadow))
        .Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor, Default(false))
        .Property("ReadOnly", &TCustomDCEdit::ReadOnly, &TCustomDCEdit::SetReadOnly, Default(false))
        .Property("TabStop", &TCustomDCEdit::EditTabStop, &TCustomDCEdit::SetEditTabStop,
                  Default(true))
        .Property("Text", &TCustomDCEdit::GetEditText, &TCustomDCEdit::SetEditText)
        .Property(
            "Version", &TCustomDCEdit::Version, [](TCustomDCEdit&, const std::string&) {},
            NotStored)
        .Field("OnChange", &TCustomDCEdit::OnChange)
        .Field("OnDropDown", &TCustomDCEdit::OnDropDown);
    RegisterClass<TCustomFileDirEdit, TCustomDCEdit>("TCustomFileDirEdit")
        .Property("AcceptFiles", &TCustomFileDirEdit::AcceptFiles,
                  &TCustomFileDirEdit::SetAcceptFiles, Default(false))
        .Field("OnDropFiles", &TCustomFileDirEdit::OnDropFiles);
    RegisterClass<TDCDirectoryEdit, TCustomFileDirEdit>("TDCDirectoryEdit")
        .Property("DialogText", &TDCDirectoryEdit::DialogText, &TDCDirectoryEdit::SetDialogText)
        .Property("MultipleDirs", &TDCDirectoryEdit::MultipleDirs,
                  &TDCDirectoryEdit::SetMultipleDirs, Default(false))
        .Property("InitialDir", &TDCDirectoryEdit::InitialDir, &TDCDirectoryEdit::SetInitialDir)
        .Property("OnButton2Click", &TCustomDCEdit::OnButton2Click,
                  &TCustomDCEdit::SetOnButton2Click);
    RegisterClass<TDCPathDialog, TComponent>("TDCPathDialog")
        .Property("Flags", &TDCPathDialog::Flags, &TDCPathDialog::SetFlags,
                  Default(TDCPathDialogFlags{pdfReturnOnlyFSDirs}))
        .Property("Title", &TDCPathDialog::Title, &TDCPathDialog::SetTitle)
        .Property("SelectedItem", &TDCPathDialog::SelectedItem, &TDCPathDialog::SetSelectedItem)
        .Property("Root", &TDCPathDialog::Root, &TDCPathDialog::SetRoot, Default(pdrNone));
}

void RegisterValueEditors() {
    RegisterClass<TValueListBox, TPopupListBox>("TValueListBox");
    RegisterClass<TPopupColorBox, TValueListBox>("TPopupColorBox")
        .Property("DisplayNames", &TPopupListBox::DisplayNames, &TPopupListBox::SetDisplayNames,
                  Default(true));
    RegisterClass<TPopupBrushBox, TValueListBox>("TPopupBrushBox")
        .Property("DisplayNames", &TPopupListBox::DisplayNames, &TPopupListBox::SetDisplayNames,
                  Default(true));
    RegisterClass<TPopupPenBox, TValueListBox>("TPopupPenBox");
    RegisterClass<TGraphicEdit, TCustomControl>("TGraphicEdit");
    RegisterClass<TColorEdit, TGraphicEdit>("TColorEdit");
    RegisterClass<TPenStyleEdit, TGraphicEdit>("TPenStyleEdit");
    RegisterClass<TBrushStyleEdit, TGraphicEdit>("TBrushStyleEdit");
    RegisterClass<TCheckEdit, TCustomControl>("TCheckEdit");
    RegisterClass<TDCMaskEdit, TCustomMaskEdit>("TDCMaskEdit");
}

// Which inner edits and popups serve which value type.
struct TValueClass {
    TPackagedCollection& (*Registry)();
    const char* ClassName;
    std::type_index ValueType;
    const char* Name;
};

void RegisterValueTypes() {
    const TValueClass Rows[] = {
        {&PopupClasses, "TPopupListBox", typeid(std::string), ""},
        {&EditClasses, "TDCSimpleEdit", typeid(std::string), ""},
        {&EditClasses, "TDCMaskEdit", typeid(std::string), " "},
        {&PopupClasses, "TPopupColorBox", typeid(TColor), ""},
        {&EditClasses, "TColorEdit", typeid(TColor), ""},
        {&EditClasses, "TPenStyleEdit", typeid(TPenStyle), ""},
        {&PopupClasses, "TPopupPenBox", typeid(TPenStyle), ""},
        {&EditClasses, "TBrushStyleEdit", typeid(TBrushStyle), ""},
        {&PopupClasses, "TPopupBrushBox", typeid(TBrushStyle), ""},
        {&EditClasses, "TCheckEdit", typeid(bool), ""},
    };
    for (const TValueClass& Row : Rows)
        AddRegisteredClass(Row.Registry(), GetClass(Row.ClassName), Row.ValueType, Row.Name, 0);
}

}  // namespace

void RegisterDCEditClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterEnums();
        RegisterChildren();
        RegisterEditControls();
        RegisterValueEditors();
        RegisterValueTypes();
        return true;
    }();
    (void)Done;
}
