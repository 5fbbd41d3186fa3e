#include "platform/classes/IniFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>

#include "platform/classes/Limits.h"
#include "platform/fs/Files.h"

namespace {

// ---- lines -----------------------------------------------------------------------------------

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

std::string_view Trim(std::string_view Text) {
    while (!Text.empty() && IsBlank(Text.front())) Text.remove_prefix(1);
    while (!Text.empty() && IsBlank(Text.back())) Text.remove_suffix(1);
    return Text;
}

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

bool SameAscii(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (size_t I = 0; I < A.size(); ++I)
        if (UpperAscii(A[I]) != UpperAscii(B[I])) return false;
    return true;
}

enum class TLineKind { Blank, Comment, Header, BrokenHeader, Entry, Nameless, Garbage };

// What one line of the file is (the one rule for reading a line; see IniFiles.h).
struct TLineInfo {
    TLineKind Kind = TLineKind::Garbage;
    std::string_view Name;  // a header's section name or an entry's key
    size_t ValueAt = 0;     // an entry's value: the bytes of the line from here on
};

TLineInfo Classify(std::string_view Text) {
    const std::string_view Trimmed = Trim(Text);
    if (Trimmed.empty()) return {TLineKind::Blank, {}, 0};
    if (Trimmed.front() == ';') return {TLineKind::Comment, {}, 0};
    if (Trimmed.front() == '[') {
        if (Trimmed.size() < 2 || Trimmed.back() != ']') return {TLineKind::BrokenHeader, {}, 0};
        return {TLineKind::Header, Trimmed.substr(1, Trimmed.size() - 2), 0};
    }
    const size_t Equals = Text.find('=');
    if (Equals == std::string_view::npos) return {TLineKind::Garbage, {}, 0};
    const std::string_view Key = Trim(Text.substr(0, Equals));
    if (Key.empty()) return {TLineKind::Nameless, {}, 0};
    return {TLineKind::Entry, Key, Equals + 1};
}

std::string ProblemText(TLineKind Kind) {
    switch (Kind) {
        case TLineKind::BrokenHeader:
            return "a section header without ']' (the lines up to the next header belong to no "
                   "section)";
        case TLineKind::Nameless:
            return "a value without a name";
        case TLineKind::Garbage:
            return "neither a section header, a value nor a comment";
        default:
            return "a value before the first section";
    }
}

}  // namespace

// ---- the contents --------------------------------------------------------------------------

class TIniContent {
  public:
    struct TLine {
        std::string Text;  // without its line end
        std::string End;   // "\r\n", "\n", "\r", or "" for a last line without one
    };
    // A run of lines from a header up to the next one. The first section holds the lines before
    // the first header and has no name; so has one whose header lacks its ']'.
    struct TSection {
        std::string Name;
        bool Named = false;
        std::vector<TLine> Lines;  // a header, when there is one, first
    };

    TIniContent() { Sections.emplace_back(); }

    std::vector<TSection> Sections;
    // The line end of lines this class adds: the file's first one.
    std::string DefaultEnd = "\r\n";
    bool CaseSensitive = false;
    std::vector<TIniFileProblem> Problems;
    // Set when the file could not be read completely: the resolved path that must not be
    // written over, and the problem that says why.
    std::string ProtectedPath;
    std::optional<TIniFileProblem> Damage;

    bool Same(std::string_view A, std::string_view B) const {
        return CaseSensitive ? A == B : SameAscii(A, B);
    }

    // Splits the bytes into lines and sections. A NUL byte ends the reading: the line that holds
    // it and the rest are not taken (it is no text file). Returns false then.
    bool Parse(std::string_view Bytes) {
        bool FirstEnd = true;
        int LineNo = 0;
        size_t At = 0;
        while (At < Bytes.size()) {
            ++LineNo;
            size_t Stop = At;
            while (Stop < Bytes.size() && Bytes[Stop] != '\r' && Bytes[Stop] != '\n') ++Stop;
            size_t Next = Stop;
            if (Next < Bytes.size() && Bytes[Next] == '\r') ++Next;
            if (Next < Bytes.size() && Bytes[Next] == '\n') ++Next;
            const std::string_view Text = Bytes.substr(At, Stop - At);
            if (Text.find('\0') != std::string_view::npos) {
                SetDamage({LineNo, "a NUL byte (the file was read up to the line before it)"});
                return false;
            }
            TLine Line{std::string(Text), std::string(Bytes.substr(Stop, Next - Stop))};
            if (FirstEnd && !Line.End.empty()) {
                DefaultEnd = Line.End;
                FirstEnd = false;
            }
            AddLine(std::move(Line), LineNo);
            At = Next;
        }
        return true;
    }

    void SetDamage(TIniFileProblem Problem) {
        Problems.push_back(Problem);
        Damage = std::move(Problem);
    }

    std::string Text() const {
        std::string Out;
        for (const TSection& Section : Sections) {
            for (const TLine& Line : Section.Lines) {
                if (!Out.empty() && Out.back() != '\n' && Out.back() != '\r') Out += DefaultEnd;
                Out += Line.Text;
                Out += Line.End;
            }
        }
        return Out;
    }

    // Calls Visit(section, line index, line info) for each value line of the sections named
    // Section, in file order, until it returns true; returns whether one did.
    template <class F>
    bool ForEachEntry(std::string_view Section, F Visit) {
        for (TSection& S : Sections) {
            if (!S.Named || !Same(S.Name, Section)) continue;
            for (size_t I = 1; I < S.Lines.size(); ++I) {
                const TLineInfo Info = Classify(S.Lines[I].Text);
                if (Info.Kind == TLineKind::Entry && Visit(S, I, Info)) return true;
            }
        }
        return false;
    }

    std::optional<std::string> Value(std::string_view Section, std::string_view Ident) {
        std::optional<std::string> Found;
        ForEachEntry(Section, [&](TSection& S, size_t I, const TLineInfo& Info) {
            if (!Same(Info.Name, Ident)) return false;
            Found = S.Lines[I].Text.substr(Info.ValueAt);
            return true;
        });
        return Found;
    }

    // Each key of the section once (its first spelling and value), in file order.
    std::vector<std::pair<std::string, std::string>> Values(std::string_view Section) {
        std::vector<std::pair<std::string, std::string>> Result;
        ForEachEntry(Section, [&](TSection& S, size_t I, const TLineInfo& Info) {
            for (const auto& Known : Result)
                if (Same(Known.first, Info.Name)) return false;
            Result.emplace_back(std::string(Info.Name), S.Lines[I].Text.substr(Info.ValueAt));
            return false;
        });
        return Result;
    }

    // Each change returns whether it changed anything.
    bool SetValue(const std::string& Section, const std::string& Ident, const std::string& Value) {
        bool Changed = false;
        const bool Found = ForEachEntry(Section, [&](TSection& S, size_t I, const TLineInfo& Info) {
            if (!Same(Info.Name, Ident)) return false;
            std::string& Text = S.Lines[I].Text;
            Changed = Text.compare(Info.ValueAt, std::string::npos, Value) != 0;
            Text.replace(Info.ValueAt, std::string::npos, Value);
            return true;
        });
        if (Found) return Changed;
        TLine Line{Ident + "=" + Value, DefaultEnd};
        if (TSection* S = FindSection(Section)) {
            S->Lines.insert(S->Lines.begin() + std::ptrdiff_t(AfterLastEntry(*S)), std::move(Line));
            return true;
        }
        const TSection& Last = Sections.back();
        const bool Empty = Sections.size() == 1 && Last.Lines.empty();
        if (!Empty &&
            (Last.Lines.empty() || Classify(Last.Lines.back().Text).Kind != TLineKind::Blank))
            Sections.back().Lines.push_back({"", DefaultEnd});
        Sections.push_back({Section, true, {{"[" + Section + "]", DefaultEnd}, std::move(Line)}});
        return true;
    }

    bool DeleteKey(std::string_view Section, std::string_view Ident) {
        size_t Removed = 0;
        for (TSection& S : Sections) {
            if (!S.Named || !Same(S.Name, Section)) continue;
            Removed += std::erase_if(S.Lines, [&](const TLine& Line) {
                const TLineInfo Info = Classify(Line.Text);
                return Info.Kind == TLineKind::Entry && Same(Info.Name, Ident);
            });
        }
        return Removed > 0;
    }

    bool EraseSection(std::string_view Section) {
        return std::erase_if(Sections, [&](const TSection& S) {
                   return S.Named && Same(S.Name, Section);
               }) > 0;
    }

    TSection* FindSection(std::string_view Section) {
        for (TSection& S : Sections)
            if (S.Named && Same(S.Name, Section)) return &S;
        return nullptr;
    }

  private:
    void AddLine(TLine Line, int LineNo) {
        const TLineInfo Info = Classify(Line.Text);
        if (Info.Kind == TLineKind::Header || Info.Kind == TLineKind::BrokenHeader) {
            if (Info.Kind == TLineKind::BrokenHeader)
                Problems.push_back({LineNo, ProblemText(Info.Kind)});
            Sections.push_back({std::string(Info.Name), Info.Kind == TLineKind::Header, {}});
        } else if (Info.Kind == TLineKind::Nameless || Info.Kind == TLineKind::Garbage ||
                   (Info.Kind == TLineKind::Entry && Sections.size() == 1)) {
            Problems.push_back({LineNo, ProblemText(Info.Kind)});
        }
        Sections.back().Lines.push_back(std::move(Line));
    }

    // Where a new key of the section goes: after its last value, or after its header.
    static size_t AfterLastEntry(const TSection& S) {
        size_t At = 1;
        for (size_t I = 1; I < S.Lines.size(); ++I)
            if (Classify(S.Lines[I].Text).Kind == TLineKind::Entry) At = I + 1;
        return At;
    }
};

// ---- files ---------------------------------------------------------------------------------

namespace {

std::string SystemError(int Error) {
    return std::strerror(Error);
}

// Reads the file into Bytes (nothing when it does not exist); returns why it cannot be read
// whole, or nothing.
std::optional<std::string> ReadBytes(const std::string& Path, std::string& Bytes) {
    int Fd;
    do {
        Fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (Fd < 0 && errno == EINTR);
    if (Fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        return "it cannot be read: " + SystemError(errno);
    }
    const size_t Limit = ClassesLimits::kMaxIniFileSize;
    const std::string TooLarge = "it is larger than " + std::to_string(Limit) + " bytes";
    struct stat Info;
    std::optional<std::string> Failure;
    if (::fstat(Fd, &Info) != 0) {
        Failure = "it cannot be read: " + SystemError(errno);
    } else if (S_ISDIR(Info.st_mode)) {
        Failure = "it cannot be read: " + SystemError(EISDIR);
    } else if (Info.st_size > off_t(Limit)) {
        Failure = TooLarge;
    } else {
        // Reading goes on past the limit, so a file that grew since fstat is caught too.
        char Block[65536];
        while (!Failure && Bytes.size() <= Limit) {
            const ssize_t N = ::read(Fd, Block, sizeof Block);
            if (N < 0 && errno == EINTR) continue;
            if (N < 0) Failure = "it cannot be read: " + SystemError(errno);
            if (N <= 0) break;
            Bytes.append(Block, size_t(N));
        }
        if (!Failure && Bytes.size() > Limit) Failure = TooLarge;
    }
    ::close(Fd);
    return Failure;
}

std::unique_ptr<TIniContent> ReadContent(const std::string& FileName) {
    auto Content = std::make_unique<TIniContent>();
    const std::string Path = ResolvePath(FileName);
    std::string Bytes;
    if (const std::optional<std::string> Failure = ReadBytes(Path, Bytes))
        Content->SetDamage({0, *Failure});
    else
        Content->Parse(Bytes);
    if (Content->Damage) Content->ProtectedPath = Path;
    return Content;
}

// The file a write to Path replaces: the target of a symbolic link, so the link stays.
std::string WriteTarget(const std::string& Path) {
    struct stat Info;
    if (::lstat(Path.c_str(), &Info) != 0 || !S_ISLNK(Info.st_mode)) return Path;
    char* Real = ::realpath(Path.c_str(), nullptr);
    if (Real == nullptr) return Path;
    std::string Target = Real;
    std::free(Real);
    return Target;
}

bool WriteAll(int Fd, std::string_view Bytes) {
    while (!Bytes.empty()) {
        const ssize_t N = ::write(Fd, Bytes.data(), Bytes.size());
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) return false;
        Bytes.remove_prefix(size_t(N));
    }
    return true;
}

// Replaces the file at Path by Bytes: a temporary file beside it, written and synced, then
// renamed over it. Returns 0, or the errno of the step that failed (nothing is left behind).
int ReplaceFile(const std::string& Path, std::string_view Bytes) {
    static std::atomic<unsigned> Counter{0};
    const std::string Target = WriteTarget(Path);
    struct stat Old;
    const bool Existed = ::stat(Target.c_str(), &Old) == 0;
    std::string Temp;
    int Fd = -1;
    for (int Attempt = 0; Fd < 0 && Attempt < 100; ++Attempt) {
        Temp = Target + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(Counter++);
        Fd = ::open(Temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (Fd < 0 && errno != EEXIST) return errno;
    }
    if (Fd < 0) return EEXIST;
    int Error = 0;
    if (Existed && ::fchmod(Fd, Old.st_mode & 07777) != 0) Error = errno;
    if (!Error && !WriteAll(Fd, Bytes)) Error = errno ? errno : EIO;
    if (!Error && ::fsync(Fd) != 0) Error = errno;
    if (::close(Fd) != 0 && !Error) Error = errno;
    if (!Error && ::rename(Temp.c_str(), Target.c_str()) != 0) Error = errno;
    if (Error) {
        ::unlink(Temp.c_str());
        return Error;
    }
    // The rename itself reaches the disk with the directory.
    const std::string Dir = ExtractFileDir(Target);
    const int DirFd = ::open(Dir.empty() ? "." : Dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (DirFd >= 0) {
        ::fsync(DirFd);
        ::close(DirFd);
    }
    return 0;
}

std::string Quoted(const std::string& Text) {
    return "\"" + Text + "\"";
}

bool HasLineBreakOrNul(std::string_view Text) {
    return Text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Why the name or value cannot be stored so that it reads back the same; empty when it can.
std::string Unstorable(const std::string& Section, const std::string& Ident,
                       const std::string& Value) {
    if (HasLineBreakOrNul(Section)) return "the section name " + Quoted(Section);
    if (HasLineBreakOrNul(Value)) return "the value of " + Quoted(Ident);
    if (Ident.empty()) return "an empty key";
    if (HasLineBreakOrNul(Ident) || Ident.find('=') != std::string::npos || Ident.front() == ';' ||
        Ident.front() == '[' || IsBlank(Ident.front()) || IsBlank(Ident.back()))
        return "the key " + Quoted(Ident);
    return {};
}

std::optional<std::int32_t> ParseInteger(std::string_view Text) {
    Text = Trim(Text);
    bool Negative = false;
    if (!Text.empty() && (Text.front() == '-' || Text.front() == '+')) {
        Negative = Text.front() == '-';
        Text.remove_prefix(1);
    }
    unsigned Base = 10;
    if (!Text.empty() && Text.front() == '$') {
        Base = 16;
        Text.remove_prefix(1);
    } else if (Text.size() > 2 && Text[0] == '0' && (Text[1] == 'x' || Text[1] == 'X')) {
        Base = 16;
        Text.remove_prefix(2);
    }
    if (Text.empty() || (Base == 16 && Text.size() > 8)) return std::nullopt;
    std::uint64_t Value = 0;
    for (char C : Text) {
        unsigned Digit;
        if (C >= '0' && C <= '9')
            Digit = unsigned(C - '0');
        else if (Base == 16 && UpperAscii(C) >= 'A' && UpperAscii(C) <= 'F')
            Digit = unsigned(UpperAscii(C) - 'A' + 10);
        else
            return std::nullopt;
        Value = Value * Base + Digit;
        if (Value > 0xFFFFFFFFu) return std::nullopt;
    }
    // Hexadecimal digits are a 32-bit pattern; decimal ones must fit the signed range.
    std::int64_t Signed =
        Base == 16 ? std::int64_t(std::int32_t(std::uint32_t(Value))) : std::int64_t(Value);
    if (Negative) Signed = -Signed;
    if (Signed < INT32_MIN || Signed > INT32_MAX) return std::nullopt;
    return std::int32_t(Signed);
}

}  // namespace

// ---- TCustomIniFile --------------------------------------------------------------------------

TCustomIniFile::TCustomIniFile(std::string FileName)
    : FFileName(std::move(FileName)), FContent(std::make_unique<TIniContent>()) {}

TCustomIniFile::~TCustomIniFile() = default;

const std::vector<TIniFileProblem>& TCustomIniFile::Problems() const {
    return FContent->Problems;
}

void TCustomIniFile::Load() {
    const bool CaseSensitive = FContent->CaseSensitive;
    FContent = ReadContent(FFileName);
    FContent->CaseSensitive = CaseSensitive;
}

void TCustomIniFile::Save() {
    const std::string Path = ResolvePath(FFileName);
    if (FContent->Damage && Path == FContent->ProtectedPath) {
        const TIniFileProblem& Damage = *FContent->Damage;
        const std::string Where = Damage.Line ? "line " + std::to_string(Damage.Line) + ": " : "";
        throw EIniFileException("Cannot write " + Quoted(FFileName) +
                                    ", which could not be read completely (" + Where + Damage.What +
                                    ")",
                                FFileName, Damage.Line);
    }
    const std::string Bytes = FContent->Text();
    if (Bytes.size() > ClassesLimits::kMaxIniFileSize)
        throw EIniFileException("Cannot write " + Quoted(FFileName) + ": " +
                                    std::to_string(Bytes.size()) + " bytes are more than " +
                                    std::to_string(ClassesLimits::kMaxIniFileSize),
                                FFileName);
    if (const int Error = ReplaceFile(Path, Bytes))
        throw EIniFileException("Cannot write " + Quoted(FFileName) + ": " + SystemError(Error),
                                FFileName);
}

std::string TCustomIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                       const std::string& Default) {
    Refresh();
    return FContent->Value(Section, Ident).value_or(Default);
}

void TCustomIniFile::WriteString(const std::string& Section, const std::string& Ident,
                                 const std::string& Value) {
    const std::string Bad = Unstorable(Section, Ident, Value);
    if (!Bad.empty())
        throw EIniFileException("Cannot store " + Bad + " in " + Quoted(FFileName) +
                                    ": it would not read back the same",
                                FFileName);
    Refresh();
    if (FContent->SetValue(Section, Ident, Value)) Changed();
}

int TCustomIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) {
    return ParseInteger(ReadString(Section, Ident, {})).value_or(Default);
}

void TCustomIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, std::to_string(Value));
}

bool TCustomIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TCustomIniFile::ReadSection(const std::string& Section, TStringList& Strings) {
    Refresh();
    Strings.Clear();
    for (const auto& [Key, Value] : FContent->Values(Section)) Strings.Add(Key);
}

void TCustomIniFile::ReadSections(TStringList& Strings) {
    Refresh();
    Strings.Clear();
    std::vector<std::string_view> Seen;
    for (const TIniContent::TSection& S : FContent->Sections) {
        if (!S.Named) continue;
        bool Known = false;
        for (std::string_view Name : Seen) Known = Known || FContent->Same(Name, S.Name);
        if (Known) continue;
        Seen.push_back(S.Name);
        Strings.Add(S.Name);
    }
}

void TCustomIniFile::ReadSectionValues(const std::string& Section, TStringList& Strings) {
    Refresh();
    Strings.Clear();
    for (const auto& [Key, Value] : FContent->Values(Section)) Strings.Add(Key + "=" + Value);
}

bool TCustomIniFile::SectionExists(const std::string& Section) {
    Refresh();
    return FContent->FindSection(Section) != nullptr;
}

bool TCustomIniFile::ValueExists(const std::string& Section, const std::string& Ident) {
    Refresh();
    return FContent->Value(Section, Ident).has_value();
}

void TCustomIniFile::EraseSection(const std::string& Section) {
    Refresh();
    if (FContent->EraseSection(Section)) Changed();
}

void TCustomIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    Refresh();
    if (FContent->DeleteKey(Section, Ident)) Changed();
}

// ---- TMemIniFile -----------------------------------------------------------------------------

TMemIniFile::TMemIniFile(const std::string& FileName) : TCustomIniFile(FileName) {
    Load();
}

void TMemIniFile::UpdateFile() {
    Save();
}

void TMemIniFile::Clear() {
    TIniContent Empty;
    Empty.CaseSensitive = FContent->CaseSensitive;
    Empty.DefaultEnd = FContent->DefaultEnd;
    // The file that could not be read stays protected: clearing is no reason to lose it.
    Empty.ProtectedPath = FContent->ProtectedPath;
    Empty.Damage = FContent->Damage;
    *FContent = std::move(Empty);
}

void TMemIniFile::GetStrings(TStringList& List) {
    List.Clear();
    for (const TIniContent::TSection& S : FContent->Sections)
        for (const TIniContent::TLine& Line : S.Lines) List.Add(Line.Text);
}

void TMemIniFile::SetStrings(const TStringList& List) {
    TIniContent New;
    New.CaseSensitive = FContent->CaseSensitive;
    New.DefaultEnd = FContent->DefaultEnd;
    std::string Text;
    for (int I = 0; I < List.Count(); ++I) Text += List[I] + New.DefaultEnd;
    if (!New.Parse(Text)) {
        const TIniFileProblem& Damage = *New.Damage;
        throw EIniFileException("Line " + std::to_string(Damage.Line) + " for " +
                                    Quoted(FFileName) + " holds a NUL byte",
                                FFileName, Damage.Line);
    }
    // What loading found, and the protection of a damaged file, stay with the file.
    New.ProtectedPath = FContent->ProtectedPath;
    New.Damage = FContent->Damage;
    New.Problems = FContent->Problems;
    *FContent = std::move(New);
}

void TMemIniFile::Rename(const std::string& FileName, bool Reload) {
    FFileName = FileName;
    if (Reload) Load();
}

bool TMemIniFile::CaseSensitive() const {
    return FContent->CaseSensitive;
}

void TMemIniFile::SetCaseSensitive(bool Value) {
    FContent->CaseSensitive = Value;
}

// ---- TIniFile --------------------------------------------------------------------------------

namespace {

std::string FileStamp(const std::string& FileName) {
    struct stat Info;
    if (::stat(ResolvePath(FileName).c_str(), &Info) != 0) return "missing";
    return std::to_string(Info.st_dev) + ":" + std::to_string(Info.st_ino) + ":" +
           std::to_string(Info.st_size) + ":" + std::to_string(Info.st_mtim.tv_sec) + "." +
           std::to_string(Info.st_mtim.tv_nsec) + ":" + std::to_string(Info.st_ctim.tv_sec) + "." +
           std::to_string(Info.st_ctim.tv_nsec);
}

}  // namespace

TIniFile::TIniFile(const std::string& FileName) : TCustomIniFile(FileName) {
    Refresh();
}

void TIniFile::Refresh() {
    // The stamp is taken before reading: a change made meanwhile is read on the next call.
    std::string Stamp = FileStamp(FFileName);
    if (Stamp == FStamp) return;
    Load();
    FStamp = std::move(Stamp);
}

void TIniFile::Changed() {
    try {
        Save();
    } catch (...) {
        // The contents now differ from the file: read it again before the next call.
        FStamp.clear();
        throw;
    }
    FStamp = FileStamp(FFileName);
}

void TIniFile::UpdateFile() {
    Refresh();
    Changed();
}
