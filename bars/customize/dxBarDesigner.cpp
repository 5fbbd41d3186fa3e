#include "bars/customize/dxBarDesigner.h"

#include "platform/forms/Component.h"

namespace {

std::unique_ptr<TdxBarDesigner>& Designer() {
    static std::unique_ptr<TdxBarDesigner> Instance = std::make_unique<TdxBarDesigner>();
    return Instance;
}

}  // namespace

class TdxBarDesigner::TWatcher : public TComponent {
  public:
    explicit TWatcher(TdxBarDesigner* Designer) : TComponent(nullptr), FDesigner(Designer) {}

  protected:
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && FDesigner->FSelection == AComponent)
            FDesigner->FSelection = nullptr;
    }

  private:
    TdxBarDesigner* FDesigner;
};

TdxBarDesigner::TdxBarDesigner() : FWatcher(new TWatcher(this)) {}

TdxBarDesigner::~TdxBarDesigner() {
    FWatcher->Free();
}

void TdxBarDesigner::SelectComponent(TPersistent* Instance) {
    if (auto* Old = dynamic_cast<TComponent*>(FSelection)) Old->RemoveFreeNotification(FWatcher);
    FSelection = Instance;
    if (auto* New = dynamic_cast<TComponent*>(Instance)) New->FreeNotification(FWatcher);
}

std::string TdxBarDesigner::UniqueName(TComponent* Root, const std::string& Base) {
    for (int N = 1;; ++N) {
        std::string Name = Base + std::to_string(N);
        if (!Root || !Root->FindComponent(Name)) return Name;
    }
}

void TdxBarDesigner::Edit(TComponent* Component) {
    SelectComponent(Component);
}

TdxBarDesigner* dxBarDesigner() {
    return Designer().get();
}

std::unique_ptr<TdxBarDesigner> SetdxBarDesigner(std::unique_ptr<TdxBarDesigner> Value) {
    std::unique_ptr<TdxBarDesigner> Old = std::move(Designer());
    Designer() = Value ? std::move(Value) : std::make_unique<TdxBarDesigner>();
    return Old;
}
