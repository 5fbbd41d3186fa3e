#pragma once
// The base of the components that restore a window's state when it is created and save it when
// it closes, into a store. What hooks the form's create, close-query and destroy events calls
// FormCreated, FormCloseQuery and FormDestroying with the handler each event had before.
#include <functional>
#include <string>

#include "components/store/OvcStore.h"

using TOvcStateEvent = std::function<void(TObject* Sender)>;

class TOvcAbstractState : public TOvcComponent {
  public:
    explicit TOvcAbstractState(TComponent* AOwner);
    ~TOvcAbstractState() override;

    // Default true. False: nothing is restored or saved.
    bool Active() const { return FActive; }
    void SetActive(bool Value) { FActive = Value; }
    // Empty reads as the default section (the form's class name for a form's state).
    std::string Section() const;
    void SetSection(const std::string& Value) { FSection = Value; }
    // Whether a section of its own was set (definitions keep only that).
    bool SectionStored() const { return !FSection.empty(); }
    // The store; the component lets go of it when the store is freed, and is inactive then.
    TOvcAbstractStore* Storage() const { return FStorage; }
    void SetStorage(TOvcAbstractStore* Value);

    TOvcStateEvent OnRestoreState;
    TOvcStateEvent OnSaveState;

    virtual void RestoreState() = 0;
    virtual void SaveState() = 0;

    bool Restored() const { return FRestored; }
    bool Saved() const { return FSaved; }

    // The form was created: its previous handler first, then the restore.
    void FormCreated(const std::function<void()>& Previous);
    // The form asks whether it may close: its previous handler first, then a save when it may.
    void FormCloseQuery(const std::function<void(bool& CanClose)>& Previous, bool& CanClose);
    // The form goes: a save unless one was made, then its previous handler.
    void FormDestroying(const std::function<void()>& Previous);

  protected:
    virtual std::string DefaultSection() const { return ""; }
    void Notification(TComponent* AComponent, TOperation Operation) override;

  private:
    // A window that never restored its state does not overwrite what it would have restored.
    void SaveFromHook();

    bool FActive = true;
    std::string FSection;
    TOvcAbstractStore* FStorage = nullptr;
    bool FRestored = false;
    bool FSaved = false;
};
