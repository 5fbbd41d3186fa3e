#pragma once
// The phonebook file's text, line by line, read the one way both the dialer and the dialog that
// edits an entry read it, and changed line by line so that every other line stays as it was.
//
// Reading a line (trimmed of blanks, tabs and CRs at both ends):
//   empty, or starting with ';' or '#'   nothing (a comment)
//   "[Name]..."                          the start of entry Name (trimmed, up to the first ']');
//                                        an entry named twice goes on where it left off
//   "Key=Value"                          a value of the entry above: Key (trimmed, compared
//                                        ignoring ASCII case) and Value (trimmed); of a key given
//                                        twice, the last value holds
// Anything else, a header without a name, a value outside an entry or one longer than
// DialupLimits::kMaxValueLength is skipped with a reason. Entry names are case-sensitive, as the
// dialer compares them: "[ISP]" and "[isp]" are two entries.
#include <cstddef>
#include <functional>
#include <string>

struct TPhonebookLine {
    enum TKind { kNothing, kEntry, kValue, kSkipped };
    TKind Kind = kNothing;
    // 1-based; and the line's bytes in the text, its line end included.
    size_t Number = 0;
    size_t Begin = 0;
    size_t End = 0;
    // kEntry: the entry it starts; kValue: the entry it belongs to.
    std::string Entry;
    // kValue: the key in lower case and the value.
    std::string Key;
    std::string Value;
    // kSkipped: why, for the log.
    std::string Why;
};

// Reads Text line by line. After an entry beyond DialupLimits::kMaxPhonebookEntries (reported as
// skipped) nothing more is read.
void ReadPhonebookLines(const std::string& Text,
                        const std::function<void(const TPhonebookLine& Line)>& Visit);

// The text with the entry's key set to Value: every line read as that key of that entry goes,
// and "Key=Value" takes the place of the first of them, else ends the entry's first part (after
// its last value there). An empty Value only removes the key. Raises std::invalid_argument for a
// key or value that would not read back as given (a line end, blanks around the value),
// std::runtime_error when there is no entry of that name.
std::string SetPhonebookValue(const std::string& Text, const std::string& Entry,
                              const std::string& Key, const std::string& Value);

// The text with the entry added at its end when there is none of that name (a blank line, then
// its header). Raises std::invalid_argument for a name that would not read back as given.
std::string AddPhonebookEntry(const std::string& Text, const std::string& Entry);

enum class TPhonebookRead { Ok, Missing, Unreadable };

// The file's text; Missing: empty. Unreadable when it cannot be read or is larger than
// DialupLimits::kMaxPhonebookBytes, with the reason in Error.
TPhonebookRead ReadPhonebookText(const std::string& Path, std::string& Text, std::string& Error);

// Replaces the file by Text whole (a temporary file beside it renamed over it, under the file's
// lock: FileReplacement.h), keeping the
// permission bits of the file it replaces (a new file is the owner's alone: it may hold
// passwords). Raises std::runtime_error naming the file when it cannot be written, or when Text is
// larger than the dialer would read.
void WritePhonebookText(const std::string& Path, const std::string& Text);
