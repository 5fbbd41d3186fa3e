#include "platform/system/ProgramDirectory.h"

#include <unistd.h>

#include <cstdlib>

std::string ProgramFileName() {
    std::string buffer(4096, '\0');
    ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n <= 0 || size_t(n) >= buffer.size()) return std::string();
    buffer.resize(size_t(n));
    return buffer;
}

std::string ProgramDirectory() {
    const char* home = std::getenv("KESTRO_HOME");
    std::string dir;
    if (home != nullptr && *home != '\0') {
        dir = home;
    } else {
        dir = ProgramFileName();
        size_t slash = dir.rfind('/');
        dir = slash == std::string::npos ? std::string("./") : dir.substr(0, slash + 1);
    }
    if (dir.back() != '/') dir += '/';
    return dir;
}
