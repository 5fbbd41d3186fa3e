#pragma once
// The up-down control over msctls_updown32 (platform/controls/UpDown.h): two arrow buttons that
// step Position between Min and Max by Increment, usually on the edge of an associated control
// (an edit) that shows the position as its text and takes it back when the user edits it.
//
// Each step the user asks for first goes through OnChanging (which may refuse it); a step that
// moved the position fires OnClick with the arrow: btNext for the one towards Max, btPrev for
// the other, also when Wrap carried the position round.
#include "platform/widgets/Control.h"

enum TUDAlignButton { udLeft, udRight };
enum TUDOrientation { udHorizontal, udVertical };
enum TUDBtnType { btNext, btPrev };

using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

class TCustomUpDown : public TWinControl {
  public:
    explicit TCustomUpDown(TComponent* AOwner);
    ~TCustomUpDown() override;

    int Min() const { return FMin; }
    void SetMin(int Value);
    int Max() const { return FMax; }
    void SetMax(int Value);
    // Kept between Min and Max; with an associate, what its text says when it is a number.
    int Position();
    void SetPosition(int Value);
    // The step of one click, at least 1.
    int Increment() const { return FIncrement; }
    void SetIncrement(int Value);
    // The control whose text shows the position; the up-down sits on its edge. Not the up-down
    // itself, nor another up-down (EInvalidOperation).
    TWinControl* Associate() const { return FAssociate; }
    void SetAssociate(TWinControl* Value);
    TUDAlignButton AlignButton() const { return FAlignButton; }
    void SetAlignButton(TUDAlignButton Value);
    // Up and Down in the associate step too.
    bool ArrowKeys() const { return FArrowKeys; }
    void SetArrowKeys(bool Value);
    TUDOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TUDOrientation Value);
    // The associate's text groups thousands.
    bool Thousands() const { return FThousands; }
    void SetThousands(bool Value);
    // Stepping past one end goes on from the other.
    bool Wrap() const { return FWrap; }
    void SetWrap(bool Value);

    TUDClickEvent OnClick;
    TUDChangingEvent OnChanging;

  protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void Loaded() override;
    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual bool CanChange();
    virtual void Click(TUDBtnType Button);

  private:
    void ApplyRange();
    void ApplyBuddy();
    // The window narrows the associate to make room beside it; it gets the room back when the
    // up-down leaves it (another associate, a new window that narrows it again).
    void GiveRoomBack();
    void DeltaPos(TMessage& Message);
    void Scrolled(TMessage& Message);

    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FIncrement = 1;
    TWinControl* FAssociate = nullptr;
    TUDAlignButton FAlignButton = udRight;
    bool FArrowKeys = true;
    TUDOrientation FOrientation = udVertical;
    bool FThousands = true;
    bool FWrap = false;
    int FRoomTaken = 0;
    // The arrow of the step under way (OnClick comes after the window moved the position).
    TUDBtnType FStepping = btNext;
};

class TUpDown : public TCustomUpDown {
  public:
    using TCustomUpDown::TCustomUpDown;
};
