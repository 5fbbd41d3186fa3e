#pragma once
// Transfer tasks: the running units of an exchange run. TKestroCustomClient is the base of the
// POP3, SMTP and NNTP tasks: task number, the three callbacks to the main window, the state the
// run loop polls, the box, the spool directory, the byte count and the error handlers every task
// wires to its client. TKestroPOP3Client fetches a box's mail into its mail spool.
//
// A task never frees itself: the run loop frees it once State is 3.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/engine/FetchedMails.h"
#include "app/engine/PartialMails.h"
#include "netlib/pop3/IpPop3.h"
#include "platform/classes/Classes.h"
#include "platform/core/Application.h"

class TKestroConfig;

// Tasks are freed through Application.ReleaseLater: never while one of their handlers, or one of
// their client's, is on the stack.
class TKestroCustomClient : public TReleasable {
  public:
    // The callbacks are plain procedures that get the task as their first argument.
    using TTaskLogProc = void (*)(TKestroCustomClient* task, int32_t taskNo,
                                  const std::string& text, bool toRunLog);
    using TTaskStatusProc = void (*)(TKestroCustomClient* task, int32_t taskNo);
    using TNewMailProc = void (*)(TKestroCustomClient* task, const std::string& line);

    enum : uint8_t { tsNew = 0, tsRunning = 1, tsFinished = 3 };

    TKestroCustomClient() = default;
    virtual ~TKestroCustomClient() = default;
    TKestroCustomClient(const TKestroCustomClient&) = delete;
    TKestroCustomClient& operator=(const TKestroCustomClient&) = delete;

    int32_t TaskNo = 0;
    TTaskLogProc OnTaskLog = nullptr;
    TTaskStatusProc OnTaskStatus = nullptr;
    TNewMailProc OnNewMail = nullptr;
    uint8_t State = tsNew;
    int32_t ConfigIndex = -1;
    // Ends with a path separator once set.
    std::string SpoolDir;
    std::string Command;
    // Bytes transferred so far, over all the task's connections; shown in the task view.
    int64_t Bytes = 0;

    virtual void Start(int32_t taskNo);
    // True while a handler of the task's client is running: the task must not be freed before
    // it has returned (the run frees it on a later pass then).
    virtual bool HandlerRunning() const { return false; }
    bool InUse() const override { return HandlerRunning(); }
    // The task's box; raises for an index outside the configuration list or a box that failed
    // to load.
    TKestroConfig& GetConfig() const;
    void Log(const std::string& text, bool toRunLog = true);
    // Empty: the program's directory. A directory that does not exist logs an error and returns
    // false; SpoolDir is then empty and the task must not go on.
    bool SetSpoolDir(const std::string& dir);
    void HandleException(const std::string& msg);

    void DoClientError(TIpSockControl* sender, SOCKET socket, int32_t errCode,
                       const std::string& errStr);
    void DoClientErrorReply(TIpSockControl* sender, uintptr_t handle, int32_t errCode,
                            const std::string& errStr);
    void DoClientIdleTimeout(TIpSockControl* sender, SOCKET socket, bool& reset);

  protected:
    // Logs the line, sets the exit code and ends the task.
    void Fail(const std::string& line, int exitCode = 1);
    // Wires the client's error events to the handlers above, and its close notice to the check
    // for a connection the server ended while the task still needed it.
    void WireClient(TIpCustomClient& client, const std::string& serverName);
    // The box's port and time-out checked and applied; false (task failed) when out of range.
    bool ApplyPortAndTimeout(TIpCustomClient& client, int32_t port, int32_t timeoutSeconds,
                             const char* what);
    // Unhooks the task from its client, so that nothing the client does while it goes away
    // reaches a task that is being freed.
    static void UnwireClient(TIpCustomClient& client);
    // True while a handler of the client or of its socket is on the stack.
    static bool ClientBusy(const TIpCustomClient& client);
    // Points the client's event and debug logs at "<prefix>_<n>.log" and "<prefix>_<n>_debug.log"
    // beside the box file.
    void SetClientLogs(TIpCustomClient& client, const std::string& prefix);
    // Adds to Bytes what the client's connection received (Received) and sent (Sent) since it
    // was last counted, and reports the count. Called at every progress report and at the end
    // of every transfer: the client reports progress only on a timer tick while data moves, and
    // a fast server's transfer may end before the next tick.
    void CountBytes(const TIpCustomClient& client, bool received, bool sent);

  private:
    // The connection counted last, and its 32-bit total then (it wraps; a new connection starts
    // again at 0).
    SOCKET FCountedSocket = INVALID_SOCKET;
    uint32_t FCountedTotal = 0;
};

class TKestroPOP3Client : public TKestroCustomClient {
  public:
    TKestroPOP3Client();
    ~TKestroPOP3Client() override;

    std::unique_ptr<TIpPop3Client> Client;
    // The server's LIST lines: message number, a blank, the size in bytes.
    TStringList MessageList;
    int32_t FetchIndex = 0;
    int32_t DeleteIndex = 0;
    std::string ServerName;
    std::string Envelope;

    void Start(int32_t taskNo) override;
    bool HandlerRunning() const override;
    void FetchNext();
    // Stores the message as the next spool file; with the server's unique id of a mail fetched
    // whole, the mail is listed as stored first (FetchedMails.h). Raises when it cannot be stored.
    void StoreMail(TIpMailMessage& message, const std::string& Id = std::string());

    void DoResponse(TIpCustomPop3Client* client, TIpPop3States responseTo, const std::string& code,
                    const std::string& response);
    void DoMultiLineResponse(TIpCustomPop3Client* client, TIpPop3States responseTo,
                             TStringList& response);
    void DoTaskComplete(TIpCustomPop3Client* client, TIpPop3Tasks task, TStringList& response);
    void DoMessage(TIpCustomPop3Client* client, TIpMailMessage& message);
    void DoTop(TIpCustomPop3Client* client, TIpMailMessage& msgTop);
    void DoProgress(TIpCustomPop3Client* client, uint64_t charsTransferred);

  private:
    bool Prepare();
    int32_t FetchCount() const;
    void Finish();
    bool TakeList(TStringList& response);
    // LAST when asked for, else the first fetch.
    void ContinueAfterList();

    // Reads one of the box's lists of mails (List.Load(File, Args...)): a list that cannot be
    // read, and lines of it that had to be dropped, are warnings.
    template <class TList, class... TArgs>
    void LoadMailList(TList& List, const std::string& File, const TArgs&... Args);

    // Mails above the size limit stay on the server; the box's list of partly fetched mails
    // keeps each from being stored in part again on every run.
    bool IsOversize(int32_t index) const;
    bool AnyOversize() const;
    void TakeUidl(const TStringList& response);
    void LogOversize(int32_t index, const std::string& tail);
    std::string PartialMailsFile() const;
    void LoadPartialMails();
    // Writes the list when it changed, without the ids of mails no longer on the server once
    // every mail above the limit has been identified.
    void SavePartialMails();

    // Mails are deleted (no Pop3Keep): the box's list of mails stored whole by this run or an
    // earlier one keeps a mail whose deletion did not take effect from being stored twice.
    bool TrackFetched() const;
    // The mail at index was stored whole by an earlier run.
    bool FetchedBefore(int32_t index) const;
    std::string FetchedMailsFile() const;
    void LoadFetchedMails();
    // Forgets the mails no longer on the server, once every mail on it has been identified.
    void SettleFetchedMails();
    // The server has deleted every mail it was asked to (it answered QUIT): they are forgotten.
    void ForgetDeletedMails();
    void SaveFetchedMails();
    // Per LIST entry: the whole message is safely in the spool, so it may be deleted.
    std::vector<bool> FStored;
    // Per LIST entry: the server's unique id, or the Message-ID of a mail above the limit once
    // its head arrived; empty when unknown.
    std::vector<std::string> FIds;
    // Per LIST entry: FIds is final (from the unique-id listing, or the head has been seen).
    std::vector<bool> FIdentified;
    TPartialMails FPartialMails;
    TFetchedMails FFetched;
    bool FFetchDone = false;
    bool FDeleted = false;
    bool FHoldsPop3Busy = false;
};

// The incoming-mail list line: path, date, subject, sender and size joined by the characters
// 1 to 4. Control characters inside the fields become blanks so the line always splits in five.
std::string MailListLine(const std::string& path, const std::string& date,
                         const std::string& subject, const std::string& from, int64_t size);

// The notice appended to a mail fetched only in part (Windows-1252, as the point program reads).
extern const char* const PartialMailNotice[2];
