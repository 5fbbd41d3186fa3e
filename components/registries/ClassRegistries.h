#pragma once
// Which classes serve which value type, so that an edit control can pick its inner edit, popup
// and edit source by class name; and the classes registered for the component palette.
//
// Each registry is a packaged collection: it is listed process-wide while it lives, and its
// items remember the module they were made in, so that a module being unloaded takes its items
// with it (the module-unloading notice). The registry-changed notice goes to every packaged
// collection whenever a class is registered for the palette.
#include <cstdint>
#include <string>
#include <typeindex>
#include <vector>

#include "platform/core/Messages.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/forms/Collection.h"

using HMODULE = std::uintptr_t;

// Notices to the packaged collections.
constexpr UINT CM_MODULEUNLOADING = 2058;  // WParam: the module going away
constexpr UINT CM_REGISTRYCHANGED = 2069;

// The module whose code runs now (0: the program itself, the only one here).
HMODULE CurrentModule();
void SetCurrentModule(HMODULE Module);

class TPackagedCollectionItem : public TCollectionItem {
  public:
    explicit TPackagedCollectionItem(TCollection* Collection);
    HMODULE Module() const { return FModule; }

  private:
    HMODULE FModule;
};

class TPackagedCollection : public TCollection {
  public:
    explicit TPackagedCollection(TCollectionItemClass ItemClass);
    ~TPackagedCollection() override;
    // Handles a notice; Message.Result non-zero when it answered it.
    virtual void Dispatch(TMessage& Message);
};

// Hands the notice to every packaged collection, the newest first; with StopAtFirstAnswer the
// walk ends at the first that answers. True when none answered.
bool BroadcastToPackagedCollections(TMessage& Message, bool StopAtFirstAnswer);

// A class registered for the palette: its flags (ORed in at each registration) and its page.
class TClassItem : public TPackagedCollectionItem {
  public:
    using TPackagedCollectionItem::TPackagedCollectionItem;
    const TClassInfo* Class = nullptr;
    int Flags = 0;
    std::string Page;
};

// The flag of a palette registration.
constexpr int kPaletteRegistration = 8;

TPackagedCollection& ClassItems();
// Registers the classes on the palette page and tells every packaged collection.
void RegisterComponents(const std::string& Page, const std::vector<const TClassInfo*>& Classes);

// One class serving a value type.
class TRegisteredClassInfo : public TPackagedCollectionItem {
  public:
    using TPackagedCollectionItem::TPackagedCollectionItem;
    const TClassInfo* Class = nullptr;
    std::type_index ValueType = typeid(void);
    std::string Name;
    int Number = 0;
};

class TPopupClassInfo : public TRegisteredClassInfo {
  public:
    using TRegisteredClassInfo::TRegisteredClassInfo;
};

class TEditSourceClassInfo : public TRegisteredClassInfo {
  public:
    using TRegisteredClassInfo::TRegisteredClassInfo;
};

class TEditClassInfo : public TRegisteredClassInfo {
  public:
    using TRegisteredClassInfo::TRegisteredClassInfo;
    // Set on an inner edit registered for a value type that has one already.
    bool Default = false;
};

TPackagedCollection& PopupClasses();
TPackagedCollection& EditSourceClasses();
TPackagedCollection& EditClasses();

// The registry's item for the class of that name; null when the name is no registered class or
// the registry lacks it.
TRegisteredClassInfo* FindRegisteredClass(const TPackagedCollection& Registry,
                                          const std::string& ClassName);

// Adds the item (the class must be registered for streaming).
TRegisteredClassInfo& AddRegisteredClass(TPackagedCollection& Registry, const TClassInfo* Class,
                                         std::type_index ValueType, const std::string& Name,
                                         int Number);

// Registers T (under ClassName, for streaming too when no class has that name) as a popup or
// an inner edit for the value type.
template <class T, class Parent>
const TClassInfo* StreamingClass(const std::string& ClassName) {
    if (const TClassInfo* Known = GetClass(ClassName)) return Known;
    RegisterClass<T, Parent>(ClassName);
    return GetClass(ClassName);
}

template <class T, class Parent>
void RegisterPopupClass(const std::string& ClassName, std::type_index ValueType,
                        const std::string& Name, int Number) {
    AddRegisteredClass(PopupClasses(), StreamingClass<T, Parent>(ClassName), ValueType, Name,
                       Number);
}

template <class T, class Parent>
void RegisterEditClass(const std::string& ClassName, std::type_index ValueType,
                       const std::string& Name, int Number) {
    AddRegisteredClass(EditClasses(), StreamingClass<T, Parent>(ClassName), ValueType, Name,
                       Number);
}
