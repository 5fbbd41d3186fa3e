#pragma once
// Controls the class library paints itself: labels, panels, bevels, images and splitters, and the
// timer component.
#include <memory>
#include <string>

#include "platform/widgets/Control.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// True when Key is the character after a single '&' of Caption (compared without case).
bool IsAccel(WORD Key, const std::string& Caption);

// A text painted in its parent; Alt with its accelerator focuses FocusControl.
class TCustomLabel : public TGraphicControl {
  public:
    explicit TCustomLabel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    TWinControl* FocusControl() const { return FFocusControl; }
    void SetFocusControl(TWinControl* Value);
    void SetAutoSize(bool Value) override;

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

  protected:
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void AdjustSize() override;
    void Loaded() override;
    // The text drawn (a subclass may show another than its caption).
    virtual std::string GetLabelText();
    // Draws the text with DrawText's Flags (DT_CALCRECT measures into Rect).
    virtual void DoDrawText(RECT& Rect, UINT Flags);
    UINT DrawFlags() const;

  private:
    TAlignment FAlignment = taLeftJustify;
    TTextLayout FLayout = tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
    bool FTransparent = false;
    TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
  public:
    using TCustomLabel::TCustomLabel;
};

// A raised or lowered box with a caption, holding other controls.
class TCustomPanel : public TCustomControl {
  public:
    explicit TCustomPanel(TComponent* AOwner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    // bsNone or bsSingle.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    bool FullRepaint = true;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void Dispatch(TMessage& Message) override;

  private:
    TAlignment FAlignment = taCenter;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    TFormBorderStyle FBorderStyle = bsNone;
};

class TPanel : public TCustomPanel {
  public:
    using TCustomPanel::TCustomPanel;
};

// Lines and frames that group controls.
class TBevel : public TGraphicControl {
  public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape Shape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle Style() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

  protected:
    void Paint() override;

  private:
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

// A picture shown as it is, centred, or stretched.
class TImage : public TGraphicControl {
  public:
    explicit TImage(TComponent* AOwner);
    TPicture* Picture() { return &FPicture; }
    void SetPicture(const TPicture* Value) { FPicture.Assign(*Value); }
    bool Center() const { return FCenter; }
    void SetCenter(bool Value);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool Value);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    // Where the picture is drawn, in the control's coordinates.
    TRect DestRect();

  protected:
    void Paint() override;
    void AdjustSize() override;

  private:
    void PictureChanged();
    TPicture FPicture;
    bool FCenter = false;
    bool FStretch = false;
    bool FProportional = false;
    bool FTransparent = false;
};

// A bar between aligned controls that the user drags to resize the control before it.
class TSplitter : public TGraphicControl {
  public:
    explicit TSplitter(TComponent* AOwner);
    int MinSize = 30;
    bool Beveled = false;
    TNotifyEvent OnMoved;

  protected:
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  private:
    // The aligned control the splitter sizes: the one on its side of the same alignment.
    TControl* FindControl();
    TControl* FControl = nullptr;
    TPoint FDownPos;
    int FStartSize = 0;
    bool FDragging = false;
};

// Calls OnTimer every Interval milliseconds while Enabled.
class TTimer : public TComponent {
  public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Value);
    const TNotifyEvent& OnTimer() const { return FOnTimer; }
    void SetOnTimer(TNotifyEvent Value);

  protected:
    void Loaded() override;

  private:
    void UpdateTimer();
    void WndProc(TMessage& Message);
    HWND FWindow = 0;
    bool FEnabled = true;
    unsigned FInterval = 1000;
    TNotifyEvent FOnTimer;
};
