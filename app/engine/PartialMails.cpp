#include "app/engine/PartialMails.h"

#include <cstdio>

#include "app/engine/Limits.h"
#include "netlib/base/IpUtils.h"
#include "platform/classes/Classes.h"
#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"

std::string TPartialMails::FileNameFor(const std::string& boxFile) {
    return ChangeFileExt(boxFile, ".big");
}

std::string TPartialMails::CleanId(const std::string& text) {
    std::string id = TrimControls(text);
    if (id.size() > KestroLimits::kMaxPartialMailIdLength) return std::string();
    for (char c : id)
        if (static_cast<unsigned char>(c) < 32 || c == '\x7F') return std::string();
    return id;
}

void TPartialMails::Load(const std::string& fileName) {
    FIds.clear();
    FListed.clear();
    FLoaded.clear();
    FDropped = 0;
    FModified = false;
    if (!FileExists(fileName)) return;
    const int64_t size = FileSizeOf(fileName);
    if (size > KestroLimits::kMaxPartialMailFileSize) {
        // Written anew at the end of the run, from what the server still holds.
        FModified = true;
        throw EReadError("Die Datei " + fileName + " ist zu gro\xC3\x9F (" + std::to_string(size) +
                         " Bytes)");
    }
    TStringList lines;
    try {
        lines.LoadFromFile(fileName);
    } catch (...) {
        FModified = true;
        throw;
    }
    for (int i = 0; i < lines.Count(); ++i) {
        if (TrimControls(lines[i]).empty()) continue;
        const std::string id = CleanId(lines[i]);
        if (id.empty()) {
            ++FDropped;
            continue;
        }
        Add(id);
        FLoaded.insert(id);
    }
    FModified = FDropped > 0;
}

void TPartialMails::Add(const std::string& id) {
    if (!FListed.insert(id).second) return;
    FIds.push_back(id);
    FModified = true;
}

void TPartialMails::Retain(const std::unordered_set<std::string>& onServer) {
    std::vector<std::string> kept;
    for (auto& id : FIds) {
        if (onServer.count(id))
            kept.push_back(std::move(id));
        else
            FListed.erase(id);
    }
    if (kept.size() != FIds.size()) FModified = true;
    FIds = std::move(kept);
}

int32_t TPartialMails::Save(const std::string& fileName) {
    if (FIds.empty()) {
        if (FileExists(fileName) && !DeleteFile(fileName))
            throw EWriteError("Die Datei " + fileName + " konnte nicht gel\xC3\xB6scht werden");
        FModified = false;
        return 0;
    }
    // The newest ids that fit, each with its line end.
    size_t first = FIds.size();
    int64_t bytes = 0;
    while (first > 0 &&
           bytes + int64_t(FIds[first - 1].size()) + 2 <= KestroLimits::kMaxPartialMailFileSize) {
        --first;
        bytes += int64_t(FIds[first].size()) + 2;
    }
    TStringList lines;
    for (size_t i = first; i < FIds.size(); ++i) lines.Add(FIds[i]);
    const std::string target = ResolvePath(fileName);
    const std::string temp = target + ".tmp";
    try {
        lines.SaveToFile(temp);
    } catch (...) {
        DeleteFile(temp);
        throw EWriteError("Die Datei " + fileName + " konnte nicht geschrieben werden");
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        DeleteFile(temp);
        throw EWriteError("Die Datei " + fileName + " konnte nicht geschrieben werden");
    }
    for (size_t i = 0; i < first; ++i) FListed.erase(FIds[i]);
    FIds.erase(FIds.begin(), FIds.begin() + std::ptrdiff_t(first));
    FModified = false;
    return int32_t(first);
}
