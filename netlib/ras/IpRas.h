#pragma once
// Dial-up networking: the binding of the dial-up service (TIpRasAccess), the dialer component
// that dials a phonebook entry, watches the line and hangs it up (TIpCustomRasDialer, published
// as TIpRasDialer), the base of status displays (TIpAbstractRasStatus) and the list logic of the
// entry combo box (TIpRasEntryComboBox).
//
// The dial-up service is a provider (netlib/ras/provider): "command" runs the shell commands of
// phonebook.ini, "sim" is scripted for tests. KESTRO_RAS_PROVIDER chooses it when the access
// object is made; TIpRasAccess::SetProvider replaces it. Everything here runs on the
// user-interface thread; progress of an asynchronous dial arrives as a window message. Where the
// service runs commands (listing the connections asks each entry's Status, a hang-up waits for
// Disconnect), the dialer waits with the message loop running, so the program's windows paint
// and answer meanwhile.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "netlib/base/IpBase.h"
#include "netlib/base/IpUtils.h"
#include "netlib/ras/provider/DialupProvider.h"
#include "platform/classes/Classes.h"
#include "platform/core/Messages.h"

class TIpCustomRasDialer;
class TIpRasEntryComboBox;

// The platform identifier of this system: the NT family, for which the phonebook and extension
// arguments are passed on.
inline constexpr uint32_t VER_PLATFORM_WIN32_NT = 2;

class TIpRasAccess : public TIpBaseAccess {
  public:
    // Takes the provider named by KESTRO_RAS_PROVIDER.
    TIpRasAccess();
    explicit TIpRasAccess(std::shared_ptr<TDialupProvider> provider);
    ~TIpRasAccess() override;

    // True when a provider is present.
    bool IsLoaded();
    void SetProvider(std::shared_ptr<TDialupProvider> provider);
    std::shared_ptr<TDialupProvider> Provider();

    uint32_t PlatformId() const { return FPlatformId; }
    // Tests only: another platform identifier drops the phonebook and extension arguments.
    void SetPlatformId(uint32_t id) { FPlatformId = id; }

    // One accessor per operation of the service, each under the lock. Without a provider it
    // raises EIpAccessException "Win32 error loading '<name>' pointer: <why>".
    TDialupProvider& RasCreatePhonebookEntryA() { return Bind("RasCreatePhonebookEntryA"); }
    TDialupProvider& RasDialA() { return Bind("RasDialA"); }
    TDialupProvider& RasEditPhonebookEntryA() { return Bind("RasEditPhonebookEntryA"); }
    TDialupProvider& RasEnumConnectionsA() { return Bind("RasEnumConnectionsA"); }
    TDialupProvider& RasEnumEntriesA() { return Bind("RasEnumEntriesA"); }
    TDialupProvider& RasGetConnectStatusA() { return Bind("RasGetConnectStatusA"); }
    TDialupProvider& RasGetEntryDialParamsA() { return Bind("RasGetEntryDialParamsA"); }
    TDialupProvider& RasGetErrorStringA() { return Bind("RasGetErrorStringA"); }
    TDialupProvider& RasHangUpA() { return Bind("RasHangUpA"); }

    // The phonebook argument: the string only on the NT platform and when not empty, else null.
    const std::string* PhonebookArg(const std::string& phonebook) const;
    // The extensions are passed only on the NT platform.
    bool PassesExtensions() const { return FPlatformId == VER_PLATFORM_WIN32_NT; }

  private:
    TDialupProvider& Bind(const char* name);
    std::shared_ptr<TDialupProvider> FProvider;
    uint32_t FPlatformId = VER_PLATFORM_WIN32_NT;
};

// The global access object: made by the first dialer (or by this call), freed at exit.
TIpRasAccess& IpRasAccess();
// Null until a dialer was made.
TIpRasAccess* IpRasAccessIfMade();

enum TIpRasDialMode { dmSync, dmAsync };

enum TIpRasExtendedDialOption {
    edoUsePrefixSuffix,
    edoAllowPausedStates,
    edoIgnoreModemSpeaker,
    edoSetModemSpeaker,
    edoIgnoreSWCompression,
    edoSetSWCompression
};

// A set of TIpRasExtendedDialOption; each member is one bit of the extensions' options word,
// in declaration order (edoUsePrefixSuffix 1 ... edoSetSWCompression 32).
class TIpRasExtendedDialOptions {
  public:
    TIpRasExtendedDialOptions() = default;
    TIpRasExtendedDialOptions(std::initializer_list<TIpRasExtendedDialOption> options) {
        for (auto o : options) Include(o);
    }
    void Include(TIpRasExtendedDialOption o) { FBits |= 1u << o; }
    void Exclude(TIpRasExtendedDialOption o) { FBits &= ~(1u << o); }
    bool Contains(TIpRasExtendedDialOption o) const { return FBits & (1u << o); }
    uint32_t OptionsWord() const { return FBits; }
    bool operator==(const TIpRasExtendedDialOptions&) const = default;

  private:
    uint32_t FBits = 0;
};

// Base of status displays: a descendant shows the dial's progress in a form of its own.
class TIpAbstractRasStatus : public TIpBaseComponent {
  public:
    // How a descendant's status form is placed (the class library's TPosition).
    enum TPosition {
        poDesigned,
        poDefault,
        poDefaultPosOnly,
        poDefaultSizeOnly,
        poScreenCenter,
        poDesktopCenter,
        poMainFormCenter,
        poOwnerFormCenter
    };

    explicit TIpAbstractRasStatus(void* owner = nullptr);
    // Calls CloseStatus, then clears the dialer's link to it.
    ~TIpAbstractRasStatus() override;

    bool Ctl3D() const { return FCtl3D; }
    void SetCtl3D(bool value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value);
    TIpCustomRasDialer* RasDialer() const { return FRasDialer; }
    // Links both ways (the dialer's StatusDisplay becomes this when it has none); null unlinks.
    void SetRasDialer(TIpCustomRasDialer* dialer);

    virtual void UpdateStatus(const std::string& Text) = 0;
    virtual void StartStatus(const std::string& EntryName) = 0;
    virtual void CloseStatus() = 0;

  protected:
    // A descendant that has a status form passes the settings on to it.
    virtual bool HasStatusForm() const { return false; }
    virtual void StatusFormChanged() {}

  private:
    friend class TIpCustomRasDialer;
    bool FCtl3D = true;
    TPosition FPosition = poScreenCenter;
    TIpCustomRasDialer* FRasDialer = nullptr;
};

class TIpCustomRasDialer : public TIpBaseComponent {
  public:
    using TNotifyEvent = std::function<void(TIpCustomRasDialer* Sender)>;
    using TIpRasErrorEvent = std::function<void(TIpCustomRasDialer* Sender, int32_t Error)>;
    using TIpRasStatusEvent = std::function<void(TIpCustomRasDialer* Sender, int32_t Status)>;

    explicit TIpCustomRasDialer(void* owner = nullptr);
    // Hangs up (without OnDisconnected) when HangupOnDestroy is set and a provider is present.
    ~TIpCustomRasDialer() override;

    // RAS result codes: 0 success, else the code of the failing call.
    int32_t Dial();
    void Hangup();
    HRASCONN GetConnection();
    int32_t GetConnectStatus(TRasConnStatus& Status);
    // The connection state, or 0 when the status cannot be read.
    int32_t GetConnectState();
    // -1 without a list.
    int32_t ListConnections(TStringList* List);
    int32_t ListEntries(TStringList* List);
    // The box dialog's name for ListEntries.
    int32_t GetPhonebookEntries(TStringList* List) { return ListEntries(List); }
    int32_t CreatePhonebookEntry();
    int32_t EditPhonebookEntry();
    int32_t GetDialParameters();
    std::string GetErrorText(int32_t Code);
    std::string GetStatusText(int32_t State);

    // The hidden window that receives the dial events.
    HWND Handle() const { return FHandle; }
    bool DisconnectTimerEnabled() const { return FTimerEnabled; }
    // Hangup waits for the line to go at most TimeoutMs, asking every PauseMs (30 s and 50 ms
    // unless changed).
    void SetHangupWait(uint32_t TimeoutMs, uint32_t PauseMs);

    // Properties.
    const std::string& CallBackNumber() const { return FCallBackNumber; }
    void SetCallBackNumber(const std::string& v) { FCallBackNumber = v; }
    TIpRasDialMode DialMode() const { return FDialMode; }
    void SetDialMode(TIpRasDialMode v) { FDialMode = v; }
    TIpRasExtendedDialOptions ExtendedDialOptions() const { return FExtendedDialOptions; }
    void SetExtendedDialOptions(TIpRasExtendedDialOptions v) { FExtendedDialOptions = v; }
    const std::string& Domain() const { return FDomain; }
    void SetDomain(const std::string& v) { FDomain = v; }
    const std::string& EntryName() const { return FEntryName; }
    virtual void SetEntryName(const std::string& v) { FEntryName = v; }
    TIpRasEntryComboBox* EntryNameCbx() const { return FEntryNameCbx; }
    // Links both ways; null unlinks.
    void SetEntryNameCbx(TIpRasEntryComboBox* v);
    bool HangupOnDestroy() const { return FHangupOnDestroy; }
    void SetHangupOnDestroy(bool v) { FHangupOnDestroy = v; }
    const std::string& Phonebook() const { return FPhonebook; }
    void SetPhonebook(const std::string& v) { FPhonebook = v; }
    const std::string& PhoneNumber() const { return FPhoneNumber; }
    void SetPhoneNumber(const std::string& v) { FPhoneNumber = v; }
    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& v) { FPassword = v; }
    TIpAbstractRasStatus* StatusDisplay() const { return FStatusDisplay; }
    // Links both ways; null unlinks.
    void SetStatusDisplay(TIpAbstractRasStatus* v);
    const std::string& UserName() const { return FUserName; }
    void SetUserName(const std::string& v) { FUserName = v; }

    TNotifyEvent OnConnected;
    TIpRasErrorEvent OnDialError;
    TIpRasStatusEvent OnDialStatus;
    TNotifyEvent OnDisconnected;

  protected:
    void WndProc(TMessage& Msg);
    void DoDialStatus(int32_t State);
    void DoConnected();
    void DoDialError(int32_t Error);
    void DoDisconnected();
    void DiscTimerTick();
    void SetDiscTimer(bool Enabled);
    TIpRasAccess& Access();

  private:
    friend class TIpAbstractRasStatus;
    friend class TIpRasEntryComboBox;
    void HangupConnection(HRASCONN Connection);
    // Waits until the hung-up connection is gone; false after the time limit.
    bool WaitForHangup(HRASCONN Connection);
    // Lets Ms pass with the message loop running (a plain sleep while being destroyed).
    void Pause(uint32_t Ms);
    // The active connections, listed on a thread of their own while the message loop runs.
    uint32_t EnumerateConnections(std::vector<TRasConnection>& Connections);

    UINT FRasDialEventMsg = WM_RASDIALEVENT;
    HWND FHandle = 0;
    bool FTimerEnabled = false;
    TRasDialParams FDialParams;
    std::string FCallBackNumber;
    HRASCONN FConnection = 0;
    TIpRasExtendedDialOptions FExtendedDialOptions;
    TIpRasDialMode FDialMode = dmAsync;
    std::string FDomain;
    TIpRasEntryComboBox* FEntryNameCbx = nullptr;
    std::string FEntryName;
    bool FHangupOnDestroy = true;
    std::string FPhonebook;
    std::string FPhoneNumber;
    std::string FPassword;
    TIpAbstractRasStatus* FStatusDisplay = nullptr;
    std::string FUserName;
    bool FDestroying = false;
    bool FHangingUp = false;
    uint32_t FHangupTimeoutMs;
    uint32_t FHangupPauseMs;
};

// The published dialer: setting EntryName also reads the entry's dial parameters and selects the
// entry in the linked combo box.
class TIpRasDialer : public TIpCustomRasDialer {
  public:
    using TIpCustomRasDialer::TIpCustomRasDialer;
    void SetEntryName(const std::string& v) override;
};

// The entry list of the combo box that feeds a dialer (the control itself comes with the
// windows). Its style is a drop-down list: only listed entries can be chosen.
class TIpRasEntryComboBox {
  public:
    using TNotifyEvent = std::function<void(TIpRasEntryComboBox* Sender)>;

    TIpRasEntryComboBox() = default;
    ~TIpRasEntryComboBox();
    TIpRasEntryComboBox(const TIpRasEntryComboBox&) = delete;
    TIpRasEntryComboBox& operator=(const TIpRasEntryComboBox&) = delete;

    TStringList& Items() { return FItems; }
    int ItemIndex() const { return FItemIndex; }
    // -1 clears the selection; an index outside the list does too.
    void SetItemIndex(int index);
    // The selected item's text (empty without a selection).
    std::string Text() const;

    TIpCustomRasDialer* RasDialer() const { return FRasDialer; }
    // Links both ways (the dialer's EntryNameCbx becomes this when it has none); null unlinks.
    void SetRasDialer(TIpCustomRasDialer* dialer);
    std::string Version() const { return VersionString(); }
    void SetVersion(const std::string&) {}

    // The user chose an item: the dialer's EntryName becomes the text, then OnChange.
    void Change();
    // The list is about to open: refreshed from the dialer's phonebook first.
    void DropDown();

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;

  private:
    friend class TIpCustomRasDialer;
    void Refresh();
    TStringList FItems;
    int FItemIndex = -1;
    TIpCustomRasDialer* FRasDialer = nullptr;
};
