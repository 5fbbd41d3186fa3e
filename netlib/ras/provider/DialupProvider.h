#pragma once
// The dial-up service of this system: the nine operations the dialer needs (dial, hang up,
// connection status, connection and entry lists, an entry's dial parameters, error texts and the
// two phonebook dialogs), and the choice of the provider that carries them out.
//
// Providers:
//   "command" (the default): entries in an INI phonebook whose Connect, Disconnect and Status
//             shell commands do the work (see CommandProvider.h).
//   "sim":    scripted outcomes, for tests (see SimProvider.h).
//   "none":   no dial-up service; every call of the dialer raises.
// The environment variable KESTRO_RAS_PROVIDER names the provider; unset or empty means
// "command". A program or test may also hand a provider to the dialer's access object.
//
// Results are the remote-access result codes the callers expect: 0 for success, else one of the
// codes below. Progress of an asynchronous dial reaches the notifier window as WM_RASDIALEVENT.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Messages.h"

using HRASCONN = std::uintptr_t;

inline constexpr uint32_t ERROR_INVALID_HANDLE = 6;
inline constexpr uint32_t ERROR_INVALID_PARAMETER = 87;
inline constexpr uint32_t ERROR_CALL_NOT_IMPLEMENTED = 120;
inline constexpr uint32_t ERROR_PORT_ALREADY_OPEN = 602;
inline constexpr uint32_t ERROR_BUFFER_TOO_SMALL = 603;
inline constexpr uint32_t ERROR_CANNOT_OPEN_PHONEBOOK = 621;
inline constexpr uint32_t ERROR_CANNOT_FIND_PHONEBOOK_ENTRY = 623;
inline constexpr uint32_t ERROR_USER_DISCONNECTION = 631;
inline constexpr uint32_t ERROR_REQUEST_TIMEOUT = 638;
inline constexpr uint32_t ERROR_FROM_DEVICE = 651;
inline constexpr uint32_t ERROR_NO_ANSWER = 678;

// Connection states reported by a dial and by GetConnectStatus.
inline constexpr uint32_t RASCS_OpenPort = 0;
inline constexpr uint32_t RASCS_PortOpened = 1;
inline constexpr uint32_t RASCS_ConnectDevice = 2;
inline constexpr uint32_t RASCS_DeviceConnected = 3;
inline constexpr uint32_t RASCS_AllDevicesConnected = 4;
inline constexpr uint32_t RASCS_Authenticate = 5;
inline constexpr uint32_t RASCS_Authenticated = 14;
inline constexpr uint32_t RASCS_Paused = 4096;
inline constexpr uint32_t RASCS_Connected = 8192;
inline constexpr uint32_t RASCS_Disconnected = 8193;

// Progress of an asynchronous dial, posted to the notifier window: WParam the connection state,
// LParam 0, or the error code when the dial failed (the dial is then over).
inline constexpr UINT WM_RASDIALEVENT = 0xCCCD;

struct TRasDialParams {
    std::string EntryName;
    std::string PhoneNumber;
    std::string CallbackNumber;
    std::string UserName;
    std::string Password;
    std::string Domain;
};

struct TRasConnection {
    HRASCONN Handle = 0;
    std::string EntryName;
};

struct TRasConnStatus {
    uint32_t State = 0;
    uint32_t Error = 0;
};

class TDialupProvider {
  public:
    virtual ~TDialupProvider() = default;
    virtual std::string Name() const = 0;

    // phonebook: null for the provider's own phonebook, else the file to use. options: null, or
    // the extension bits. notifier 0 dials synchronously: the call returns when the line is up
    // or the dial failed, and nothing is posted. Otherwise it returns at once and the progress
    // is posted to notifier. connection receives the handle also when the dial fails later.
    virtual uint32_t Dial(const uint32_t* options, const std::string* phonebook,
                          const TRasDialParams& params, HWND notifier, HRASCONN& connection) = 0;
    // Starts ending the connection and returns; GetConnectStatus answers ERROR_INVALID_HANDLE
    // once it is gone.
    virtual uint32_t HangUp(HRASCONN connection) = 0;
    virtual uint32_t GetConnectStatus(HRASCONN connection, TRasConnStatus& status) = 0;
    // Every active connection of the system, own dials and others alike.
    virtual uint32_t EnumConnections(std::vector<TRasConnection>& connections) = 0;
    virtual uint32_t EnumEntries(const std::string* phonebook, std::vector<std::string>& names) = 0;
    // params.EntryName names the entry; the other fields are filled. The password only when one
    // is stored (passwordStored true), else it is left empty.
    virtual uint32_t GetEntryDialParams(const std::string* phonebook, TRasDialParams& params,
                                        bool& passwordStored) = 0;
    // The text of a result code; for the codes of a failed command it ends with what the command
    // said the last time it failed that way. Non-zero, with empty text, for unknown codes.
    virtual uint32_t GetErrorString(uint32_t code, std::string& text) = 0;
    virtual uint32_t CreatePhonebookEntry(HWND parent, const std::string* phonebook) = 0;
    virtual uint32_t EditPhonebookEntry(HWND parent, const std::string* phonebook,
                                        const std::string& entryName) = 0;
};

// The fixed text of a result code, empty for codes this system does not produce.
std::string RasErrorText(uint32_t code);

// "command", "sim" or "none" (null). An unknown name is logged and gives null.
std::unique_ptr<TDialupProvider> CreateDialupProvider(const std::string& name);
// The provider named by KESTRO_RAS_PROVIDER ("command" when unset or empty).
std::unique_ptr<TDialupProvider> CreateDefaultDialupProvider();

// Where the providers' log lines go (UTF-8 lines without line end). Unset: standard error.
// Safe from any thread; the sink itself may be called from a worker thread. Returns the previous.
using TDialupLogSink = std::function<void(const std::string& line)>;
TDialupLogSink SetDialupLogSink(TDialupLogSink sink);
void DialupLog(const std::string& line);
