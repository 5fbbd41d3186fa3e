#pragma once
// Keys as the terminal's key translation sees them: the virtual-key codes of the window layer
// (the key map is written in them) and the class library's shift state.
#include <cstdint>

#include "platform/actions/ShortCuts.h"
#include "platform/core/Input.h"

// Added to the key code by the control when the key is held down and repeats.
inline constexpr uint16_t kAutoRepeatFlag = 0x8000;
