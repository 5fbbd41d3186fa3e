#pragma once
// Windows file semantics over POSIX.
//
// Paths may use `\` or `/` as separators. A name that does not exist as written is looked up
// case-insensitively, one component at a time, so `SPOOL\BOX.BFG` finds `spool/box.bfg`. Case is
// folded for ASCII letters only; other bytes must match exactly (file names are bytes).
//
// Every function here that touches the file system resolves its argument with ResolvePath first.
// The name helpers (ExtractFilePath, ChangeFileExt, ...) work on the text alone and keep the
// separators the caller wrote.
#include <cstdint>
#include <string>
#include <vector>

// ---- Lookup ----------------------------------------------------------------------------------

// Turns every `\` into `/`, then finds the file system's name for the path: a component that
// exists as written is taken as it is (an exact name wins over one that differs only in case);
// otherwise the directory is searched for a name equal to it ignoring ASCII case (the first in
// byte order when several match). Once a component matches nothing, it and the rest stay as
// written, so a new file is created under the name given (inside the directories that exist).
// Empty, `.` and `..` components and a trailing separator are kept. A drive prefix such as `C:`
// is an ordinary (usually missing) component. Paths longer than kMaxPathLength are only
// converted, not looked up.
std::string ResolvePath(const std::string& path);

// Keeps each directory's names in memory while an object of this class lives, so that a run
// that writes thousands of files into one spool directory reads that directory once instead of
// asking the file system for every case spelling of every new name. A directory is read at its
// first case-insensitive lookup; names this program resolves afterwards (new files among them)
// are added as they are handed out. A remembered spelling is checked to exist before it is used,
// and a name that exists as written always wins, so deleted files are never found; a file another
// program creates in the directory during the scope is found only under the name it has. Scopes
// may nest: the names are forgotten when the outermost one ends. Thread-safe.
class TDirectoryNameCache {
  public:
    TDirectoryNameCache();
    ~TDirectoryNameCache();
    TDirectoryNameCache(const TDirectoryNameCache&) = delete;
    TDirectoryNameCache& operator=(const TDirectoryNameCache&) = delete;
};

// ---- Wildcard search -------------------------------------------------------------------------

// True when name matches the pattern ignoring ASCII case: `*` matches any run of bytes (dots
// included), `?` exactly one byte. "*.*" matches every name, as on Windows.
bool MatchesMask(const std::string& name, const std::string& pattern);

// The regular files (symbolic links to regular files count) in dir whose names match pattern,
// without directory. Sorted as the Windows file system returns them: by the name with ASCII
// letters upper-cased, then by plain byte order for names that differ only in case. dir may use
// either separator and is resolved; a missing or unreadable dir gives an empty list. Names of
// directories are never returned.
std::vector<std::string> FindFiles(const std::string& dir, const std::string& pattern);

// Search record of FindFirst/FindNext. The list of matches is taken at FindFirst.
struct TSearchRec {
    std::string Name;  // file name without directory
    int64_t Size = 0;
    int32_t Attr = 0;  // faArchive for regular files, faReadOnly added when not writable

    std::vector<std::string> FNames;  // internal: the matches
    size_t FIndex = 0;                // internal: position in FNames
    std::string FDir;                 // internal: resolved directory with trailing '/'
};

// File attributes as the class library names them (only those the search reports).
enum : int32_t { faReadOnly = 0x01, faDirectory = 0x10, faArchive = 0x20, faAnyFile = 0x3F };

// FindFirst("dir\\M*.OUT", faAnyFile, rec): the directory part is taken with ExtractFilePath,
// the rest is the pattern. Returns 0 and fills rec with the first match, or 2 (file not found)
// when nothing matches. attr is accepted for compatibility; only regular files are returned.
int FindFirst(const std::string& pathPattern, int32_t attr, TSearchRec& rec);
// Next match: 0, or 18 (no more files).
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// ---- Renaming --------------------------------------------------------------------------------

// Renames from to to, never replacing an existing file: fails when to exists (also when it
// exists under another case). Uses renameat2(RENAME_NOREPLACE); where the file system does not
// support it (EINVAL), a hard link and an unlink. Returns false with errno set on failure
// (EEXIST when the target exists).
bool RenameNoReplace(const std::string& from, const std::string& to);
// The class library's RenameFile: the same as RenameNoReplace (Windows never replaces here).
bool RenameFile(const std::string& from, const std::string& to);

// ---- Name helpers (text only) ----------------------------------------------------------------

// True for `\`, `/`, and for ExtractFilePath also `:`.
bool IsPathDelimiter(char c);
// The part up to and including the last `\`, `/` or `:`; empty when there is none.
std::string ExtractFilePath(const std::string& fileName);
// ExtractFilePath without its trailing `\` or `/` (a drive `C:` or a root `/` stays).
std::string ExtractFileDir(const std::string& fileName);
// The part after the last `\`, `/` or `:`.
std::string ExtractFileName(const std::string& fileName);
// The extension with its dot ("x.tar.gz" -> ".gz"); empty when the name part has no dot.
// A dot inside a directory name does not count.
std::string ExtractFileExt(const std::string& fileName);
// Replaces the extension (from the last dot of the name part) by ext, which should include its
// dot; appends ext when there is no dot. ChangeFileExt("a\\b.c\\d", ".cfg") = "a\\b.c\\d.cfg".
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);
// Appends '/' unless the path already ends with `\` or `/`. An empty path gives "/", as the
// class library gives its root.
std::string IncludeTrailingPathDelimiter(const std::string& path);
// Removes one trailing `\` or `/`.
std::string ExcludeTrailingPathDelimiter(const std::string& path);

// ---- Files and directories -------------------------------------------------------------------

// True when the path names an existing regular file (after ResolvePath); false for directories.
bool FileExists(const std::string& fileName);
// True when the path names an existing directory (after ResolvePath).
bool DirectoryExists(const std::string& dir);
// Size of the file in bytes, or -1 when it cannot be found.
int64_t FileSizeOf(const std::string& fileName);
// Deletes the file; false (errno set) when it does not exist or cannot be deleted.
bool DeleteFile(const std::string& fileName);
// Creates the directory and every missing parent (existing ones are found case-insensitively).
// True when the directory exists afterwards.
bool ForceDirectories(const std::string& dir);
// Creates one directory; false with errno when it exists or cannot be created.
bool CreateDir(const std::string& dir);
// The working directory without trailing separator.
std::string GetCurrentDir();
// Changes the working directory; false with errno on failure.
bool SetCurrentDir(const std::string& dir);
// The absolute form of the path with '/' separators: relative to the working directory, `.` and
// `..` components removed. Text only: nothing needs to exist; case is not resolved. A trailing
// separator is kept.
std::string ExpandFileName(const std::string& fileName);
