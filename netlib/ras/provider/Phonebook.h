#pragma once
// The phonebook of the command provider: an INI file with one section per dial-up entry.
//
//   [isp]
//   PhoneNumber=0191011
//   UserName=anna
//   Domain=
//   Password=secret
//   Connect=pon isp
//   Disconnect=poff isp
//   Status=ip link show ppp0 up | grep -q UP
//   Timeout=60
//
// Password is optional (a stored password); without Connect the entry counts as always online;
// Status is asked for the line's state (exit code 0: the line is up); Timeout is the seconds each
// command may take. How the lines are read is PhonebookText.h's: both the dialer and the dialog
// that edits an entry read the file that one way.
#include <cstdint>
#include <string>
#include <vector>

#include "netlib/ras/provider/PhonebookText.h"

struct TPhonebookEntry {
    std::string Name;
    std::string PhoneNumber;
    std::string CallbackNumber;
    std::string UserName;
    std::string Domain;
    std::string Password;
    bool HasPassword = false;
    std::string Connect;
    std::string Disconnect;
    std::string Status;
    uint32_t TimeoutSeconds = 0;
    // Timeout as written (empty when not given).
    std::string Timeout;
};

class TPhonebook {
  public:
    // Reads the file. Missing: an empty phonebook. Unreadable (or too large): empty, with the
    // reason in error. Bad lines are skipped with a log line naming the file and line.
    TPhonebookRead Read(const std::string& path, std::string& error);
    // Parses text as the file's content; file only names it in log lines.
    void Parse(const std::string& text, const std::string& file);

    const std::vector<TPhonebookEntry>& Entries() const { return FEntries; }
    // The entry with exactly this name (names are case-sensitive, as the dialer compares them).
    const TPhonebookEntry* Find(const std::string& name) const;

  private:
    std::vector<TPhonebookEntry> FEntries;
};

// The phonebook file the provider uses: the given path, else "phonebook.ini" in the program's
// directory; looked up ignoring case.
std::string PhonebookPath(const std::string* phonebook);
