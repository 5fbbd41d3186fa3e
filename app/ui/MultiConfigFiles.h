#pragma once
// The rows of the multi-start chooser: every box file of a directory, our own first.
#include <string>
#include <vector>

struct TConfigRow {
    std::string Caption;  // the file name up to its first '.'
    std::string Type;     // "Kestro", "OpenXP", "XP2" or "XP"
    std::string FileName;
    int ImageIndex = 1;  // 0 for a client box
};

// The *.cfg files, then the *.bfg files of Dir, in the order the directory search returns them;
// files that cannot be read are left out.
std::vector<TConfigRow> ListConfigRows(const std::string& Dir);
