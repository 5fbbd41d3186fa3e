#include "components/store/XMLFileStore.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "components/store/Limits.h"
#include "platform/classes/Classes.h"
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

// Writes beside the file and renames over it, so that a failed write leaves the old file whole.
void WriteLines(const std::string& Path, const std::vector<std::string>& Lines) {
    std::string Text;
    for (const std::string& Line : Lines) Text += Line + "\r\n";
    const std::string Target = ResolvePath(Path);
    const std::string Temporary = Target + ".tmp";
    const int Handle = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (Handle < 0) throw EWriteError("Cannot write " + Path + ": " + std::strerror(errno));
    size_t Done = 0;
    while (Done < Text.size()) {
        const ssize_t N = ::write(Handle, Text.data() + Done, Text.size() - Done);
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) break;
        Done += size_t(N);
    }
    const int Error = Done == Text.size() ? 0 : errno;
    ::close(Handle);
    if (Error != 0 || std::rename(Temporary.c_str(), Target.c_str()) != 0) {
        const std::string Reason = std::strerror(Error != 0 ? Error : errno);
        ::unlink(Temporary.c_str());
        throw EWriteError("Cannot write " + Path + ": " + Reason);
    }
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
    const std::string Path = FileName();
    FDocument.Load(FileExists(Path) ? ReadLines(Path) : std::vector<std::string>());
    if (FDocument.Created()) FModified = true;
}

void TO32XMLFileStore::DoClose() {
    const std::vector<std::string> Lines =
        FModified ? FDocument.Save() : std::vector<std::string>();
    const bool Write = FModified;
    FDocument.Clear();
    if (Write) WriteLines(FileName(), Lines);
}

std::string TO32XMLFileStore::ReadString(const std::string& Section, const std::string& Item,
                                         const std::string& Default) {
    return WithStoreOpen(*this, [&] { return FDocument.Read(Section, Item, Default); });
}

void TO32XMLFileStore::WriteString(const std::string& Section, const std::string& Item,
                                   const std::string& Value) {
    WithStoreOpen(*this, [&] {
        FDocument.Write(Section, Item, Value);
        FModified = true;
    });
}

void TO32XMLFileStore::EraseSection(const std::string& Section) {
    WithStoreOpen(*this, [&] {
        FDocument.EraseSection(Section);
        FModified = true;
    });
}
