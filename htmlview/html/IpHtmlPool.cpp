#include "htmlview/html/IpHtmlPool.h"

#include "htmlview/html/Limits.h"
#include "netlib/base/IpBase.h"

namespace {

// The smallest size at least Size that divides a page; a page when Size is larger.
size_t PageDivisor(size_t Size) {
    size_t Divisor = 1;
    while (Divisor < Size && Divisor < HtmlLimits::kPoolPageSize) Divisor *= 2;
    return Divisor;
}

}  // namespace

TIpHtmlPoolManager::TIpHtmlPoolManager(size_t ItemSize, size_t MaxItems)
    : FItemSize(PageDivisor(ItemSize == 0 ? 1 : ItemSize)), FMaxItems(MaxItems) {
    // An item larger than a page is its own run of pages.
    if (ItemSize > FItemSize) FItemSize = (ItemSize + FItemSize - 1) / FItemSize * FItemSize;
    FItemsPerPage =
        FItemSize >= HtmlLimits::kPoolPageSize ? 1 : HtmlLimits::kPoolPageSize / FItemSize;
}

TIpHtmlPoolManager::~TIpHtmlPoolManager() = default;

void* TIpHtmlPoolManager::NewItm() {
    std::lock_guard Guard(FLock);
    if (FCount >= FMaxItems) throw EIpHtmlException("Out of memory");
    const size_t InPage = FCount % FItemsPerPage;
    if (InPage == 0) FPages.push_back(std::make_unique<std::byte[]>(FItemsPerPage * FItemSize));
    ++FCount;
    return FPages.back().get() + InPage * FItemSize;
}

void TIpHtmlPoolManager::EnumerateItems(const std::function<void(void*)>& Proc) const {
    size_t Left = FCount;
    for (const auto& Page : FPages) {
        for (size_t I = 0; I < FItemsPerPage && Left > 0; ++I, --Left)
            Proc(Page.get() + I * FItemSize);
    }
}
