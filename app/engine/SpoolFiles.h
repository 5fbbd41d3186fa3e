#pragma once
// The files the engine and the point program exchange through the spool directories: new
// incoming files m<N>.msg, incoming mail in the point program's mail script form, incoming news
// as rnews batches (TMessageContainer), outgoing mail M*.OUT, the point program's Message-ID
// requests in request.id, and file attachments saved from fetched mail.
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/engine/SafeFile.h"

class TIpMessage;
class TIpMimeEntity;
class TKestroConfig;
class TStringList;

// Where one article of a batch lies in the batch's temporary file, and its Subject (as the
// message decoder reads it) for the sort. Kept only for a batch that is to be sorted.
struct TContainerArticle {
    std::string Subject;
    int64_t Position = 0;  // of its raw text, after the "#! rnews" line
    int64_t Size = 0;
};

// The articles one NNTP task fetched for a group, written as one rnews batch. A group may hold
// millions of articles, so each article goes to the batch's temporary file as it arrives, and
// only what the sort needs stays in memory (nothing at all for an unsorted batch). The batch
// appears under its name only when it is complete.
class TMessageContainer {
  public:
    TMessageContainer() = default;
    // Removes the temporary file of a batch that was not saved.
    ~TMessageContainer();
    TMessageContainer(const TMessageContainer&) = delete;
    TMessageContainer& operator=(const TMessageContainer&) = delete;

    // Starts the batch that is to be named fileName: its articles go to fileName with the
    // extension ".tmp". sortable keeps the subjects for Sort.
    void Open(const std::string& fileName, bool sortable);
    bool IsOpen() const { return FFile != nullptr; }
    const std::string& FileName() const { return FFileName; }

    // Appends the raw text of message (as it stands in its message stream) to the batch; the
    // caller keeps the message. Raises EWriteError (naming the file and the reason) when the
    // batch cannot be written; the batch is dropped then.
    void AddMessage(TIpMessage& message);
    // Drops the batch: its temporary file is removed.
    void Clear();
    int Count() const { return FCount; }
    // An article of a sortable batch; raises ERangeError for an index outside 0 .. Count-1.
    const TContainerArticle* GetMessage(int index) const;
    // Orders the articles of a sortable batch by subject, ignoring case and one reply prefix
    // ("Re:", "AW:"); the order of articles with equal keys stays.
    void Sort();
    // Completes the batch: for each article "#! rnews <size>" and LF, then exactly <size> bytes
    // of its raw text, in the order of the articles (after Sort, copied in the sorted order
    // from the temporary file). It then takes its name, which must not exist yet. Nothing
    // when empty. A failure raises, removes the temporary files and drops the batch.
    void SaveAsBatch();
    // SaveAsBatch in its two steps, for a caller that records what storing the batch changes
    // besides before the batch is visible. Complete makes the batch whole under a temporary
    // name (CompleteName); TakeName renames it: the one step that stores it.
    void Complete();
    void TakeName();
    std::string CompleteName() const;
    // Every temporary file the batch may leave behind.
    std::vector<std::string> TempNames() const;

    std::vector<TContainerArticle> Items;

  private:
    std::string TempName() const;
    std::string SortedTempName() const;
    void WriteSorted();

    std::string FFileName;
    std::unique_ptr<TBufferedFile> FFile;
    bool FSortable = false;
    bool FSorted = false;
    bool FComplete = false;
    int FCount = 0;
};

// The next number tried for a new spool file; shared by every spool directory and task.
extern int32_t SpoolCounter;

// The next free name "m<N>.msg" in dir (name only), with no "m<N>.tmp" there either; never the
// same twice in this process.
std::string NewSpoolFileName(const std::string& dir);

// Removes the news batches a killed fetch left in dir under their temporary names: "m<N>.tmp"
// holding an rnews batch or nothing at all (a batch stays empty until its first write), and
// "m<N>.sorted.tmp". Nothing names them any more once the batch records are settled, and a group
// of many articles leaves megabytes. Left alone:
//   - a mail written under "m<N>.tmp" (a mail script): the box's list of fetched mails decides
//     about it;
//   - an empty file mailTemps names (the temporary names, without directory, that the boxes'
//     lists of fetched mails give: such a file tells that its mail was never stored); every
//     empty file when mailTemps is null (a list could not be read);
//   - an empty file under another spelling than the spool's own ("M5.TMP" may be the point
//     program's);
//   - a file a live writer holds (another Kestro sharing the spool: TBufferedFile).
// Logs each file removed; returns how many.
int32_t RemoveStaleBatches(const std::string& dir, const std::set<std::string>* mailTemps);

// Removes the mails a killed fetch left in dir under their temporary names: "m<N>.tmp" as the
// spool spells it, holding a mail script or nothing at all. Such a mail was never deleted on the
// server (that waits for its file's name), so the next fetch brings it again; the copy left
// behind would stay for good. Left alone:
//   - a file mailTemps names (the temporary names the boxes' lists of fetched mails give): the
//     list decides about it; everything when mailTemps is null (a list could not be read);
//   - a file under another spelling ("M5.TMP" may be the point program's), or with other
//     content;
//   - a file a live writer holds (another Kestro sharing the spool: TBufferedFile).
// Logs each file removed; returns how many.
int32_t RemoveStaleMails(const std::string& dir, const std::set<std::string>* mailTemps);

// The address written into fetched mail when the box names none: the point program needs some
// recipient line, and the mail is the box owner's anyway.
inline constexpr const char* DefaultEnvelope = "postmaster@localhost";

// The address of the mail script's recipient line for envelope, the box's Pop3Envelope:
// trimmed; "*" means the bare address (addr-spec) of the message's first To entry; empty, or
// "*" without any To address, means DefaultEnvelope.
std::string SpoolEnvelope(const TIpMessage& message, const std::string& envelope);

// Writes message as the point program's mail script:
//   HELO <heloHost> / RCPT TO:<SpoolEnvelope> / DATA / the raw message, dot-stuffed
// with CR LF line ends. The raw message is written as it stands in the message stream, as
// received: a caller that changed the message encodes it first. The importer removes one
// leading dot from a line and would stop at a lone ".", so every line that begins with a dot
// gets one more.
void WriteSpoolMail(TIpMessage& message, const std::string& fileName, const std::string& heloHost,
                    const std::string& envelope);

// Reads an outgoing mail file M*.OUT into message (raw stream filled, then decoded).
// The point program writes batched SMTP: HELO, MAIL FROM, one RCPT TO per recipient, DATA, the
// dot-stuffed body, ".", QUIT. heloArgument receives the text after HELO's first blank,
// recipients the text after each RCPT TO's first ":", both without control characters. A file that
// begins with "from " is a plain message after that line (a trailing "." and "QUIT" dropped when
// present); it has no HELO argument or recipients. A file without DATA or without the end of its
// body raises EReadError and is left alone; a message whose MIME structure cannot be read (a
// multipart without boundary) is read all the same, to be sent as written.
void ReadOutgoingMail(TIpMessage& message, const std::string& fileName, std::string& heloArgument,
                      std::vector<std::string>& recipients);

// Appends to list the Message-IDs the point program requested for this box (or for every box)
// in request.id in the working directory, and counts a try in every record read. IDs that
// could not be sent as a command argument (control characters, blanks) are skipped.
void GetRequestedMessageIDs(const std::string& boxFileName, TStringList& list);

// The size of one request.id record.
inline constexpr int64_t RequestRecordSize = 267;

// Saves the file parts of a multipart message into the box's ExtractPath (or the program's
// directory when that does not exist) and, with DeleteAttach, replaces each by a notice.
// True when a notice replaced a part: the message must then be encoded again. A part that cannot
// be saved (its file not created, its content not decoded) is logged with its file name and stays
// in the message as it came; the message is stored all the same.
bool ExtractAttachments(TIpMessage& message, TKestroConfig& box);

// The content of a file part, as it is saved wherever it is saved: many mailers write base64 in
// lines longer than the encoding allows, and such a line is read as more of the same data.
// Raises when the part cannot be decoded even so (a broken uuencode or BinHex body).
std::string AttachmentContent(TIpMimeEntity& part);

// The name an attachment is saved under: the last component of name after "/", "\" or ":",
// without control characters. Empty when nothing usable is left ("", blanks, "." or "..").
std::string SafeAttachmentName(const std::string& name);
