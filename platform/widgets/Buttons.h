#pragma once
// Buttons with glyphs: the bitmap button (a push button the class library draws itself, on the
// owner-drawn BUTTON window) and the speed button (painted in its parent, as on tool bars and
// beside edits; it may stay down, alone or as one of a group).
#include "platform/controls/OwnerDraw.h"
#include "platform/widgets/BitBtnKinds.h"
#include "platform/widgets/ButtonGlyph.h"
#include "platform/widgets/StdCtrlsButton.h"

class TBitBtn : public TButton {
  public:
    explicit TBitBtn(TComponent* AOwner);

    TBitmap* Glyph() { return FGlyph.Glyph(); }
    void SetGlyph(const TBitmap* Value);
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph.SetNumGlyphs(Value); }
    // A kind gives the button its caption, modal result, default or cancel role and glyph; the
    // button counts as bkCustom once one of those but the caption is changed.
    TBitBtnKind Kind() const;
    void SetKind(TBitBtnKind Value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // What a definition needs to hold besides the kind.
    bool IsCustom() const { return Kind() == TBitBtnKind::bkCustom; }
    bool IsCustomCaption();
    // bkClose also closes the form.
    void Click() override;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Dispatch(TMessage& Message) override;
    void SetButtonStyle(bool ADefault) override;

  private:
    void DrawItem(const DRAWITEMSTRUCT& Item);

    TButtonGlyph FGlyph;
    TBitBtnKind FKind = TBitBtnKind::bkCustom;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FModifiedGlyph = false;
    bool FShownDefault = false;
};

class TSpeedButton : public TGraphicControl {
  public:
    explicit TSpeedButton(TComponent* AOwner);

    // Another button of the group may be the only one down; with AllowAllUp none needs to be.
    bool AllowAllUp() const { return FAllowAllUp; }
    void SetAllowAllUp(bool Value);
    // Buttons of one parent with the same index (not 0) form a group: one of them is down.
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    // Stays down (only in a group).
    bool Down() const { return FDown; }
    void SetDown(bool Value);
    // No bevel unless the mouse is over the button or it is down.
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    TBitmap* Glyph() { return FGlyph.Glyph(); }
    void SetGlyph(const TBitmap* Value) { FGlyph.SetGlyph(Value); }
    int NumGlyphs() const { return FGlyph.NumGlyphs(); }
    void SetNumGlyphs(int Value) { FGlyph.SetNumGlyphs(Value); }
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout Value);
    int Margin() const { return FMargin; }
    void SetMargin(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value);
    // A flat button shows its parent where it has no bevel.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // What the button shows now (bsDisabled while it is disabled).
    TButtonState State() const { return FState; }

  protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void Loaded() override;

  private:
    // Tells the other buttons of the group that this one went down.
    void UpdateExclusive();
    void PaintFrame(RECT& R);

    TButtonGlyph FGlyph;
    bool FAllowAllUp = false;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FFlat = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FMargin = -1;
    int FSpacing = 4;
    bool FTransparent = true;
    TButtonState FState = bsUp;
    bool FDragging = false;
    bool FMouseInControl = false;
};
