#pragma once
// THTMLHint: makes the application's hints HTML hints. The component (one per form, on the main
// form) replaces the application's hint-window class by THTMLHintWindow and takes over its
// show-hint event; the window lays out and paints every hint with the mini-HTML renderer, in the
// component's font, colours, style and margins.
//
// There is one hint window per application (the application object keeps it); it asks the first
// THTMLHint of the main form for its settings, and paints with the defaults when there is none.
#include <string>

#include "components/htmlhint/HintLayout.h"
#include "components/htmlhint/HtmlPicture.h"
#include "platform/widgets/Forms.h"

class EHTMLHintError : public Exception {
  public:
    using Exception::Exception;
};

class THTMLHint : public TComponent {
  public:
    // EHTMLHintError "Control parent must be a form!" for an owner that is no form, "Only one
    // instance of THTMLHint allowed on form" for a second one on a form.
    explicit THTMLHint(TComponent* AOwner);
    // Gives the application its previous hint-window class and show-hint event back.
    ~THTMLHint() override;

    TColor HintColor() const { return FSettings.HintColor; }
    void SetHintColor(TColor Value) { FSettings.HintColor = Value; }
    TFont* HintFont() { return &FHintFont; }
    void SetHintFont(const TFont* Value) { FHintFont.Assign(*Value); }
    THintStyle HintStyle() const { return FSettings.HintStyle; }
    void SetHintStyle(THintStyle Value) { FSettings.HintStyle = Value; }
    bool Ellipsis() const { return FSettings.Ellipsis; }
    void SetEllipsis(bool Value) { FSettings.Ellipsis = Value; }
    // The image list "IDX:n" pictures come from (not owned; code sets it).
    TCustomImageList* Images() const { return FSettings.Images; }
    void SetImages(TCustomImageList* Value) { FSettings.Images = Value; }
    TPictureContainer* PictureContainer() const { return FSettings.PictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    TColor ShadowColor() const { return FSettings.ShadowColor; }
    void SetShadowColor(TColor Value) { FSettings.ShadowColor = Value; }
    int ShadowOffset() const { return FSettings.ShadowOffset; }
    void SetShadowOffset(int Value) { FSettings.ShadowOffset = Value; }
    TColor URLColor() const { return FSettings.URLColor; }
    void SetURLColor(TColor Value) { FSettings.URLColor = Value; }
    int XMargin() const { return FSettings.XMargin; }
    void SetXMargin(int Value) { FSettings.XMargin = Value; }
    int YMargin() const { return FSettings.YMargin; }
    void SetYMargin(int Value) { FSettings.YMargin = Value; }

    // Runs for every hint the application is about to show, after the hint colour was set.
    TShowHintEvent OnShowHint;

    // What the window lays out and paints with (the picture cache included).
    THTMLHintSettings Settings();
    // A copy of what the application showed last.
    const THintInfo& HintInfo() const { return FHintInfo; }

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    void ShowHint(std::string& HintStr, bool& CanShow, THintInfo& Info);

    THTMLHintSettings FSettings;
    TFont FHintFont;
    THTMLPictureCache FCache;
    THintInfo FHintInfo;
    // What the application had before this component took over (given back when it goes).
    bool FInstalled = false;
    THintWindowClass FPreviousWindowClass;
    TShowHintEvent FPreviousShowHint;
};

class THTMLHintWindow : public THintWindow {
  public:
    explicit THTMLHintWindow(TComponent* AOwner);

    // Measures Hint, places the window at Rect's top-left corner (kept on the screen), cuts the
    // rounded style's corners and shows it on top without activating it.
    void ActivateHint(TRect Rect, const std::string& Hint) override;
    void ActivateHintData(TRect Rect, const std::string& Hint, void* Data) override;
    TRect CalcHintRect(int MaxWidth, const std::string& Hint, void* Data) override;

    // The measured text of the hint shown.
    TSize TextSize() const { return FTextSize; }

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

  private:
    // The main form's first THTMLHint, or null.
    static THTMLHint* FindHTMLHint();
    THTMLHintSettings CurrentSettings(THTMLHint* Hint);
    THintPlacement Measure(const std::string& Hint, TPoint Pos, int MaxWidth);

    TSize FTextSize{0, 0};
};
