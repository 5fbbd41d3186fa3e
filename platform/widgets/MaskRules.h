#pragma once
// Edit masks: the rules of a masked edit, apart from any window.
//
// A mask has up to three fields separated by ';': the mask itself, the save-literals flag ('0':
// the value leaves the literals out; anything else or nothing: it keeps them) and the blank
// character that stands in the shown text for what is not entered yet ('_' when not given).
// In the mask:
//   L  a letter          l  a letter, optional
//   A  a letter or digit a  a letter or digit, optional
//   C  any character     c  any character, optional
//   0  a digit           9  a digit, optional
//   #  a digit, '+' or '-', optional
//   :  the time separator   /  the date separator   _  a blank (all three are literals)
//   \  the next character is a literal     any other character is a literal
//   >  what follows is upper case, <  lower case, <> as typed (each until the next of them)
//   !  optional characters missing from the value are leading blanks, not trailing ones
// Letters are those of Windows-1252 (ä, ß, ...); case conversion is Windows-1252's.
//
// The shown text (EditText) has one character per slot of the mask: the literals where the mask
// has them and, in the other slots, what was entered or the blank character. The value (Text) is
// the shown text with blanks as spaces, without the literals when they are not saved; then also
// the blanks at its end (at its start with '!') are left out.
//
// Typing works over the shown text like overwriting: a character goes into the next input slot
// at or after the caret and must suit it (it is converted to the slot's case first); typing the
// literal that comes next skips to it, and typing the one the caret has just skipped is taken as
// done; deleting turns input slots back into blanks and moves nothing.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

enum class TMaskSlotKind { Literal, Letter, LetterOrDigit, AnyChar, Digit, DigitOrSign };
enum class TMaskCase { AsTyped, Upper, Lower };

struct TMaskSlot {
    TMaskSlotKind Kind = TMaskSlotKind::Literal;
    bool Required = false;
    TMaskCase Case = TMaskCase::AsTyped;
    // The character of a literal slot.
    char Literal = 0;
    bool IsLiteral() const { return Kind == TMaskSlotKind::Literal; }
};

// What typing or deleting made of the shown text; Accepted is false when the input was refused
// (the text is then unchanged).
struct TMaskEditResult {
    std::string Text;
    size_t Caret = 0;
    bool Accepted = false;
};

class TEditMask {
  public:
    static constexpr char kDefaultBlank = '_';
    static constexpr size_t npos = std::string::npos;

    // No mask: the edit takes text as it comes.
    TEditMask() = default;
    explicit TEditMask(const std::string& Mask);

    bool Empty() const { return FSlots.empty(); }
    size_t Length() const { return FSlots.size(); }
    const std::vector<TMaskSlot>& Slots() const { return FSlots; }
    bool SaveLiterals() const { return FSaveLiterals; }
    char Blank() const { return FBlank; }
    bool Reverse() const { return FReverse; }

    // The shown text before anything is entered.
    std::string EmptyText() const;
    // The character slot Slot keeps when C is typed there (C in the slot's case), or none.
    std::optional<char> Accept(size_t Slot, char C) const;
    // Any text made into a shown text of this mask: literals in their slots, characters that do
    // not suit their slots (and spaces) as blanks, the length the mask's.
    std::string Conform(const std::string& Shown) const;

    // The shown text of a value and the value of a shown text (see the top of the file). A value
    // fills the input slots in order, from the end with '!'; a character of the value that is
    // the literal of the slot it meets stands for that literal, so a value may come with or
    // without its literals.
    std::string EditTextOf(const std::string& Value) const;
    std::string ValueOf(const std::string& EditText) const;
    // What was entered: the value without literals, whatever the mask saves (what another mask
    // is given of this one's text).
    std::string EnteredOf(const std::string& EditText) const;

    // The first required slot that is blank, or slot whose character does not suit it; npos when
    // the shown text is complete.
    size_t FindInvalid(const std::string& EditText) const;

    // The first input slot at or after Pos (Length() when there is none), and the last one before
    // Pos (npos when there is none).
    size_t NextInput(size_t Pos) const;
    size_t PrevInput(size_t Pos) const;

    // Editing the shown text Text with the selection [SelStart, SelEnd).
    // A typed character replaces the selection (its input slots become blanks) and goes in as the
    // top of the file says.
    TMaskEditResult Type(const std::string& Text, size_t SelStart, size_t SelEnd, char C) const;
    // Backspace and Delete: the selection, else the input slot before (Backward) or at the caret,
    // becomes blank.
    TMaskEditResult Erase(const std::string& Text, size_t SelStart, size_t SelEnd,
                          bool Backward) const;
    // Pasted text is typed character by character; it stops at the first character that does
    // not fit (Accepted false, what went in before it stays).
    TMaskEditResult Paste(const std::string& Text, size_t SelStart, size_t SelEnd,
                          const std::string& Pasted) const;

  private:
    std::string Collect(const std::string& EditText, bool Literals) const;
    // The character a slot shows for a character of a value.
    char Cell(size_t Slot, char C) const;
    std::string BlankRange(std::string Text, size_t From, size_t To) const;

    std::vector<TMaskSlot> FSlots;
    bool FSaveLiterals = true;
    char FBlank = kDefaultBlank;
    bool FReverse = false;
};
