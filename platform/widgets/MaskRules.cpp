#include "platform/widgets/MaskRules.h"

#include <algorithm>

#include "platform/widgets/AnsiChars.h"

namespace {

using K = TMaskSlotKind;

// The mask characters that take input.
struct TInputChar {
    char Char;
    TMaskSlotKind Kind;
    bool Required;
};
constexpr TInputChar kInputChars[] = {
    {'L', K::Letter, true},         {'l', K::Letter, false}, {'A', K::LetterOrDigit, true},
    {'a', K::LetterOrDigit, false}, {'C', K::AnyChar, true}, {'c', K::AnyChar, false},
    {'0', K::Digit, true},          {'9', K::Digit, false},  {'#', K::DigitOrSign, false},
};

// Mask characters that stand for other literals.
struct TLiteralChar {
    char Char;
    char Shown;
};
constexpr TLiteralChar kLiteralChars[] = {{':', ':'}, {'/', '/'}, {'_', ' '}};

constexpr char kFieldSeparator = ';';
constexpr char kEscape = '\\';
constexpr char kReverse = '!';
constexpr char kUpper = '>';
constexpr char kLower = '<';
constexpr char kNoSave = '0';

// Where the mask field ends: the first separator that is not escaped.
size_t MaskFieldEnd(const std::string& Mask) {
    for (size_t I = 0; I < Mask.size(); ++I) {
        if (Mask[I] == kEscape)
            ++I;
        else if (Mask[I] == kFieldSeparator)
            return I;
    }
    return Mask.size();
}

bool Suits(TMaskSlotKind Kind, char C) {
    switch (Kind) {
        case K::Letter:
            return IsAnsiLetter(C);
        case K::LetterOrDigit:
            return IsAnsiLetter(C) || IsAnsiDigit(C);
        case K::AnyChar:
            return static_cast<unsigned char>(C) >= 0x20 && C != 0x7F;
        case K::Digit:
            return IsAnsiDigit(C);
        case K::DigitOrSign:
            return IsAnsiDigit(C) || C == '+' || C == '-';
        case K::Literal:
            return false;
    }
    return false;
}

}  // namespace

TEditMask::TEditMask(const std::string& Mask) {
    const size_t End = MaskFieldEnd(Mask);
    if (End < Mask.size()) {
        // The two short fields after the mask: the save flag, then the blank character.
        const std::string Rest = Mask.substr(End + 1);
        const size_t Second = Rest.find(kFieldSeparator);
        const std::string Save = Rest.substr(0, Second);
        FSaveLiterals = !(Save.size() == 1 && Save[0] == kNoSave);
        if (Second != std::string::npos && Second + 1 < Rest.size()) FBlank = Rest[Second + 1];
    }
    TMaskCase Case = TMaskCase::AsTyped;
    for (size_t I = 0; I < End; ++I) {
        const char C = Mask[I];
        TMaskSlot Slot;
        Slot.Case = Case;
        if (C == kReverse) {
            FReverse = true;
            continue;
        }
        if (C == kUpper) {
            Case = TMaskCase::Upper;
            continue;
        }
        if (C == kLower) {
            const bool Both = I + 1 < End && Mask[I + 1] == kUpper;
            Case = Both ? TMaskCase::AsTyped : TMaskCase::Lower;
            if (Both) ++I;
            continue;
        }
        if (C == kEscape) {
            // A trailing escape stands for itself.
            Slot.Literal = I + 1 < End ? Mask[++I] : C;
            FSlots.push_back(Slot);
            continue;
        }
        const auto Input = std::find_if(std::begin(kInputChars), std::end(kInputChars),
                                        [C](const TInputChar& In) { return In.Char == C; });
        if (Input != std::end(kInputChars)) {
            Slot.Kind = Input->Kind;
            Slot.Required = Input->Required;
        } else {
            Slot.Literal = C;
            for (const TLiteralChar& L : kLiteralChars)
                if (L.Char == C) Slot.Literal = L.Shown;
        }
        FSlots.push_back(Slot);
    }
}

std::string TEditMask::EmptyText() const {
    std::string Text;
    Text.reserve(FSlots.size());
    for (const TMaskSlot& S : FSlots) Text += S.IsLiteral() ? S.Literal : FBlank;
    return Text;
}

std::optional<char> TEditMask::Accept(size_t Slot, char C) const {
    if (Slot >= FSlots.size()) return std::nullopt;
    const TMaskSlot& S = FSlots[Slot];
    if (S.Case == TMaskCase::Upper) C = AnsiUpperChar(C);
    if (S.Case == TMaskCase::Lower) C = AnsiLowerChar(C);
    // The blank character would read as nothing entered.
    if (C == FBlank || !Suits(S.Kind, C)) return std::nullopt;
    return C;
}

char TEditMask::Cell(size_t Slot, char C) const {
    if (FSlots[Slot].IsLiteral()) return FSlots[Slot].Literal;
    if (C == ' ') return FBlank;
    return Accept(Slot, C).value_or(FBlank);
}

std::string TEditMask::Conform(const std::string& Shown) const {
    std::string Text = EmptyText();
    for (size_t I = 0; I < Text.size() && I < Shown.size(); ++I) Text[I] = Cell(I, Shown[I]);
    return Text;
}

std::string TEditMask::EditTextOf(const std::string& Value) const {
    std::string Text = EmptyText();
    const size_t Count = FSlots.size();
    size_t Used = 0;
    // With '!' both run from their ends: a short value ends up at the right.
    for (size_t Step = 0; Step < Count; ++Step) {
        const size_t Slot = FReverse ? Count - 1 - Step : Step;
        if (Used >= Value.size()) break;
        const char C = FReverse ? Value[Value.size() - 1 - Used] : Value[Used];
        if (FSlots[Slot].IsLiteral()) {
            if (C == FSlots[Slot].Literal) ++Used;
            continue;
        }
        Text[Slot] = Cell(Slot, C);
        ++Used;
    }
    return Text;
}

std::string TEditMask::ValueOf(const std::string& EditText) const {
    return Collect(EditText, FSaveLiterals);
}

std::string TEditMask::EnteredOf(const std::string& EditText) const {
    return Collect(EditText, false);
}

std::string TEditMask::Collect(const std::string& EditText, bool Literals) const {
    const std::string Shown = Conform(EditText);
    std::string Value;
    Value.reserve(Shown.size());
    for (size_t I = 0; I < Shown.size(); ++I)
        if (Literals || !FSlots[I].IsLiteral()) Value += Shown[I];
    if (!Literals) {
        // What was not entered at the open end is no part of the value.
        if (FReverse)
            Value.erase(0, std::min(Value.find_first_not_of(FBlank), Value.size()));
        else
            Value.erase(Value.find_last_not_of(FBlank) + 1);
    }
    for (size_t I = 0; I < Value.size(); ++I) {
        // Literal slots keep their character even when it is the blank one.
        const bool Literal = Literals && FSlots[I].IsLiteral();
        if (!Literal && Value[I] == FBlank) Value[I] = ' ';
    }
    return Value;
}

size_t TEditMask::FindInvalid(const std::string& EditText) const {
    for (size_t I = 0; I < FSlots.size(); ++I) {
        const TMaskSlot& S = FSlots[I];
        if (S.IsLiteral()) continue;
        const char C = I < EditText.size() ? EditText[I] : FBlank;
        if (C == FBlank) {
            if (S.Required) return I;
            continue;
        }
        if (Accept(I, C) != C) return I;
    }
    return npos;
}

size_t TEditMask::NextInput(size_t Pos) const {
    for (size_t I = Pos; I < FSlots.size(); ++I)
        if (!FSlots[I].IsLiteral()) return I;
    return FSlots.size();
}

size_t TEditMask::PrevInput(size_t Pos) const {
    for (size_t I = std::min(Pos, FSlots.size()); I > 0; --I)
        if (!FSlots[I - 1].IsLiteral()) return I - 1;
    return npos;
}

std::string TEditMask::BlankRange(std::string Text, size_t From, size_t To) const {
    for (size_t I = From; I < To && I < FSlots.size(); ++I)
        if (!FSlots[I].IsLiteral()) Text[I] = FBlank;
    return Text;
}

TMaskEditResult TEditMask::Type(const std::string& Text, size_t SelStart, size_t SelEnd,
                                char C) const {
    const std::string Shown = Conform(Text);
    SelStart = std::min(SelStart, Shown.size());
    SelEnd = std::clamp(SelEnd, SelStart, Shown.size());
    // The literal that comes before the next input slot, typed: the caret goes past it.
    for (size_t I = SelStart; I < Shown.size() && FSlots[I].IsLiteral(); ++I)
        if (FSlots[I].Literal == C) return {BlankRange(Shown, SelStart, SelEnd), I + 1, true};
    const size_t Slot = NextInput(SelStart);
    const std::optional<char> Kept = Accept(Slot, C);
    if (!Kept) {
        // The literal the caret has just skipped, typed anyway ("12:34" typed in full).
        for (size_t I = SelStart; I > 0 && FSlots[I - 1].IsLiteral(); --I)
            if (FSlots[I - 1].Literal == C) return {Shown, SelStart, true};
        return {Shown, SelStart, false};
    }
    std::string Result = BlankRange(Shown, SelStart, SelEnd);
    Result[Slot] = *Kept;
    return {Result, NextInput(Slot + 1), true};
}

TMaskEditResult TEditMask::Erase(const std::string& Text, size_t SelStart, size_t SelEnd,
                                 bool Backward) const {
    const std::string Shown = Conform(Text);
    SelStart = std::min(SelStart, Shown.size());
    SelEnd = std::clamp(SelEnd, SelStart, Shown.size());
    if (SelEnd > SelStart) return {BlankRange(Shown, SelStart, SelEnd), SelStart, true};
    const size_t Slot = Backward ? PrevInput(SelStart) : NextInput(SelStart);
    if (Slot == npos || Slot >= Shown.size()) return {Shown, SelStart, false};
    return {BlankRange(Shown, Slot, Slot + 1), Slot, true};
}

TMaskEditResult TEditMask::Paste(const std::string& Text, size_t SelStart, size_t SelEnd,
                                 const std::string& Pasted) const {
    TMaskEditResult Result{Conform(Text), SelStart, true};
    for (const char C : Pasted) {
        TMaskEditResult Next = Type(Result.Text, Result.Caret, SelEnd, C);
        // Only the first character replaces the selection.
        SelEnd = 0;
        if (!Next.Accepted) {
            Result.Accepted = false;
            break;
        }
        Result = Next;
    }
    return Result;
}
