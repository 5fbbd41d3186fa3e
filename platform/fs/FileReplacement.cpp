#include "platform/fs/FileReplacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const char kTempInfix[] = ".tmp.";

std::string DirectoryOf(const std::string& File) {
    const size_t Slash = File.rfind('/');
    if (Slash == std::string::npos) return ".";
    return Slash == 0 ? std::string("/") : File.substr(0, Slash);
}

bool WriteAll(int Handle, const std::string& Data) {
    size_t Done = 0;
    while (Done < Data.size()) {
        const ssize_t N = ::write(Handle, Data.data() + Done, Data.size() - Done);
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) {
            if (N == 0) errno = ENOSPC;
            return false;
        }
        Done += size_t(N);
    }
    return true;
}

}  // namespace

TFileWriteLock::TFileWriteLock(const std::string& File) {
    FHandle = ::open((File + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FHandle >= 0)
        while (::flock(FHandle, LOCK_EX) != 0 && errno == EINTR) {
        }
}

TFileWriteLock::~TFileWriteLock() {
    if (FHandle >= 0) ::close(FHandle);
}

void RemoveLeftoverTempFiles(const std::string& File) {
    const std::string Prefix = File.substr(File.rfind('/') + 1) + kTempInfix;
    DIR* Dir = ::opendir(DirectoryOf(File).c_str());
    if (!Dir) return;
    while (const struct dirent* Entry = ::readdir(Dir))
        if (std::strncmp(Entry->d_name, Prefix.c_str(), Prefix.size()) == 0)
            ::unlinkat(::dirfd(Dir), Entry->d_name, 0);
    ::closedir(Dir);
}

bool ReplaceFileWhole(const std::string& File, const std::string& Text, mode_t Mode) {
    const std::string Temporary = File + kTempInfix + std::to_string(::getpid());
    const int Handle = ::open(Temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, Mode);
    if (Handle < 0) return false;
    bool Ok = WriteAll(Handle, Text) && ::fsync(Handle) == 0;
    int Error = Ok ? 0 : errno;
    if (::close(Handle) != 0 && Ok) {
        Ok = false;
        Error = errno;
    }
    if (Ok && ::rename(Temporary.c_str(), File.c_str()) != 0) {
        Ok = false;
        Error = errno;
    }
    if (Ok) {
        // The rename itself lasts only once the directory is on disk.
        const int Dir = ::open(DirectoryOf(File).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (Dir >= 0) {
            ::fsync(Dir);
            ::close(Dir);
        }
        return true;
    }
    ::unlink(Temporary.c_str());
    errno = Error;
    return false;
}
