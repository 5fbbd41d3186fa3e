#pragma once
// What the OK button of a file dialog makes of the names in its name field, apart from any
// window: a folder to go to, patterns to list by, or the chosen files, checked as the request
// asks (the file must exist; the folder of a file to save must exist; a file to be replaced
// needs the question first). Names are UTF-8 bytes.
#include <string>
#include <vector>

#include "platform/shell/Dialogs.h"

struct TFileChoice {
    enum class TKind {
        Nothing,   // nothing was typed
        Navigate,  // Folder is to be shown
        Filter,    // Patterns are to be listed (in Folder)
        Files,     // Files were chosen
        Refused    // Error says why (the field keeps the text)
    };
    TKind Kind = TKind::Nothing;
    std::string Folder;
    std::string Patterns;
    std::vector<std::string> Files;
    std::string Error;
    // Files: the first of them exists and the request wants the question before replacing it.
    bool AskReplace = false;
};

// The names of a name field: with Multiple, each name in double quotes is one name (a text
// without quotes is one name); the quotes of a single quoted name go. At most
// DialogLimits::kMaxChosenFiles names.
std::vector<std::string> SplitFileNames(const std::string& Text, bool Multiple);
// The text a name field shows for these names: the name alone, or each in quotes.
std::string JoinFileNames(const std::vector<std::string>& Names);
// Names relative to Folder (absolute ones, and "~" for the home folder, as they are); "\" counts
// as "/". Request gives the kind, the default extension and the checks.
TFileChoice ChooseFiles(const std::vector<std::string>& Names, const std::string& Folder,
                        const TFileDialogRequest& Request);
// The absolute form of Name, relative to Folder.
std::string ResolveFileName(const std::string& Name, const std::string& Folder);
