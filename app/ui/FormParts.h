#pragma once
// The controls of a window read from its definition, found by name.
#include <string>

#include "platform/classes/Exception.h"
#include "platform/widgets/Forms.h"

// The component Name of Form as a T; raises when the definition lacks it (or has another class).
template <class T>
T* FormPart(const TComponent* Form, const std::string& Name) {
    auto* Found = dynamic_cast<T*>(Form->FindComponent(Name));
    if (!Found) throw Exception(Form->Name() + "'s definition has no " + Name);
    return Found;
}

class TOvcAbstractStore;

// Ties the window's state component "FormState" to Store and restores the window from it; the
// window saves itself there when it closes. A null store leaves the window where it opens.
void UseFormStateStore(TCustomForm* Form, TOvcAbstractStore* Store);
