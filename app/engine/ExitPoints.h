#pragma once
// Points where a test can end the process at once, as a kill at that moment would: between the
// steps of storing a news batch or a fetched mail, and between a post's acceptance and the
// deletion of its file.
// KESTRO_EXIT_AT names the point; the process reaching it ends through _exit with ExitPointCode,
// writing, closing and removing nothing more. Without the variable nothing happens.
#include <cstdint>
#include <string>

enum TExitPoint : uint8_t {
    epBatchComplete,   // the batch is whole under its temporary name
    epBatchRecorded,   // its pending record is written
    epBatchNamed,      // the batch has its name: it is stored
    epGroupListSaved,  // the group's line is in the group list file
    epDupesSaved,      // the dupe database file holds the batch's articles
    epRecordRemoved,   // the pending record is gone again
    epPostAccepted,    // the server accepted a post whose file is not deleted yet
    epMailWritten,     // a fetched mail is whole under its temporary name, not listed yet
    epMailListed,      // a fetched mail is whole under its temporary name and listed as stored
    epMailStored,      // the mail has its name: it is stored, and not deleted on the server yet
};

// The exit code of a process ended at an exit point.
inline constexpr int ExitPointCode = 86;

// The name KESTRO_EXIT_AT gives the point ("batch-named", ...).
std::string ExitPointName(TExitPoint Point);

// Ends the process when KESTRO_EXIT_AT names this point.
void ExitPoint(TExitPoint Point);
