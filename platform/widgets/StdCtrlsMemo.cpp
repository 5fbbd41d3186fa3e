#include "platform/widgets/StdCtrlsMemo.h"

#include <algorithm>

#include "platform/controls/Edit.h"
#include "platform/core/Input.h"

namespace {

// The lines a text makes when inserted as one line (it may hold line breaks of any kind).
int LinesIn(const std::string& Text) {
    int Count = 1;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r' && I + 1 < Text.size() && Text[I + 1] == '\n') ++I;
        if (Text[I] == '\r' || Text[I] == '\n') ++Count;
    }
    return Count;
}

}  // namespace

// The lines of a memo, kept in its window (or in its text while it has none). Lines added at the
// end during an update wait in FPending and go into the window in one piece when the update ends
// or before anything else reads or changes the lines.
class TMemoStrings : public TStrings {
  public:
    explicit TMemoStrings(TCustomMemo& Memo) : FMemo(Memo) {}

    int Count() const override;
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& Value) override;
    void Insert(int Index, const std::string& Value) override;
    void Delete(int Index) override;
    void Clear() override;
    void SetText(const std::string& Text) override;
    void Flush();

  protected:
    void SetUpdateState(bool Updating) override;

  private:
    bool Windowed() const { return FMemo.HandleAllocated(); }
    LRESULT Send(UINT Msg, WPARAM WParam = 0, LPARAM LParam = 0) const {
        return FMemo.Perform(Msg, WParam, LParam);
    }
    int WindowCount() const;
    // Where a line starts and how long it is (lines as the window shows them).
    size_t LineStart(int Index) const { return size_t(Send(EM_LINEINDEX, WPARAM(Index))); }
    size_t LineLength(size_t Start) const { return size_t(Send(EM_LINELENGTH, Start)); }
    void Replace(size_t From, size_t To, const std::string& Text);
    // Inserts whole lines (each ended by CR LF) before line Index, or after the last line.
    void InsertLines(int Index, const std::string& Lines);
    // Without a window the memo's text is the list.
    TStringList TextLines() const;
    void SetTextLines(const TStringList& Lines);

    TCustomMemo& FMemo;
    std::string FPending;
    int FPendingCount = 0;
    int FBaseCount = 0;
};

int TMemoStrings::WindowCount() const {
    if (!Windowed()) return TextLines().Count();
    const int Lines = int(Send(EM_GETLINECOUNT));
    if (Lines <= 0) return 0;
    // The empty line after a last line break is not a line of the list.
    return LineLength(LineStart(Lines - 1)) == 0 ? Lines - 1 : Lines;
}

int TMemoStrings::Count() const {
    return FPendingCount > 0 ? FBaseCount + FPendingCount : WindowCount();
}

std::string TMemoStrings::Get(int Index) const {
    const_cast<TMemoStrings*>(this)->Flush();
    CheckIndex(Index);
    if (!Windowed()) return TextLines().Strings(Index);
    const size_t Start = LineStart(Index);
    const size_t Length = LineLength(Start);
    // EM_GETLINE's buffer counts in 16 bits; a longer line comes from the whole text.
    if (Length > 0xFFFF) return FMemo.GetText().substr(Start, Length);
    std::string Line(std::max<size_t>(Length, sizeof(WORD)), '\0');
    const auto Size = static_cast<WORD>(Length);
    std::copy_n(reinterpret_cast<const char*>(&Size), sizeof Size, Line.data());
    Line.resize(size_t(Send(EM_GETLINE, WPARAM(Index), LPARAM(Line.data()))));
    return Line;
}

void TMemoStrings::Replace(size_t From, size_t To, const std::string& Text) {
    Send(EM_SETSEL, From, LPARAM(To));
    Send(EM_REPLACESEL, 0, LPARAM(Text.c_str()));
}

void TMemoStrings::Put(int Index, const std::string& Value) {
    Flush();
    CheckIndex(Index);
    if (!Windowed()) {
        TStringList Lines = TextLines();
        Lines.Put(Index, Value);
        SetTextLines(Lines);
        return;
    }
    const size_t Start = LineStart(Index);
    Replace(Start, Start + LineLength(Start), Value);
}

void TMemoStrings::InsertLines(int Index, const std::string& Lines) {
    if (!Windowed()) {
        TStringList List = TextLines();
        std::string Text;
        for (int I = 0; I < Index; ++I) Text += List.Strings(I) + "\r\n";
        Text += Lines;
        for (int I = Index; I < List.Count(); ++I) Text += List.Strings(I) + "\r\n";
        FMemo.SetText(Text);
        return;
    }
    if (Index == 0 && WindowCount() == 0) {
        // Into an empty memo: the whole text at once.
        FMemo.Perform(WM_SETTEXT, 0, LPARAM(Lines.c_str()));
        return;
    }
    const auto At = static_cast<LONG>(Send(EM_LINEINDEX, WPARAM(Index)));
    if (At >= 0) {
        Replace(size_t(At), size_t(At), Lines);
        return;
    }
    // After the last line, which has no line break yet.
    const size_t Last = LineStart(Index - 1);
    const size_t End = Last + LineLength(Last);
    Replace(End, End, "\r\n" + Lines.substr(0, Lines.size() - 2));
}

void TMemoStrings::Insert(int Index, const std::string& Value) {
    if (UpdateCount() > 0 && Index == Count()) {
        if (FPendingCount == 0) FBaseCount = WindowCount();
        FPending += Value + "\r\n";
        FPendingCount += LinesIn(Value);
        return;
    }
    Flush();
    if (Index < 0 || Index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(Index) + ")");
    InsertLines(Index, Value + "\r\n");
}

void TMemoStrings::Delete(int Index) {
    Flush();
    CheckIndex(Index);
    if (!Windowed()) {
        TStringList Lines = TextLines();
        Lines.Delete(Index);
        SetTextLines(Lines);
        return;
    }
    const size_t Start = LineStart(Index);
    const auto Next = static_cast<LONG>(Send(EM_LINEINDEX, WPARAM(Index + 1)));
    Replace(Start, Next >= 0 ? size_t(Next) : Start + LineLength(Start), std::string());
}

void TMemoStrings::Clear() {
    FPending.clear();
    FPendingCount = 0;
    FMemo.SetText(std::string());
}

void TMemoStrings::SetText(const std::string& Text) {
    FPending.clear();
    FPendingCount = 0;
    FMemo.SetText(Text);
}

void TMemoStrings::Flush() {
    if (FPendingCount == 0) return;
    const std::string Lines = std::move(FPending);
    const int Base = FBaseCount;
    FPending.clear();
    FPendingCount = 0;
    InsertLines(Base, Lines);
}

void TMemoStrings::SetUpdateState(bool Updating) {
    if (Windowed()) Send(WM_SETREDRAW, Updating ? FALSE : TRUE);
    if (Updating) return;
    Flush();
    FMemo.Invalidate();
}

TStringList TMemoStrings::TextLines() const {
    TStringList Lines;
    Lines.SetText(FMemo.TWinControl::GetText());
    return Lines;
}

void TMemoStrings::SetTextLines(const TStringList& Lines) {
    FMemo.SetText(Lines.Text());
}

// ---- TCustomMemo ----------------------------------------------------------------------------

TCustomMemo::TCustomMemo(TComponent* AOwner)
    : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(*this)) {
    FControlStyle.Exclude(csFixedHeight);
    FAutoSize = false;
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

TStrings* TCustomMemo::Lines() const {
    return FLines.get();
}

void TCustomMemo::SetLines(const TStrings* Value) {
    if (Value) FLines->Assign(*Value);
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE;
    if (FWordWrap) Params.Style &= ~ES_AUTOHSCROLL;
    if (FWantReturns) Params.Style |= ES_WANTRETURN;
    if (FAlignment == taCenter) Params.Style |= ES_CENTER;
    if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomMemo::DestroyWnd() {
    FLines->Flush();
    TCustomEdit::DestroyWnd();
}

std::string TCustomMemo::GetText() {
    FLines->Flush();
    return TCustomEdit::GetText();
}

void TCustomMemo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
        case WM_GETDLGCODE:
            TCustomEdit::Dispatch(Message);
            // The edit wants every key; Return and Tab are the memo's only when it says so.
            if (!FWantReturns || FAskingForTab) Message.Result &= ~DLGC_WANTALLKEYS;
            if (FWantTabs)
                Message.Result |= DLGC_WANTTAB;
            else
                Message.Result &= ~DLGC_WANTTAB;
            return;
        case CN_KEYDOWN: {
            // The edit's "all keys" would take Tab along with Return.
            const bool Was = FAskingForTab;
            FAskingForTab = Message.WParam == VK_TAB;
            TCustomEdit::Dispatch(Message);
            FAskingForTab = Was;
            return;
        }
        default:
            TCustomEdit::Dispatch(Message);
    }
}

void TCustomMemo::KeyPress(char& Key) {
    TCustomEdit::KeyPress(Key);
    if (Key == '\r' && !FWantReturns) Key = 0;
}

void TCustomMemo::SetAlignment(TAlignment Value) {
    if (FAlignment == Value) return;
    FAlignment = Value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (FScrollBars == Value) return;
    FScrollBars = Value;
    RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (FWordWrap == Value) return;
    FWordWrap = Value;
    RecreateWnd();
}
