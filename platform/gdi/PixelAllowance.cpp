#include "platform/gdi/PixelAllowance.h"

#include <limits>

#include "platform/gdi/Gdi.h"

namespace {

thread_local TPixelAllowance* GOpen = nullptr;

}  // namespace

void TPixelAllowance::Take(int64_t Pixels) {
    if (Pixels > FLeft)
        throw EInvalidGraphic("The pictures of this view would take more memory than allowed");
    FLeft -= Pixels;
}

TPixelAllowanceScope::TPixelAllowanceScope(TPixelAllowance& Allowance) : FOuter(GOpen) {
    GOpen = &Allowance;
}

TPixelAllowanceScope::~TPixelAllowanceScope() {
    GOpen = FOuter;
}

void TakeBitmapPixels(int64_t Width, int64_t Height) {
    if (GOpen && Width > 0 && Height > 0) GOpen->Take(Width * Height);
}

int64_t BitmapPixelsLeft() {
    return GOpen ? GOpen->Left() : std::numeric_limits<int64_t>::max();
}
