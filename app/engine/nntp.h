#pragma once
// The news transfer task. One class does four jobs, chosen by the command of its to-do entry:
//   "<first> <last>"  fetch the new articles of lines first..last of the box's newsgroup list,
//                     group by group, each group into one rnews batch in the news spool;
//   "GetGroups"       fetch the server's newsgroup list (all of it, or the groups new since the
//                     last fetch) into <box>.bl;
//   "SendNews"        post the outgoing news files N*.OUT of the news spool;
//   "GetMsgIDs"       fetch the articles the point program asked for by Message-ID.
// Several range tasks of one box run at once, each on its own lines of the same list.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>

#include "app/engine/SpoolFiles.h"
#include "app/engine/dupecheck.h"
#include "app/engine/pop3.h"
#include "netlib/nntp/IpNntp.h"
#include "platform/classes/Classes.h"

class TKestroNNTPClient : public TKestroCustomClient {
  public:
    TKestroNNTPClient();
    // Never throws: what it cannot store is logged and counted as a failed transfer.
    ~TKestroNNTPClient() override;

    std::unique_ptr<TIpNntpClient> Client;
    TStringList OutgoingFiles;
    int32_t FileIndex = 0;
    TStringList MessageIDs;
    int32_t MessageIDIndex = -1;
    std::string GroupListFile;
    TMessageContainer Container;
    int32_t GroupListIndex = 0;
    int32_t CurrentLine = 0;
    int32_t LastLine = 0;
    // The last article received or skipped in the current group.
    int64_t LastNo = 0;
    std::string GroupName;
    bool HdrOnly = false;
    // ARTICLE (HEAD) commands of a range fetch kept on their way at once. Answers come in the
    // order asked, so the articles, the batch and the group's line are the same with any value.
    int32_t ArticleWindow = 16;

    void Start(int32_t taskNo) override;
    void SetupClient();
    bool NextGroup();
    void FetchNextArticle();
    void NextMessageID();
    // Writes the collected articles as one batch and lets the dupe database learn them; false
    // (logged, exit code 1, articles dropped and unknown to the dupe database) when the batch
    // could not be written.
    bool StoreBatch();
    // Appends an article to the batch (opened under the next spool name with the first one);
    // false when it could not be written: the batch is dropped and the task has failed.
    bool AddToBatch(TIpMessage& message);
    void AddClientBanner();

    void DoResponse(TIpCustomNntpClient* client, TIpNntpStates responseTo, int32_t code,
                    const std::string& response);
    void DoMultiLineResponse(TIpCustomNntpClient* client, TIpNntpStates responseTo,
                             TStringList& responseList);
    void DoTaskComplete(TIpCustomNntpClient* client, TIpNntpTasks task, TStringList& responseList);
    void DoArticle(TIpCustomNntpClient* client, TIpNewsArticle& article);
    void DoProgress(TIpCustomNntpClient* client, uint64_t charsTransferred);

  private:
    enum TJob : uint8_t { jbRange, jbGetGroups, jbSendNews, jbGetMsgIDs };

    // Runs a handler step; an exception ends the task with the "Exception Thread" line.
    template <class F>
    void Guarded(F&& step);
    TKestroConfig& Box() const { return GetConfig(); }
    const std::string& Server() const;

    void StartRange();
    void StartSendNews();
    void StartGetMsgIDs();
    void GroupSelected();
    // A group's line as it moves once the group's batch is stored.
    struct TLineMove {
        int32_t Line;
        std::string From;
        std::string To;
    };
    // The current group is done: its batch stored and its line advanced, the dupe database and
    // the newsgroup list saved at once.
    bool FinishGroup();
    // Stores the batch so that no moment of a kill stores an article twice or loses one: what
    // storing it changes besides (Move, the dupe entries) is recorded before the batch takes its
    // name (BatchRecords.h), then done, then the record goes. With no articles the line moves
    // at once. False (logged, exit code 1, articles dropped and unknown to the dupe database)
    // when the batch could not be stored; the line stays then.
    bool CommitBatch(const TLineMove* Move);
    // The pending record of the batch; empty when storing it changes nothing besides.
    std::string RecordBatch(const TLineMove* Move);
    bool MoveGroupLine(const TLineMove& Move);
    bool SaveDupeDatabase();
    void ConnectionLost();
    void RequestGroupList();
    // Logs "NNTP Error <code> auf <server>: <text>".
    void LogServerError(int32_t code, const std::string& text);
    // A reply to the listing command that is not its own data reply: logged, and true.
    bool ListFailed(const TStringList& list, TIpNntpStates command);
    void ListReceived(TStringList& list);
    void NewGroupsReceived(TStringList& list);
    void WriteGroupList(TStringList& names);
    void WriteNewGroupsMail(const TStringList& lines);
    void StoreMissingGroupNotice(const std::string& response);
    void PostCompleted();
    void LoadNextPost();

    TJob FJob = jbRange;
    // The numbers asked for and not yet answered, oldest first, and the next one to ask for.
    std::deque<int64_t> FRequested;
    int64_t FNextNo = 0;
    // The oldest request's number (its answer has come): LastNo from now on.
    int64_t TakeRequested();
    // A group is selected whose line has not been rewritten yet.
    bool FGroupActive = false;
    // The server refused the group just asked for (411): it is passed over.
    bool FGroupMissing = false;
    // The server answered 240 to the article being posted.
    bool FPostAccepted = false;
    // The server refused the article being posted (441): it stays, the next one goes out.
    bool FPostRefused = false;
    bool FCountsRunning = false;
    // The articles of Container the dupe database is to learn once they are stored.
    TDupeBatch FDupeBatch;
    // The spool this task posts from (SendNews), while it exists.
    std::string FPostingKey;
};

// True while a task posts the outgoing news of the box's spool. A news fallback box shares the
// spool of its box: its posting task waits until that of the box has ended, and then posts
// only what the box could not (two tasks posting the same files send each article twice, the
// server refuses one copy and the run reports a failure that is none).
bool NntpPostingBusy(const TKestroConfig& box);

// Text for the notice articles and mails the task writes into the spool.
namespace NntpNotice {
// "Kestro Client", the sender of notices.
extern const char* const From;
// The local address the new-groups notice mail goes to.
extern const char* const Recipient;
}  // namespace NntpNotice

// The group names in one line of a LIST or NEWGROUPS reply, each followed by a blank, as the
// group list file holds them: the first word of every piece between line feeds, words being
// separated by blanks and asterisks.
void AddGroupListNames(const std::string& serverLine, TStringList& names);
