#include "components/dcedit/EditButtons.h"

#include <vector>

#include "components/dcedit/DCEdit.h"
#include "platform/classes/FlagScope.h"
#include "platform/gdi/Gdi.h"
#include "platform/widgets/GlyphArt.h"

namespace {

// The glyphs as pictures, one character per pixel; '.' is the transparent colour (the glyph's
// bottom-left pixel says which it is).
constexpr TArtColor kArtColors[] = {
    {'.', clFuchsia}, {'k', clBlack}, {'w', clWhite}, {'y', clYellow}, {'o', clOlive}};

struct TGlyphArt {
    const char* Name;
    std::vector<const char*> Rows;
};

const std::vector<TGlyphArt>& GlyphArts() {
    static const std::vector<TGlyphArt> Arts = {
        {"DCEDIT_DROPDOWN",
         {
             "kkkkkkk",
             ".kkkkk.",
             "..kkk..",
             "...k...",
             ".......",
         }},
        {"DCEDIT_DOTS",
         {
             ".kk.kk.kk.",
             ".kk.kk.kk.",
         }},
        {"DCDIRECTORYEDIT",
         {
             "............",
             ".kkkk.......",
             "kwyywk......",
             "kwyyyykkkkk.",
             "kwyyyyyyyyok",
             "kwyyyyyyyyok",
             "kwyyyyyyyyok",
             "kwyyyyyyyyok",
             "kwoooooooook",
             ".kkkkkkkkkk.",
             "............",
         }},
    };
    return Arts;
}

// The shared glyph of a kind (empty for bkCustom), made once.
const TBitmap& KindGlyph(TButtonKind Kind) {
    static TBitmap None;
    static TBitmap DropDown;
    static TBitmap Dots;
    static const bool Loaded = [] {
        LoadEditGlyph("DCEDIT_DROPDOWN", DropDown);
        LoadEditGlyph("DCEDIT_DOTS", Dots);
        return true;
    }();
    (void)Loaded;
    return Kind == bkDropDown ? DropDown : Kind == bkDots ? Dots : None;
}

}  // namespace

void LoadEditGlyph(const std::string& Name, TBitmap& Glyph) {
    for (const TGlyphArt& Art : GlyphArts()) {
        if (Name != Art.Name) continue;
        Glyph.SetImage(ArtImage(Art.Rows, kArtColors));
        return;
    }
    Glyph.SetSize(0, 0);
}

// ---- the button -------------------------------------------------------------------------------

TEditButton::TEditButton(TCustomDCEdit* AEdit) : TSpeedButton(AEdit), FEdit(AEdit) {
    SetBounds(0, 0, GetSystemMetrics(SM_CXVSCROLL), 17);
    SetParent(AEdit);
}

void TEditButton::Click() {
    FEdit->SetFocus();
    if (OnClick)
        TSpeedButton::Click();
    else if (FEdit->DroppedDown())
        FEdit->CloseUp(true);
    else
        FEdit->DropDown();
}

void TEditButton::Paint() {
    TSpeedButton::Paint();
    FEdit->PaintButtonEdges(*this);
}

void TEditButton::Dispatch(TMessage& Message) {
    TSpeedButton::Dispatch(Message);
    switch (Message.Msg) {
        case CM_VISIBLECHANGED:
            FEdit->ButtonVisibilityChanged();
            break;
        case CM_MOUSEENTER:
            FEdit->Perform(CM_MOUSEENTER, 0, LPARAM(this));
            break;
        case CM_MOUSELEAVE:
            FEdit->Perform(CM_MOUSELEAVE, 0, LPARAM(this));
            break;
        default:
            break;
    }
}

// ---- the settings -----------------------------------------------------------------------------

TButtonParams::TButtonParams(TEditButton* Button, std::function<void()> OnSizeChange)
    : FButton(Button), FOnSizeChange(std::move(OnSizeChange)) {
    FGlyph.OnChange = [this](TGraphic*) { GlyphChanged(); };
}

void TButtonParams::SetWidth(int Value) {
    FWidth = std::max(Value, 0);
    UpdateWidth();
}

void TButtonParams::SetKind(TButtonKind Value) {
    FKind = Value;
    if (Value == bkCustom) return;
    {
        const TFlagScope SettingKind(FSettingKind);
        FGlyph.Assign(KindGlyph(Value));
    }
    FButton->SetGlyph(&FGlyph);
    FButton->SetNumGlyphs(1);
    UpdateWidth();
}

void TButtonParams::SetGlyph(const TBitmap* Value) {
    if (Value && !Value->Empty())
        FGlyph.Assign(*Value);
    else
        FGlyph.SetSize(0, 0);
}

void TButtonParams::SetNumGlyphs(int Value) {
    FButton->SetNumGlyphs(Value);
    UpdateWidth();
}

void TButtonParams::GlyphChanged() {
    if (FSettingKind) return;
    FKind = bkCustom;
    FButton->SetGlyph(&FGlyph);
    FButton->SetLayout(blGlyphLeft);
    UpdateWidth();
}

int TButtonParams::ActualWidth() const {
    if (FWidth > 0) return FWidth;
    if (FKind != bkCustom) return GetSystemMetrics(SM_CXVSCROLL);
    return FGlyph.Width() / std::max(FButton->NumGlyphs(), 1) + 4;
}

void TButtonParams::UpdateWidth() {
    const int Width = ActualWidth();
    if (FButton->Width() == Width) return;
    FButton->SetWidth(Width);
    if (FOnSizeChange) FOnSizeChange();
}
