#include "netlib/ras/IpRas.h"

namespace {

std::unique_ptr<TIpRasAccess>& GlobalAccess() {
    static std::unique_ptr<TIpRasAccess> access;
    return access;
}

}  // namespace

// ---- TIpRasAccess ----------------------------------------------------------------------------

TIpRasAccess::TIpRasAccess() : TIpRasAccess(std::shared_ptr(CreateDefaultDialupProvider())) {}

TIpRasAccess::TIpRasAccess(std::shared_ptr<TDialupProvider> provider) {
    SetProvider(std::move(provider));
}

TIpRasAccess::~TIpRasAccess() = default;

bool TIpRasAccess::IsLoaded() {
    Lock();
    bool loaded = FProvider != nullptr;
    Unlock();
    return loaded;
}

void TIpRasAccess::SetProvider(std::shared_ptr<TDialupProvider> provider) {
    Lock();
    FProvider = std::move(provider);
    FModule = FProvider ? 1 : 0;
    Unlock();
}

std::shared_ptr<TDialupProvider> TIpRasAccess::Provider() {
    Lock();
    auto provider = FProvider;
    Unlock();
    return provider;
}

TDialupProvider& TIpRasAccess::Bind(const char* name) {
    Lock();
    TDialupProvider* provider = FProvider.get();
    Unlock();
    if (!provider) throw EIpAccessException(name, "no dial-up provider (see KESTRO_RAS_PROVIDER)");
    return *provider;
}

const std::string* TIpRasAccess::PhonebookArg(const std::string& phonebook) const {
    return FPlatformId == VER_PLATFORM_WIN32_NT && !phonebook.empty() ? &phonebook : nullptr;
}

TIpRasAccess& IpRasAccess() {
    if (!GlobalAccess()) GlobalAccess() = std::make_unique<TIpRasAccess>();
    return *GlobalAccess();
}

TIpRasAccess* IpRasAccessIfMade() {
    return GlobalAccess().get();
}

// ---- TIpAbstractRasStatus --------------------------------------------------------------------

TIpAbstractRasStatus::TIpAbstractRasStatus(void* owner) : TIpBaseComponent(owner) {}

TIpAbstractRasStatus::~TIpAbstractRasStatus() {
    // A descendant's part is gone by now; its own destructor closes its form.
    if (FRasDialer && FRasDialer->FStatusDisplay == this) FRasDialer->FStatusDisplay = nullptr;
}

void TIpAbstractRasStatus::SetCtl3D(bool value) {
    if (value == FCtl3D) return;
    FCtl3D = value;
    if (HasStatusForm()) StatusFormChanged();
}

void TIpAbstractRasStatus::SetPosition(TPosition value) {
    if (value == FPosition) return;
    FPosition = value;
    if (HasStatusForm()) StatusFormChanged();
}

void TIpAbstractRasStatus::SetRasDialer(TIpCustomRasDialer* dialer) {
    if (dialer == FRasDialer) return;
    if (FRasDialer && FRasDialer->FStatusDisplay == this) FRasDialer->FStatusDisplay = nullptr;
    FRasDialer = dialer;
    if (dialer && !dialer->FStatusDisplay) dialer->FStatusDisplay = this;
}

// ---- TIpRasEntryComboBox ---------------------------------------------------------------------

TIpRasEntryComboBox::~TIpRasEntryComboBox() {
    SetRasDialer(nullptr);
}

void TIpRasEntryComboBox::SetItemIndex(int index) {
    FItemIndex = index >= 0 && index < FItems.Count() ? index : -1;
}

std::string TIpRasEntryComboBox::Text() const {
    return FItemIndex >= 0 && FItemIndex < FItems.Count() ? FItems[FItemIndex] : std::string();
}

void TIpRasEntryComboBox::SetRasDialer(TIpCustomRasDialer* dialer) {
    if (dialer == FRasDialer) return;
    if (FRasDialer && FRasDialer->FEntryNameCbx == this) FRasDialer->FEntryNameCbx = nullptr;
    FRasDialer = dialer;
    if (dialer && !dialer->FEntryNameCbx) dialer->FEntryNameCbx = this;
}

void TIpRasEntryComboBox::Change() {
    if (FRasDialer) FRasDialer->SetEntryName(Text());
    if (OnChange) OnChange(this);
}

void TIpRasEntryComboBox::DropDown() {
    Refresh();
    if (OnDropDown) OnDropDown(this);
}

void TIpRasEntryComboBox::Refresh() {
    if (!FRasDialer) return;
    std::string selected = Text();
    FItems.Clear();
    FRasDialer->ListEntries(&FItems);
    // The list was rebuilt: keep the chosen entry chosen when it is still there.
    FItemIndex = selected.empty() ? -1 : FItems.IndexOf(selected);
}
