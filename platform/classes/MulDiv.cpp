#include "platform/classes/MulDiv.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

int MulDiv(int A, int B, int C) {
    if (C == 0) return -1;
    const int64_t Product = int64_t(A) * int64_t(B);
    const int64_t Half = std::llabs(int64_t(C)) / 2;
    // Rounds the absolute value, then puts the sign back: halves go away from zero.
    const bool Negative = (Product < 0) != (C < 0);
    const int64_t Magnitude = (std::llabs(Product) + Half) / std::llabs(int64_t(C));
    const int64_t Result = Negative ? -Magnitude : Magnitude;
    if (Result > INT_MAX || Result < INT_MIN) return -1;
    return int(Result);
}
