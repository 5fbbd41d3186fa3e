#pragma once
// A scripted dial-up provider for tests: an in-memory phonebook, dial outcomes given per entry
// (progress states, each after a delay, then success or an error), hang-ups that take a number
// of status polls, connections made outside the program, lines that drop, and a log of the
// calls made. Everything but a dial with delays runs on the caller's thread; a dial with
// delays posts its states from a worker thread.
#include <map>
#include <memory>
#include <mutex>

#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Workers.h"

class TSimDialupProvider : public TDialupProvider {
  public:
    struct TStep {
        uint32_t State = 0;
        uint32_t DelayMs = 0;  // before the state is reported
    };
    struct TDialScript {
        std::vector<TStep> Steps{{RASCS_OpenPort},      {RASCS_PortOpened},
                                 {RASCS_ConnectDevice}, {RASCS_DeviceConnected},
                                 {RASCS_Authenticate},  {RASCS_Authenticated}};
        // Reported after the steps instead of success (with the last step's state).
        uint32_t Error = 0;
        // Returned by the dial call itself (nothing is posted, but a handle is given out).
        uint32_t ImmediateError = 0;
    };

    TSimDialupProvider() = default;
    ~TSimDialupProvider() override;

    void AddEntry(const TRasDialParams& params, bool passwordStored = false);
    void SetDialScript(const std::string& entry, const TDialScript& script);
    // A connection the program did not dial; it is up.
    HRASCONN AddConnection(const std::string& entry);
    // The line of the connection drops: its state becomes RASCS_Disconnected.
    void DropLine(HRASCONN connection);
    // After HangUp, GetConnectStatus still finds the connection this many times (-1: forever).
    void SetHangupPolls(int polls) { FHangupPolls = polls; }
    void SetPhonebookDialogResult(uint32_t result) { FDialogResult = result; }

    // One line per call, e.g. "Dial isp async phonebook=- options=-", "HangUp 3",
    // "EnumEntries phonebook=/x.pbk".
    std::vector<std::string> Calls();
    void ClearCalls();
    // The parameters of the last dial.
    TRasDialParams LastDialParams();
    // Live connections (hung-up ones disappear once their polls are used up).
    int ConnectionCount();
    // The connection's state, or -1 when it is gone.
    int64_t ConnectionState(HRASCONN connection);

    std::string Name() const override { return "sim"; }
    uint32_t Dial(const uint32_t* options, const std::string* phonebook,
                  const TRasDialParams& params, HWND notifier, HRASCONN& connection) override;
    uint32_t HangUp(HRASCONN connection) override;
    uint32_t GetConnectStatus(HRASCONN connection, TRasConnStatus& status) override;
    uint32_t EnumConnections(std::vector<TRasConnection>& connections) override;
    uint32_t EnumEntries(const std::string* phonebook, std::vector<std::string>& names) override;
    uint32_t GetEntryDialParams(const std::string* phonebook, TRasDialParams& params,
                                bool& passwordStored) override;
    uint32_t GetErrorString(uint32_t code, std::string& text) override;
    uint32_t CreatePhonebookEntry(HWND parent, const std::string* phonebook) override;
    uint32_t EditPhonebookEntry(HWND parent, const std::string* phonebook,
                                const std::string& entryName) override;

  private:
    struct TEntry {
        TRasDialParams Params;
        bool PasswordStored = false;
    };
    struct TConn {
        std::string Entry;
        uint32_t State = 0;
        uint32_t Error = 0;
        int PollsLeft = -2;  // -2: not being hung up
        TWorkerSet::TCancelFlag Cancel;
    };
    void Log(const std::string& line);
    const TEntry* FindEntry(const std::string& name) const;

    std::mutex FMutex;
    std::vector<TEntry> FEntries;
    std::map<std::string, TDialScript> FScripts;
    std::map<HRASCONN, TConn> FConns;
    HRASCONN FNextHandle = 1;
    int FHangupPolls = 0;
    uint32_t FDialogResult = 0;
    std::vector<std::string> FCalls;
    TRasDialParams FLastDial;
    TWorkerSet FWorkers;
};
