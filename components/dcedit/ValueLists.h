#pragma once
// The drop-down lists of the value editors: colours (the 16 standard colours, the 25 system
// colours and "none"), brush styles and pen styles, each item drawn as a swatch and, with
// DisplayNames, its name.
//
// A list keeps its current value besides its selection. WM_SETTEXT makes it 42 pixels wide (and
// as wide again as its longest name with DisplayNames), selects the current value and then the
// item of the edit's text; WM_GETTEXT answers the selected item's value text (a brush style with
// its "bs") and makes it the current value.
#include <string>

#include "components/dcedit/PopupListBox.h"
#include "components/dcedit/ValueDrawing.h"

class TValueListBox : public TPopupListBox {
  public:
    // The value text (as the edit shows it) of the current value.
    const std::string& Value() const { return FValue; }

  protected:
    TValueListBox(TComponent* AOwner, std::string Value, bool DisplayNames);

    virtual void FillItems() = 0;
    // The value text of an item (its text unless the value carries more).
    virtual std::string ValueOfItem(int Index) { return Items()->Get(Index); }
    // The widest name the list shows, for its width.
    virtual const char* LongestName() const = 0;
    virtual TSwatchPainter SwatchOf(int Index) = 0;

    void AfterHandleCreated() override;
    void SetPopupText(const std::string& Text) override;
    std::string PopupText() override;
    void DrawItem(int Index, TRect Rect, TOwnerDrawState State) override;
    void Click() override;

  private:
    int IndexOfValue(const std::string& Text);

    std::string FValue;
};

class TPopupColorBox : public TValueListBox {
  public:
    explicit TPopupColorBox(TComponent* AOwner);

  protected:
    void FillItems() override;
    const char* LongestName() const override { return "clInactiveCaptionText"; }
    TSwatchPainter SwatchOf(int Index) override;
};

class TPopupBrushBox : public TValueListBox {
  public:
    explicit TPopupBrushBox(TComponent* AOwner);
    TBrush* Brush() { return &FBrush; }

  protected:
    void FillItems() override;
    std::string ValueOfItem(int Index) override;
    const char* LongestName() const override { return "Horizontal"; }
    TSwatchPainter SwatchOf(int Index) override;

  private:
    TBrush FBrush;
};

class TPopupPenBox : public TValueListBox {
  public:
    explicit TPopupPenBox(TComponent* AOwner);

  protected:
    void FillItems() override;
    const char* LongestName() const override { return "InsideFrame"; }
    TSwatchPainter SwatchOf(int Index) override;
};
