#pragma once
// The dialogs' own texts, one table (OK and Cancel are the message boxes' buttons, see
// MessageBoxButtonCaption), and the conversions at their display boundary: callers give UTF-8
// (message texts, captions, file names), windows show Windows-1252 bytes.
#include <string>

namespace DialogTexts {

inline constexpr const char* kOpen = "&Open";
inline constexpr const char* kSave = "&Save";
inline constexpr const char* kOpenTitle = "Open";
inline constexpr const char* kSaveTitle = "Save As";
inline constexpr const char* kFolderTitle = "Browse for Folder";
inline constexpr const char* kLookIn = "Look &in:";
inline constexpr const char* kSaveIn = "Save &in:";
inline constexpr const char* kUp = "&Up";
inline constexpr const char* kFileName = "File &name:";
inline constexpr const char* kFilesOfType = "Files of &type:";
inline constexpr const char* kSaveAsType = "Save as &type:";
inline constexpr const char* kNameColumn = "Name";
inline constexpr const char* kSizeColumn = "Size";
inline constexpr const char* kModifiedColumn = "Modified";
inline constexpr const char* kAllFiles = "All Files";
// "%s" stands for a file or folder name.
inline constexpr const char* kFileNotFound =
    "%s\nFile not found.\nPlease verify the correct file name was given.";
inline constexpr const char* kPathNotFound =
    "%s\nPath not found.\nPlease verify the correct path was given.";
inline constexpr const char* kReplace = "%s already exists.\nDo you want to replace it?";
inline constexpr const char* kTooLong = "%s\nThe file name is too long.";

}  // namespace DialogTexts

// Pattern with its "%s" replaced by Value.
std::string FormatDialogText(const char* Pattern, const std::string& Value);
// UTF-8 to the Windows-1252 bytes a window shows (what it lacks becomes '?'), and back.
std::string ShownText(const std::string& Utf8);
std::string TypedText(const std::string& Cp1252);
