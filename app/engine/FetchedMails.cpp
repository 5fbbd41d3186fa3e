#include "app/engine/FetchedMails.h"

#include <algorithm>
#include <set>

#include "app/engine/KestroGlobal.h"
#include "app/engine/Limits.h"
#include "app/engine/PartialMails.h"
#include "app/engine/SafeFile.h"
#include "platform/classes/Classes.h"
#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"

std::string TFetchedMails::FileNameFor(const std::string& BoxFile) {
    return ChangeFileExt(BoxFile, ".got");
}

std::string TFetchedMails::TempSpoolName(const std::string& SpoolDir, const std::string& Name) {
    return SpoolDir + ChangeFileExt(Name, ".tmp");
}

void TFetchedMails::AddTempNames(const std::string& FileName, std::set<std::string>& Names) {
    if (!FileExists(FileName)) return;
    TStringList Lines;
    LoadListFile(Lines, FileName, KestroLimits::kMaxFetchedMailFileSize);
    for (int I = 0; I < Lines.Count(); ++I) {
        const std::string& Line = Lines[I];
        const size_t Blank = Line.find(' ');
        if (Blank != std::string::npos) Names.insert(ExtractFileName(Line.substr(Blank + 1)));
    }
}

namespace {

// A temporary name TempSpoolName gives for a spool file of SpoolDir: "m<digits>.tmp" there.
bool IsTempSpoolName(const std::string& Temp, const std::string& SpoolDir) {
    if (Temp.size() <= SpoolDir.size() || Temp.compare(0, SpoolDir.size(), SpoolDir) != 0)
        return false;
    const std::string Name = Temp.substr(SpoolDir.size());
    return Name.size() > 5 && Name[0] == 'm' && Name.compare(Name.size() - 4, 4, ".tmp") == 0 &&
           std::all_of(Name.begin() + 1, Name.end() - 4,
                       [](char C) { return C >= '0' && C <= '9'; });
}

}  // namespace

void TFetchedMails::Load(const std::string& FileName, const std::string& SpoolDir) {
    FIds.clear();
    FTemps.clear();
    FDropped = 0;
    FModified = false;
    if (!FileExists(FileName)) return;
    TStringList Lines;
    try {
        LoadListFile(Lines, FileName, KestroLimits::kMaxFetchedMailFileSize);
    } catch (...) {
        FModified = true;
        throw;
    }
    // Spool files found still there, whatever the line's id: a line naming one again (a damaged
    // list) is no mail stored.
    std::set<std::string> Unnamed;
    for (int I = 0; I < Lines.Count(); ++I) {
        const std::string& Line = Lines[I];
        if (Line.empty()) continue;
        const size_t Blank = Line.find(' ');
        const std::string Id = Blank == std::string::npos ? "" : Line.substr(0, Blank);
        const std::string Temp = Blank == std::string::npos ? "" : Line.substr(Blank + 1);
        if (!IsTempSpoolName(Temp, SpoolDir)) {
            ++FDropped;
            continue;
        }
        if (Unnamed.count(Temp) || FileExists(Temp)) {
            // Written, never named: the mail was not stored.
            if (Unnamed.insert(Temp).second) DeleteFile(Temp);
            ++FDropped;
            continue;
        }
        if (Id.empty() || TPartialMails::CleanId(Id) != Id || Stored(Id)) {
            ++FDropped;
            continue;
        }
        FIds.push_back(Id);
        FTemps[Id] = Temp;
    }
    FModified = FDropped > 0;
}

bool TFetchedMails::Add(const std::string& Id, const std::string& Temp) {
    if (Id.empty() || TPartialMails::CleanId(Id) != Id || Id.find(' ') != std::string::npos ||
        Temp.find_first_of("\r\n") != std::string::npos)
        return false;
    if (!Stored(Id)) FIds.push_back(Id);
    FTemps[Id] = Temp;
    FModified = true;
    return true;
}

void TFetchedMails::Remove(const std::string& Id) {
    if (FTemps.erase(Id) == 0) return;
    FIds.erase(std::find(FIds.begin(), FIds.end(), Id));
    FModified = true;
}

void TFetchedMails::Retain(const std::unordered_set<std::string>& OnServer) {
    std::vector<std::string> Gone;
    for (const std::string& Id : FIds)
        if (!OnServer.count(Id)) Gone.push_back(Id);
    for (const std::string& Id : Gone) Remove(Id);
}

void TFetchedMails::Save(const std::string& FileName) {
    std::string Text;
    for (const std::string& Id : FIds) Text += Id + " " + FTemps[Id] + "\r\n";
    if (Text.empty()) {
        if (FileExists(FileName) && !DeleteFile(FileName))
            throw EWriteError("Die Datei " + FileName + " konnte nicht gel\xC3\xB6scht werden");
    } else {
        WriteFileAtomic(FileName, Text);
    }
    FModified = false;
}
