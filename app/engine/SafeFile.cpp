#include "app/engine/SafeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/classes/Exception.h"
#include "platform/fs/Files.h"

namespace {

// Large enough that a batch of small articles costs one system call per few hundred of them.
constexpr size_t kBufferSize = 256 * 1024;

}  // namespace

std::string WriteFailureText(const std::string& fileName, int error) {
    return "Die Datei " + fileName + " konnte nicht geschrieben werden: " + std::strerror(error);
}

TBufferedFile::TBufferedFile(const std::string& fileName) : FFileName(fileName) {
    const std::string path = ResolvePath(fileName);
    do {
        FHandle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    } while (FHandle < 0 && errno == EINTR);
    if (FHandle < 0) Fail(errno);
    // Held while the file is written, so that another Kestro clearing a shared spool of what
    // killed runs left there (RemoveStaleBatches) leaves it alone. Without it (a file system
    // without locks) the file is written all the same.
    ::flock(FHandle, LOCK_EX | LOCK_NB);
    FBuffer.reserve(kBufferSize);
}

TBufferedFile::~TBufferedFile() {
    if (FHandle >= 0) ::close(FHandle);
}

void TBufferedFile::Fail(int error) const {
    throw EWriteError(WriteFailureText(FFileName, error));
}

void TBufferedFile::WriteOut(const char* data, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(FHandle, data, count);
        if (n < 0 && errno == EINTR) continue;
        // A write that takes nothing without an error would loop for ever: the disk is full.
        if (n <= 0) Fail(n < 0 ? errno : ENOSPC);
        data += n;
        count -= size_t(n);
    }
}

void TBufferedFile::Write(std::string_view bytes) {
    if (FHandle < 0) Fail(EBADF);
    FSize += int64_t(bytes.size());
    if (FBuffer.size() + bytes.size() <= kBufferSize) {
        FBuffer.append(bytes);
        return;
    }
    Flush();
    if (bytes.size() >= kBufferSize)
        WriteOut(bytes.data(), bytes.size());
    else
        FBuffer.append(bytes);
}

void TBufferedFile::Flush() {
    if (FHandle < 0) Fail(EBADF);
    if (FBuffer.empty()) return;
    WriteOut(FBuffer.data(), FBuffer.size());
    FBuffer.clear();
}

void TBufferedFile::Close() {
    if (FHandle < 0) return;
    Flush();
    const int handle = FHandle;
    FHandle = -1;
    if (::close(handle) != 0 && errno != EINTR) Fail(errno);
}

void WriteFileAtomic(const std::string& fileName, std::string_view bytes) {
    const std::string target = ResolvePath(fileName);
    const std::string temp = target + ".tmp";
    try {
        TBufferedFile file(temp);
        file.Write(bytes);
        file.Close();
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    if (std::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        throw EWriteError(WriteFailureText(fileName, error));
    }
}
