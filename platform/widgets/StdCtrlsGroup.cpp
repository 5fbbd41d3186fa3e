#include "platform/widgets/StdCtrlsGroup.h"

#include <algorithm>

#include "platform/core/Paint.h"

namespace {

// Where the caption starts, and the room between the frame and what it holds.
constexpr int kCaptionIndent = 8;
constexpr int kFrameInset = 2;
constexpr int kMaxColumns = 16;

}  // namespace

// ---- TCustomGroupBox ------------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csClickEvents,
                                  csSetCaption,      csDoubleClicks, csReplicatable};
    SetBounds(0, 0, 185, 105);
}

int TCustomGroupBox::CaptionHeight() {
    return FFont.Metrics().tmHeight;
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    TCustomControl::AdjustClientRect(Rect);
    Rect.Top += CaptionHeight();
    Rect.Left += kFrameInset;
    Rect.Top += kFrameInset;
    Rect.Right -= kFrameInset;
    Rect.Bottom -= kFrameInset;
}

void TCustomGroupBox::Paint() {
    TCanvas& C = *Canvas();
    const HDC DC = C.Handle();
    const int Height = CaptionHeight();
    // The etched frame runs through the middle of the caption's line.
    RECT Frame{0, Height / 2 - 1, FWidth, FHeight};
    DrawEdge(DC, &Frame, EDGE_ETCHED, BF_RECT);
    const std::string Text = GetText();
    if (Text.empty()) return;
    C.Font().Assign(FFont);
    RECT R{kCaptionIndent, 0, FWidth - kCaptionIndent, Height};
    DrawText(DC, Text, &R, DT_SINGLELINE | DT_CALCRECT);
    // The caption stands on the control's colour, interrupting the frame.
    C.Brush().SetColor(FColor);
    C.Brush().SetStyle(bsSolid);
    C.FillRect(TRect{R.left, R.top, R.right, R.bottom});
    SetBkMode(DC, TRANSPARENT);
    if (!FEnabled) {
        RECT Light = R;
        OffsetRect(&Light, 1, 1);
        SetTextColor(DC, ColorToRGB(clBtnHighlight));
        DrawText(DC, Text, &Light, DT_SINGLELINE);
        SetTextColor(DC, ColorToRGB(clBtnShadow));
    } else {
        SetTextColor(DC, ColorToRGB(FFont.Color()));
    }
    DrawText(DC, Text, &R, DT_SINGLELINE);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case CM_DIALOGCHAR:
            // The caption's accelerator goes to the first control inside.
            if (IsAccel(WORD(Message.WParam), GetText()) && CanFocus()) {
                if (TWinControl* First = FindNextControl(nullptr, true, true, false))
                    First->SetFocus();
                Message.Result = 1;
                return;
            }
            TCustomControl::Dispatch(Message);
            return;
        case CM_TEXTCHANGED:
        case CM_FONTCHANGED:
        case CM_ENABLEDCHANGED:
            TCustomControl::Dispatch(Message);
            Realign();
            Invalidate();
            return;
        default:
            TCustomControl::Dispatch(Message);
    }
}

// ---- the radio group's items and buttons ----------------------------------------------------

// The item list: every change remakes the group's buttons (once, at the end of an update).
class TRadioGroupItems : public TStringList {
  public:
    explicit TRadioGroupItems(TCustomRadioGroup& Group) : FGroup(Group) {}

    void Put(int Index, const std::string& Value) override {
        TStringList::Put(Index, Value);
        Changed();
    }
    int AddObject(const std::string& Value, void* Object) override {
        const int Index = TStringList::AddObject(Value, Object);
        Changed();
        return Index;
    }
    void InsertObject(int Index, const std::string& Value, void* Object) override {
        TStringList::InsertObject(Index, Value, Object);
        Changed();
    }
    void Delete(int Index) override {
        TStringList::Delete(Index);
        Changed();
    }
    void Clear() override {
        TStringList::Clear();
        Changed();
    }
    void Exchange(int A, int B) override {
        TStringList::Exchange(A, B);
        Changed();
    }

  protected:
    void SetUpdateState(bool Updating) override {
        if (!Updating) FGroup.ItemsChanged();
    }

  private:
    void Changed() {
        if (UpdateCount() == 0) FGroup.ItemsChanged();
    }
    TCustomRadioGroup& FGroup;
};

// One button of a radio group: owned by the group, never written to a definition; its keys are
// the group's, and its click the group's choice.
class TGroupButton : public TRadioButton {
  public:
    explicit TGroupButton(TCustomRadioGroup* Group) : TRadioButton(Group), FGroup(Group) {
        SetVisible(false);
        SetEnabled(Group->Enabled());
        SetParentShowHint(false);
        SetParent(Group);
    }
    ~TGroupButton() override {
        auto& List = FGroup->FButtons;
        List.erase(std::remove(List.begin(), List.end(), this), List.end());
    }
    void Click() override {
        TRadioButton::Click();
        FGroup->ButtonClicked(this);
    }

  protected:
    void Dispatch(TMessage& Message) override {
        // A group that may not change now ignores the user's clicks.
        if (Message.Msg == CN_COMMAND && !FGroup->CanModify()) return;
        TRadioButton::Dispatch(Message);
    }
    void KeyDown(WORD& Key, TShiftState Shift) override {
        TRadioButton::KeyDown(Key, Shift);
        if (Key) FGroup->KeyDown(Key, Shift);
    }
    void KeyPress(char& Key) override {
        TRadioButton::KeyPress(Key);
        if (Key) FGroup->KeyPress(Key);
        if ((Key == ' ' || Key == '\b') && !FGroup->CanModify()) Key = 0;
    }

  private:
    TCustomRadioGroup* FGroup;
};

// ---- TCustomRadioGroup ----------------------------------------------------------------------

TCustomRadioGroup::TCustomRadioGroup(TComponent* AOwner)
    : TCustomGroupBox(AOwner), FItems(std::make_unique<TRadioGroupItems>(*this)) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks, csParentBackground};
}

TCustomRadioGroup::~TCustomRadioGroup() {
    // The buttons go while the group is whole (they leave its list as they go).
    while (!FButtons.empty()) FButtons.back()->Free();
}

TStringList* TCustomRadioGroup::Items() const {
    return FItems.get();
}

void TCustomRadioGroup::SetItems(const TStrings* Value) {
    if (Value) FItems->Assign(*Value);
}

TRadioButton* TCustomRadioGroup::Buttons(int Index) const {
    return FButtons.at(size_t(Index));
}

void TCustomRadioGroup::SetItemIndex(int Value) {
    if (ComponentState().Contains(csLoading)) {
        FItemIndex = Value;
        return;
    }
    Value = std::clamp(Value, -1, int(FButtons.size()) - 1);
    if (FItemIndex == Value) return;
    if (FItemIndex >= 0) FButtons[size_t(FItemIndex)]->SetChecked(false);
    FItemIndex = Value;
    if (FItemIndex >= 0) FButtons[size_t(FItemIndex)]->SetChecked(true);
}

void TCustomRadioGroup::SetColumns(int Value) {
    Value = std::clamp(Value, 1, kMaxColumns);
    if (FColumns == Value) return;
    FColumns = Value;
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::ItemsChanged() {
    if (ComponentState().Contains(csLoading)) return;
    UpdateButtons();
}

void TCustomRadioGroup::Loaded() {
    TCustomGroupBox::Loaded();
    UpdateButtons();
}

void TCustomRadioGroup::UpdateButtons() {
    const size_t Count = size_t(FItems->Count());
    while (FButtons.size() > Count) FButtons.back()->Free();
    while (FButtons.size() < Count) FButtons.push_back(new TGroupButton(this));
    if (FItemIndex >= int(Count)) FItemIndex = -1;
    FUpdating = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } Done{FUpdating};
    for (size_t I = 0; I < Count; ++I) {
        FButtons[I]->SetCaption(FItems->Strings(int(I)));
        FButtons[I]->SetChecked(int(I) == FItemIndex);
    }
    ArrangeButtons();
    Invalidate();
}

void TCustomRadioGroup::ArrangeButtons() {
    if (FButtons.empty() || ComponentState().Contains(csLoading)) return;
    const int LineHeight = FFont.Metrics().tmHeight;
    const int Count = int(FButtons.size());
    const int PerColumn = (Count + FColumns - 1) / FColumns;
    const int ColumnWidth = (FWidth - 10) / FColumns;
    // The rows share the height below the caption; what does not divide evenly is split above
    // and below them.
    const int Room = FHeight - LineHeight - 5;
    const int RowHeight = Room / PerColumn;
    const int Top = LineHeight + 1 + (Room % PerColumn) / 2;
    for (int I = 0; I < Count; ++I) {
        TGroupButton* B = FButtons[size_t(I)];
        B->SetBounds(8 + (I / PerColumn) * ColumnWidth, Top + (I % PerColumn) * RowHeight,
                     ColumnWidth, RowHeight);
        B->SetVisible(true);
    }
}

void TCustomRadioGroup::ButtonClicked(TGroupButton* Button) {
    if (FUpdating) return;
    const auto It = std::find(FButtons.begin(), FButtons.end(), Button);
    FItemIndex = It == FButtons.end() ? -1 : int(It - FButtons.begin());
    Click();
}

void TCustomRadioGroup::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_SIZE:
        case CM_FONTCHANGED:
            TCustomGroupBox::Dispatch(Message);
            ArrangeButtons();
            return;
        case CM_ENABLEDCHANGED:
            TCustomGroupBox::Dispatch(Message);
            for (TGroupButton* B : FButtons) B->SetEnabled(FEnabled);
            return;
        default:
            TCustomGroupBox::Dispatch(Message);
    }
}
