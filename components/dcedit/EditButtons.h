#pragma once
// The buttons at the right end of an edit control with buttons, and the settings object through
// which a form definition describes each of them ("Button1.Kind = bkDots").
//
// A button of kind bkDropDown shows the shared down arrow, bkDots the shared three dots, bkCustom
// a glyph of its own (giving a glyph makes a button bkCustom). A width of 0 is automatic: the
// glyph's width and 4 for bkCustom, the vertical scroll bar's width for the other kinds.
#include <functional>
#include <string>

#include "platform/widgets/Buttons.h"

enum TButtonKind { bkCustom, bkDropDown, bkDots };

class TCustomDCEdit;

// The glyphs the edit controls draw, by resource name: "DCEDIT_DROPDOWN" (7 x 5, a down arrow),
// "DCEDIT_DOTS" (10 x 2, three dots) and "DCDIRECTORYEDIT" (12 x 11, a folder). An unknown name
// leaves Glyph empty.
void LoadEditGlyph(const std::string& Name, TBitmap& Glyph);

class TEditButton : public TSpeedButton {
  public:
    // The edit that owns the button is its parent too.
    explicit TEditButton(TCustomDCEdit* AEdit);
    TCustomDCEdit* Edit() const { return FEdit; }

    // The edit takes the focus; then the button's OnClick runs, or, without one, the edit's
    // popup drops down or closes (accepting its value).
    void Click() override;

  protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;

  private:
    TCustomDCEdit* FEdit;
};

class TButtonParams : public TPersistent {
  public:
    // OnSizeChange runs when the button's width or visibility changed (the edit lays its
    // buttons out again).
    TButtonParams(TEditButton* Button, std::function<void()> OnSizeChange);

    TEditButton* Button() const { return FButton; }
    int Width() const { return FWidth; }
    void SetWidth(int Value);
    TCursor Cursor() const { return FButton->Cursor(); }
    void SetCursor(TCursor Value) { FButton->SetCursor(Value); }
    TButtonKind Kind() const { return FKind; }
    void SetKind(TButtonKind Value);
    // The glyph a bkCustom button shows; loading or assigning one makes the button bkCustom.
    TBitmap* Glyph() { return &FGlyph; }
    void SetGlyph(const TBitmap* Value);
    int NumGlyphs() const { return FButton->NumGlyphs(); }
    void SetNumGlyphs(int Value);
    const std::string& Hint() const { return FButton->Hint(); }
    void SetHint(const std::string& Value) { FButton->SetHint(Value); }
    bool ShowHint() const { return FButton->ShowHint(); }
    void SetShowHint(bool Value) { FButton->SetShowHint(Value); }
    bool ParentShowHint() const { return FButton->ParentShowHint(); }
    void SetParentShowHint(bool Value) { FButton->SetParentShowHint(Value); }
    bool Visible() const { return FButton->Visible(); }
    void SetVisible(bool Value) { FButton->SetVisible(Value); }

    // The width the button has: Width, or the automatic one.
    int ActualWidth() const;
    // Gives the button its width again (after a change of width, glyph or kind).
    void UpdateWidth();

  private:
    void GlyphChanged();

    TEditButton* FButton;
    std::function<void()> FOnSizeChange;
    int FWidth = 0;
    TButtonKind FKind = bkCustom;
    TBitmap FGlyph;
    // The glyph is being set from the kind: it stays of that kind.
    bool FSettingKind = false;
};
