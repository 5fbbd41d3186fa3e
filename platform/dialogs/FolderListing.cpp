#include "platform/dialogs/FolderListing.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <memory>

#include "platform/dialogs/Limits.h"
#include "platform/fs/Files.h"

namespace {

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? char(C - 'a' + 'A') : C;
}

// As the Windows file system sorts: by the name with ASCII letters upper-cased, then by bytes.
bool NameBefore(const TFolderEntry& A, const TFolderEntry& B) {
    const size_t N = std::min(A.Name.size(), B.Name.size());
    for (size_t I = 0; I < N; ++I) {
        const char X = UpperAscii(A.Name[I]), Y = UpperAscii(B.Name[I]);
        if (X != Y) return static_cast<unsigned char>(X) < static_cast<unsigned char>(Y);
    }
    if (A.Name.size() != B.Name.size()) return A.Name.size() < B.Name.size();
    return A.Name < B.Name;
}

bool Matches(const std::string& Name, const std::vector<std::string>& Patterns) {
    return std::any_of(Patterns.begin(), Patterns.end(),
                       [&](const std::string& P) { return MatchesMask(Name, P); });
}

std::string Trim(const std::string& S) {
    const size_t B = S.find_first_not_of(' ');
    if (B == std::string::npos) return {};
    return S.substr(B, S.find_last_not_of(' ') - B + 1);
}

using TDirHandle = std::unique_ptr<DIR, int (*)(DIR*)>;

// Calls Visit for each listed entry of Dir (stat follows links) until it returns false.
template <class F>
void EachEntry(const std::string& Dir, F&& Visit) {
    const std::string Path = ResolvePath(Dir);
    TDirHandle D(opendir(Path.c_str()), closedir);
    if (!D) return;
    const std::string Prefix = IncludeTrailingPathDelimiter(Path);
    while (const dirent* E = readdir(D.get())) {
        const std::string Name = E->d_name;
        if (Name.empty() || Name[0] == '.') continue;
        struct stat S {};
        if (stat((Prefix + Name).c_str(), &S) != 0) continue;
        TFolderEntry Entry;
        Entry.Name = Name;
        Entry.Folder = S_ISDIR(S.st_mode);
        if (!Entry.Folder && !S_ISREG(S.st_mode)) continue;
        Entry.Size = Entry.Folder ? 0 : std::int64_t(S.st_size);
        Entry.Modified = std::int64_t(S.st_mtime);
        if (!Visit(std::move(Entry))) return;
    }
}

}  // namespace

std::vector<TFolderEntry> ListFolder(const std::string& Dir,
                                     const std::vector<std::string>& Patterns, bool FoldersOnly) {
    std::vector<TFolderEntry> Folders, Files;
    EachEntry(Dir, [&](TFolderEntry Entry) {
        if (Entry.Folder)
            Folders.push_back(std::move(Entry));
        else if (!FoldersOnly && Matches(Entry.Name, Patterns))
            Files.push_back(std::move(Entry));
        return Folders.size() + Files.size() < DialogLimits::kMaxListedEntries;
    });
    std::sort(Folders.begin(), Folders.end(), NameBefore);
    std::sort(Files.begin(), Files.end(), NameBefore);
    Folders.insert(Folders.end(), std::make_move_iterator(Files.begin()),
                   std::make_move_iterator(Files.end()));
    return Folders;
}

bool HasSubfolders(const std::string& Dir) {
    const std::string Path = ResolvePath(Dir);
    TDirHandle D(opendir(Path.c_str()), closedir);
    if (!D) return false;
    const std::string Prefix = IncludeTrailingPathDelimiter(Path);
    while (const dirent* E = readdir(D.get())) {
        if (E->d_name[0] == '.') continue;
        // The entry's type is known without a look at the file, except for links.
        if (E->d_type == DT_DIR) return true;
        if (E->d_type != DT_LNK && E->d_type != DT_UNKNOWN) continue;
        struct stat S {};
        if (stat((Prefix + E->d_name).c_str(), &S) == 0 && S_ISDIR(S.st_mode)) return true;
    }
    return false;
}

std::vector<std::string> SplitPatterns(const std::string& Patterns) {
    std::vector<std::string> Out;
    size_t Start = 0;
    while (Start <= Patterns.size()) {
        const size_t End = std::min(Patterns.find(';', Start), Patterns.size());
        const std::string P = Trim(Patterns.substr(Start, End - Start));
        if (!P.empty()) Out.push_back(P);
        Start = End + 1;
    }
    if (Out.empty()) Out.push_back("*");
    return Out;
}

std::string FormatFileSize(std::int64_t Bytes) {
    const std::int64_t Kilo = Bytes <= 0 ? 0 : (Bytes - 1) / 1024 + 1;
    std::string Digits = std::to_string(Kilo);
    for (int At = int(Digits.size()) - 3; At > 0; At -= 3) Digits.insert(size_t(At), ",");
    return Digits + " KB";
}

std::string FormatFileTime(std::int64_t Seconds) {
    const std::time_t T = std::time_t(Seconds);
    std::tm Local{};
    if (localtime_r(&T, &Local) == nullptr) return {};
    char Text[32];
    std::strftime(Text, sizeof Text, "%Y-%m-%d %H:%M", &Local);
    return Text;
}
