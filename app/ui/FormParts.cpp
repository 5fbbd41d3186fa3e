#include "app/ui/FormParts.h"

#include "components/store/OvcFormState.h"

void UseFormStateStore(TCustomForm* Form, TOvcAbstractStore* Store) {
    if (!Store) return;
    auto* State = FormPart<TOvcFormState>(Form, "FormState");
    State->SetStorage(Store);
    State->RestoreState();
}
