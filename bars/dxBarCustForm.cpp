#include "bars/dxBarCustForm.h"

void ShowCustomizingForm(TdxBarManager*, bool) {}

TdxBarCustomizingForm* GetCustomizingForm() {
    return nullptr;
}
