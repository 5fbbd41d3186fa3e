#pragma once
// Limits of the on-screen dialogs on what callers and the file system can make them hold.
#include <cstddef>

namespace DialogLimits {

// Bytes of a message box's text that are shown; a longer text is cut and ends in "...".
inline constexpr size_t kMaxMessageText = 16 * 1024;

// Bytes of a dialog's caption that are shown.
inline constexpr size_t kMaxCaption = 512;

// Entries of one folder a file or folder dialog lists; the rest of a larger folder is left out
// (a name typed in full still reaches such a file).
inline constexpr size_t kMaxListedEntries = 20000;

// Pairs of description and patterns taken from a dialog filter.
inline constexpr size_t kMaxFilters = 64;

// Bytes of one file name typed or chosen in a file dialog, and names chosen at once.
inline constexpr size_t kMaxFileName = 4096;
inline constexpr size_t kMaxChosenFiles = 1024;

// Folder levels between the root and the folder a folder dialog opens on; a deeper start folder
// opens at the root.
inline constexpr int kMaxFolderDepth = 128;

}  // namespace DialogLimits
