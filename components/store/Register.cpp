#include "components/store/Register.h"

#include "components/store/OvcFormState.h"
#include "components/store/XMLFileStore.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/widgets/Register.h"

void RegisterStoreClasses() {
    static const bool Done = [] {
        RegisterWidgetClasses();
        RegisterEnum<TOvcFormStateOption>({"fsState", "fsPosition", "fsNoSize", "fsColor",
                                           "fsActiveControl", "fsDefaultMonitor"});
        RegisterClass<TOvcComponent, TComponent>("TOvcComponent")
            .Property("About", &TOvcComponent::About, &TOvcComponent::SetAbout, NotStored);
        RegisterClass<TOvcAbstractStore, TOvcComponent>("TOvcAbstractStore");
        RegisterClass<TO32XMLFileStore, TOvcAbstractStore>("TO32XMLFileStore")
            .Property("UseExeDir", &TO32XMLFileStore::UseExeDir, &TO32XMLFileStore::SetUseExeDir,
                      Default(false))
            .Property("XMLFileName", &TO32XMLFileStore::XMLFileName,
                      &TO32XMLFileStore::SetXMLFileName);
        RegisterClass<TOvcAbstractState, TOvcComponent>("TOvcAbstractState")
            .Property("Active", &TOvcAbstractState::Active, &TOvcAbstractState::SetActive,
                      Default(true))
            .Property("Section", &TOvcAbstractState::Section, &TOvcAbstractState::SetSection,
                      Stored(&TOvcAbstractState::SectionStored))
            .Property("Storage", &TOvcAbstractState::Storage, &TOvcAbstractState::SetStorage)
            .Field("OnRestoreState", &TOvcAbstractState::OnRestoreState)
            .Field("OnSaveState", &TOvcAbstractState::OnSaveState);
        RegisterClass<TOvcFormState, TOvcAbstractState>("TOvcFormState")
            .Property("Options", &TOvcFormState::Options, &TOvcFormState::SetOptions,
                      Default(TOvcFormStateOptions{fsState, fsPosition}));
        // Registered only when no class of the name is known yet, as another unit may have.
        if (!GetClass("TOvcAttachedLabel"))
            RegisterClass<TOvcAttachedLabel, TLabel>("TOvcAttachedLabel");
        return true;
    }();
    (void)Done;
}
