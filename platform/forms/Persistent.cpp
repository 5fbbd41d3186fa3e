#include "platform/forms/Persistent.h"

#include "platform/forms/Errors.h"

#include <algorithm>

namespace {

thread_local std::vector<TPersistentFreeWatch*> GFreeWatches;

}  // namespace

TPersistentFreeWatch::TPersistentFreeWatch() {
    GFreeWatches.push_back(this);
}

TPersistentFreeWatch::~TPersistentFreeWatch() {
    GFreeWatches.erase(std::find(GFreeWatches.begin(), GFreeWatches.end(), this));
}

TPersistent::~TPersistent() {
    if (GFreeWatches.empty()) return;
    // A copy: a watch may end while it hears of this.
    const std::vector<TPersistentFreeWatch*> Watches = GFreeWatches;
    for (TPersistentFreeWatch* Watch : Watches) Watch->Freed(this);
}

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
