#pragma once
// What the file and folder dialogs list of a folder, and how they show sizes and dates. File
// names are the file system's bytes.
#include <cstdint>
#include <string>
#include <vector>

struct TFolderEntry {
    std::string Name;
    bool Folder = false;
    std::int64_t Size = 0;
    // Seconds since the epoch.
    std::int64_t Modified = 0;
};

// The folders and, unless FoldersOnly, the files whose names match one of Patterns (see
// MatchesMask) in Dir: folders first, each part sorted by name without regard to case. Names
// that start with '.' are hidden, as such files are. At most DialogLimits::kMaxListedEntries;
// an unreadable folder lists nothing.
std::vector<TFolderEntry> ListFolder(const std::string& Dir,
                                     const std::vector<std::string>& Patterns, bool FoldersOnly);
// Whether Dir holds at least one folder that ListFolder would list.
bool HasSubfolders(const std::string& Dir);
// The patterns of a filter ("*.cfg; *.bfg" -> {"*.cfg", "*.bfg"}); none at all gives {"*"}.
std::vector<std::string> SplitPatterns(const std::string& Patterns);
// Whole kilobytes, rounded up, thousands grouped: "0 KB", "1 KB", "1,234 KB".
std::string FormatFileSize(std::int64_t Bytes);
// Local time, "2024-03-12 14:05".
std::string FormatFileTime(std::int64_t Seconds);
