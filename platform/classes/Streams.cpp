#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/classes/Classes.h"
#include "platform/fs/Files.h"

int64_t TStream::Size() {
    int64_t pos = Seek(0, soCurrent);
    int64_t end = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return end;
}

void TStream::SetSize(int64_t) {
    throw EStreamError("Stream size cannot be changed");
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    auto* p = static_cast<char*>(buffer);
    while (count > 0) {
        int64_t n = Read(p, count);
        if (n <= 0) throw EReadError("Stream read error");
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    auto* p = static_cast<const char*>(buffer);
    while (count > 0) {
        int64_t n = Write(p, count);
        if (n <= 0) throw EWriteError("Stream write error");
        p += n;
        count -= n;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    char block[65536];
    int64_t left = count;
    while (left > 0) {
        int64_t n = std::min<int64_t>(left, sizeof block);
        source.ReadBuffer(block, n);
        WriteBuffer(block, n);
        left -= n;
    }
    return count;
}

// ---------------------------------------------------------------------------------------------

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
    if (count <= 0 || FPosition >= int64_t(FData.size())) return 0;
    int64_t n = std::min<int64_t>(count, int64_t(FData.size()) - FPosition);
    std::memcpy(buffer, FData.data() + FPosition, size_t(n));
    FPosition += n;
    return n;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    if (FPosition > std::numeric_limits<int64_t>::max() - count)
        throw EWriteError("Stream too large");
    int64_t end = FPosition + count;
    if (end > int64_t(FData.size())) FData.resize(size_t(end));
    std::memcpy(FData.data() + FPosition, buffer, size_t(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    int64_t base = origin == soBeginning ? 0
                   : origin == soCurrent ? FPosition
                                         : int64_t(FData.size());
    int64_t target = base + offset;
    FPosition = std::max<int64_t>(0, target);
    return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
    if (size < 0) throw EStreamError("Negative stream size");
    FData.resize(size_t(size));
    if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    int64_t size = source.Size();
    SetSize(size);
    if (size > 0) source.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::LoadFromFile(const std::string& fileName) {
    TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TMemoryStream::SaveToStream(TStream& target) {
    if (!FData.empty()) target.WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TMemoryStream::SaveToFile(const std::string& fileName) {
    TFileStream file(fileName, fmCreate);
    SaveToStream(file);
}

TStringStream::TStringStream(const std::string& data) {
    if (!data.empty()) WriteBuffer(data.data(), int64_t(data.size()));
    SetPosition(0);
}

// ---------------------------------------------------------------------------------------------

TFileStream::TFileStream(const std::string& fileName, uint32_t mode) : FFileName(fileName) {
    std::string path = ResolvePath(fileName);
    int flags = O_CLOEXEC;
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        flags |= O_RDWR | O_CREAT | O_TRUNC;
    } else {
        switch (mode & 3) {
            case fmOpenWrite:
                flags |= O_WRONLY;
                break;
            case fmOpenReadWrite:
                flags |= O_RDWR;
                break;
            default:
                flags |= O_RDONLY;
                break;
        }
    }
    do {
        FHandle = ::open(path.c_str(), flags, 0644);
    } while (FHandle < 0 && errno == EINTR);
    struct stat info;
    if (FHandle >= 0 && fstat(FHandle, &info) == 0 && S_ISDIR(info.st_mode)) {
        // A directory opens read-only on this platform, but it is no file to read.
        ::close(FHandle);
        FHandle = -1;
        errno = EISDIR;
    }
    if (FHandle < 0) {
        const char* what = (flags & O_CREAT) ? "Cannot create file" : "Cannot open file";
        throw EFOpenError(std::string(what) + " \"" + fileName + "\". " + std::strerror(errno));
    }
}

TFileStream::~TFileStream() {
    if (FHandle >= 0) ::close(FHandle);
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
    if (count <= 0) return 0;
    ssize_t n;
    do {
        n = ::read(FHandle, buffer, size_t(count));
    } while (n < 0 && errno == EINTR);
    return n < 0 ? 0 : int64_t(n);
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
    if (count <= 0) return 0;
    ssize_t n;
    do {
        n = ::write(FHandle, buffer, size_t(count));
    } while (n < 0 && errno == EINTR);
    return n < 0 ? 0 : int64_t(n);
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(FHandle, off_t(offset), whence);
    return r < 0 ? -1 : int64_t(r);
}

void TFileStream::SetSize(int64_t size) {
    if (::ftruncate(FHandle, off_t(size)) != 0)
        throw EStreamError("Cannot set the size of \"" + FFileName + "\". " + std::strerror(errno));
    if (Position() > size) Seek(size, soBeginning);
}
