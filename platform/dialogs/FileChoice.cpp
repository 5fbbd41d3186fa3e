#include "platform/dialogs/FileChoice.h"

#include <algorithm>
#include <cstdlib>

#include "platform/dialogs/DialogTexts.h"
#include "platform/dialogs/Limits.h"
#include "platform/fs/Files.h"

namespace {

std::string Trim(const std::string& S) {
    const size_t B = S.find_first_not_of(" \t");
    if (B == std::string::npos) return {};
    return S.substr(B, S.find_last_not_of(" \t") - B + 1);
}

bool HasWildcard(const std::string& Name) {
    return ExtractFileName(Name).find_first_of("*?") != std::string::npos;
}

TFileChoice Refused(const TDialogText& Pattern, const std::string& Name) {
    TFileChoice C;
    C.Kind = TFileChoice::TKind::Refused;
    C.Error = FormatDialogText(Pattern, Name);
    return C;
}

// The file named, checked as the request asks; empty Error when it passes.
std::string Check(const std::string& File, const TFileDialogRequest& Request) {
    if (File.size() > DialogLimits::kMaxFileName)
        return FormatDialogText(DialogTexts::kTooLong, File);
    const std::string Dir = ExtractFileDir(File);
    if (!Dir.empty() && !DirectoryExists(Dir))
        return FormatDialogText(DialogTexts::kPathNotFound, Dir);
    if (Request.Kind == TFileDialogKind::Open && Request.FileMustExist && !FileExists(File))
        return FormatDialogText(DialogTexts::kFileNotFound, File);
    return {};
}

}  // namespace

std::vector<std::string> SplitFileNames(const std::string& Text, bool Multiple) {
    const std::string All = Trim(Text);
    std::vector<std::string> Names;
    if (All.empty()) return Names;
    if (!Multiple || All.find('"') == std::string::npos) {
        const bool Quoted = All.size() >= 2 && All.front() == '"' && All.back() == '"';
        Names.push_back(Quoted ? All.substr(1, All.size() - 2) : All);
        return Names;
    }
    size_t At = 0;
    while (Names.size() < DialogLimits::kMaxChosenFiles) {
        const size_t Open = All.find('"', At);
        if (Open == std::string::npos) break;
        const size_t Close = All.find('"', Open + 1);
        const std::string Name =
            All.substr(Open + 1, Close == std::string::npos ? std::string::npos : Close - Open - 1);
        if (!Trim(Name).empty()) Names.push_back(Name);
        if (Close == std::string::npos) break;
        At = Close + 1;
    }
    return Names;
}

std::string JoinFileNames(const std::vector<std::string>& Names) {
    if (Names.size() == 1) return Names.front();
    std::string Out;
    for (const std::string& N : Names) Out += (Out.empty() ? "\"" : " \"") + N + "\"";
    return Out;
}

std::string ResolveFileName(const std::string& Name, const std::string& Folder) {
    std::string N = Name;
    std::replace(N.begin(), N.end(), '\\', '/');
    if (N == "~" || N.rfind("~/", 0) == 0) {
        const char* Home = std::getenv("HOME");
        N = std::string(Home ? Home : "") + N.substr(1);
    }
    if (N.empty() || N[0] != '/') N = IncludeTrailingPathDelimiter(Folder) + N;
    return ExpandFileName(N);
}

TFileChoice ChooseFiles(const std::vector<std::string>& Names, const std::string& Folder,
                        const TFileDialogRequest& Request) {
    TFileChoice Choice;
    if (Names.empty()) return Choice;
    if (Names.size() == 1) {
        const std::string Path = ResolveFileName(Names.front(), Folder);
        if (HasWildcard(Names.front())) {
            Choice.Kind = TFileChoice::TKind::Filter;
            Choice.Folder = ExtractFileDir(Path);
            Choice.Patterns = ExtractFileName(Path);
            if (!DirectoryExists(Choice.Folder))
                return Refused(DialogTexts::kPathNotFound, Choice.Folder);
            return Choice;
        }
        if (DirectoryExists(Path)) {
            Choice.Kind = TFileChoice::TKind::Navigate;
            Choice.Folder = Path;
            return Choice;
        }
    }
    for (const std::string& Name : Names) {
        const std::string File = AddDefaultExt(ResolveFileName(Name, Folder), Request.DefaultExt);
        const std::string Error = Check(File, Request);
        if (!Error.empty()) {
            Choice = {};
            Choice.Kind = TFileChoice::TKind::Refused;
            Choice.Error = Error;
            return Choice;
        }
        Choice.Files.push_back(File);
    }
    Choice.Kind = TFileChoice::TKind::Files;
    Choice.AskReplace = Request.Kind == TFileDialogKind::Save && Request.OverwritePrompt &&
                        FileExists(Choice.Files.front());
    return Choice;
}
