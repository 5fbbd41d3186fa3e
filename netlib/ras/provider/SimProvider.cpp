#include "netlib/ras/provider/SimProvider.h"

namespace {

std::string Arg(const std::string* s) {
    return s ? *s : "-";
}

}  // namespace

TSimDialupProvider::~TSimDialupProvider() {
    FWorkers.StopAll();
}

void TSimDialupProvider::Log(const std::string& line) {
    std::lock_guard<std::mutex> lock(FMutex);
    FCalls.push_back(line);
}

const TSimDialupProvider::TEntry* TSimDialupProvider::FindEntry(const std::string& name) const {
    for (const auto& e : FEntries)
        if (e.Params.EntryName == name) return &e;
    return nullptr;
}

void TSimDialupProvider::AddEntry(const TRasDialParams& params, bool passwordStored) {
    std::lock_guard<std::mutex> lock(FMutex);
    FEntries.push_back({params, passwordStored});
}

void TSimDialupProvider::SetDialScript(const std::string& entry, const TDialScript& script) {
    std::lock_guard<std::mutex> lock(FMutex);
    FScripts[entry] = script;
}

HRASCONN TSimDialupProvider::AddConnection(const std::string& entry) {
    std::lock_guard<std::mutex> lock(FMutex);
    HRASCONN h = FNextHandle++;
    FConns[h] = {entry, RASCS_Connected, 0, -2, nullptr};
    return h;
}

void TSimDialupProvider::DropLine(HRASCONN connection) {
    std::lock_guard<std::mutex> lock(FMutex);
    auto it = FConns.find(connection);
    if (it != FConns.end()) it->second.State = RASCS_Disconnected;
}

std::vector<std::string> TSimDialupProvider::Calls() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FCalls;
}

void TSimDialupProvider::ClearCalls() {
    std::lock_guard<std::mutex> lock(FMutex);
    FCalls.clear();
}

TRasDialParams TSimDialupProvider::LastDialParams() {
    std::lock_guard<std::mutex> lock(FMutex);
    return FLastDial;
}

int TSimDialupProvider::ConnectionCount() {
    std::lock_guard<std::mutex> lock(FMutex);
    return int(FConns.size());
}

int64_t TSimDialupProvider::ConnectionState(HRASCONN connection) {
    std::lock_guard<std::mutex> lock(FMutex);
    auto it = FConns.find(connection);
    return it == FConns.end() ? -1 : int64_t(it->second.State);
}

uint32_t TSimDialupProvider::Dial(const uint32_t* options, const std::string* phonebook,
                                  const TRasDialParams& params, HWND notifier,
                                  HRASCONN& connection) {
    Log("Dial " + params.EntryName + (notifier ? " async" : " sync") + " phonebook=" +
        Arg(phonebook) + " options=" + (options ? std::to_string(*options) : std::string("-")));
    TDialScript script;
    HRASCONN h = 0;
    {
        std::lock_guard<std::mutex> lock(FMutex);
        FLastDial = params;
        if (!FindEntry(params.EntryName)) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
        auto it = FScripts.find(params.EntryName);
        if (it != FScripts.end()) script = it->second;
        h = FNextHandle++;
        FConns[h] = {params.EntryName, RASCS_OpenPort, 0, -2, nullptr};
    }
    connection = h;
    if (script.ImmediateError) return script.ImmediateError;

    // Records a state; false once the connection was hung up.
    auto step = [this, h](uint32_t state, uint32_t error) {
        std::lock_guard<std::mutex> lock(FMutex);
        auto it = FConns.find(h);
        if (it == FConns.end() || it->second.PollsLeft != -2) return false;
        if (error == 0) it->second.State = state;
        it->second.Error = error;
        return true;
    };
    auto run = [step, script, notifier](const std::atomic<bool>& cancel) {
        uint32_t last = RASCS_OpenPort;
        for (const TStep& s : script.Steps) {
            if (s.DelayMs && !CancellableWait(s.DelayMs, cancel)) return ERROR_USER_DISCONNECTION;
            if (!step(s.State, 0)) return ERROR_USER_DISCONNECTION;
            if (notifier) PostMessage(notifier, WM_RASDIALEVENT, s.State, 0);
            last = s.State;
        }
        uint32_t state = script.Error ? last : RASCS_Connected;
        if (!step(state, script.Error)) return ERROR_USER_DISCONNECTION;
        if (notifier) PostMessage(notifier, WM_RASDIALEVENT, state, LPARAM(script.Error));
        return script.Error;
    };
    bool delayed = false;
    for (const TStep& s : script.Steps) delayed = delayed || s.DelayMs > 0;
    if (!notifier || !delayed) {
        std::atomic<bool> never{false};
        uint32_t rc = run(never);
        return notifier ? 0 : rc;
    }
    auto cancel = FWorkers.Start([run](const std::atomic<bool>& stop) { run(stop); });
    std::lock_guard<std::mutex> lock(FMutex);
    auto it = FConns.find(h);
    if (it != FConns.end()) it->second.Cancel = cancel;
    return 0;
}

uint32_t TSimDialupProvider::HangUp(HRASCONN connection) {
    Log("HangUp " + std::to_string(connection));
    std::lock_guard<std::mutex> lock(FMutex);
    auto it = FConns.find(connection);
    if (it == FConns.end()) return ERROR_INVALID_HANDLE;
    if (it->second.Cancel) it->second.Cancel->store(true);
    if (it->second.PollsLeft != -2) return 0;
    if (FHangupPolls == 0)
        FConns.erase(it);
    else
        it->second.PollsLeft = FHangupPolls;
    return 0;
}

uint32_t TSimDialupProvider::GetConnectStatus(HRASCONN connection, TRasConnStatus& status) {
    std::lock_guard<std::mutex> lock(FMutex);
    FCalls.push_back("GetConnectStatus " + std::to_string(connection));
    auto it = FConns.find(connection);
    if (it == FConns.end()) return ERROR_INVALID_HANDLE;
    TConn& c = it->second;
    if (c.PollsLeft == 0) {
        FConns.erase(it);
        return ERROR_INVALID_HANDLE;
    }
    if (c.PollsLeft > 0) --c.PollsLeft;
    status.State = c.State;
    status.Error = c.Error;
    return 0;
}

uint32_t TSimDialupProvider::EnumConnections(std::vector<TRasConnection>& connections) {
    std::lock_guard<std::mutex> lock(FMutex);
    FCalls.push_back("EnumConnections");
    connections.clear();
    for (const auto& [h, c] : FConns) connections.push_back({h, c.Entry});
    return 0;
}

uint32_t TSimDialupProvider::EnumEntries(const std::string* phonebook,
                                         std::vector<std::string>& names) {
    Log("EnumEntries phonebook=" + Arg(phonebook));
    std::lock_guard<std::mutex> lock(FMutex);
    names.clear();
    for (const auto& e : FEntries) names.push_back(e.Params.EntryName);
    return 0;
}

uint32_t TSimDialupProvider::GetEntryDialParams(const std::string* phonebook,
                                                TRasDialParams& params, bool& passwordStored) {
    Log("GetEntryDialParams " + params.EntryName + " phonebook=" + Arg(phonebook));
    std::lock_guard<std::mutex> lock(FMutex);
    const TEntry* e = FindEntry(params.EntryName);
    passwordStored = false;
    if (!e) return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    params = e->Params;
    if (!e->PasswordStored) params.Password.clear();
    passwordStored = e->PasswordStored;
    return 0;
}

uint32_t TSimDialupProvider::GetErrorString(uint32_t code, std::string& text) {
    text = RasErrorText(code);
    return text.empty() ? ERROR_INVALID_PARAMETER : 0;
}

uint32_t TSimDialupProvider::CreatePhonebookEntry(HWND, const std::string* phonebook) {
    Log("CreatePhonebookEntry phonebook=" + Arg(phonebook));
    return FDialogResult;
}

uint32_t TSimDialupProvider::EditPhonebookEntry(HWND, const std::string* phonebook,
                                                const std::string& entryName) {
    Log("EditPhonebookEntry " + entryName + " phonebook=" + Arg(phonebook));
    return FDialogResult;
}
