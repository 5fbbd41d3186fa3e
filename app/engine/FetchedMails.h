#pragma once
// The mails of a box stored whole in the mail spool whose deletion on the server has not been
// seen to take effect. A POP3 server deletes only when it answers QUIT: a run that ends between
// storing a mail and that answer (a connection cut, a kill) leaves the mail on the server, and
// without this list the next run would store it a second time. With it the next run deletes the
// mail without storing it again. The list lives in "<box>.got" beside the box file: text, one
// line per mail, the server's unique id (UIDL), a blank and the temporary name its spool file was
// written under. The line is written before the spool file takes its name, so a line whose
// temporary file is still there names a mail that was never stored: it is dropped when the list
// is read, and the mail is fetched again.
//
// A damaged list costs at most a second copy of a mail, never a mail: a line that cannot be read
// is dropped, and a mail not on the list is simply stored.
#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class TFetchedMails {
  public:
    // The temporary name of spool file Name of SpoolDir ("m5.msg" is written as "m5.tmp").
    static std::string TempSpoolName(const std::string& SpoolDir, const std::string& Name);
    // The list file of the box whose file is boxFile.
    static std::string FileNameFor(const std::string& BoxFile);
    // Adds to Names the temporary spool files the list file names, without their directory,
    // whether the lines are valid or not; nothing when there is no file. Raises EReadError when
    // it cannot be read.
    static void AddTempNames(const std::string& FileName, std::set<std::string>& Names);

    // Reads the list of the box whose mail spool is SpoolDir; a missing file gives an empty
    // list. Lines that are no entry are dropped and counted: an id that cannot be one, a
    // temporary name that is no spool file's in SpoolDir. So are entries whose temporary file is
    // still there; that file, which nothing else names, is removed. Raises EReadError, leaving
    // the list empty, when the file cannot be read or is larger than the list ever grows.
    void Load(const std::string& FileName, const std::string& SpoolDir);
    int32_t Dropped() const { return FDropped; }
    // The mail with this unique id is in the spool already.
    bool Stored(const std::string& Id) const { return FTemps.count(Id) != 0; }
    // Lists a mail whose spool file was written under Temp and is about to take its name. An id
    // that cannot stand on a line (see TPartialMails::CleanId, blanks too) is not listed: false.
    // Temp is the name TempSpoolName gives.
    bool Add(const std::string& Id, const std::string& Temp);
    // The mail is gone from the server, or was never stored.
    void Remove(const std::string& Id);
    // Forgets every mail not in OnServer.
    void Retain(const std::unordered_set<std::string>& OnServer);
    bool Empty() const { return FIds.empty(); }
    // True when the list no longer matches its file.
    bool Modified() const { return FModified; }
    // Writes the list whole (through a temporary file and a rename); an empty list deletes the
    // file. Raises EWriteError; the old file stays then.
    void Save(const std::string& FileName);

  private:
    // In the order they were added, oldest first, with the temporary name of each.
    std::vector<std::string> FIds;
    std::unordered_map<std::string, std::string> FTemps;
    int32_t FDropped = 0;
    bool FModified = false;
};
