#pragma once
// The mails above a box's size limit whose first lines are already in the mail spool. Such a mail
// stays on the server (only what was stored whole is deleted), so without this list every run
// would store another partial copy of it. The list lives in "<box>.big" beside the box file:
// text, one id per line (the server's unique id, or the Message-ID where the server gives none),
// written aside and renamed, so a failed write leaves the old list.
//
// A damaged list costs at most one more partial copy of a mail, never a mail: an id that cannot
// be read is dropped, and a mail whose id is missing is simply stored again.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

class TPartialMails {
  public:
    // The list file of the box whose file is boxFile.
    static std::string FileNameFor(const std::string& boxFile);
    // An id as it may stand on a line: bytes below 33 at both ends removed; empty when what
    // remains is too long or holds control characters (then the mail has no usable id).
    static std::string CleanId(const std::string& text);

    // Reads the list; a missing file gives an empty list. Lines that are no id are dropped and
    // counted. Raises EReadError, leaving the list empty, when the file cannot be read or is
    // larger than the list ever grows.
    void Load(const std::string& fileName);
    // Lines Load dropped.
    int32_t Dropped() const { return FDropped; }
    // True when the id was on the list as loaded: its mail was stored in part by an earlier run.
    bool StoredBefore(const std::string& id) const { return FLoaded.count(id) != 0; }
    // Appends an id (an id already listed is not listed twice).
    void Add(const std::string& id);
    // Forgets every id not in onServer.
    void Retain(const std::unordered_set<std::string>& onServer);
    // True when the list no longer matches its file.
    bool Modified() const { return FModified; }
    // Writes the list (to fileName + ".tmp", renamed over fileName); an empty list deletes the
    // file instead. When the ids do not fit the size limit, the oldest are left out: returns how
    // many. Raises EWriteError; the old file stays then.
    int32_t Save(const std::string& fileName);
    const std::vector<std::string>& Ids() const { return FIds; }

  private:
    // In the order they were added, oldest first.
    std::vector<std::string> FIds;
    std::unordered_set<std::string> FListed;
    std::unordered_set<std::string> FLoaded;
    int32_t FDropped = 0;
    bool FModified = false;
};
