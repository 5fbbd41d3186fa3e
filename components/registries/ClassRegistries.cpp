#include "components/registries/ClassRegistries.h"

#include <algorithm>
#include <memory>

namespace {

HMODULE GCurrentModule = 0;

// The packaged collections in the order they were made; the registries are made on first use
// and go at the end of the process, after which the list is empty again.
std::vector<TPackagedCollection*>& Packaged() {
    static std::vector<TPackagedCollection*> List;
    return List;
}

struct TRegistries {
    TPackagedCollection ClassItems{ItemClassOf<TClassItem>()};
    TPackagedCollection Popups{ItemClassOf<TPopupClassInfo>()};
    TPackagedCollection EditSources{ItemClassOf<TEditSourceClassInfo>()};
    TPackagedCollection Edits{ItemClassOf<TEditClassInfo>()};
};

TRegistries& Registries() {
    Packaged();  // made first, so it outlives the registries
    static TRegistries R;
    return R;
}

}  // namespace

HMODULE CurrentModule() {
    return GCurrentModule;
}

void SetCurrentModule(HMODULE Module) {
    GCurrentModule = Module;
}

TPackagedCollectionItem::TPackagedCollectionItem(TCollection* Collection)
    : TCollectionItem(Collection), FModule(CurrentModule()) {}

TPackagedCollection::TPackagedCollection(TCollectionItemClass ItemClass) : TCollection(ItemClass) {
    Packaged().push_back(this);
}

TPackagedCollection::~TPackagedCollection() {
    std::erase(Packaged(), this);
}

void TPackagedCollection::Dispatch(TMessage& Message) {
    if (Message.Msg != CM_MODULEUNLOADING) return;
    for (int N = Count() - 1; N >= 0; --N) {
        const auto* Item = dynamic_cast<const TPackagedCollectionItem*>(Items(N));
        if (Item != nullptr && Item->Module() == HMODULE(Message.WParam)) Delete(N);
    }
}

bool BroadcastToPackagedCollections(TMessage& Message, bool StopAtFirstAnswer) {
    Message.Result = 0;
    // A copy: a handler may make or free collections.
    const std::vector<TPackagedCollection*> Collections = Packaged();
    for (auto It = Collections.rbegin(); It != Collections.rend(); ++It) {
        if (std::find(Packaged().begin(), Packaged().end(), *It) == Packaged().end()) continue;
        (*It)->Dispatch(Message);
        if (StopAtFirstAnswer && Message.Result != 0) break;
    }
    return Message.Result == 0;
}

TPackagedCollection& ClassItems() {
    return Registries().ClassItems;
}

TPackagedCollection& PopupClasses() {
    return Registries().Popups;
}

TPackagedCollection& EditSourceClasses() {
    return Registries().EditSources;
}

TPackagedCollection& EditClasses() {
    return Registries().Edits;
}

void RegisterComponents(const std::string& Page, const std::vector<const TClassInfo*>& Classes) {
    TPackagedCollection& Items = ClassItems();
    for (const TClassInfo* Class : Classes) {
        TClassItem* Item = nullptr;
        for (int N = 0; N < Items.Count() && Item == nullptr; ++N) {
            auto* Known = static_cast<TClassItem*>(Items.Items(N));
            if (Known->Class == Class) Item = Known;
        }
        if (Item == nullptr) {
            Item = static_cast<TClassItem*>(Items.Add());
            Item->Class = Class;
        }
        Item->Flags |= kPaletteRegistration;
        if (Item->Page.empty()) Item->Page = Page;
    }
    TMessage Changed{CM_REGISTRYCHANGED, 0, 0, 0};
    BroadcastToPackagedCollections(Changed, false);
}

TRegisteredClassInfo* FindRegisteredClass(const TPackagedCollection& Registry,
                                          const std::string& ClassName) {
    const TClassInfo* Class = GetClass(ClassName);
    if (Class == nullptr) return nullptr;
    for (int N = 0; N < Registry.Count(); ++N) {
        auto* Item = static_cast<TRegisteredClassInfo*>(Registry.Items(N));
        if (Item->Class == Class) return Item;
    }
    return nullptr;
}

TRegisteredClassInfo& AddRegisteredClass(TPackagedCollection& Registry, const TClassInfo* Class,
                                         std::type_index ValueType, const std::string& Name,
                                         int Number) {
    bool TypeServed = false;
    for (int N = 0; N < Registry.Count(); ++N)
        TypeServed = TypeServed ||
                     static_cast<TRegisteredClassInfo*>(Registry.Items(N))->ValueType == ValueType;
    auto* Item = static_cast<TRegisteredClassInfo*>(Registry.Add());
    Item->Class = Class;
    Item->ValueType = ValueType;
    Item->Name = Name;
    Item->Number = Number;
    if (auto* Edit = dynamic_cast<TEditClassInfo*>(Item)) Edit->Default = TypeServed;
    return *Item;
}
