#include "platform/controls/CommonControls.h"

#include <algorithm>
#include <array>

namespace {

// Windows-1252 upper-case letters and their lower-case partners; everything else folds to itself.
constexpr std::array<unsigned char, 256> MakeFolding() {
    std::array<unsigned char, 256> Fold{};
    for (int C = 0; C < 256; ++C) Fold[C] = static_cast<unsigned char>(C);
    for (int C = 'A'; C <= 'Z'; ++C) Fold[C] = static_cast<unsigned char>(C + 32);
    for (int C = 0xC0; C <= 0xDE; ++C)
        if (C != 0xD7) Fold[C] = static_cast<unsigned char>(C + 32);
    Fold[0x8A] = 0x9A;  // S with caron
    Fold[0x8C] = 0x9C;  // OE
    Fold[0x8E] = 0x9E;  // Z with caron
    Fold[0x9F] = 0xFF;  // Y with diaeresis
    return Fold;
}

constexpr std::array<unsigned char, 256> kFolding = MakeFolding();

}  // namespace

int CompareItemTexts(std::string_view A, std::string_view B) {
    const size_t N = std::min(A.size(), B.size());
    for (size_t I = 0; I < N; ++I) {
        const int X = kFolding[static_cast<unsigned char>(A[I])];
        const int Y = kFolding[static_cast<unsigned char>(B[I])];
        if (X != Y) return X < Y ? -1 : 1;
    }
    if (A.size() == B.size()) return 0;
    return A.size() < B.size() ? -1 : 1;
}
