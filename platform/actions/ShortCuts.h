#pragma once
// Shortcuts: a virtual key and the Shift, Ctrl and Alt keys held with it in one 16-bit value, and
// the text menus and hints show for it ("F7", "Ctrl+F7", "Alt+X"), as the class library encodes
// them. Key names are the classic English ones; punctuation keys are named by the character they
// type on the US layout, as the window layer maps them.
#include <string>

#include "platform/classes/WinTypes.h"
#include "platform/forms/Set.h"

using TShortCut = WORD;

inline constexpr TShortCut scShift = 0x2000;
inline constexpr TShortCut scCtrl = 0x4000;
inline constexpr TShortCut scAlt = 0x8000;
inline constexpr TShortCut scNone = 0;

// The keys and mouse buttons held during an input event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TSet<TShiftStateItem>;

// The shortcut of a virtual key with Shift, Ctrl and Alt as Shift holds them (the mouse buttons
// do not count); 0 for a key above 0xFF.
TShortCut ShortCut(WORD Key, TShiftState Shift);
// The virtual key and the Shift, Ctrl and Alt of a shortcut.
void ShortCutToKey(TShortCut ShortCut, WORD& Key, TShiftState& Shift);
// "Shift+", "Ctrl+" and "Alt+" (in that order) before the key's name; empty for 0 and for a key
// without a name.
std::string ShortCutToText(TShortCut ShortCut);
// The shortcut a text names: modifiers in any order, names compared ignoring ASCII case; 0 for a
// text that names none.
TShortCut TextToShortCut(const std::string& Text);
