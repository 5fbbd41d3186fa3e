#include "components/crashlog/RipWriter.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "components/crashlog/Limits.h"

namespace {

char GFileName[CrashLogLimits::kMaxFileNameLength];
char GRipInfo[CrashLogLimits::kMaxRipInfoLength];
size_t GRipInfoLength = 0;
volatile sig_atomic_t GHasComponent = 0;
volatile sig_atomic_t GHeadWritten = 0;

size_t CopyInto(char* Target, size_t Room, std::string_view Text) {
    const size_t N = std::min(Text.size(), Room - 1);
    std::memcpy(Target, Text.data(), N);
    Target[N] = '\0';
    return N;
}

bool WriteAll(int Handle, std::string_view Text) {
    while (!Text.empty()) {
        const ssize_t N = ::write(Handle, Text.data(), Text.size());
        if (N < 0 && errno == EINTR) continue;
        if (N <= 0) return false;
        Text.remove_prefix(size_t(N));
    }
    return true;
}

}  // namespace

void SetRipTarget(std::string_view FileName, std::string_view RipInfo, bool HasComponent) {
    CopyInto(GFileName, sizeof GFileName, FileName);
    GRipInfoLength = CopyInto(GRipInfo, sizeof GRipInfo, RipInfo);
    GHasComponent = HasComponent ? 1 : 0;
}

void ResetRipHead() {
    GHeadWritten = 0;
}

bool AppendRipEntry(std::string_view Report) {
    if (GFileName[0] == '\0') return false;
    int Handle = ::open(GFileName, O_WRONLY | O_APPEND | O_CLOEXEC);
    const bool Existed = Handle >= 0;
    if (!Existed && errno == ENOENT)
        Handle = ::open(GFileName, O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (Handle < 0) return false;
    // Others may read the file meanwhile, but no second writer mixes its lines into ours.
    ::flock(Handle, LOCK_EX);
    bool Written = !Existed || WriteAll(Handle, "\r\n\r\n");
    if (Written && GHasComponent && !GHeadWritten) {
        GHeadWritten = 1;
        if (GRipInfoLength > 0)
            Written = WriteAll(Handle, std::string_view(GRipInfo, GRipInfoLength)) &&
                      WriteAll(Handle, "\r\n\r\n");
    }
    Written = Written && WriteAll(Handle, Report) && WriteAll(Handle, "\r\n");
    const int Error = errno;
    ::close(Handle);
    errno = Error;
    return Written;
}
