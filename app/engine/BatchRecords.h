#pragma once
// Storing a news batch as one step that no kill can split. Storing a group's batch changes three
// files: the batch takes its name in the spool, the group's line moves in its group list, and the
// dupe database learns the batch's articles. Before the batch takes its name, the two changes
// besides are written down as a pending record in the program's directory; the rename is the
// commit, and the record goes once both changes are on disk. At the start of a run every record
// left by an earlier one is settled: the changes of a batch that took its name (whether it is
// still in the spool or imported already) are completed, a batch still under its temporary name
// is dropped with its record. The point program's files keep their formats; only records are new.
//
// A record is a text file "batch<N>.pending", one "Key=Value" a line, values escaped (\\, \r,
// \n), the header line first:
//   Kestro news batch 1
//   Batch=<the batch's name>       Complete=<the temporary file that takes that name>
//   Temp=<a temporary file of the batch>                  one line each
//   GroupList=<file>  Line=<index>  Old=<line before>  New=<line after>      when a line moves
//   Dupes=<the dupe database file>  Entry=<fingerprint in hex> ...           when it learns
#include <cstdint>
#include <string>
#include <vector>

struct TBatchRecord {
    std::string Batch;
    std::string Complete;
    std::vector<std::string> Temps;
    // Empty when no line moves.
    std::string GroupList;
    int32_t Line = -1;
    std::string OldLine;
    std::string NewLine;
    // Empty when the database learns nothing; the fingerprints oldest first.
    std::string Dupes;
    std::vector<std::string> Entries;

    std::string Text() const;
    // Raises EReadError for text that is no record.
    static TBatchRecord Parse(const std::string& Text);
};

// Writes the record under a free name in Dir (through a temporary file, so that no half record
// ever has a record's name) and returns its file name. Raises EWriteError.
std::string WriteBatchRecord(const TBatchRecord& Record, const std::string& Dir);

// Settles every record in Dir, oldest first, with a line in the run log for each. The group
// lists the run has loaded already get the moved lines too, so that saving them cannot undo
// them. A record whose changes cannot be made stays for the next run (exit code 1).
void RecoverNewsBatches(const std::string& Dir);
