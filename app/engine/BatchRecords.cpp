#include "app/engine/BatchRecords.h"

#include <algorithm>
#include <climits>
#include <exception>
#include <utility>

#include "app/engine/EngineLog.h"
#include "app/engine/KestroGlobal.h"
#include "app/engine/RunState.h"
#include "app/engine/SafeFile.h"
#include "app/engine/SpoolLimits.h"
#include "app/engine/UnitScheduler.h"
#include "app/engine/dupecheck.h"
#include "netlib/base/IpUtils.h"
#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"

namespace {

constexpr const char* kHeader = "Kestro news batch 1";
constexpr const char* kPrefix = "batch";
constexpr const char* kExtension = ".pending";

std::string Escape(const std::string& Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (char C : Text) {
        if (C == '\\')
            Out += "\\\\";
        else if (C == '\r')
            Out += "\\r";
        else if (C == '\n')
            Out += "\\n";
        else
            Out += C;
    }
    return Out;
}

std::string Unescape(const std::string& Text) {
    std::string Out;
    Out.reserve(Text.size());
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '\\' || I + 1 == Text.size()) {
            Out += Text[I];
            continue;
        }
        const char Next = Text[++I];
        Out += Next == 'r' ? '\r' : Next == 'n' ? '\n' : Next;
    }
    return Out;
}

std::string Hex(const std::string& Bytes) {
    static const char Digits[] = "0123456789abcdef";
    std::string Out;
    Out.reserve(Bytes.size() * 2);
    for (unsigned char C : Bytes) {
        Out += Digits[C >> 4];
        Out += Digits[C & 15];
    }
    return Out;
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

std::string Unhex(const std::string& Text) {
    if (Text.size() % 2 != 0) throw EReadError("Ungerade Hex-Zahl");
    std::string Out;
    Out.reserve(Text.size() / 2);
    for (size_t I = 0; I < Text.size(); I += 2) {
        const int High = HexDigit(Text[I]), Low = HexDigit(Text[I + 1]);
        if (High < 0 || Low < 0) throw EReadError("Keine Hex-Zahl: " + Text);
        Out += char(High << 4 | Low);
    }
    return Out;
}

// The number N of "batch<N>.pending"; -1 for other names.
int64_t RecordNumber(const std::string& Name) {
    const std::string Lower = LowerAscii(Name);
    const size_t Prefix = std::char_traits<char>::length(kPrefix);
    const size_t Extension = std::char_traits<char>::length(kExtension);
    if (Lower.size() <= Prefix + Extension || Lower.compare(0, Prefix, kPrefix) != 0 ||
        Lower.compare(Lower.size() - Extension, Extension, kExtension) != 0)
        return -1;
    return ToInt64Def(Lower.substr(Prefix, Lower.size() - Prefix - Extension), -1);
}

std::string ReadRecordFile(const std::string& FileName) {
    const int64_t Size = FileSizeOf(FileName);
    if (Size > SpoolLimits::kMaxBatchRecordSize)
        throw EReadError("Die Datei " + FileName + " ist zu gro\xC3\x9F (" + std::to_string(Size) +
                         " Bytes)");
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    std::string Text(size_t(File.Size()), '\0');
    if (!Text.empty()) File.ReadBuffer(Text.data(), int64_t(Text.size()));
    return Text;
}

// The line of list the record moves: at its index when it stands there (moved or not yet),
// else the first line that still reads as before; -1 when there is none.
int32_t MovedLine(const TStringList& List, const TBatchRecord& Record) {
    if (Record.Line >= 0 && Record.Line < List.Count() &&
        (List[Record.Line] == Record.OldLine || List[Record.Line] == Record.NewLine))
        return Record.Line;
    for (int32_t I = 0; I < List.Count(); ++I)
        if (List[I] == Record.OldLine) return I;
    return -1;
}

// The line in the group list file and in every list of this run loaded from it.
void ApplyGroupLine(const TBatchRecord& Record) {
    if (!FileExists(Record.GroupList)) {
        EngineLog("Warnung: Die Gruppenliste " + Record.GroupList + " fehlt");
        return;
    }
    TStringList List;
    LoadListFile(List, Record.GroupList);
    const int32_t Index = MovedLine(List, Record);
    if (Index < 0) {
        // The user changed the list since: the line stays as it is now.
        EngineLog("Warnung: " + Record.GroupList + " enth\xC3\xA4lt die Zeile \"" + Record.OldLine +
                  "\" nicht mehr");
        return;
    }
    if (List[Index] != Record.NewLine) {
        List.SetString(Index, Record.NewLine);
        WriteFileAtomic(Record.GroupList, List.Text());
    }
    const std::string Target = ResolvePath(Record.GroupList);
    for (size_t I = 0; I < NNTPTasks.Lists.size() && I < NNTPTasks.FileNames.size(); ++I) {
        TStringList* Loaded = NNTPTasks.Lists[I].get();
        if (!Loaded || ResolvePath(NNTPTasks.FileNames[I]) != Target) continue;
        const int32_t Line = MovedLine(*Loaded, Record);
        if (Line >= 0) Loaded->SetString(Line, Record.NewLine);
    }
}

void ApplyDupes(const TBatchRecord& Record) {
    std::unique_ptr<TCustomDupecheck> Check = DupecheckForFile(Record.Dupes);
    if (!Check) throw EReadError("Unbekannte Dupedatenbank " + Record.Dupes);
    // Every entry stays until the run's own database trims the file to its size.
    Check->MaxEntries = INT32_MAX;
    Check->Load();
    TDupeBatch Batch(Record.Entries);
    Check->Commit(Batch);
    if (Check->Modified()) Check->Save();
}

// Drops the batch of a record that never took its name, or completes the changes of one that
// did. Raises when a change cannot be made.
void Settle(const TBatchRecord& Record) {
    if (FileExists(Record.Complete)) {
        for (const std::string& Temp : Record.Temps) DeleteFile(Temp);
        EngineLog("Unvollst\xC3\xA4ndiger Stapel " + Record.Complete + " verworfen");
        return;
    }
    // A sorted batch leaves its unsorted copy until after the rename.
    for (const std::string& Temp : Record.Temps)
        if (FileExists(Temp)) DeleteFile(Temp);
    std::string Done;
    if (!Record.GroupList.empty()) {
        ApplyGroupLine(Record);
        Done = "Zeile \"" + Record.NewLine + "\" in " + Record.GroupList;
    }
    if (!Record.Dupes.empty()) {
        ApplyDupes(Record);
        if (!Done.empty()) Done += " und ";
        Done += std::to_string(Record.Entries.size()) + " Eintr\xC3\xA4ge in " + Record.Dupes;
    }
    EngineLog("Gespeicherter Stapel " + Record.Batch + ": " + Done + " nachgetragen");
}

}  // namespace

std::string TBatchRecord::Text() const {
    std::string Out = std::string(kHeader) + "\r\n";
    auto Add = [&](const char* Key, const std::string& Value) {
        Out.append(Key).append("=").append(Value).append("\r\n");
    };
    Add("Batch", Escape(Batch));
    Add("Complete", Escape(Complete));
    for (const std::string& Temp : Temps) Add("Temp", Escape(Temp));
    if (!GroupList.empty()) {
        Add("GroupList", Escape(GroupList));
        Add("Line", std::to_string(Line));
        Add("Old", Escape(OldLine));
        Add("New", Escape(NewLine));
    }
    if (!Dupes.empty()) {
        Add("Dupes", Escape(Dupes));
        for (const std::string& Entry : Entries) Add("Entry", Hex(Entry));
    }
    return Out;
}

TBatchRecord TBatchRecord::Parse(const std::string& Text) {
    TBatchRecord Record;
    size_t Start = 0;
    bool Header = true;
    while (Start < Text.size()) {
        size_t End = Text.find('\n', Start);
        if (End == std::string::npos) End = Text.size();
        std::string Line = Text.substr(Start, End - Start);
        Start = End + 1;
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Header) {
            if (Line != kHeader) throw EReadError("Kein Stapel-Protokoll");
            Header = false;
            continue;
        }
        const size_t Equals = Line.find('=');
        if (Equals == std::string::npos) throw EReadError("Zeile ohne \"=\": " + Line);
        const std::string Key = Line.substr(0, Equals);
        const std::string Value = Line.substr(Equals + 1);
        if (Key == "Batch")
            Record.Batch = Unescape(Value);
        else if (Key == "Complete")
            Record.Complete = Unescape(Value);
        else if (Key == "Temp")
            Record.Temps.push_back(Unescape(Value));
        else if (Key == "GroupList")
            Record.GroupList = Unescape(Value);
        else if (Key == "Line")
            Record.Line = int32_t(ToInt64Def(Value, -1));
        else if (Key == "Old")
            Record.OldLine = Unescape(Value);
        else if (Key == "New")
            Record.NewLine = Unescape(Value);
        else if (Key == "Dupes")
            Record.Dupes = Unescape(Value);
        else if (Key == "Entry")
            Record.Entries.push_back(Unhex(Value));
        else
            throw EReadError("Unbekannter Eintrag: " + Key);
    }
    if (Header || Record.Batch.empty() || Record.Complete.empty())
        throw EReadError("Unvollst\xC3\xA4ndiges Stapel-Protokoll");
    return Record;
}

std::string WriteBatchRecord(const TBatchRecord& Record, const std::string& Dir) {
    // Numbered after every record still there, so that their order is the order of storing.
    const std::string Prefix = IncludeTrailingPathDelimiter(Dir);
    int64_t Next = 0;
    for (const std::string& Name : FindFiles(Prefix, std::string(kPrefix) + "*" + kExtension))
        Next = std::max(Next, RecordNumber(Name) + 1);
    const std::string Name = Prefix + kPrefix + std::to_string(Next) + kExtension;
    WriteFileAtomic(Name, Record.Text());
    return Name;
}

void RecoverNewsBatches(const std::string& Dir) {
    const std::string Prefix = IncludeTrailingPathDelimiter(Dir);
    // A record cut short by a kill never got its name: nothing was stored after it.
    for (const std::string& Name :
         FindFiles(Prefix, std::string(kPrefix) + "*" + kExtension + ".tmp"))
        DeleteFile(Prefix + Name);
    std::vector<std::pair<int64_t, std::string>> Records;
    for (const std::string& Name : FindFiles(Prefix, std::string(kPrefix) + "*" + kExtension)) {
        const int64_t Number = RecordNumber(Name);
        if (Number >= 0) Records.emplace_back(Number, Prefix + Name);
    }
    std::sort(Records.begin(), Records.end());
    for (const auto& [Number, FileName] : Records) {
        TBatchRecord Record;
        try {
            Record = TBatchRecord::Parse(ReadRecordFile(FileName));
        } catch (const std::exception& E) {
            // Not one of ours, or damaged: at worst a batch's articles arrive once more.
            EngineLog("Warnung: " + FileName + " wird verworfen: " + E.what());
            DeleteFile(FileName);
            continue;
        }
        try {
            Settle(Record);
            DeleteFile(FileName);
        } catch (const std::exception& E) {
            EngineLog("Error: Stapel " + Record.Batch + ": " + E.what());
            SetRunExitCode(ExitCodeError);
        }
    }
}
