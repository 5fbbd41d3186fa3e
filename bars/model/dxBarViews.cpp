#include "bars/model/dxBarViews.h"

namespace {

TdxBarViews*& InPlace() {
    static TdxBarViews None;
    static TdxBarViews* Views = &None;
    return Views;
}

}  // namespace

TdxBarViews& dxBarViews() {
    return *InPlace();
}

void SetdxBarViews(TdxBarViews* Views) {
    if (Views) InPlace() = Views;
}
