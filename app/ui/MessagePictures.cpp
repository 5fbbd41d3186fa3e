#include "app/ui/MessagePictures.h"

#include <cstdint>

#include "app/ui/Limits.h"
#include "app/ui/ViewMessageParts.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/PixelAllowance.h"

TMessagePictures::TMessagePictures() {
    Clear();
}

TMessagePictures::~TMessagePictures() = default;

void TMessagePictures::Clear() {
    FShown.clear();
    FAllowance = std::make_shared<TPixelAllowance>(UiLimits::kMaxMessagePicturePixels);
}

int64_t TMessagePictures::PixelsLeft() const {
    return FAllowance->Left();
}

std::shared_ptr<TPicture> TMessagePictures::Picture(TIpMimeEntity& Part, const void* Document) {
    std::weak_ptr<TPicture>& Shown = FShown[{Document, &Part}];
    if (std::shared_ptr<TPicture> Picture = Shown.lock()) return Picture;
    const int64_t Before = FAllowance->Left();
    std::shared_ptr<TPicture> Decoded;
    {
        TPixelAllowanceScope Scope(*FAllowance);
        Decoded = PartPicture(Part);
    }
    const int64_t Taken = Before - FAllowance->Left();
    // A picture refused half-way has freed what it took.
    if (!Decoded) {
        FAllowance->GiveBack(Taken);
        return nullptr;
    }
    std::shared_ptr<TPicture> Picture(Decoded.get(),
                                      [Decoded, Allowance = FAllowance, Taken](TPicture*) mutable {
                                          Decoded.reset();
                                          Allowance->GiveBack(Taken);
                                      });
    Shown = Picture;
    return Picture;
}
