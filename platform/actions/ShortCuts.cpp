#include "platform/actions/ShortCuts.h"

#include <array>
#include <string_view>

#include "platform/core/Input.h"
#include "platform/core/KeyboardLayout.h"

namespace {

struct TKeyName {
    WORD Key;
    std::string_view Name;
};

constexpr std::string_view kDigitsAndLetters = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr std::string_view kFunctionKeys = "F1F2F3F4F5F6F7F8F9F10F11F12";

constexpr size_t kPunctuationKeys = [] {
    size_t Count = 0;
    for (const TLayoutKey& Key : kLayoutKeys) Count += IsPunctuationKey(Key) ? 1 : 0;
    return Count;
}();

// Every key that has a name, both ways: the named keys, punctuation by its character, then
// digits, letters and F1 to F12 filled in by their ranges.
constexpr auto MakeKeyNames() {
    constexpr TKeyName Named[] = {
        {VK_BACK, "BkSp"},   {VK_TAB, "Tab"},    {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},
        {VK_SPACE, "Space"}, {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},    {VK_END, "End"},
        {VK_HOME, "Home"},   {VK_LEFT, "Left"},  {VK_UP, "Up"},        {VK_RIGHT, "Right"},
        {VK_DOWN, "Down"},   {VK_INSERT, "Ins"}, {VK_DELETE, "Del"},
    };
    std::array<TKeyName, std::size(Named) + kPunctuationKeys + 10 + 26 + 12> Names{};
    size_t At = 0;
    for (const TKeyName& Row : Named) Names[At++] = Row;
    for (const TLayoutKey& Key : kLayoutKeys)
        if (IsPunctuationKey(Key)) Names[At++] = {Key.VirtualKey, std::string_view(&Key.Plain, 1)};
    for (WORD I = 0; I < 10; ++I) Names[At++] = {WORD(VK_0 + I), kDigitsAndLetters.substr(I, 1)};
    for (WORD I = 0; I < 26; ++I)
        Names[At++] = {WORD(VK_A + I), kDigitsAndLetters.substr(10 + I, 1)};
    for (WORD I = 0, From = 0; I < 12; ++I) {
        const size_t Length = I < 9 ? 2 : 3;
        Names[At++] = {WORD(VK_F1 + I), kFunctionKeys.substr(From, Length)};
        From += WORD(Length);
    }
    return Names;
}

constexpr auto kKeyNames = MakeKeyNames();

constexpr TKeyName kModifiers[] = {{scShift, "Shift+"}, {scCtrl, "Ctrl+"}, {scAlt, "Alt+"}};

constexpr TShortCut kModifierBits = scShift | scCtrl | scAlt;

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

bool SameText(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

}  // namespace

TShortCut ShortCut(WORD Key, TShiftState Shift) {
    if (Key > 0xFF) return scNone;
    TShortCut Result = Key;
    if (Shift.Contains(ssShift)) Result |= scShift;
    if (Shift.Contains(ssCtrl)) Result |= scCtrl;
    if (Shift.Contains(ssAlt)) Result |= scAlt;
    return Result;
}

void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift) {
    Key = ShortCut & ~kModifierBits;
    Shift = {};
    if (ShortCut & scShift) Shift.Include(ssShift);
    if (ShortCut & scCtrl) Shift.Include(ssCtrl);
    if (ShortCut & scAlt) Shift.Include(ssAlt);
}

std::string ShortCutToText(TShortCut ShortCut) {
    const WORD Key = ShortCut & ~kModifierBits;
    for (const TKeyName& Row : kKeyNames) {
        if (Row.Key != Key) continue;
        std::string Text;
        for (const TKeyName& Modifier : kModifiers)
            if (ShortCut & Modifier.Key) Text += Modifier.Name;
        return Text + std::string(Row.Name);
    }
    return {};
}

TShortCut TextToShortCut(const std::string& Text) {
    std::string_view Rest = Text;
    TShortCut Modifiers = 0;
    for (bool Found = true; Found;) {
        Found = false;
        for (const TKeyName& Modifier : kModifiers) {
            if (Rest.size() > Modifier.Name.size() &&
                SameText(Rest.substr(0, Modifier.Name.size()), Modifier.Name)) {
                Modifiers |= Modifier.Key;
                Rest.remove_prefix(Modifier.Name.size());
                Found = true;
            }
        }
    }
    for (const TKeyName& Row : kKeyNames)
        if (SameText(Rest, Row.Name)) return Row.Key | Modifiers;
    return scNone;
}
