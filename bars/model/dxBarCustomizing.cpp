#include "bars/model/dxBarCustomizing.h"

#include "bars/model/dxBarManager.h"

namespace {

TdxBarCustomizing*& Entry() {
    static TdxBarCustomizing None;
    static TdxBarCustomizing* In = &None;
    return In;
}

}  // namespace

TdxBarCustomizing& dxBarCustomizing() {
    return *Entry();
}

void SetdxBarCustomizing(TdxBarCustomizing* Value) {
    if (Value) Entry() = Value;
}

void TDesignCopyFree::operator()(TCustomForm* Copy) const {
    Copy->Free();
}

TdxBarManager* CopyManager(const TDesignCopy& Copy, const TdxBarManager& Live) {
    return Copy ? dynamic_cast<TdxBarManager*>(Copy->FindComponent(Live.Name())) : nullptr;
}
