#include <atomic>
#include <chrono>
#include <thread>

#include "netlib/ras/IpRas.h"
#include "netlib/ras/Limits.h"
#include "platform/core/Application.h"

namespace {

constexpr UINT_PTR kDiscTimerId = 1;
// Posted by the thread that lists the connections when it is done: it wakes the waiting loop.
constexpr UINT WM_RASLISTED = WM_USER + 1;

}  // namespace

TIpCustomRasDialer::TIpCustomRasDialer(void* owner)
    : TIpBaseComponent(owner),
      FHangupTimeoutMs(RasLimits::kHangupTimeoutMs),
      FHangupPauseMs(RasLimits::kHangupPauseMs) {
    IpRasAccess();
    FHandle = AllocateHWnd([this](TMessage& Msg) { WndProc(Msg); });
}

TIpCustomRasDialer::~TIpCustomRasDialer() {
    FDestroying = true;
    SetDiscTimer(false);
    try {
        if (FHangupOnDestroy && Access().IsLoaded()) Hangup();
    } catch (...) {
        // Nothing may escape a destructor; the line is left as it is.
    }
    if (FStatusDisplay && FStatusDisplay->FRasDialer == this) FStatusDisplay->FRasDialer = nullptr;
    if (FEntryNameCbx && FEntryNameCbx->FRasDialer == this) FEntryNameCbx->FRasDialer = nullptr;
    DeallocateHWnd(FHandle);
}

TIpRasAccess& TIpCustomRasDialer::Access() {
    return IpRasAccess();
}

void TIpCustomRasDialer::SetHangupWait(uint32_t TimeoutMs, uint32_t PauseMs) {
    FHangupTimeoutMs = TimeoutMs;
    FHangupPauseMs = PauseMs;
}

void TIpCustomRasDialer::SetDiscTimer(bool Enabled) {
    if (Enabled == FTimerEnabled) return;
    FTimerEnabled = Enabled;
    if (Enabled)
        SetTimer(FHandle, kDiscTimerId, RasLimits::kDiscTimerIntervalMs);
    else
        KillTimer(FHandle, kDiscTimerId);
}

void TIpCustomRasDialer::SetEntryNameCbx(TIpRasEntryComboBox* v) {
    if (v == FEntryNameCbx) return;
    if (FEntryNameCbx && FEntryNameCbx->FRasDialer == this) FEntryNameCbx->FRasDialer = nullptr;
    FEntryNameCbx = v;
    if (v && !v->FRasDialer) v->FRasDialer = this;
}

void TIpCustomRasDialer::SetStatusDisplay(TIpAbstractRasStatus* v) {
    if (v == FStatusDisplay) return;
    if (FStatusDisplay && FStatusDisplay->FRasDialer == this) FStatusDisplay->FRasDialer = nullptr;
    FStatusDisplay = v;
    if (v && !v->FRasDialer) v->FRasDialer = this;
}

// ---- Dialling and hanging up -----------------------------------------------------------------

int32_t TIpCustomRasDialer::Dial() {
    Hangup();
    HWND notifier = FDialMode == dmAsync ? FHandle : 0;
    FConnection = 0;
    if (FStatusDisplay) FStatusDisplay->StartStatus(FEntryName);

    FDialParams = {FEntryName, FPhoneNumber, FCallBackNumber, FUserName, FPassword, FDomain};
    TIpRasAccess& access = Access();
    const uint32_t options = FExtendedDialOptions.OptionsWord();
    uint32_t rc =
        access.RasDialA().Dial(access.PassesExtensions() ? &options : nullptr,
                               access.PhonebookArg(FPhonebook), FDialParams, notifier, FConnection);
    if (rc != 0) {
        // Only the line of this dial is ended: with no handle given out, GetConnection would
        // pick some other active connection of the system and cut it.
        HangupConnection(FConnection);
        return int32_t(rc);
    }
    SetDiscTimer(true);
    return 0;
}

void TIpCustomRasDialer::Hangup() {
    HangupConnection(GetConnection());
}

void TIpCustomRasDialer::HangupConnection(HRASCONN connection) {
    // The disconnect timer must not start another hang-up from the wait's messages.
    FHangingUp = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FHangingUp};
    Access().RasHangUpA().HangUp(connection);  // its result tells nothing the wait does not
    if (connection != 0 && !WaitForHangup(connection))
        DialupLog("Dial-up connection " + (FEntryName.empty() ? "(first)" : FEntryName) +
                  " did not end within " + std::to_string(FHangupTimeoutMs / 1000) +
                  " s of hanging up; giving up waiting");
    FConnection = 0;
    if (FStatusDisplay) FStatusDisplay->CloseStatus();
    if (!FDestroying) DoDisconnected();
}

// Asks for the hung-up connection itself, not for GetConnection anew: with no stored handle
// that would find the next active connection and wait for a line nobody hung up.
bool TIpCustomRasDialer::WaitForHangup(HRASCONN Connection) {
    TIpRasAccess& access = Access();
    const DWORD start = GetTickCount();
    for (;;) {
        TRasConnStatus status;
        if (access.RasGetConnectStatusA().GetConnectStatus(Connection, status) ==
            ERROR_INVALID_HANDLE)
            return true;
        if (GetTickCount() - start >= FHangupTimeoutMs) return false;
        Pause(FHangupPauseMs);
    }
}

// The program's windows paint and answer while the dialer waits for the dial-up service's
// commands (a hang-up, a listing that asks every entry's Status); only a dialer being destroyed,
// when its program is going, waits without handling messages.
void TIpCustomRasDialer::Pause(uint32_t Ms) {
    if (FDestroying) {
        std::this_thread::sleep_for(std::chrono::milliseconds(Ms));
        return;
    }
    Application.WaitForEvent(Ms);
    Application.ProcessMessages();
}

uint32_t TIpCustomRasDialer::EnumerateConnections(std::vector<TRasConnection>& Connections) {
    TDialupProvider& Provider = Access().RasEnumConnectionsA();
    if (FDestroying) return Provider.EnumConnections(Connections);
    const std::shared_ptr<TDialupProvider> Keep = Access().Provider();
    std::atomic<bool> Done{false};
    uint32_t Result = 0;
    std::vector<TRasConnection> Found;
    const HWND Notify = FHandle;
    std::thread Lister([&] {
        Result = Provider.EnumConnections(Found);
        Done = true;
        PostMessage(Notify, WM_RASLISTED, 0, 0);
    });
    while (!Done) Pause(RasLimits::kListWaitSliceMs);
    Lister.join();
    Connections = std::move(Found);
    return Result;
}

// ---- Connections and status ------------------------------------------------------------------

HRASCONN TIpCustomRasDialer::GetConnection() {
    if (FConnection != 0) return FConnection;
    std::vector<TRasConnection> connections;
    if (EnumerateConnections(connections) != 0) return 0;
    for (const auto& c : connections)
        if (FEntryName.empty() || c.EntryName == FEntryName) return c.Handle;
    return 0;
}

int32_t TIpCustomRasDialer::GetConnectStatus(TRasConnStatus& Status) {
    Status = {};
    return int32_t(Access().RasGetConnectStatusA().GetConnectStatus(GetConnection(), Status));
}

int32_t TIpCustomRasDialer::GetConnectState() {
    TRasConnStatus status;
    return GetConnectStatus(status) == 0 ? int32_t(status.State) : 0;
}

int32_t TIpCustomRasDialer::ListConnections(TStringList* List) {
    if (!List) return -1;
    List->Clear();
    std::vector<TRasConnection> connections;
    uint32_t rc = EnumerateConnections(connections);
    if (rc == 0)
        for (const auto& c : connections) List->Add(c.EntryName);
    return int32_t(rc);
}

int32_t TIpCustomRasDialer::ListEntries(TStringList* List) {
    if (!List) return -1;
    List->Clear();
    std::vector<std::string> names;
    TIpRasAccess& access = Access();
    uint32_t rc = access.RasEnumEntriesA().EnumEntries(access.PhonebookArg(FPhonebook), names);
    if (rc == 0)
        for (const auto& n : names) List->Add(n);
    return int32_t(rc);
}

// ---- Phonebook -------------------------------------------------------------------------------

int32_t TIpCustomRasDialer::CreatePhonebookEntry() {
    TIpRasAccess& access = Access();
    return int32_t(
        access.RasCreatePhonebookEntryA().CreatePhonebookEntry(0, access.PhonebookArg(FPhonebook)));
}

int32_t TIpCustomRasDialer::EditPhonebookEntry() {
    if (FEntryName.empty()) return int32_t(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    TIpRasAccess& access = Access();
    return int32_t(access.RasEditPhonebookEntryA().EditPhonebookEntry(
        0, access.PhonebookArg(FPhonebook), FEntryName));
}

int32_t TIpCustomRasDialer::GetDialParameters() {
    if (FEntryName.empty()) return int32_t(ERROR_CANNOT_FIND_PHONEBOOK_ENTRY);
    FDialParams = {};
    FDialParams.EntryName = FEntryName;
    bool passwordStored = false;
    TIpRasAccess& access = Access();
    uint32_t rc = access.RasGetEntryDialParamsA().GetEntryDialParams(
        access.PhonebookArg(FPhonebook), FDialParams, passwordStored);
    if (rc != 0) return int32_t(rc);
    FPhoneNumber = FDialParams.PhoneNumber;
    FCallBackNumber = FDialParams.CallbackNumber;
    FUserName = FDialParams.UserName;
    FDomain = FDialParams.Domain;
    FPassword = passwordStored ? FDialParams.Password : std::string();
    return 0;
}

std::string TIpCustomRasDialer::GetErrorText(int32_t Code) {
    std::string text;
    if (Access().RasGetErrorStringA().GetErrorString(uint32_t(Code), text) != 0) return {};
    if (text.size() > RasLimits::kMaxErrorText) text.resize(RasLimits::kMaxErrorText);
    return text;
}

// ---- Events ----------------------------------------------------------------------------------

void TIpCustomRasDialer::WndProc(TMessage& Msg) {
    if (Msg.Msg == FRasDialEventMsg) {
        if (Msg.LParam != 0)
            DoDialError(int32_t(Msg.LParam));
        else
            DoDialStatus(int32_t(Msg.WParam));
    } else if (Msg.Msg == WM_QUERYENDSESSION) {
        Msg.Result = 1;
    } else if (Msg.Msg == WM_TIMER && Msg.WParam == kDiscTimerId) {
        if (FTimerEnabled && !FHangingUp) DiscTimerTick();
    }
}

void TIpCustomRasDialer::DoDialStatus(int32_t State) {
    if (State == int32_t(RASCS_Connected)) {
        DoConnected();
        return;
    }
    if (State == int32_t(RASCS_Disconnected)) {
        DoDisconnected();
        return;
    }
    if (FStatusDisplay)
        FStatusDisplay->UpdateStatus(State == int32_t(RASCS_ConnectDevice)
                                         ? "Dialing " + FPhoneNumber
                                         : GetStatusText(State));
    if (OnDialStatus) OnDialStatus(this, State);
}

void TIpCustomRasDialer::DoConnected() {
    if (FStatusDisplay) FStatusDisplay->CloseStatus();
    if (OnConnected) OnConnected(this);
}

void TIpCustomRasDialer::DoDialError(int32_t Error) {
    if (FStatusDisplay) FStatusDisplay->UpdateStatus(GetErrorText(Error));
    if (OnDialError) OnDialError(this, Error);
    Hangup();
}

void TIpCustomRasDialer::DoDisconnected() {
    SetDiscTimer(false);
    if (FStatusDisplay) FStatusDisplay->CloseStatus();
    if (OnDisconnected) OnDisconnected(this);
}

void TIpCustomRasDialer::DiscTimerTick() {
    if (GetConnectState() == int32_t(RASCS_Disconnected)) Hangup();
}

// ---- TIpRasDialer ----------------------------------------------------------------------------

void TIpRasDialer::SetEntryName(const std::string& v) {
    TIpCustomRasDialer::SetEntryName(v);
    if (GetDialParameters() != 0 || !EntryNameCbx()) return;
    TIpRasEntryComboBox* cbx = EntryNameCbx();
    cbx->SetItemIndex(cbx->Items().IndexOf(v));
    if (cbx->OnChange) cbx->OnChange(cbx);
}
