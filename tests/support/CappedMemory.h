#pragma once
// Allocations that fail as on a machine out of memory, for tests that a failed allocation refuses
// what asked for it and leaves everything as it was. The step runs in a child process whose
// address space is capped at what is mapped now and a spare amount more, so that any larger
// allocation fails. The sanitizers reserve address space of their own and report a failed
// allocation instead of returning nothing: under them such a test skips (Available()).
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>

namespace CappedMemory {

inline bool Available() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

// Runs Step in a child process with SpareBytes of address space beyond what is mapped now and
// returns the code Step returns there; a negative signal number when the child died of one, and
// -1 when no child could be started.
inline int RunWithSpare(int64_t SpareBytes, const std::function<int()>& Step) {
    const pid_t Child = fork();
    if (Child < 0) return -1;
    if (Child == 0) {
        std::ifstream Status("/proc/self/status");
        long Kb = 0;
        for (std::string Line; std::getline(Status, Line);)
            if (Line.rfind("VmSize:", 0) == 0) Kb = std::stol(Line.substr(7));
        const rlim_t Limit = rlim_t(Kb) * 1024 + rlim_t(SpareBytes);
        const rlimit Cap{Limit, Limit};
        setrlimit(RLIMIT_AS, &Cap);
        _exit(Step());
    }
    int Status = 0;
    if (waitpid(Child, &Status, 0) != Child) return -1;
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -WTERMSIG(Status);
}

}  // namespace CappedMemory
