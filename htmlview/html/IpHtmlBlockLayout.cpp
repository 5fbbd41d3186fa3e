// The block engine: how a block (BODY, a table cell, a caption) measures its elements for its
// minimum and maximum width, and breaks them into lines inside a rectangle.
//
// Lines are filled element by element; an element that does not fit wraps the line at the last
// break opportunity (a blank, a hyphen, an object, an indent). Objects aligned left or right
// float: they take room at the side of the following lines until the text has passed them.
// Every line placed is also entered in the block's line list, which lets painting and hit tests
// find the lines that lie on a rectangle without looking at the others.
#include <algorithm>
#include <climits>
#include <cstdint>
#include <deque>
#include <vector>

#include "htmlview/html/IpHtml.h"
#include "htmlview/html/IpHtmlFontInForce.h"
#include "htmlview/html/Limits.h"

namespace {

using enum TElementType;

int32_t Clamp32(int64_t Value) {
    return int32_t(
        std::clamp<int64_t>(Value, -HtmlLimits::kMaxLayoutExtent, HtmlLimits::kMaxLayoutExtent));
}

TIpHtmlSize ClampSize(TIpHtmlSize Size) {
    return {std::clamp(Size.Width, 0, HtmlLimits::kMaxLayoutExtent),
            std::clamp(Size.Height, 0, HtmlLimits::kMaxLayoutExtent)};
}

bool IsBlank(const LayoutElement* E) {
    return E->ElementType == Word && E->IsBlank > 0;
}

bool IsBreak(TElementType Type) {
    return Type >= SoftBreak && Type <= BreakClearAll;
}

TIpHtmlNodeAlignInline* BoxOf(const LayoutElement* E) {
    return static_cast<TIpHtmlNodeAlignInline*>(E->Owner);
}

bool Floats(const LayoutElement* E) {
    if (E->ElementType != Object) return false;
    const TIpHtmlImageAlign Align = BoxOf(E)->Align();
    return Align == TIpHtmlImageAlign::hiaLeft || Align == TIpHtmlImageAlign::hiaRight;
}

// The index after the last element that is not a blank: trailing blanks are never laid out.
size_t ContentEnd(const std::vector<LayoutElement*>& Elements) {
    size_t End = Elements.size();
    while (End > 0 && IsBlank(Elements[End - 1])) --End;
    return End;
}

// Whether R has the size of Old: the same width, and the same height or the same top (a rectangle
// given with an open bottom matches the one whose bottom layout filled in).
bool SameSize(const TIpHtmlRect& R, const TIpHtmlRect& Old) {
    return int64_t(R.Right) - R.Left == int64_t(Old.Right) - Old.Left &&
           (int64_t(R.Bottom) - R.Top == int64_t(Old.Bottom) - Old.Top || R.Top == Old.Top);
}

// Stores an element's rectangle; a box whose rectangle is proper is told where it went.
void SetElementRect(LayoutElement* E, const TIpHtmlRect& R) {
    E->WordRect = R;
    if (E->ElementType == Object && R.Left >= 0 && R.Top >= 0 && !IsEmptyRect(R))
        BoxOf(E)->SetInlineRect(R);
}

}  // namespace

// Breaks a block's elements into lines inside a rectangle; one object per layout.
class TIpHtmlLineBreaker {
  public:
    TIpHtmlLineBreaker(TIpHtmlNodeBlock& Block, const TIpHtmlRect& Rect);
    void Run();

  private:
    // How a line ended, which decides how the next one starts.
    enum class TEnd { Break, Wrapped, SoftBreakWithContent };
    struct TRecord {
        size_t Index;
        int64_t X;
        int32_t BaseOffset;
        int32_t Ascent;  // with the base offset; -1 for an object aligned to the top
        int32_t Descent;
        int32_t Width;
        int32_t Height;
        TIpHtmlVAlign3 VAlign;
        bool Hyphen;
        bool Centres;
        bool Box;
    };
    struct TSized {
        int32_t Width = 0;
        int32_t Height = 0;
        int32_t Ascent = 0;
        int32_t Descent = 0;
        bool Breaks = false;
        bool Hyphen = false;
        bool Centres = false;
    };
    struct TFloat {
        size_t Index;
        TIpHtmlNodeAlignInline* Box;
    };
    // What a break element does to the line.
    enum class TBreak { None, Skipped, EndsLine };

    void Switch(const TIpHtmlProps& Props);
    void ApplyIndents();
    void StartLine();
    // Fills the line; answers the index the next line starts at.
    size_t ScanLine();
    TBreak TakeBreak(const LayoutElement* E);
    void TakeFontHeight(const TIpHtmlPropA& Font);
    TSized SizeOf(LayoutElement* E);
    void Place(const TSized& S);
    size_t Wrap(const TSized& S);
    void DropAfter(size_t End);
    void EndLine(size_t Next);
    void Position();
    int64_t JustifyShift(size_t Record, int64_t Free) const;
    void CollectFloats();
    void PlaceFloats();
    bool PlaceFloat(std::deque<TFloat>& Queue, bool Left);
    void EndFloats(bool Left, bool Right);
    void Finish();
    bool AfterIndent(size_t Index) const {
        return Index > 0 && FElements[Index - 1]->ElementType == Indent;
    }
    int64_t Available() const { return FWidth - FLeftIndent - FRightIndent - FIndent; }

    TIpHtmlNodeBlock& FBlock;
    TIpHtml& FDoc;
    const std::vector<LayoutElement*>& FElements;
    const TIpHtmlRect FRect;
    const int64_t FWidth;
    const int32_t FStep;
    TIpHtmlFontInForce FFont;
    const TIpHtmlProps* FPropsInForce;
    TIpHtmlAlign FLineAlign;
    TIpHtmlVAlign3 FVAlign;
    int32_t FBaseOffset;
    bool FPreformatted;

    size_t FIndex = 0;
    size_t FEndIndex;  // one past the last element laid out
    int64_t FY;
    std::deque<TFloat> FLeftQueue;
    std::deque<TFloat> FRightQueue;
    int64_t FLeftIndent = 0, FRightIndent = 0, FLeftFloatHeight = 0, FRightFloatHeight = 0;
    int64_t FIndent = 0;
    int32_t FIndentCount = 0, FOutdentCount = 0;
    TElementType FClear = Word;  // Word: no clear pending
    TEnd FPrevEnd = TEnd::Break;

    // The line being filled.
    size_t FLineStart = 0;
    int64_t FLineAvailable = 0;
    int64_t FA = 0;
    int64_t FX = 0;
    int64_t FLineWidth = 0;
    int32_t FLineHeight = 0, FMaxAscent = 0, FMaxDescent = 0;
    // How far boxes hang below the line's base (top, middle and centre aligned ones).
    int32_t FBoxDescent = 0;
    bool FSkipBlanks = false;
    bool FHasContent = false;
    bool FCentred = false;
    // Nothing fitted beside the floats: the line moves below them.
    bool FBelowFloats = false;
    TEnd FEnd = TEnd::Break;
    std::vector<TRecord> FRecords;
    size_t FLastBreak = SIZE_MAX;
    // The properties in force when each element of the line was taken, to start again there.
    std::vector<const TIpHtmlProps*> FTakenWith;
};

TIpHtmlLineBreaker::TIpHtmlLineBreaker(TIpHtmlNodeBlock& Block, const TIpHtmlRect& Rect)
    : FBlock(Block),
      FDoc(*Block.Owner()),
      FElements(Block.FElements),
      FRect(Rect),
      FWidth(int64_t(Rect.Right) - Rect.Left),
      FStep(FDoc.StandardIndent()),
      FFont(FDoc.Fonts(), *Block.FProps),
      FPropsInForce(Block.FProps.get()),
      FLineAlign(Block.FProps->Alignment()),
      FVAlign(Block.FProps->VAlignment()),
      FBaseOffset(Block.FProps->BaseOffset()),
      FPreformatted(Block.FProps->Preformatted()),
      FEndIndex(ContentEnd(Block.FElements)),
      FY(Rect.Top) {}

void TIpHtmlLineBreaker::Run() {
    FBlock.FLines.clear();
    // Blanks after the content are never laid out: they must not show where they last were.
    for (size_t I = FEndIndex; I < FElements.size(); ++I) FElements[I]->WordRect = {};
    CollectFloats();
    PlaceFloats();
    while (FIndex < FEndIndex) {
        ApplyIndents();
        PlaceFloats();
        StartLine();
        EndLine(ScanLine());
    }
    Finish();
}

void TIpHtmlLineBreaker::Switch(const TIpHtmlProps& Props) {
    FPropsInForce = &Props;
    if (!FFont.Use(Props)) return;
    FLineAlign = Props.Alignment();
    FVAlign = Props.VAlignment();
    FBaseOffset = Props.BaseOffset();
    FPreformatted = Props.Preformatted();
}

void TIpHtmlLineBreaker::ApplyIndents() {
    if (FIndentCount > FOutdentCount) {
        if (FWidth - FLeftIndent - FRightIndent > FIndent)
            FIndent += int64_t(FStep) * (FIndentCount - FOutdentCount);
    } else if (FOutdentCount > FIndentCount) {
        FIndent = std::max<int64_t>(0, FIndent - int64_t(FStep) * (FOutdentCount - FIndentCount));
    }
    FIndentCount = FOutdentCount = 0;
}

void TIpHtmlLineBreaker::StartLine() {
    FLineStart = FIndex;
    FLineAvailable = FA = Available();
    FX = int64_t(FRect.Left) + FLeftIndent + FIndent;
    FLineWidth = 0;
    FLineHeight = FMaxAscent = FMaxDescent = FBoxDescent = 0;
    FHasContent = FCentred = FBelowFloats = false;
    FEnd = FPrevEnd;
    FRecords.clear();
    FTakenWith.clear();
    FLastBreak = SIZE_MAX;
    FSkipBlanks = FPrevEnd != TEnd::Break || !FPreformatted || FIndent > 0;
}

size_t TIpHtmlLineBreaker::ScanLine() {
    while (FIndex < FEndIndex) {
        LayoutElement* E = FElements[FIndex];
        FTakenWith.push_back(FPropsInForce);
        if (E->Props) Switch(*E->Props);
        const TBreak Break = TakeBreak(E);
        if (Break == TBreak::EndsLine) return FIndex + 1;
        if (Break == TBreak::Skipped) {
            ++FIndex;
            continue;
        }
        if (Floats(E)) {
            auto& Queue =
                BoxOf(E)->Align() == TIpHtmlImageAlign::hiaLeft ? FLeftQueue : FRightQueue;
            Queue.push_back({FIndex, BoxOf(E)});
            FLastBreak = FIndex;
            ++FIndex;
            // At the start of a line the float is placed before the line goes on.
            if (FSkipBlanks) {
                if (FLineWidth > 0) FEnd = TEnd::Wrapped;
                return FIndex;
            }
            continue;
        }
        const TSized S = SizeOf(E);
        if (S.Width > FA) return Wrap(S);
        Place(S);
        ++FIndex;
    }
    FEnd = TEnd::Break;
    return FIndex;
}

// Break elements end the line; right after an indent most of them do not.
TIpHtmlLineBreaker::TBreak TIpHtmlLineBreaker::TakeBreak(const LayoutElement* E) {
    const TElementType Type = E->ElementType;
    if (!IsBreak(Type)) return TBreak::None;
    const bool AfterWrap = FPrevEnd != TEnd::Break;
    const bool JustIndented = AfterIndent(FIndex);
    TIpHtmlPropA& Font = FFont.Font();
    if (Type == SoftBreak) {
        if (JustIndented) {
            FEnd = TEnd::Wrapped;
        } else if (!FHasContent) {
            FLineHeight = FMaxAscent = FMaxDescent = FBoxDescent = 0;
            FEnd = TEnd::Break;
        } else {
            TakeFontHeight(Font);
            FEnd = TEnd::SoftBreakWithContent;
        }
    } else if (Type == HardBreak) {
        if (JustIndented) return TBreak::Skipped;
        TakeFontHeight(Font);
        FEnd = TEnd::Break;
    } else {
        FClear = Type;
        if (JustIndented) return TBreak::Skipped;
        FEnd = TEnd::Break;
    }
    // After a wrap the text's descent goes; a box hanging below the line keeps its room, or
    // what follows would be drawn over it.
    if (AfterWrap) FMaxDescent = FBoxDescent;
    FLineHeight = std::max(FLineHeight, FMaxAscent + FMaxDescent);
    return TBreak::EndsLine;
}

TIpHtmlLineBreaker::TSized TIpHtmlLineBreaker::SizeOf(LayoutElement* E) {
    TSized S;
    TIpHtmlPropA& Font = FFont.Font();
    switch (E->ElementType) {
        case Word:
            if (E->IsBlank > 0 && FSkipBlanks) return S;
            if (E->IsBlank > 0) {
                S.Width = Clamp32(int64_t(E->IsBlank) * Font.SpaceWidth());
                S.Height = Font.SpaceHeight();
                S.Breaks = true;
            } else {
                const TIpHtmlSize Size = ClampSize(FFont.WordSize(*E));
                S.Width = Size.Width;
                S.Height = Size.Height;
            }
            S.Ascent = Font.Ascent;
            S.Descent = Font.Descent;
            FSkipBlanks = false;
            return S;
        case Object: {
            TIpHtmlNodeAlignInline* Box = BoxOf(E);
            const TIpHtmlSize Size = ClampSize(Box->InlineSize(Clamp32(std::max<int64_t>(FA, 0))));
            S.Width = Size.Width;
            S.Height = Size.Height;
            S.Breaks = true;
            switch (Box->Align()) {
                case TIpHtmlImageAlign::hiaTop:
                    S.Ascent = -1;
                    S.Descent = S.Height;
                    break;
                case TIpHtmlImageAlign::hiaMiddle:
                    S.Ascent = S.Height / 2;
                    S.Descent = S.Height - S.Ascent;
                    break;
                case TIpHtmlImageAlign::hiaCenter:
                    S.Ascent = FMaxAscent;
                    S.Descent = std::max(0, S.Height - FMaxAscent);
                    S.Centres = true;
                    break;
                default:
                    S.Ascent = S.Height;
                    break;
            }
            FSkipBlanks = false;
            return S;
        }
        case Indent:
            ++FIndentCount;
            S.Ascent = S.Height = 1;
            S.Breaks = FSkipBlanks = true;
            return S;
        case Outdent:
            ++FOutdentCount;
            S.Ascent = S.Height = 1;
            S.Breaks = true;
            return S;
        case SoftHyphen:
            S.Width = Font.HyphenWidth;
            S.Height = Font.SpaceHeight();
            S.Ascent = Font.Ascent;
            S.Descent = Font.Descent;
            S.Breaks = S.Hyphen = true;
            return S;
        default:
            return S;
    }
}

// A line that has no height yet (nothing on it, or only boxes that take none) is as high as
// the font in force. A line holding a box that hangs below it, such as a centred table, keeps
// the box's height: giving it the font's height instead would let the next line overlap the box.
void TIpHtmlLineBreaker::TakeFontHeight(const TIpHtmlPropA& Font) {
    if (FMaxAscent != 0 || FMaxDescent != 0) return;
    FMaxAscent = Font.Ascent;
    FMaxDescent = Font.Descent;
}

void TIpHtmlLineBreaker::Place(const TSized& Sized) {
    TSized S = Sized;
    LayoutElement* E = FElements[FIndex];
    if (E->ElementType == Indent) {
        // To the next indent stop, counted from the rectangle's left edge.
        const int64_t From = FX - FRect.Left;
        const int64_t Stop = (From / FStep + 1) * FStep;
        S.Width = Clamp32(std::min(Stop - From, std::max<int64_t>(FA, 0)));
    }
    if (S.Breaks) FLastBreak = FIndex;
    const int32_t Ascent = S.Ascent < 0 ? -1 : S.Ascent + FBaseOffset;
    FMaxAscent = std::max(FMaxAscent, Ascent);
    FMaxDescent = std::max(FMaxDescent, S.Descent - FBaseOffset);
    const bool Box = E->ElementType == Object;
    if (Box) FBoxDescent = std::max(FBoxDescent, S.Descent - FBaseOffset);
    FLineHeight = std::max({FLineHeight, S.Height, FMaxAscent + FMaxDescent});
    FA -= S.Width;
    FLineWidth += S.Width;
    // A hyphen shows only where the line breaks: one placed before gives its room back.
    if (!FRecords.empty() && FRecords.back().Hyphen && FRecords.back().Width > 0) {
        TRecord& Hyphen = FRecords.back();
        FA += Hyphen.Width;
        FLineWidth -= Hyphen.Width;
        FX -= Hyphen.Width;
        Hyphen.Width = 0;
    }
    FRecords.push_back({FIndex, FX, FBaseOffset, Ascent, S.Descent - FBaseOffset, S.Width, S.Height,
                        FVAlign, S.Hyphen, S.Centres, Box});
    FX += S.Width;
    if (S.Width > 0 || E->ElementType == Object) FHasContent = true;
    if (S.Centres) FCentred = true;
}

// The element at FIndex does not fit; answers where the next line starts.
size_t TIpHtmlLineBreaker::Wrap(const TSized& S) {
    FEnd = TEnd::Wrapped;
    if (FLineWidth == 0) {
        // Next to a float the line stays empty and moves below it; otherwise an element wider
        // than the whole line is placed all the same, or the rest of the block would be lost.
        if (FLeftIndent > 0 || FRightIndent > 0 || FLeftFloatHeight > 0 || FRightFloatHeight > 0) {
            FBelowFloats = true;
            return FIndex;
        }
        Place(S);
        return FIndex + 1;
    }
    for (size_t I = 0; I + 1 < FRecords.size(); ++I)
        if (FRecords[I].Hyphen) FRecords[I].Width = 0;
    size_t LastPlaced = FRecords.empty() ? SIZE_MAX : FRecords.back().Index;
    if (!FRecords.empty() && IsBlank(FElements[LastPlaced])) {
        FRecords.back().Width = 0;
        LastPlaced = FRecords.size() >= 2 ? FRecords[FRecords.size() - 2].Index : SIZE_MAX;
    }
    size_t End = S.Breaks ? LastPlaced : FLastBreak != SIZE_MAX ? FLastBreak : LastPlaced;
    if (End == SIZE_MAX || End < FLineStart) End = FIndex - 1;
    DropAfter(End);
    return End + 1;
}

// Takes back what the line placed after End: those elements come again on the next line.
void TIpHtmlLineBreaker::DropAfter(size_t End) {
    const size_t Next = End + 1;
    if (Next - FLineStart < FTakenWith.size()) Switch(*FTakenWith[Next - FLineStart]);
    for (size_t I = Next; I < FIndex; ++I) {
        const TElementType Type = FElements[I]->ElementType;
        if (Type == Indent) --FIndentCount;
        if (Type == Outdent) --FOutdentCount;
    }
    for (auto* Queue : {&FLeftQueue, &FRightQueue})
        while (!Queue->empty() && Queue->back().Index >= Next) Queue->pop_back();
    while (!FRecords.empty() && FRecords.back().Index >= Next) FRecords.pop_back();
    FLineWidth = 0;
    FLineHeight = FMaxAscent = FMaxDescent = FBoxDescent = 0;
    FCentred = false;
    for (const TRecord& R : FRecords) {
        FLineWidth += R.Width;
        FMaxAscent = std::max(FMaxAscent, R.Ascent);
        FMaxDescent = std::max(FMaxDescent, R.Descent);
        if (R.Box) FBoxDescent = std::max(FBoxDescent, R.Descent);
        FLineHeight = std::max({FLineHeight, R.Height, FMaxAscent + FMaxDescent});
        FCentred = FCentred || R.Centres;
    }
}

void TIpHtmlLineBreaker::EndLine(size_t Next) {
    const bool LastLine = Next >= FEndIndex;
    const int32_t Advance = FMaxAscent + FMaxDescent;
    const int32_t PageHeight = FDoc.PageHeight();
    if (PageHeight > 0 && Advance < 200 && FY % PageHeight + Advance > PageHeight)
        FY += PageHeight - FY % PageHeight;
    const TIpHtmlAlign SavedAlign = FLineAlign;
    if (FCentred) FLineAlign = TIpHtmlAlign::haCenter;
    if (LastLine && FLineAlign == TIpHtmlAlign::haJustify) FLineAlign = TIpHtmlAlign::haLeft;
    Position();
    FLineAlign = SavedAlign;
    FBlock.FLines.push_back({FLineStart, Clamp32(FY), 0, nullptr});
    if (FBelowFloats) {
        // Nothing fitted beside the floats: go below them and try again at full width.
        FY += std::max(FLeftFloatHeight, FRightFloatHeight);
        EndFloats(true, true);
    } else {
        FY += Advance;
        FLeftFloatHeight -= Advance;
        FRightFloatHeight -= Advance;
        EndFloats(FLeftFloatHeight <= 0, FRightFloatHeight <= 0);
    }
    if (FClear != Word) {
        const bool Left = FClear != BreakClearRight, Right = FClear != BreakClearLeft;
        FY += std::max(Left ? FLeftFloatHeight : 0, Right ? FRightFloatHeight : 0);
        EndFloats(Left, Right);
        FClear = Word;
    }
    FPrevEnd = FEnd;
    FIndex = Next;
}

void TIpHtmlLineBreaker::EndFloats(bool Left, bool Right) {
    if (Left) FLeftIndent = FLeftFloatHeight = 0;
    if (Right) FRightIndent = FRightFloatHeight = 0;
}

int64_t TIpHtmlLineBreaker::JustifyShift(size_t Record, int64_t Free) const {
    const int64_t Gaps = int64_t(FRecords.size()) - 2;
    if (Gaps <= 0 || Free <= 0) return 0;
    const int64_t Before = std::min<int64_t>(int64_t(Record), Gaps);
    return Before * (Free / Gaps) + std::min(Before, Free % Gaps);
}

void TIpHtmlLineBreaker::Position() {
    const int64_t Free = FLineAvailable - FLineWidth;
    int64_t Shift = 0;
    switch (FLineAlign) {
        case TIpHtmlAlign::haCenter:
        case TIpHtmlAlign::haChar:
            if (Free >= 0) Shift = Free / 2;
            break;
        case TIpHtmlAlign::haRight:
            if (Free >= 0) Shift = Free;
            break;
        default:
            break;
    }
    const int64_t Y = FY;
    for (size_t I = 0; I < FRecords.size(); ++I) {
        const TRecord& R = FRecords[I];
        LayoutElement* E = FElements[R.Index];
        // Indents are shared by the whole document: they have no place of their own.
        if (E->ElementType == Indent || E->ElementType == Outdent) continue;
        if (R.Width == 0) {
            E->WordRect = {};
            continue;
        }
        int64_t Left = R.X + Shift;
        if (FLineAlign == TIpHtmlAlign::haJustify) Left += JustifyShift(I, Free);
        int64_t Top;
        switch (R.VAlign) {
            case TIpHtmlVAlign3::hva3Top:
                Top = Y;
                break;
            case TIpHtmlVAlign3::hva3Middle:
                Top = Y + (FLineHeight - R.Height) / 2;
                break;
            case TIpHtmlVAlign3::hva3Bottom:
                Top = Y + FLineHeight - R.Height;
                break;
            default:
                Top = R.Ascent == -1 ? Y : Y + FMaxAscent - R.Ascent;
                break;
        }
        SetElementRect(
            E, {Clamp32(Left), Clamp32(Top), Clamp32(Left + R.Width), Clamp32(Top + R.Height)});
    }
}

void TIpHtmlLineBreaker::CollectFloats() {
    while (FIndex < FEndIndex && Floats(FElements[FIndex])) {
        LayoutElement* E = FElements[FIndex];
        (BoxOf(E)->Align() == TIpHtmlImageAlign::hiaLeft ? FLeftQueue : FRightQueue)
            .push_back({FIndex, BoxOf(E)});
        ++FIndex;
    }
}

void TIpHtmlLineBreaker::PlaceFloats() {
    while (PlaceFloat(FLeftQueue, true)) {
    }
    while (PlaceFloat(FRightQueue, false)) {
    }
}

// Places the first float of a side when none of that side is active. One that does not fit
// beside the other side's floats waits for them to end; one wider than the block goes in anyway.
bool TIpHtmlLineBreaker::PlaceFloat(std::deque<TFloat>& Queue, bool Left) {
    const bool Active =
        Left ? FLeftIndent > 0 || FLeftFloatHeight > 0 : FRightIndent > 0 || FRightFloatHeight > 0;
    if (Active || Queue.empty()) return false;
    TIpHtmlNodeAlignInline* Box = Queue.front().Box;
    const TIpHtmlSize Size = ClampSize(Box->InlineSize(Clamp32(std::max<int64_t>(Available(), 0))));
    const bool OtherActive =
        Left ? FRightIndent > 0 || FRightFloatHeight > 0 : FLeftIndent > 0 || FLeftFloatHeight > 0;
    if (Available() - Size.Width < 0 && OtherActive) return false;
    Queue.pop_front();
    const int64_t L =
        Left ? int64_t(FRect.Left) + FLeftIndent : int64_t(FRect.Right) - FRightIndent - Size.Width;
    SetElementRect(Box->Element(),
                   {Clamp32(L), Clamp32(FY), Clamp32(L + Size.Width), Clamp32(FY + Size.Height)});
    if (Left) {
        FLeftIndent += Size.Width;
        FLeftFloatHeight = std::max<int64_t>(FLeftFloatHeight, Size.Height);
    } else {
        FRightIndent += Size.Width;
        FRightFloatHeight = std::max<int64_t>(FRightFloatHeight, Size.Height);
    }
    return true;
}

void TIpHtmlLineBreaker::Finish() {
    FY += std::max(FLeftFloatHeight, FRightFloatHeight);
    EndFloats(true, true);
    while (!FLeftQueue.empty() || !FRightQueue.empty()) {
        PlaceFloats();
        FY += std::max(FLeftFloatHeight, FRightFloatHeight);
        EndFloats(true, true);
    }
    FBlock.FPageRect = {FRect.Left, FRect.Top, FRect.Right, Clamp32(FY)};
    FBlock.IndexLines();
}

// --- the block ---

TIpHtmlNodeBlock::TIpHtmlNodeBlock(TIpHtmlNode* Parent)
    : TIpHtmlNodeCore(Parent), FProps(std::make_unique<TIpHtmlProps>(*Owner())) {}

void TIpHtmlNodeBlock::ClearElements() {
    FElements.clear();
    FLines.clear();
    FLaidOut = false;
}

void TIpHtmlNodeBlock::AssignProps(TIpHtmlProps& Props) {
    if (&Props != FProps.get()) FProps->Assign(Props);
    TIpHtmlNodeMulti::AssignProps(*FProps);
    FPropsAssigned = true;
}

void TIpHtmlNodeBlock::Prepare(TIpHtmlProps& Props) {
    if (!FPropsAssigned || !FProps->PropsEqual(Props)) AssignProps(Props);
    if (!FElements.empty()) return;
    TIpHtml& Doc = *Owner();
    TIpHtmlNodeBlock* Outer = Doc.BuildingBlock();
    Doc.SetBuildingBlock(this);
    try {
        TIpHtmlNodeMulti::BuildElements();
    } catch (...) {
        Doc.SetBuildingBlock(Outer);
        throw;
    }
    Doc.SetBuildingBlock(Outer);
}

void TIpHtmlNodeBlock::ListOwnerRects(TIpHtmlNode* Owner, const TIpHtmlRectProc& Proc) {
    for (const LayoutElement* Element : FElements)
        if (Element->Owner == Owner) Proc(Element->WordRect);
}

void TIpHtmlNodeBlock::ResetSize() {
    ClearSizeCache();
    TIpHtmlNode::ResetSize();
}

void TIpHtmlNodeBlock::ClearSizeCache() {
    FMinWidth = FMaxWidth = -1;
    FLastW = FLastH = 0;
    FLaidOut = false;
}

void TIpHtmlNodeBlock::BlockMinMaxWidth(TIpHtmlProps& Props, int32_t& Min, int32_t& Max) {
    if (FMinWidth != -1 && FMaxWidth != -1 && FPropsAssigned && FProps->PropsEqual(Props)) {
        Min = FMinWidth;
        Max = FMaxWidth;
        return;
    }
    Prepare(Props);
    TIpHtml& Doc = *Owner();
    TIpHtmlFontInForce Font(Doc.Fonts(), *FProps);
    const int64_t Step = Doc.StandardIndent();
    int64_t MinW = 0, MaxW = 0, Line = 0, Run = 0, IndentWidth = 0, LineIndent = 0;
    int32_t Indents = 0;
    const auto CloseLine = [&] {
        MaxW = std::max(MaxW, Line + LineIndent);
        Line = Run = LineIndent = 0;
    };
    const size_t End = ContentEnd(FElements);
    for (size_t I = 0; I < End; ++I) {
        LayoutElement* E = FElements[I];
        if (E->Props) Font.Use(*E->Props);
        int64_t Width = 0, Candidate = 0;
        switch (E->ElementType) {
            case Word:
                if (E->IsBlank > 0) {
                    Width = Run = int64_t(E->IsBlank) * Font.Font().SpaceWidth();
                } else {
                    Width = ClampSize(Font.WordSize(*E)).Width;
                    Run += Width;
                }
                Candidate = Run;
                break;
            case Object: {
                int32_t BoxMin = 0, BoxMax = 0;
                BoxOf(E)->InlineMinMaxWidth(BoxMin, BoxMax);
                Candidate = std::clamp(BoxMin, 0, HtmlLimits::kMaxLayoutExtent);
                Width = std::clamp(BoxMax, 0, HtmlLimits::kMaxLayoutExtent);
                Run = 0;
                break;
            }
            case SoftHyphen:
                Width = Font.Font().HyphenWidth;
                Candidate = Run + Width;
                break;
            case Indent:
                IndentWidth = ++Indents * Step;
                LineIndent = std::max(LineIndent, IndentWidth);
                break;
            case Outdent:
                if (Indents > 0) IndentWidth = --Indents * Step;
                break;
            default:
                CloseLine();
                continue;
        }
        Run = std::min<int64_t>(Run, HtmlLimits::kMaxLayoutExtent);
        MinW = std::max(MinW, Candidate + IndentWidth);
        Line = std::min<int64_t>(Line + Width, HtmlLimits::kMaxLayoutExtent);
    }
    CloseLine();
    FMinWidth = Min = Clamp32(MinW);
    FMaxWidth = Max = Clamp32(std::max(MaxW, MinW));
}

int32_t TIpHtmlNodeBlock::BlockHeight(TIpHtmlProps& Props, int32_t Width) {
    if (Width == FLastW && FLastH != 0) return FLastH;
    LayoutBlock(Props, {0, 0, Width, INT32_MAX});
    FLastW = Width;
    FLastH = FPageRect.Bottom - FPageRect.Top;
    return FLastH;
}

void TIpHtmlNodeBlock::LayoutBlock(TIpHtmlProps& Props, const TIpHtmlRect& Rect) {
    if (FLaidOut && Rect == FPageRect && FProps->PropsEqual(Props)) return;
    const TIpHtmlPropA* OldFont = FProps->PropA();
    const TIpHtmlPropB* OldOther = FProps->PropB();
    Prepare(Props);
    const bool SameProps = FProps->PropA() == OldFont && FProps->PropB() == OldOther;
    if (FLaidOut && SameProps && SameSize(Rect, FPageRect)) {
        MoveBlock(Rect.Left - FPageRect.Left, Rect.Top - FPageRect.Top);
        return;
    }
    TIpHtmlLineBreaker(*this, Rect).Run();
    FLaidOut = true;
}

void TIpHtmlNodeBlock::MoveBlock(int32_t DX, int32_t DY) {
    if (DX == 0 && DY == 0) return;
    for (LayoutElement* E : FElements)
        if (!IsEmptyRect(E->WordRect)) SetElementRect(E, OffsetRect(E->WordRect, DX, DY));
    FPageRect = OffsetRect(FPageRect, DX, DY);
    for (TLineStart& Line : FLines) {
        Line.Top += DY;
        Line.ReachedBottom += DY;
    }
}

// Fills in what the line list needs beyond the line starts: the lowest bottom reached up to each
// line's end, and the element whose properties are in force where it starts.
void TIpHtmlNodeBlock::IndexLines() {
    // Floats collected before the first line (or a block of nothing else) belong to it.
    if (FLines.empty() && !FElements.empty()) FLines.push_back({0, FPageRect.Top, 0, nullptr});
    if (!FLines.empty()) FLines.front().First = 0;
    int32_t Reached = INT32_MIN;
    const LayoutElement* PropsFrom = nullptr;
    size_t I = 0;
    for (size_t L = 0; L < FLines.size(); ++L) {
        FLines[L].PropsFrom = PropsFrom;
        const size_t End = L + 1 < FLines.size() ? FLines[L + 1].First : FElements.size();
        for (; I < End; ++I) {
            const LayoutElement* E = FElements[I];
            if (!IsEmptyRect(E->WordRect)) Reached = std::max(Reached, E->WordRect.Bottom);
            if (E->Props) PropsFrom = E;
        }
        FLines[L].ReachedBottom = std::max(Reached, FLines[L].Top);
    }
}

std::pair<size_t, size_t> TIpHtmlNodeBlock::LinesBetween(int32_t Top, int32_t Bottom) const {
    const auto First = std::partition_point(
        FLines.begin(), FLines.end(), [&](const TLineStart& L) { return L.ReachedBottom <= Top; });
    const auto Last = std::partition_point(First, FLines.end(),
                                           [&](const TLineStart& L) { return L.Top < Bottom; });
    return {size_t(First - FLines.begin()), size_t(Last - FLines.begin())};
}
