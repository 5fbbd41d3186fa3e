#include "app/ui/MultiConfig.h"

#include "app/engine/UnitScheduler.h"
#include "app/ui/FormParts.h"
#include "app/ui/MultiConfigFiles.h"
#include "app/ui/UiPictures.h"
#include "components/shell/Register.h"
#include "components/store/Register.h"
#include "platform/forms/ClassRegistry.h"

void TFormMultiConfig::FormCreate(TObject*) {
    FileView = FormPart<TListView>(this, "FileView");
    for (const char* Name : {"ImageListSmall", "ImageListLarge"})
        AddBoxPictures(*FormPart<TImageList>(this, Name));
    if (!Queue) Queue = AddConfigToToDo;

    TListItems* Items = FileView->Items();
    Items->BeginUpdate();
    for (const TConfigRow& Row : ListConfigRows(Directory)) {
        TListItem* Item = Items->Add();
        Item->SetCaption(Row.Caption);
        Item->SubItems()->Add(Row.Type);
        Item->SubItems()->Add(Row.FileName);
        Item->SetImageIndex(Row.ImageIndex);
    }
    Items->EndUpdate();
}

void TFormMultiConfig::ButtonViewClick(TObject*) {
    FileView->SetViewStyle(FileView->ViewStyle() == vsReport ? vsIcon : vsReport);
}

void TFormMultiConfig::ButtonOkClick(TObject*) {
    TListItems* Items = FileView->Items();
    for (int I = 0; I < Items->Count(); ++I)
        if (Items->Item(I)->Selected()) Queue(Items->Item(I)->SubItems()->Get(1));
}

void RegisterMultiConfigClasses() {
    static const bool Done = [] {
        // The window takes dropped files (the desktop shows it as a target) and does nothing
        // with them.
        RegisterShellClasses();
        RegisterStoreClasses();
        RegisterClass<TFormMultiConfig, TForm>("TFormMultiConfig")
            .Method("FormCreate", &TFormMultiConfig::FormCreate)
            .Method("ButtonViewClick", &TFormMultiConfig::ButtonViewClick)
            .Method("ButtonOkClick", &TFormMultiConfig::ButtonOkClick);
        return true;
    }();
    (void)Done;
}

bool ExecuteMultiConfig(const std::string& Dir, TOvcAbstractStore* Store) {
    RegisterMultiConfigClasses();
    TFormMultiConfig::Directory = Dir;
    auto* Chooser = CreateForm<TFormMultiConfig>(&Forms);
    UseFormStateStore(Chooser, Store);
    Chooser->Queue = [](const std::string& FileName) { AddConfigToToDo(FileName); };
    const bool Accepted = Chooser->ShowModal() == mrOk;
    Chooser->Free();
    return Accepted;
}
