#include "platform/classes/Mnemonics.h"

std::string StripMnemonics(std::string_view Text) {
    return ReadMnemonic(std::string(Text)).Plain;
}

size_t MnemonicPos(std::string_view Text) {
    return ReadMnemonic(std::string(Text)).At;
}

char MnemonicKey(std::string_view Text) {
    const size_t At = MnemonicPos(Text);
    if (At == std::string::npos) return 0;
    const char C = Text[At];
    return (C >= 'a' && C <= 'z') ? char(C - 'a' + 'A') : C;
}
