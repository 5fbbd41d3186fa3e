#pragma once
// The form designer as the framework's design-time dialogs see it: the component selected, the
// one opened for editing, names for new components and the notice that the form changed. The
// framework's own designer keeps the selection (forgetting a component that is freed) and names
// new components; a designer that hosts the form installs its own.
#include <memory>
#include <string>

class TComponent;
class TPersistent;

class TdxBarDesigner {
  public:
    TdxBarDesigner();
    virtual ~TdxBarDesigner();
    virtual void SelectComponent(TPersistent* Instance);
    virtual TPersistent* Selection() const { return FSelection; }
    // Opens the component for editing (a double click on a command).
    virtual void Edit(TComponent* Component);
    // A name free among the root's components: Base followed by the smallest free number.
    virtual std::string UniqueName(TComponent* Root, const std::string& Base);
    virtual void Modified() {}
    // Forgets a selection that goes.
    void Forget(TPersistent* Instance) {
        if (FSelection == Instance) SelectComponent(nullptr);
    }

  private:
    class TWatcher;
    TPersistent* FSelection = nullptr;
    // Told when a selected component is freed.
    TWatcher* FWatcher;
};

TdxBarDesigner* dxBarDesigner();
// Installs another designer; returns the previous one.
std::unique_ptr<TdxBarDesigner> SetdxBarDesigner(std::unique_ptr<TdxBarDesigner> Designer);
