#include "netlib/ras/provider/PhonebookText.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <unordered_set>
#include <vector>

#include "netlib/ras/provider/Limits.h"
#include "platform/fs/FileReplacement.h"
#include "platform/fs/Files.h"

namespace {

constexpr const char* kBlanks = " \t\r";

std::string Trim(const std::string& Text) {
    const size_t First = Text.find_first_not_of(kBlanks);
    if (First == std::string::npos) return {};
    return Text.substr(First, Text.find_last_not_of(kBlanks) - First + 1);
}

std::string Lower(std::string Text) {
    for (char& C : Text)
        if (C >= 'A' && C <= 'Z') C = char(C - 'A' + 'a');
    return Text;
}

bool HasLineEnd(const std::string& Text) {
    return Text.find_first_of("\r\n") != std::string::npos;
}

void CheckEntryName(const std::string& Entry) {
    if (Entry.empty() || Trim(Entry) != Entry || HasLineEnd(Entry) ||
        Entry.find(']') != std::string::npos)
        throw std::invalid_argument("A dial-up entry cannot be named \"" + Entry + "\"");
}

// The line end of the text's first line, for the lines added to it (CR LF in a new file).
std::string LineEndOf(const std::string& Text) {
    const size_t Newline = Text.find('\n');
    if (Newline == std::string::npos) return "\r\n";
    return Newline > 0 && Text[Newline - 1] == '\r' ? "\r\n" : "\n";
}

// The line end a line of the text has (none for a last line without one).
std::string LineEndAt(const std::string& Text, const TPhonebookLine& Line) {
    if (Line.End == Line.Begin || Text[Line.End - 1] != '\n') return {};
    return Line.End - Line.Begin > 1 && Text[Line.End - 2] == '\r' ? "\r\n" : "\n";
}

}  // namespace

void ReadPhonebookLines(const std::string& Text,
                        const std::function<void(const TPhonebookLine& Line)>& Visit) {
    std::unordered_set<std::string> Entries;
    std::string Current;
    size_t Begin = 0;
    for (size_t Number = 1; Begin < Text.size(); ++Number) {
        const size_t Newline = Text.find('\n', Begin);
        TPhonebookLine Line;
        Line.Number = Number;
        Line.Begin = Begin;
        Line.End = Newline == std::string::npos ? Text.size() : Newline + 1;
        Begin = Line.End;
        const size_t Stop = Newline == std::string::npos ? Text.size() : Newline;
        const std::string Content = Trim(Text.substr(Line.Begin, Stop - Line.Begin));
        if (Content.empty() || Content[0] == ';' || Content[0] == '#') {
            Line.Entry = Current;
        } else if (Content[0] == '[') {
            const size_t Close = Content.find(']');
            const std::string Name =
                Close == std::string::npos ? std::string() : Trim(Content.substr(1, Close - 1));
            const bool Known = Entries.count(Name) > 0;
            if (Name.empty()) {
                Line.Kind = TPhonebookLine::kSkipped;
                Line.Why = "bad section header skipped";
                Current.clear();
            } else if (!Known && Entries.size() >= DialupLimits::kMaxPhonebookEntries) {
                Line.Kind = TPhonebookLine::kSkipped;
                Line.Why = "more than " + std::to_string(DialupLimits::kMaxPhonebookEntries) +
                           " entries; the rest is ignored";
                Visit(Line);
                return;
            } else {
                Entries.insert(Name);
                Line.Kind = TPhonebookLine::kEntry;
                Current = Name;
                Line.Entry = Name;
            }
        } else {
            Line.Entry = Current;
            const size_t Equals = Content.find('=');
            if (Current.empty() || Equals == std::string::npos) {
                Line.Kind = TPhonebookLine::kSkipped;
                Line.Why = "line outside an entry or without '=' skipped";
            } else {
                Line.Key = Lower(Trim(Content.substr(0, Equals)));
                Line.Value = Trim(Content.substr(Equals + 1));
                Line.Kind = TPhonebookLine::kValue;
                if (Line.Value.size() > DialupLimits::kMaxValueLength) {
                    Line.Kind = TPhonebookLine::kSkipped;
                    Line.Why = "value of " + Line.Key + " is too long; skipped";
                }
            }
        }
        Visit(Line);
    }
}

std::string SetPhonebookValue(const std::string& Text, const std::string& Entry,
                              const std::string& Key, const std::string& Value) {
    if (Key.empty() || Trim(Key) != Key || HasLineEnd(Key) || Key.find('=') != std::string::npos ||
        Key.find_first_of("[;#") == 0)
        throw std::invalid_argument("A phonebook key cannot be named \"" + Key + "\"");
    if (Trim(Value) != Value || HasLineEnd(Value) || Value.size() > DialupLimits::kMaxValueLength)
        throw std::invalid_argument("The value of " + Key + " cannot be written as it is");
    // The lines the reader takes for the key, and where the entry's first part ends.
    const std::string Wanted = Lower(Key);
    std::vector<TPhonebookLine> Found;
    std::optional<TPhonebookLine> Last;
    bool FirstPart = false;
    bool FirstPartDone = false;
    ReadPhonebookLines(Text, [&](const TPhonebookLine& Line) {
        if (Line.Kind == TPhonebookLine::kValue && Line.Entry == Entry && Line.Key == Wanted)
            Found.push_back(Line);
        if (FirstPart && (Line.Kind == TPhonebookLine::kEntry || Line.Entry != Entry)) {
            FirstPart = false;
            FirstPartDone = true;
        }
        if (!FirstPart && !FirstPartDone && Line.Kind == TPhonebookLine::kEntry &&
            Line.Entry == Entry)
            FirstPart = true;
        if (FirstPart && Line.Kind != TPhonebookLine::kNothing &&
            Line.Kind != TPhonebookLine::kSkipped)
            Last = Line;
    });
    if (!Last) throw std::runtime_error("There is no dial-up entry \"" + Entry + "\"");
    const std::string Written = Key + "=" + Value;
    std::string Out;
    size_t Copied = 0;
    for (size_t N = 0; N < Found.size(); ++N) {
        Out.append(Text, Copied, Found[N].Begin - Copied);
        if (N == 0 && !Value.empty()) Out += Written + LineEndAt(Text, Found[N]);
        Copied = Found[N].End;
    }
    if (Found.empty() && !Value.empty()) {
        Out.append(Text, 0, Last->End);
        const std::string End = LineEndOf(Text);
        if (LineEndAt(Text, *Last).empty()) Out += End;
        Out += Written + End;
        Copied = Last->End;
    }
    Out.append(Text, Copied, std::string::npos);
    return Out;
}

std::string AddPhonebookEntry(const std::string& Text, const std::string& Entry) {
    CheckEntryName(Entry);
    bool Present = false;
    ReadPhonebookLines(Text, [&](const TPhonebookLine& Line) {
        Present = Present || (Line.Kind == TPhonebookLine::kEntry && Line.Entry == Entry);
    });
    if (Present) return Text;
    const std::string End = LineEndOf(Text);
    std::string Out = Text;
    if (!Out.empty()) {
        if (Out.back() != '\n') Out += End;
        Out += End;
    }
    return Out + "[" + Entry + "]" + End;
}

TPhonebookRead ReadPhonebookText(const std::string& Path, std::string& Text, std::string& Error) {
    Text.clear();
    struct stat St {};
    if (::stat(Path.c_str(), &St) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return TPhonebookRead::Missing;
        Error = std::strerror(errno);
        return TPhonebookRead::Unreadable;
    }
    if (!S_ISREG(St.st_mode)) {
        Error = "not a regular file";
        return TPhonebookRead::Unreadable;
    }
    const std::string TooLarge =
        "larger than " + std::to_string(DialupLimits::kMaxPhonebookBytes) + " bytes";
    if (std::uintmax_t(St.st_size) > DialupLimits::kMaxPhonebookBytes) {
        Error = TooLarge;
        return TPhonebookRead::Unreadable;
    }
    std::ifstream In(Path, std::ios::binary);
    if (!In) {
        Error = std::strerror(errno);
        return TPhonebookRead::Unreadable;
    }
    std::ostringstream Content;
    Content << In.rdbuf();
    if (Content.str().size() > DialupLimits::kMaxPhonebookBytes) {
        Error = TooLarge;
        return TPhonebookRead::Unreadable;
    }
    Text = Content.str();
    return TPhonebookRead::Ok;
}

void WritePhonebookText(const std::string& Path, const std::string& Text) {
    if (Text.size() > DialupLimits::kMaxPhonebookBytes)
        throw std::runtime_error("Cannot write " + Path + ": it would be larger than " +
                                 std::to_string(DialupLimits::kMaxPhonebookBytes) + " bytes");
    const std::string Target = ResolvePath(Path);
    struct stat St {};
    const mode_t Mode = ::stat(Target.c_str(), &St) == 0 ? St.st_mode & 07777 : 0600;
    // Every write takes the file's lock: the temporary files found under it are those of writers
    // killed before their rename, which nothing else would ever remove.
    const TFileWriteLock Lock(Target);
    RemoveLeftoverTempFiles(Target);
    if (!ReplaceFileWhole(Target, Text, Mode))
        throw std::runtime_error("Cannot write " + Path + ": " + std::strerror(errno));
}
