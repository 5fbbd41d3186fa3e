#include "components/registries/FileSystems.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>

#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"
#include "resources/ResourceData.h"

namespace {

// The standard resource types, by number.
constexpr const char* kResourceTypes[] = {
    nullptr,        "CURSOR",   "BITMAP",     "ICON",        "MENU",    "DIALOG",
    "STRING",       "FONTDIR",  "FONT",       "ACCELERATOR", "RCDATA",  "MESSAGETABLE",
    "GROUP_CURSOR", nullptr,    "GROUP_ICON", nullptr,       "VERSION", "DLGINCLUDE",
    nullptr,        "PLUGPLAY", "VXD",        "ANICURSOR",   "ANIICON",
};

bool SameResourceModule(const std::string& FileName) {
    return FileName.empty() || ExpandFileName(FileName) == ExpandFileName(ProgramFileName());
}

}  // namespace

// ---- TFileSystem ---------------------------------------------------------------------------

void TFileSystem::RenameFile(const std::string& From, const std::string& To) {
    if (!DoRename(From, To)) throw EFileSystemError("Can't rename file " + From + " to file " + To);
}

void TFileSystem::DeleteFile(const std::string& Name) {
    if (FileExists(Name) && !DoDelete(Name)) throw EFileSystemError("Can't delete file " + Name);
}

std::string TFileSystem::GetBackupFileName(const std::string& Name) const {
    const std::string Ext = ExtractFileExt(Name);
    return ChangeFileExt(Name, ".~" + (Ext.empty() ? std::string() : Ext.substr(1, 2)));
}

std::string TFileSystem::ChangeFileExt(const std::string& Name, const std::string& Ext) const {
    return ::ChangeFileExt(Name, Ext);
}

// ---- TWin32FileSystem ----------------------------------------------------------------------

std::string TWin32FileSystem::GetCurrentDirectory() const {
    return GetCurrentDir();
}

void TWin32FileSystem::SetCurrentDirectory(const std::string& Dir) {
    SetCurrentDir(Dir);
}

std::unique_ptr<TStream> TWin32FileSystem::CreateStream(const std::string& Name, uint32_t Mode) {
    return std::make_unique<TFileStream>(Name, Mode);
}

bool TWin32FileSystem::IsReadOnly(const std::string& Name) const {
    return FileExists(Name) && ::access(ResolvePath(Name).c_str(), W_OK) != 0;
}

bool TWin32FileSystem::FileExists(const std::string& Name) const {
    return ::FileExists(Name);
}

bool TWin32FileSystem::DoRename(const std::string& From, const std::string& To) {
    return ::RenameFile(From, To);
}

bool TWin32FileSystem::DoDelete(const std::string& Name) {
    return ::DeleteFile(Name);
}

std::string TWin32FileSystem::GetTempFileName(const std::string& Name) {
    const std::string Folder = ExtractFilePath(Name);
    std::string Template =
        ResolvePath(Folder.empty() ? "./" : Folder) + ExtractFileName(Name).substr(0, 3) + "XXXXXX";
    const int Handle = ::mkstemp(Template.data());
    if (Handle < 0) throw EFileSystemError("Can't create temporary filename");
    ::close(Handle);
    return Template;
}

// ---- resources -----------------------------------------------------------------------------

TResourceName SplitResourceName(const std::string& File) {
    TResourceName Result;
    const size_t Slash = File.find('\\');
    if (Slash == std::string::npos) {
        Result.Name = File;
        return Result;
    }
    Result.TypeName = File.substr(0, Slash);
    Result.Name = File.substr(Slash + 1);
    if (Result.TypeName.rfind("RT_", 0) != 0) return Result;
    const std::string Standard = Result.TypeName.substr(3);
    for (int N = 1; N < int(std::size(kResourceTypes)); ++N) {
        if (kResourceTypes[N] == nullptr || Standard != kResourceTypes[N]) continue;
        Result.TypeNumber = N;
        Result.TypeName.clear();
        break;
    }
    return Result;
}

TResWriteStream::TResWriteStream(std::string Resource, const std::string& Data)
    : FResource(std::move(Resource)), FOpenedSize(int64_t(Data.size())) {
    if (!Data.empty()) TMemoryStream::Write(Data.data(), int64_t(Data.size()));
    SetPosition(0);
}

TResWriteStream::~TResWriteStream() {
    try {
        Flush();
    } catch (const Exception& E) {
        std::fprintf(stderr, "resource %s: %s\n", FResource.c_str(), E.Message().c_str());
    }
}

int64_t TResWriteStream::Write(const void* Buffer, int64_t Count) {
    FWritten = true;
    return TMemoryStream::Write(Buffer, Count);
}

void TResWriteStream::Flush() {
    if (!FWritten && Size() == FOpenedSize) return;
    FWritten = false;
    FOpenedSize = Size();
    throw EFileSystemError("Error updating resource");
}

bool TResFileSystem::FileExists(const std::string& Name) const {
    return SameResourceModule(FileName) &&
           FindResourceEntry(MainResourceModule(), SplitResourceName(Name).Name) != nullptr;
}

std::unique_ptr<TStream> TResFileSystem::CreateStream(const std::string& Name, uint32_t Mode) {
    std::string Data;
    if (Mode != fmCreate && SameResourceModule(FileName)) {
        const auto Bytes = FindResourceData(MainResourceModule(), SplitResourceName(Name).Name);
        Data.assign(reinterpret_cast<const char*>(Bytes.data()), Bytes.size());
    }
    return std::make_unique<TResWriteStream>(Name, Data);
}
