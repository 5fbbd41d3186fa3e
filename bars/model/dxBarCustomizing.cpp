#include "bars/model/dxBarCustomizing.h"

#include "bars/model/dxBarManager.h"

void TDesignCopyFree::operator()(TCustomForm* Copy) const {
    Copy->Free();
}

TdxBarManager* CopyManager(const TDesignCopy& Copy, const TdxBarManager& Live) {
    return Copy ? dynamic_cast<TdxBarManager*>(Copy->FindComponent(Live.Name())) : nullptr;
}
