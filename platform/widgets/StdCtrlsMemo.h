#pragma once
// The multi-line edit control of the class library. Its lines (Lines) live in the window: they
// are the lines the window shows (a line that wraps counts once per row it takes, as the edit's
// line messages count them), and an empty last line is no line. Setting the whole text, reading
// a file into Lines or assigning another list puts the text into the window in one go, and so
// do the lines added at the end between Lines->BeginUpdate and EndUpdate: a memo takes a message
// source of megabytes at once, not line by line.
#include <memory>

#include "platform/classes/Classes.h"
#include "platform/widgets/ExtCtrls.h"
#include "platform/widgets/StdCtrlsEdit.h"

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemoStrings;

class TCustomMemo : public TCustomEdit {
  public:
    explicit TCustomMemo(TComponent* AOwner);
    ~TCustomMemo() override;

    TStrings* Lines() const;
    void SetLines(const TStrings* Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    // Lines break at the right edge (only without a horizontal scroll bar).
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);
    // Return starts a new line (else it is a dialog key: the default button's); Ctrl+Return
    // always does.
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool Value) { FWantReturns = Value; }
    // Tab types a tab (else it moves the focus on).
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool Value) { FWantTabs = Value; }

  protected:
    void CreateParams(TCreateParams& Params) override;
    void DestroyWnd() override;
    void Dispatch(TMessage& Message) override;
    void KeyPress(char& Key) override;
    std::string GetText() override;

  private:
    friend class TMemoStrings;
    std::unique_ptr<TMemoStrings> FLines;
    TAlignment FAlignment = taLeftJustify;
    TScrollStyle FScrollBars = ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
    // A Tab is being tried as a dialog key.
    bool FAskingForTab = false;
};

class TMemo : public TCustomMemo {
  public:
    using TCustomMemo::TCustomMemo;
};
