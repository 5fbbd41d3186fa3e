#include "components/store/XMLFileStore.h"

#include <cerrno>
#include <cstring>

#include "components/store/Limits.h"
#include "platform/classes/Classes.h"
#include "platform/fs/FileReplacement.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

namespace {

std::vector<std::string> ReadLines(const std::string& Path) {
    const int64_t Size = FileSizeOf(Path);
    if (Size > int64_t(StoreLimits::kMaxFileSize))
        throw EXMLStoreError(LookupOvcString(SCInvalidXMLFile), SCInvalidXMLFile);
    TStringList Lines;
    Lines.LoadFromFile(Path);
    std::vector<std::string> Result;
    Result.reserve(size_t(Lines.Count()));
    for (int N = 0; N < Lines.Count(); ++N) Result.push_back(Lines[N]);
    return Result;
}

std::vector<std::string> LinesOf(const std::string& Path) {
    return FileExists(Path) ? ReadLines(Path) : std::vector<std::string>();
}

// Under the file's lock: replaces the file whole, so that a reader or a process killed at any
// moment finds the old file or the new one.
void WriteLines(const std::string& Target, const std::string& Path,
                const std::vector<std::string>& Lines) {
    std::string Text;
    for (const std::string& Line : Lines) Text += Line + "\r\n";
    RemoveLeftoverTempFiles(Target);
    if (!ReplaceFileWhole(Target, Text, 0644))
        throw EWriteError("Cannot write " + Path + ": " + std::strerror(errno));
}

}  // namespace

std::string TO32XMLFileStore::FileName() const {
    std::string Name = FXMLFileName;
    if (Name.empty()) Name = ChangeFileExt(ExtractFileName(ProgramFileName()), ".XML");
    if (Name.find('.') == std::string::npos) Name += ".XML";
    if (FUseExeDir) return IncludeTrailingPathDelimiter(ProgramDirectory()) + ExtractFileName(Name);
    return Name;
}

void TO32XMLFileStore::DoOpen() {
    FChanges.clear();
    FDocument.Load(LinesOf(FileName()));
    if (FDocument.Created()) FModified = true;
}

void TO32XMLFileStore::DoClose() {
    FDocument.Clear();
    std::vector<TChange> Changes;
    Changes.swap(FChanges);
    if (!FModified) return;
    const std::string Path = FileName();
    const std::string Target = ResolvePath(Path);
    // Read again under the lock: what another process wrote since this one opened stays.
    TFileWriteLock Lock(Target);
    WriteLines(Target, Path, Merged(LinesOf(Target), Changes));
}

std::vector<std::string> TO32XMLFileStore::Merged(std::vector<std::string> Lines,
                                                  const std::vector<TChange>& Changes) {
    TXMLStoreDocument Document;
    Document.Load(std::move(Lines));
    for (const TChange& Change : Changes) {
        if (Change.Erase)
            Document.EraseSection(Change.Section);
        else
            Document.Write(Change.Section, Change.Item, Change.Value);
    }
    return Document.Save();
}

std::string TO32XMLFileStore::ReadString(const std::string& Section, const std::string& Item,
                                         const std::string& Default) {
    return WithStoreOpen(*this, [&] { return FDocument.Read(Section, Item, Default); });
}

void TO32XMLFileStore::WriteString(const std::string& Section, const std::string& Item,
                                   const std::string& Value) {
    WithStoreOpen(*this, [&] {
        FDocument.Write(Section, Item, Value);
        FChanges.push_back({false, Section, Item, Value});
        FModified = true;
    });
}

void TO32XMLFileStore::EraseSection(const std::string& Section) {
    WithStoreOpen(*this, [&] {
        FDocument.EraseSection(Section);
        FChanges.push_back({true, Section, {}, {}});
        FModified = true;
    });
}
