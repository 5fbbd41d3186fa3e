#pragma once
// TOvcURL: a label that shows a link, lights up while the mouse is over it and opens its address
// with the desktop's handler when clicked (a beep when that fails).
//
// The hover ends when a 100 ms timer finds the pointer outside the label: a label only hears of
// moves over itself, and the pointer may leave it faster than any move is reported.
#include <memory>
#include <string>

#include "platform/widgets/ExtCtrls.h"

class TOvcURL : public TCustomLabel {
  public:
    explicit TOvcURL(TComponent* AOwner);
    ~TOvcURL() override;

    std::string About() const { return "v4.02"; }
    // Stored forms carry the value; writing it changes nothing.
    void SetAbout(const std::string&) {}
    // The colour while the mouse is over the label (default clRed); clNone takes the font's
    // colour now. Either colour setting forgets the remembered normal colour.
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    // The address a click opens; the label shows it when the caption is empty.
    const std::string& URL() const { return FURL; }
    void SetURL(const std::string& Value);
    // With UseVisitedColor a clicked link takes VisitedColor once the mouse has left it.
    bool UseVisitedColor() const { return FUseVisitedColor; }
    void SetUseVisitedColor(bool Value) { FUseVisitedColor = Value; }
    TColor VisitedColor() const { return FVisitedColor; }
    void SetVisitedColor(TColor Value);

    // Whether the hover timer runs (the mouse counts as over the label).
    bool Hovering() const;

    void Click() override;

  protected:
    void Loaded() override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    std::string GetLabelText() override;

  private:
    void Underline();
    void HoverTick();
    // The colour setting's value: the font's colour for clNone.
    TColor ColorOrFont(TColor Value);

    TColor FHighlightColor = clRed;
    std::string FURL;
    bool FUseVisitedColor = false;
    TColor FVisitedColor = clBlack;
    // Made at the first hover and stopped, not freed, when it ends: it ends from its own tick.
    std::unique_ptr<TTimer> FHoverTimer;
    // The font's colour outside a hover; clNone: none remembered.
    TColor FNormalColor = clNone;
};
