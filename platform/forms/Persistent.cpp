#include "platform/forms/Persistent.h"

#include "platform/forms/Errors.h"

void TPersistent::Assign(const TPersistent* Source) {
    if (Source != nullptr) {
        Source->AssignTo(this);
        return;
    }
    throw EConvertError("Cannot assign a nil to a " + ClassName());
}

void TPersistent::AssignTo(TPersistent* Dest) const {
    throw EConvertError("Cannot assign a " + ClassName() + " to a " + Dest->ClassName());
}

void TPersistent::DefineProperties(TFiler&) {}

std::string TPersistent::GetNamePath() const {
    std::string Path;
    if (const TPersistent* Owner = GetOwner()) {
        Path = Owner->GetNamePath();
        if (!Path.empty()) Path += '.';
    }
    return Path + ClassName();
}

std::string TPersistent::BoundMethodName(const std::string& EventName) const {
    if (!FMethodNames) return {};
    auto It = FMethodNames->find(EventName);
    return It == FMethodNames->end() ? std::string() : It->second;
}

void TPersistent::SetBoundMethodName(const std::string& EventName, const std::string& MethodName) {
    if (MethodName.empty()) {
        if (FMethodNames) FMethodNames->erase(EventName);
        return;
    }
    if (!FMethodNames) FMethodNames = std::make_unique<std::map<std::string, std::string>>();
    (*FMethodNames)[EventName] = MethodName;
}
