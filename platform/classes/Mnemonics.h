#pragma once
// The key mark of captions and labels. "&x" shows x and makes it the text's mnemonic (the key that
// chooses the control or menu item), "&&" shows one "&", and an "&" that ends the text shows as
// itself. Only the character after the first single "&" is the mnemonic; a later single "&" is
// dropped like the first but marks nothing.
#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

// A marked text read by the rule: what is shown, and where the mnemonic character is.
template <class TText>
struct TMnemonicText {
    static constexpr size_t kNone = std::string::npos;
    TText Plain;             // the text as shown
    size_t At = kNone;       // the mnemonic character's index in the marked text
    size_t PlainAt = kNone;  // its index in Plain
};

// Works on any string whose characters '&' converts to (bytes, or Qt's UTF-16 strings).
template <class TText>
TMnemonicText<TText> ReadMnemonic(const TText& Text) {
    using TChar = std::decay_t<decltype(Text[0])>;
    const TChar Mark = TChar(u'&');
    TMnemonicText<TText> Result;
    const size_t Size = size_t(Text.size());
    for (size_t I = 0; I < Size; ++I) {
        if (Text[I] == Mark && I + 1 < Size) {
            ++I;
            if (Text[I] != Mark && Result.At == Result.kNone) {
                Result.At = I;
                Result.PlainAt = size_t(Result.Plain.size());
            }
        }
        Result.Plain += Text[I];
    }
    return Result;
}

// The text as shown, without its marks.
std::string StripMnemonics(std::string_view Text);
// The index in Text of the mnemonic character (std::string::npos when there is none).
size_t MnemonicPos(std::string_view Text);
// The mnemonic character, ASCII letters upper-cased; 0 when there is none.
char MnemonicKey(std::string_view Text);
