#pragma once
// The inner edits of typed values: edits that draw their value instead of editing its text
// (colours, pen styles, brush styles), a check box for Booleans, and the masked text edit.
//
// Each exchanges its value with the edit control as text (see ValueTexts.h): WM_SETTEXT sets it
// (a text that names no value raises, and the value stays), WM_GETTEXT and WM_GETTEXTLENGTH
// report it. Each may also serve alone, without an edit control around it.
#include <string>

#include "components/dcedit/DCEdit.h"
#include "components/dcedit/ValueDrawing.h"
#include "platform/widgets/Mask.h"

// Draws the value into the device context in WParam with its top-left corner at the point
// packed into LParam, in the control's size.
constexpr UINT CM_DRAWVALUE = 45256;

// A control whose text is a value of its own: WM_GETTEXT and WM_GETTEXTLENGTH answer GetText,
// WM_SETTEXT goes to SetTextValue; it paints all of itself and shows a change of focus or of
// enabling at once.
class TValueControl : public TCustomControl {
  public:
    using TCustomControl::TCustomControl;

  protected:
    void Dispatch(TMessage& Message) override;
};

// An inner edit that draws its value: a framed swatch, its name in the control's font (greyed
// while disabled) and a focus rectangle while it has the focus.
class TGraphicEdit : public TValueControl {
  public:
    explicit TGraphicEdit(TComponent* AOwner);

    virtual void DrawValue(HDC DC, const TRect& Rect, bool Focused);
    virtual void SetValue(const std::string& Text);
    virtual std::string GetValue();

  protected:
    // The swatch of the value; none for a plain text.
    virtual TSwatchPainter Swatch() { return nullptr; }
    std::string GetText() override { return GetValue(); }
    void SetTextValue(const std::string& Value) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;

    std::string FValue;
};

class TColorEdit : public TGraphicEdit {
  public:
    explicit TColorEdit(TComponent* AOwner);
    TColor ColorValue() const { return FColorValue; }
    // A colour's name or a number; anything else raises and changes nothing.
    void SetValue(const std::string& Text) override;

  protected:
    TSwatchPainter Swatch() override { return ColorSwatch(FColorValue); }

  private:
    TColor FColorValue = clBlack;
};

class TPenStyleEdit : public TGraphicEdit {
  public:
    explicit TPenStyleEdit(TComponent* AOwner);
    TPenStyle PenStyle() const { return FStyle; }
    void SetValue(const std::string& Text) override;

  protected:
    TSwatchPainter Swatch() override { return PenSwatch(FStyle); }

  private:
    TPenStyle FStyle = psSolid;
};

class TBrushStyleEdit : public TGraphicEdit {
  public:
    explicit TBrushStyleEdit(TComponent* AOwner);
    TBrushStyle BrushStyle() const { return FBrush.Style(); }
    TBrush* Brush() { return &FBrush; }
    void SetValue(const std::string& Text) override;

  protected:
    TSwatchPainter Swatch() override { return BrushSwatch(FBrush.Style()); }

  private:
    TBrush FBrush;
};

// A check box holding a Boolean: "True" or "False". Space or a click on the box (or anywhere,
// with WholeArea) toggles it, unless the edit around it is read-only; a toggle runs the edit's
// Change and UpdateSource. With Inverted the box is checked for False.
class TCheckEdit : public TValueControl {
  public:
    explicit TCheckEdit(TComponent* AOwner);

    bool Checked() const { return FChecked; }
    bool Inverted() const { return FInverted; }
    void SetInverted(bool Value);
    bool WholeArea() const { return FWholeArea; }
    void SetWholeArea(bool Value) { FWholeArea = Value; }
    // The user toggled it since the value was last set.
    bool Modified() const { return FModified; }
    void Toggle();

  protected:
    std::string GetText() override;
    void SetTextValue(const std::string& Value) override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void KeyPress(char& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  private:
    bool FChecked = false;
    bool FInverted = false;
    bool FWholeArea = false;
    bool FModified = false;
};

// The inner edit of masked text.
class TDCMaskEdit : public TInnerEdit<TCustomMaskEdit> {
  public:
    using TInnerEdit::TInnerEdit;
};
