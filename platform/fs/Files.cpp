#include "platform/fs/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "platform/fs/Limits.h"

namespace {

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

// Windows directory order: by upper-cased name, ties by bytes (so the order is total).
bool NameLess(const std::string& a, const std::string& b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(UpperAscii(a[i]));
        auto cb = static_cast<unsigned char>(UpperAscii(b[i]));
        if (ca != cb) return ca < cb;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

std::string Slashes(const std::string& path) {
    std::string out = path;
    std::replace(out.begin(), out.end(), '\\', '/');
    return out;
}

bool Exists(const std::string& path) {
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0;
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// FindIgnoringCase for a name with few letters: asks for each of its case variants by name
// instead of reading the directory. The answer is the same (the names equal to name ignoring
// ASCII case are exactly its variants), but the cost no longer grows with the directory: a
// spool directory of thousands of files is searched for every new spool file's name.
bool ProbeCaseVariants(const std::string& dir, const std::string& name, std::string& found) {
    std::vector<size_t> letters;
    for (size_t i = 0; i < name.size(); ++i)
        if (IsAsciiLetter(name[i])) letters.push_back(i);
    std::string variant = name;
    bool any = false;
    for (uint32_t mask = 0; mask < (1u << letters.size()); ++mask) {
        for (size_t bit = 0; bit < letters.size(); ++bit) {
            char& c = variant[letters[bit]];
            c = (mask >> bit) & 1 ? UpperAscii(c) : char(c | 0x20);
        }
        if (Exists(dir + variant) && (!any || variant < found)) {
            found = variant;
            any = true;
        }
    }
    return any;
}

// The entry of dir equal to name ignoring case; the first in byte order when several are.
// dir is empty (the working directory) or ends with '/'.
bool FindIgnoringCase(const std::string& dir, const std::string& name, std::string& found) {
    // No directory entry holds a NUL byte; a lookup by name would stop at it.
    if (name.find('\0') != std::string::npos) return false;
    size_t letters = size_t(std::count_if(name.begin(), name.end(), IsAsciiLetter));
    if (letters <= FsLimits::kMaxProbedLetters) return ProbeCaseVariants(dir, name, found);
    std::unique_ptr<DIR, DirCloser> d(::opendir(dir.empty() ? "." : dir.c_str()));
    if (!d) return false;
    bool any = false;
    size_t scanned = 0;
    while (dirent* e = ::readdir(d.get())) {
        if (++scanned > FsLimits::kMaxDirEntriesScanned) break;
        std::string entry = e->d_name;
        if (entry == "." || entry == "..") continue;
        if (!EqualsIgnoreCase(entry, name)) continue;
        if (!any || entry < found) found = entry;
        any = true;
    }
    return any;
}

// Splits at '/' keeping empty components (so "a//b" and a trailing '/' survive a rebuild).
std::vector<std::string> SplitSlashes(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        size_t at = path.find('/', start);
        if (at == std::string::npos) {
            parts.push_back(path.substr(start));
            return parts;
        }
        parts.push_back(path.substr(start, at - start));
        start = at + 1;
    }
}

bool StatRegular(const std::string& path, struct stat& st) {
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// ---- remembered directory names ----

std::string FoldedName(const std::string& name) {
    std::string folded = name;
    for (char& c : folded) c = UpperAscii(c);
    return folded;
}

// The names of one directory, grouped by their folded form (each group in byte order).
struct TDirectoryNames {
    bool Complete = false;  // false when the directory could not be read whole
    std::unordered_map<std::string, std::vector<std::string>> Spellings;

    void Add(const std::string& name) {
        std::vector<std::string>& names = Spellings[FoldedName(name)];
        auto at = std::lower_bound(names.begin(), names.end(), name);
        if (at == names.end() || *at != name) names.insert(at, name);
    }

    // dir is empty (the working directory) or ends with '/'.
    bool Read(const std::string& dir) {
        std::unique_ptr<DIR, DirCloser> d(::opendir(dir.empty() ? "." : dir.c_str()));
        if (!d) return false;
        size_t scanned = 0;
        while (dirent* e = ::readdir(d.get())) {
            if (++scanned > FsLimits::kMaxRememberedNames) {
                Spellings.clear();
                return false;
            }
            std::string entry = e->d_name;
            if (entry != "." && entry != "..") Add(entry);
        }
        return true;
    }
};

// A directory as a path prefix names it: its resolved prefix and its identity. Names are kept by
// identity, so "spool/", "./spool/" and an absolute prefix share what was learned about them.
struct TKnownDirectory {
    std::string Resolved;
    std::pair<dev_t, ino_t> Identity;
};

struct TNameCacheState {
    std::mutex Lock;
    int Scopes = 0;
    std::unordered_map<std::string, TKnownDirectory> Directories;  // by the prefix as written
    std::map<std::pair<dev_t, ino_t>, TDirectoryNames> Names;
};

TNameCacheState& NameCache() {
    static TNameCacheState state;
    return state;
}

// Splits a path at its last '/': the prefix keeps the '/', the name is the rest.
void SplitLast(const std::string& path, std::string& prefix, std::string& name) {
    size_t slash = path.rfind('/');
    prefix = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    name = path.substr(prefix.size());
}

// The directory a prefix as written names, when it exists and names are being remembered.
bool KnownDirectory(const std::string& prefix, TKnownDirectory& known) {
    TNameCacheState& cache = NameCache();
    {
        std::lock_guard<std::mutex> hold(cache.Lock);
        if (cache.Scopes == 0) return false;
        auto at = cache.Directories.find(prefix);
        if (at != cache.Directories.end()) {
            known = at->second;
            return true;
        }
    }
    if (prefix.empty()) {
        known.Resolved.clear();
    } else if (prefix == "/") {
        known.Resolved = prefix;
    } else {
        known.Resolved = ResolvePath(prefix.substr(0, prefix.size() - 1)) + '/';
    }
    struct stat st;
    if (::stat(known.Resolved.empty() ? "." : known.Resolved.c_str(), &st) != 0 ||
        !S_ISDIR(st.st_mode))
        return false;
    known.Identity = {st.st_dev, st.st_ino};
    std::lock_guard<std::mutex> hold(cache.Lock);
    if (cache.Scopes == 0) return false;
    cache.Directories.emplace(prefix, known);
    return true;
}

// A name found as written joins its directory's names, so that another spelling finds it even
// when it was created by a way that did not pass through ResolvePath.
void RememberExisting(const std::string& written) {
    TNameCacheState& cache = NameCache();
    std::lock_guard<std::mutex> hold(cache.Lock);
    if (cache.Scopes == 0) return;
    std::string prefix, name;
    SplitLast(written, prefix, name);
    auto dir = cache.Directories.find(prefix);
    if (dir == cache.Directories.end()) return;
    auto names = cache.Names.find(dir->second.Identity);
    if (names != cache.Names.end() && names->second.Complete && !name.empty())
        names->second.Add(name);
}

enum class TLookup { Found, Missing, Unknown };

// Looks name up among the remembered names of dir (read at the first lookup). writtenChecked
// says the caller already found dir + name missing as written. A remembered spelling counts only
// while it exists. A name that matches none is remembered as handed out: it is about to be
// created under that spelling, and later lookups of other spellings must find it.
TLookup LookUpRemembered(const TKnownDirectory& dir, const std::string& name, bool writtenChecked,
                         std::string& found) {
    TNameCacheState& cache = NameCache();
    std::lock_guard<std::mutex> hold(cache.Lock);
    if (cache.Scopes == 0) return TLookup::Unknown;
    auto [at, added] = cache.Names.try_emplace(dir.Identity);
    TDirectoryNames& names = at->second;
    if (added) names.Complete = names.Read(dir.Resolved);
    if (!names.Complete) return TLookup::Unknown;
    if (!writtenChecked && Exists(dir.Resolved + name)) {
        names.Add(name);
        found = name;  // an exact name wins over one that differs only in case
        return TLookup::Found;
    }
    auto spellings = names.Spellings.find(FoldedName(name));
    if (spellings != names.Spellings.end()) {
        for (const std::string& spelling : spellings->second) {
            if (spelling != name && Exists(dir.Resolved + spelling)) {
                found = spelling;
                return TLookup::Found;
            }
        }
    }
    names.Add(name);
    return TLookup::Missing;
}

// ResolvePath for a path whose directory exists, answered from the remembered names; false
// when no names are remembered or the path needs the component by component search.
bool ResolveRemembered(const std::string& written, std::string& resolved, bool& missing) {
    std::string prefix, name;
    SplitLast(written, prefix, name);
    if (name.empty() || name == "." || name == ".." || name.find('\0') != std::string::npos)
        return false;
    TKnownDirectory dir;
    if (!KnownDirectory(prefix, dir)) return false;
    std::string found;
    switch (LookUpRemembered(dir, name, dir.Resolved == prefix, found)) {
        case TLookup::Found:
            resolved = dir.Resolved + found;
            return true;
        case TLookup::Missing:
            resolved = dir.Resolved + name;
            missing = true;
            return true;
        case TLookup::Unknown:
            break;
    }
    return false;
}

}  // namespace

TDirectoryNameCache::TDirectoryNameCache() {
    TNameCacheState& cache = NameCache();
    std::lock_guard<std::mutex> hold(cache.Lock);
    ++cache.Scopes;
}

TDirectoryNameCache::~TDirectoryNameCache() {
    TNameCacheState& cache = NameCache();
    std::lock_guard<std::mutex> hold(cache.Lock);
    if (--cache.Scopes > 0) return;
    cache.Directories.clear();
    cache.Names.clear();
}

namespace {

// ResolvePath; missing is set when the lookup found that the path names nothing (no spelling of
// one of its components exists), which spares the callers that only ask another system call.
std::string Resolve(const std::string& path, bool& missing) {
    missing = false;
    std::string written = Slashes(path);
    if (written.empty() || written.size() > FsLimits::kMaxPathLength) return written;
    if (Exists(written)) {
        RememberExisting(written);
        return written;
    }
    std::string remembered;
    if (ResolveRemembered(written, remembered, missing)) return remembered;

    std::vector<std::string> parts = SplitSlashes(written);
    std::string result;  // the resolved prefix, ending in '/' after the first component
    bool lookup = true;
    for (size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string name = part;
        if (lookup && !part.empty() && part != "." && part != "..") {
            std::string candidate = result + part;
            if (!Exists(candidate)) {
                std::string found;
                if (FindIgnoringCase(result, part, found))
                    name = found;
                else
                    lookup = false;  // the rest is new: keep it as written
            }
        }
        result += name;
        if (i + 1 < parts.size()) result += '/';
    }
    missing = !lookup;
    return result;
}

}  // namespace

std::string ResolvePath(const std::string& path) {
    bool missing;
    return Resolve(path, missing);
}

bool MatchesMask(const std::string& name, const std::string& pattern) {
    if (pattern == "*.*" || pattern == "*") return true;
    // Iterative glob with one backtrack point: linear in practice, never exponential.
    size_t n = 0, p = 0, starP = std::string::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

std::vector<std::string> FindFiles(const std::string& dir, const std::string& pattern) {
    std::vector<std::string> names;
    std::string resolved = dir.empty() ? std::string(".") : ResolvePath(dir);
    std::unique_ptr<DIR, DirCloser> d(::opendir(resolved.c_str()));
    if (!d) return names;
    std::string prefix = IncludeTrailingPathDelimiter(resolved);
    size_t scanned = 0;
    while (dirent* e = ::readdir(d.get())) {
        if (++scanned > FsLimits::kMaxDirEntriesScanned) break;
        std::string entry = e->d_name;
        if (entry == "." || entry == ".." || !MatchesMask(entry, pattern)) continue;
        struct stat st;
        if (StatRegular(prefix + entry, st)) names.push_back(entry);
    }
    std::sort(names.begin(), names.end(), NameLess);
    return names;
}

namespace {
int FillSearchRec(TSearchRec& rec) {
    while (rec.FIndex < rec.FNames.size()) {
        const std::string& name = rec.FNames[rec.FIndex++];
        struct stat st;
        // A file deleted since FindFirst is skipped, as a directory listing would not show it.
        if (!StatRegular(rec.FDir + name, st)) continue;
        rec.Name = name;
        rec.Size = int64_t(st.st_size);
        rec.Attr = faArchive;
        if (::access((rec.FDir + name).c_str(), W_OK) != 0) rec.Attr |= faReadOnly;
        return 0;
    }
    return -1;
}
}  // namespace

int FindFirst(const std::string& pathPattern, int32_t /*attr*/, TSearchRec& rec) {
    rec = TSearchRec();
    std::string dir = ExtractFilePath(pathPattern);
    std::string pattern = pathPattern.substr(dir.size());
    std::string resolvedDir = dir.empty() ? std::string() : ResolvePath(dir);
    rec.FNames = FindFiles(resolvedDir.empty() ? std::string(".") : resolvedDir, pattern);
    rec.FDir = resolvedDir.empty() ? std::string() : IncludeTrailingPathDelimiter(resolvedDir);
    return FillSearchRec(rec) == 0 ? 0 : 2;
}

int FindNext(TSearchRec& rec) {
    return FillSearchRec(rec) == 0 ? 0 : 18;
}

void FindClose(TSearchRec& rec) {
    rec.FNames.clear();
    rec.FIndex = 0;
}

bool RenameNoReplace(const std::string& from, const std::string& to) {
    std::string source = ResolvePath(from);
    bool missing;
    std::string target = Resolve(to, missing);
    // The target may exist under another case: on Windows that is the same file, so refuse.
    if (!missing && Exists(target) && target != source) {
        errno = EEXIST;
        return false;
    }
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // File systems without RENAME_NOREPLACE: link() refuses an existing target atomically.
    if (::link(source.c_str(), target.c_str()) != 0) return false;
    if (::unlink(source.c_str()) != 0) {
        int saved = errno;
        ::unlink(target.c_str());
        errno = saved;
        return false;
    }
    return true;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return RenameNoReplace(from, to);
}

bool IsPathDelimiter(char c) {
    return c == '\\' || c == '/';
}

namespace {
size_t LastDelimiter(const std::string& s) {
    size_t at = s.find_last_of("\\/:");
    return at;
}
}  // namespace

std::string ExtractFilePath(const std::string& fileName) {
    size_t at = LastDelimiter(fileName);
    return at == std::string::npos ? std::string() : fileName.substr(0, at + 1);
}

std::string ExtractFileDir(const std::string& fileName) {
    std::string dir = ExtractFilePath(fileName);
    if (dir.size() > 1 && IsPathDelimiter(dir.back()) && dir[dir.size() - 2] != ':' &&
        !IsPathDelimiter(dir[dir.size() - 2]))
        dir.pop_back();
    return dir;
}

std::string ExtractFileName(const std::string& fileName) {
    size_t at = LastDelimiter(fileName);
    return at == std::string::npos ? fileName : fileName.substr(at + 1);
}

std::string ExtractFileExt(const std::string& fileName) {
    size_t at = fileName.find_last_of(".\\/:");
    if (at == std::string::npos || fileName[at] != '.') return std::string();
    return fileName.substr(at);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    size_t at = fileName.find_last_of(".\\/:");
    if (at == std::string::npos || fileName[at] != '.') return fileName + ext;
    return fileName.substr(0, at) + ext;
}

std::string IncludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && IsPathDelimiter(path.back())) return path;
    return path + '/';
}

std::string ExcludeTrailingPathDelimiter(const std::string& path) {
    if (!path.empty() && IsPathDelimiter(path.back())) return path.substr(0, path.size() - 1);
    return path;
}

bool FileExists(const std::string& fileName) {
    if (fileName.empty()) return false;
    bool missing;
    std::string resolved = Resolve(fileName, missing);
    struct stat st;
    return !missing && StatRegular(resolved, st);
}

bool DirectoryExists(const std::string& dir) {
    if (dir.empty()) return false;
    struct stat st;
    return ::stat(ResolvePath(dir).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSizeOf(const std::string& fileName) {
    struct stat st;
    if (fileName.empty() || !StatRegular(ResolvePath(fileName), st)) return -1;
    return int64_t(st.st_size);
}

bool DeleteFile(const std::string& fileName) {
    if (fileName.empty()) {
        errno = ENOENT;
        return false;
    }
    std::string resolved = ResolvePath(fileName);
    struct stat st;
    if (::lstat(resolved.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return ::unlink(resolved.c_str()) == 0;
}

bool CreateDir(const std::string& dir) {
    if (dir.empty()) {
        errno = ENOENT;
        return false;
    }
    return ::mkdir(ResolvePath(dir).c_str(), 0777) == 0;
}

bool ForceDirectories(const std::string& dir) {
    std::string path = ExcludeTrailingPathDelimiter(ResolvePath(dir));
    if (path.empty()) return DirectoryExists("/");
    if (DirectoryExists(path)) return true;
    std::string parent = ExtractFilePath(path);
    if (!parent.empty() && parent != path && parent != "/" && !ForceDirectories(parent))
        return false;
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    return errno == EEXIST && DirectoryExists(path);
}

std::string GetCurrentDir() {
    std::string buffer(256, '\0');
    for (;;) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE || buffer.size() > (1u << 20)) return std::string();
        buffer.resize(buffer.size() * 2);
    }
}

bool SetCurrentDir(const std::string& dir) {
    if (dir.empty()) {
        errno = ENOENT;
        return false;
    }
    if (::chdir(ResolvePath(dir).c_str()) != 0) return false;
    // Relative prefixes now name other directories.
    TNameCacheState& cache = NameCache();
    std::lock_guard<std::mutex> hold(cache.Lock);
    cache.Directories.clear();
    return true;
}

std::string ExpandFileName(const std::string& fileName) {
    std::string path = Slashes(fileName);
    if (path.empty()) return GetCurrentDir();
    if (path[0] != '/') path = IncludeTrailingPathDelimiter(GetCurrentDir()) + path;
    bool trailing = path.size() > 1 && path.back() == '/';
    std::vector<std::string> kept;
    for (const std::string& part : SplitSlashes(path)) {
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    std::string result;
    for (const std::string& part : kept) result += '/' + part;
    if (result.empty()) return "/";
    if (trailing) result += '/';
    return result;
}
