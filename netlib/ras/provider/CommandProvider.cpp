#include "netlib/ras/provider/CommandProvider.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <thread>
#include <utility>

#include "netlib/ras/provider/Limits.h"
#include "netlib/ras/provider/ShellCommand.h"

struct TCommandDialupConn {
    HRASCONN Handle = 0;
    TPhonebookEntry Def;
    uint32_t State = RASCS_OpenPort;
    uint32_t Error = 0;
    bool Dialing = false;
    bool HangingUp = false;
    bool StatusRunning = false;
    uint32_t LastStatusTick = 0;
    TWorkerSet::TCancelFlag DialCancel;
};

struct TCommandDialupShared {
    std::mutex Mutex;
    std::map<HRASCONN, TCommandDialupConn> Conns;
    // The detail of the last failure per result code, for the error text.
    std::map<uint32_t, std::string> Details;
    HRASCONN NextHandle = 1;

    // The connection of the entry that is neither hung up nor being hung up. Mutex held.
    TCommandDialupConn* Live(const std::string& entry) {
        for (auto& [h, c] : Conns)
            if (c.Def.Name == entry && !c.HangingUp) return &c;
        return nullptr;
    }
    // Mutex held.
    TCommandDialupConn& Add(const TPhonebookEntry& def, uint32_t state) {
        HRASCONN h = NextHandle++;
        TCommandDialupConn& c = Conns[h];
        c.Handle = h;
        c.Def = def;
        c.State = state;
        return c;
    }
};

namespace {

using TShared = TCommandDialupShared;

uint32_t TimeoutMs(const TPhonebookEntry& def) {
    return std::max<uint32_t>(def.TimeoutSeconds, 1) * 1000;
}

std::vector<std::string> EntryEnvironment(const TPhonebookEntry& def,
                                          const TRasDialParams* params) {
    auto pick = [](const std::string* given, const std::string& stored) {
        return given && !given->empty() ? *given : stored;
    };
    return CommandEnvironment({
        "KESTRO_RAS_ENTRY=" + def.Name,
        "KESTRO_RAS_PHONE=" + pick(params ? &params->PhoneNumber : nullptr, def.PhoneNumber),
        "KESTRO_RAS_USER=" + pick(params ? &params->UserName : nullptr, def.UserName),
        "KESTRO_RAS_DOMAIN=" + pick(params ? &params->Domain : nullptr, def.Domain),
        "KESTRO_RAS_CALLBACK=" +
            pick(params ? &params->CallbackNumber : nullptr, def.CallbackNumber),
    });
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

// What a failed command said, as one sentence for the error text and the log.
std::string CommandFailure(const char* what, const TShellResult& r, uint32_t timeoutMs) {
    std::string text = std::string(what) + " command ";
    if (!r.Started) return text + "could not be started: " + r.StartError + ".";
    if (r.TimedOut)
        text += "did not end within " + std::to_string(timeoutMs / 1000) + " s";
    else
        text += "exited with code " + std::to_string(r.ExitCode);
    std::string last = r.LastLine();
    return last.empty() ? text + "." : text + ": " + last;
}

// One dial of an entry from open port to connected or failed: runs on a worker thread for an
// asynchronous dial (notifier set), on the caller's for a synchronous one. Returns the result.
uint32_t RunDial(TShared& shared, HRASCONN h, const TPhonebookEntry& def,
                 const std::vector<std::string>& env, const std::string& password, HWND notifier,
                 const std::atomic<bool>& cancel) {
    // Records the state and posts it; false once the dial was hung up meanwhile.
    auto report = [&](uint32_t state, uint32_t error) {
        {
            std::lock_guard<std::mutex> lock(shared.Mutex);
            auto it = shared.Conns.find(h);
            if (cancel.load() || it == shared.Conns.end() || it->second.HangingUp) return false;
            if (error == 0) it->second.State = state;
            it->second.Error = error;
            if (error != 0 || state == RASCS_Connected) it->second.Dialing = false;
        }
        if (notifier) PostMessage(notifier, WM_RASDIALEVENT, state, LPARAM(error));
        return true;
    };
    uint32_t lastState = RASCS_OpenPort;
    auto fail = [&](uint32_t code, const std::string& detail) {
        {
            std::lock_guard<std::mutex> lock(shared.Mutex);
            shared.Details[code] = detail;
        }
        DialupLog("Dial-up entry " + Quoted(def.Name) + ": " + detail);
        report(lastState, code);
        return code;
    };
    for (uint32_t state : {RASCS_OpenPort, RASCS_PortOpened, RASCS_ConnectDevice}) {
        if (!report(state, 0)) return ERROR_USER_DISCONNECTION;
        lastState = state;
    }
    if (!def.Connect.empty()) {
        std::string input = password.empty() ? "" : password + "\n";
        TShellResult r = RunShellCommand(def.Connect, input, env, TimeoutMs(def), &cancel);
        if (r.Cancelled) return ERROR_USER_DISCONNECTION;
        if (!r.Succeeded())
            return fail(r.TimedOut ? ERROR_REQUEST_TIMEOUT : ERROR_FROM_DEVICE,
                        CommandFailure("Connect", r, TimeoutMs(def)));
        if (!report(RASCS_DeviceConnected, 0)) return ERROR_USER_DISCONNECTION;
        lastState = RASCS_DeviceConnected;
        if (!def.Status.empty()) {
            TShellResult s = RunShellCommand(def.Status, "", env, TimeoutMs(def), &cancel);
            if (s.Cancelled) return ERROR_USER_DISCONNECTION;
            if (!s.Succeeded())
                return fail(ERROR_NO_ANSWER, "Connect succeeded, but the " +
                                                 CommandFailure("Status", s, TimeoutMs(def)));
        }
    }
    if (!report(RASCS_Connected, 0)) return ERROR_USER_DISCONNECTION;
    return 0;
}

}  // namespace

TCommandDialupProvider::TCommandDialupProvider() : FShared(std::make_shared<TShared>()) {}

TCommandDialupProvider::~TCommandDialupProvider() {
    FWorkers.StopAll();
}

uint32_t TCommandDialupProvider::LoadPhonebook(const std::string* phonebook, TPhonebook& book,
                                               std::string& path) {
    path = PhonebookPath(phonebook);
    std::string error;
    if (book.Read(path, error) == TPhonebookRead::Unreadable) {
        DialupLog("Phonebook file " + path + " cannot be read: " + error);
        return ERROR_CANNOT_OPEN_PHONEBOOK;
    }
    return 0;
}

uint32_t TCommandDialupProvider::LoadEntry(const std::string* phonebook,
                                           const std::string& entryName, TPhonebook& book,
                                           const TPhonebookEntry*& entry) {
    std::string path;
    if (uint32_t rc = LoadPhonebook(phonebook, book, path)) return rc;
    entry = book.Find(entryName);
    if (!entry) {
        DialupLog("Dial-up entry " + Quoted(entryName) + " not found in phonebook file " + path);
        return ERROR_CANNOT_FIND_PHONEBOOK_ENTRY;
    }
    return 0;
}

uint32_t TCommandDialupProvider::Dial(const uint32_t*, const std::string* phonebook,
                                      const TRasDialParams& params, HWND notifier,
                                      HRASCONN& connection) {
    TPhonebook book;
    const TPhonebookEntry* def = nullptr;
    if (uint32_t rc = LoadEntry(phonebook, params.EntryName, book, def)) return rc;
    std::string password = params.Password.empty() ? def->Password : params.Password;
    if (password.size() > DialupLimits::kMaxPasswordLength) return ERROR_INVALID_PARAMETER;
    std::vector<std::string> env = EntryEnvironment(*def, &params);

    HRASCONN h = 0;
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        if (TCommandDialupConn* c = FShared->Live(def->Name)) {
            if (c->Dialing) return ERROR_PORT_ALREADY_OPEN;
            if (c->State == RASCS_Connected) {
                // Already up: hand out the line that is there.
                connection = c->Handle;
                if (notifier) PostMessage(notifier, WM_RASDIALEVENT, RASCS_Connected, 0);
                return 0;
            }
            FShared->Conns.erase(c->Handle);  // a dropped line; dial it anew
        }
        TCommandDialupConn& c = FShared->Add(*def, RASCS_OpenPort);
        c.Dialing = true;
        h = c.Handle;
    }
    connection = h;
    if (!notifier) {
        std::atomic<bool> never{false};
        return RunDial(*FShared, h, *def, env, password, 0, never);
    }
    auto shared = FShared;
    TPhonebookEntry copy = *def;
    auto cancel = FWorkers.Start([shared, h, copy, env, password, notifier](auto& stop) {
        RunDial(*shared, h, copy, env, password, notifier, stop);
    });
    std::lock_guard<std::mutex> lock(FShared->Mutex);
    auto it = FShared->Conns.find(h);
    if (it != FShared->Conns.end()) it->second.DialCancel = cancel;
    return 0;
}

uint32_t TCommandDialupProvider::HangUp(HRASCONN connection) {
    TPhonebookEntry def;
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        auto it = FShared->Conns.find(connection);
        if (it == FShared->Conns.end()) return ERROR_INVALID_HANDLE;
        TCommandDialupConn& c = it->second;
        if (c.HangingUp) return 0;
        c.HangingUp = true;
        if (c.DialCancel) c.DialCancel->store(true);
        if (c.Def.Disconnect.empty()) {
            FShared->Conns.erase(it);
            return 0;
        }
        def = c.Def;
    }
    auto shared = FShared;
    std::vector<std::string> env = EntryEnvironment(def, nullptr);
    FWorkers.Start([shared, connection, def, env](auto& stop) {
        TShellResult r = RunShellCommand(def.Disconnect, "", env, TimeoutMs(def), &stop);
        if (!r.Succeeded() && !r.Cancelled)
            DialupLog("Dial-up entry " + Quoted(def.Name) + ": " +
                      CommandFailure("Disconnect", r, TimeoutMs(def)));
        std::lock_guard<std::mutex> lock(shared->Mutex);
        shared->Conns.erase(connection);
    });
    return 0;
}

uint32_t TCommandDialupProvider::GetConnectStatus(HRASCONN connection, TRasConnStatus& status) {
    std::unique_lock<std::mutex> lock(FShared->Mutex);
    auto it = FShared->Conns.find(connection);
    if (it == FShared->Conns.end()) return ERROR_INVALID_HANDLE;
    TCommandDialupConn& c = it->second;
    status.State = c.State;
    status.Error = c.Error;
    const uint32_t now = GetTickCount();
    if (c.HangingUp || c.Dialing || c.State != RASCS_Connected || c.Def.Status.empty() ||
        c.StatusRunning || now - c.LastStatusTick < DialupLimits::kStatusRefreshMs)
        return 0;
    // Ask Status in the background; a line found down shows on a later call.
    c.StatusRunning = true;
    c.LastStatusTick = now;
    TPhonebookEntry def = c.Def;
    lock.unlock();
    auto shared = FShared;
    std::vector<std::string> env = EntryEnvironment(def, nullptr);
    FWorkers.Start([shared, connection, def, env](auto& stop) {
        TShellResult r = RunShellCommand(def.Status, "", env, TimeoutMs(def), &stop);
        std::lock_guard<std::mutex> lock(shared->Mutex);
        auto it = shared->Conns.find(connection);
        if (it == shared->Conns.end()) return;
        it->second.StatusRunning = false;
        if (r.Cancelled || r.Succeeded() || it->second.HangingUp ||
            it->second.State != RASCS_Connected)
            return;
        it->second.State = RASCS_Disconnected;
        DialupLog("Dial-up entry " + Quoted(def.Name) + ": the line is down (" +
                  CommandFailure("Status", r, TimeoutMs(def)) + ")");
    });
    return 0;
}

uint32_t TCommandDialupProvider::EnumConnections(std::vector<TRasConnection>& connections) {
    connections.clear();
    TPhonebook book;
    std::string path;
    if (uint32_t rc = LoadPhonebook(nullptr, book, path)) return rc;
    const auto& entries = book.Entries();

    // 1 up, 0 down, -1 ask Status.
    std::vector<int> up(entries.size(), 0);
    {
        std::lock_guard<std::mutex> lock(FShared->Mutex);
        for (size_t i = 0; i < entries.size(); ++i) {
            const TCommandDialupConn* c = FShared->Live(entries[i].Name);
            if (c && c->Dialing)
                up[i] = 1;
            else if (entries[i].Connect.empty() && entries[i].Status.empty())
                up[i] = 1;
            else if (entries[i].Status.empty())
                up[i] = c && c->State == RASCS_Connected;
            else
                up[i] = -1;
        }
    }
    std::vector<size_t> ask;
    for (size_t i = 0; i < entries.size(); ++i)
        if (up[i] < 0) ask.push_back(i);
    std::vector<std::vector<std::string>> envs;
    for (size_t i : ask) envs.push_back(EntryEnvironment(entries[i], nullptr));
    for (size_t from = 0; from < ask.size(); from += DialupLimits::kParallelStatusCommands) {
        size_t to = std::min(ask.size(), from + DialupLimits::kParallelStatusCommands);
        std::vector<std::thread> batch;
        for (size_t k = from; k < to; ++k)
            batch.emplace_back([&, k] {
                const TPhonebookEntry& e = entries[ask[k]];
                up[ask[k]] =
                    RunShellCommand(e.Status, "", envs[k], TimeoutMs(e), nullptr).Succeeded();
            });
        for (auto& t : batch) t.join();
    }

    std::lock_guard<std::mutex> lock(FShared->Mutex);
    std::set<std::string> seen;
    for (size_t i = 0; i < entries.size(); ++i) {
        seen.insert(entries[i].Name);
        TCommandDialupConn* c = FShared->Live(entries[i].Name);
        if (!up[i]) {
            if (c && c->State == RASCS_Connected && !c->Dialing) c->State = RASCS_Disconnected;
            continue;
        }
        if (!c) c = &FShared->Add(entries[i], RASCS_Connected);
        connections.push_back({c->Handle, entries[i].Name});
    }
    // Own dials of entries from another phonebook file.
    for (auto& [h, c] : FShared->Conns)
        if (!c.HangingUp && !seen.count(c.Def.Name) && (c.Dialing || c.State == RASCS_Connected))
            connections.push_back({h, c.Def.Name});
    return 0;
}

uint32_t TCommandDialupProvider::EnumEntries(const std::string* phonebook,
                                             std::vector<std::string>& names) {
    names.clear();
    TPhonebook book;
    std::string path;
    if (uint32_t rc = LoadPhonebook(phonebook, book, path)) return rc;
    for (const auto& e : book.Entries()) names.push_back(e.Name);
    return 0;
}

uint32_t TCommandDialupProvider::GetEntryDialParams(const std::string* phonebook,
                                                    TRasDialParams& params, bool& passwordStored) {
    TPhonebook book;
    const TPhonebookEntry* def = nullptr;
    passwordStored = false;
    if (uint32_t rc = LoadEntry(phonebook, params.EntryName, book, def)) return rc;
    params.PhoneNumber = def->PhoneNumber;
    params.CallbackNumber = def->CallbackNumber;
    params.UserName = def->UserName;
    params.Domain = def->Domain;
    params.Password = def->HasPassword ? def->Password : "";
    passwordStored = def->HasPassword;
    return 0;
}

uint32_t TCommandDialupProvider::GetErrorString(uint32_t code, std::string& text) {
    text = RasErrorText(code);
    if (text.empty()) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> lock(FShared->Mutex);
    auto it = FShared->Details.find(code);
    if (it != FShared->Details.end()) text += " " + it->second;
    return 0;
}

namespace {
TPhonebookEditor& PhonebookEditor() {
    static TPhonebookEditor editor;
    return editor;
}
}  // namespace

TPhonebookEditor SetPhonebookEditor(TPhonebookEditor editor) {
    return std::exchange(PhonebookEditor(), std::move(editor));
}

uint32_t TCommandDialupProvider::CreatePhonebookEntry(HWND parent, const std::string* phonebook) {
    const std::string path = PhonebookPath(phonebook);
    if (const TPhonebookEditor& editor = PhonebookEditor()) return editor(parent, path, nullptr);
    DialupLog("Dial-up entries are defined in the phonebook file " + path);
    return ERROR_CALL_NOT_IMPLEMENTED;
}

uint32_t TCommandDialupProvider::EditPhonebookEntry(HWND parent, const std::string* phonebook,
                                                    const std::string& entryName) {
    const TPhonebookEditor& editor = PhonebookEditor();
    if (!editor) {
        DialupLog("Dial-up entry " + Quoted(entryName) + " is edited in the phonebook file " +
                  PhonebookPath(phonebook));
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
    TPhonebook book;
    const TPhonebookEntry* entry = nullptr;
    if (uint32_t rc = LoadEntry(phonebook, entryName, book, entry)) return rc;
    return editor(parent, PhonebookPath(phonebook), &entry->Name);
}
