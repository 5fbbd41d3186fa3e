#pragma once
// The dialogs' own texts in English and German, one table (OK and Cancel are the message boxes'
// buttons, see MessageBoxButtonCaption), and the conversions at their display boundary: callers
// give UTF-8 (message texts, captions, file names), windows show Windows-1252 bytes.
#include <string>

// A text in English and in German (UTF-8).
struct TDialogText {
    const char* English;
    const char* German;
};

namespace DialogTexts {

inline constexpr TDialogText kOpen{"&Open", "Ö&ffnen"};
inline constexpr TDialogText kSave{"&Save", "&Speichern"};
inline constexpr TDialogText kOpenTitle{"Open", "Öffnen"};
inline constexpr TDialogText kSaveTitle{"Save As", "Speichern unter"};
inline constexpr TDialogText kFolderTitle{"Browse for Folder", "Ordner suchen"};
inline constexpr TDialogText kLookIn{"Look &in:", "Suchen &in:"};
inline constexpr TDialogText kSaveIn{"Save &in:", "Speichern &in:"};
inline constexpr TDialogText kUp{"&Up", "&Auf"};
inline constexpr TDialogText kFileName{"File &name:", "Datei&name:"};
inline constexpr TDialogText kFilesOfType{"Files of &type:", "Datei&typ:"};
inline constexpr TDialogText kSaveAsType{"Save as &type:", "Datei&typ:"};
inline constexpr TDialogText kNameColumn{"Name", "Name"};
inline constexpr TDialogText kSizeColumn{"Size", "Größe"};
inline constexpr TDialogText kModifiedColumn{"Modified", "Geändert am"};
inline constexpr TDialogText kAllFiles{"All Files", "Alle Dateien"};
// "%s" stands for a file or folder name.
inline constexpr TDialogText kFileNotFound{
    "%s\nFile not found.\nPlease verify the correct file name was given.",
    "%s\nDie Datei wurde nicht gefunden.\nÜberprüfen Sie, ob der richtige Dateiname angegeben "
    "wurde."};
inline constexpr TDialogText kPathNotFound{
    "%s\nPath not found.\nPlease verify the correct path was given.",
    "%s\nDer Pfad wurde nicht gefunden.\nÜberprüfen Sie, ob der richtige Pfad angegeben wurde."};
inline constexpr TDialogText kReplace{"%s already exists.\nDo you want to replace it?",
                                      "%s ist bereits vorhanden.\nMöchten Sie sie ersetzen?"};
inline constexpr TDialogText kTooLong{"%s\nThe file name is too long.",
                                      "%s\nDer Dateiname ist zu lang."};

}  // namespace DialogTexts

// The text in the user's language (see GermanDialogs), UTF-8; Shown gives the Windows-1252
// bytes a control shows.
std::string InUserLanguage(const TDialogText& Text);
std::string Shown(const TDialogText& Text);
// Pattern (in the user's language) with its "%s" replaced by Value.
std::string FormatDialogText(const char* Pattern, const std::string& Value);
std::string FormatDialogText(const TDialogText& Pattern, const std::string& Value);
// UTF-8 to the Windows-1252 bytes a window shows (what it lacks becomes '?'), and back.
std::string ShownText(const std::string& Utf8);
std::string TypedText(const std::string& Cp1252);
