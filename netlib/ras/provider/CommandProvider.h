#pragma once
// The default dial-up provider: the entries of the phonebook file (see Phonebook.h) and their
// shell commands.
//
// Dial runs the entry's Connect command (the password, when there is one, as one line on its
// standard input, never on its command line), then its Status command; the line is up when
// Status exits with 0 (an entry without Status is up when Connect exits with 0, an entry without
// Connect is always online). The commands also find the dial parameters in the environment:
// KESTRO_RAS_ENTRY, KESTRO_RAS_PHONE, KESTRO_RAS_USER, KESTRO_RAS_DOMAIN, KESTRO_RAS_CALLBACK.
// Each command may run for the entry's Timeout; then its process group is killed.
//
// An asynchronous dial and a hang-up's Disconnect command run on worker threads; the user-
// interface thread never waits for them. A connected line's Status is asked again in the
// background at most once a second, as GetConnectStatus is called; when it says down, the
// connection's state becomes RASCS_Disconnected. The active connections are the entries whose
// Status says up (those without Status: always-online entries and own dials that came up).
// Listing them runs the Status commands side by side and waits for them: Status commands are
// meant to be quick checks.
#include <functional>
#include <memory>
#include <string>

#include "netlib/ras/provider/DialupProvider.h"
#include "netlib/ras/provider/Phonebook.h"
#include "netlib/ras/provider/Workers.h"

// Edits an entry of the phonebook file in a window of the program: parent, the file's path, and
// the entry's name (null for a new entry). Returns 0, or a result code when the entry could not
// be written (the window has told the user).
using TPhonebookEditor =
    std::function<uint32_t(HWND parent, const std::string& path, const std::string* entryName)>;
// Installs the editor of the two phonebook dialogs (user-interface thread); returns the previous
// one. Without one they only log where the entries are kept and answer
// ERROR_CALL_NOT_IMPLEMENTED.
TPhonebookEditor SetPhonebookEditor(TPhonebookEditor editor);

// The connections and failure texts, shared with the worker threads.
struct TCommandDialupShared;

class TCommandDialupProvider : public TDialupProvider {
  public:
    TCommandDialupProvider();
    ~TCommandDialupProvider() override;

    std::string Name() const override { return "command"; }
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

    // Worker jobs still running (dials, hang-ups, status checks).
    int RunningJobs() { return FWorkers.Running(); }

  private:
    uint32_t LoadPhonebook(const std::string* phonebook, TPhonebook& book, std::string& path);
    // Reads the phonebook and finds the entry in it; a missing entry is logged with the file's
    // name and gives the RAS error for an unknown entry.
    uint32_t LoadEntry(const std::string* phonebook, const std::string& entryName, TPhonebook& book,
                       const TPhonebookEntry*& entry);
    std::shared_ptr<TCommandDialupShared> FShared;
    TWorkerSet FWorkers;
};
