#pragma once
// File systems behind one interface: the disk, and the resources compiled into the program
// ("type\name" files). Nothing in the program uses them yet.
//
// Resources cannot be written back here: they are compiled into the program, which carries no
// resource section that could be patched, so flushing a changed resource stream raises.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes/Classes.h"
#include "platform/forms/Component.h"

class EFileSystemError : public Exception {
  public:
    using Exception::Exception;
};

class TFileSystem : public TComponent {
  public:
    using TComponent::TComponent;

    // EFileSystemError "Can't rename file A to file B" when it fails.
    void RenameFile(const std::string& From, const std::string& To);
    // EFileSystemError "Can't delete file A" when the file exists and deleting it fails.
    void DeleteFile(const std::string& Name);
    virtual std::string GetCurrentDirectory() const { return ""; }
    virtual void SetCurrentDirectory(const std::string&) {}
    // A stream over the file in the mode (fmCreate, fmOpenRead, ...).
    virtual std::unique_ptr<TStream> CreateStream(const std::string& Name, uint32_t Mode) = 0;
    virtual bool IsReadOnly(const std::string&) const { return false; }
    virtual bool FileExists(const std::string& Name) const = 0;
    virtual std::string GetTempFileName(const std::string& Name) { return Name; }
    // Same folder and name, the extension ".~" and up to two characters of the old one.
    virtual std::string GetBackupFileName(const std::string& Name) const;
    // True when the files are resources, not files on a disk.
    virtual bool IsResourceFileSystem() const { return false; }
    virtual std::string ChangeFileExt(const std::string& Name, const std::string& Ext) const;

  protected:
    virtual bool DoRename(const std::string&, const std::string&) { return true; }
    virtual bool DoDelete(const std::string&) { return true; }
};

class TWin32FileSystem : public TFileSystem {
  public:
    using TFileSystem::TFileSystem;
    std::string GetCurrentDirectory() const override;
    void SetCurrentDirectory(const std::string& Dir) override;
    std::unique_ptr<TStream> CreateStream(const std::string& Name, uint32_t Mode) override;
    // The file exists and may not be written.
    bool IsReadOnly(const std::string& Name) const override;
    bool FileExists(const std::string& Name) const override;
    // A new empty file in the file's folder whose name starts with the file's name;
    // EFileSystemError "Can't create temporary filename" when none can be made.
    std::string GetTempFileName(const std::string& Name) override;

  protected:
    bool DoRename(const std::string& From, const std::string& To) override;
    bool DoDelete(const std::string& Name) override;
};

// A resource name: "RT_" and a standard type name stand for that type's number.
struct TResourceName {
    int TypeNumber = 0;  // 0: the type is a name (or there is none)
    std::string TypeName;
    std::string Name;
};
TResourceName SplitResourceName(const std::string& File);

// A copy of a resource's data; Flush stores it back when it was changed.
class TResWriteStream : public TMemoryStream {
  public:
    TResWriteStream(std::string Resource, const std::string& Data);
    // Logs what Flush raises: a destructor cannot pass it on.
    ~TResWriteStream() override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    // EFileSystemError "Error updating resource" when the data changed.
    void Flush();

  private:
    std::string FResource;
    int64_t FOpenedSize;
    bool FWritten = false;
};

class TResFileSystem : public TFileSystem {
  public:
    using TFileSystem::TFileSystem;
    // The module whose resources are the files; empty: the running program (the only module
    // with resources here).
    std::string FileName;
    bool FileExists(const std::string& Name) const override;
    std::unique_ptr<TStream> CreateStream(const std::string& Name, uint32_t Mode) override;
    bool IsResourceFileSystem() const override { return true; }
};
