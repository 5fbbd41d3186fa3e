#include "netlib/ras/provider/ShellCommand.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "netlib/ras/provider/Limits.h"

extern char** environ;

namespace {

// Slice of waiting, so that a cancel is seen soon.
constexpr int kPollSliceMs = 20;

uint64_t NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000 + uint64_t(ts.tv_nsec) / 1000000;
}

class TFd {
  public:
    TFd() = default;
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() { Close(); }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    void Reset(int fd) {
        Close();
        FFd = fd;
    }
    void Close() {
        if (FFd >= 0) ::close(FFd);
        FFd = -1;
    }

  private:
    int FFd = -1;
};

void KeepTail(std::string& out, const char* data, size_t n) {
    out.append(data, n);
    if (out.size() > DialupLimits::kMaxCommandOutput)
        out.erase(0, out.size() - DialupLimits::kMaxCommandOutput);
}

// Reads what is there without waiting; false at end of file or error.
bool Drain(int fd, std::string& out) {
    char buf[4096];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            KeepTail(out, buf, size_t(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

int DecodeStatus(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return -1;
}

void KillGroup(pid_t pid) {
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
}

}  // namespace

std::string TShellResult::LastLine() const {
    size_t end = Output.find_last_not_of(" \t\r\n");
    if (end == std::string::npos) return {};
    size_t begin = Output.find_last_of("\r\n", end);
    begin = begin == std::string::npos ? 0 : begin + 1;
    std::string line = Output.substr(begin, end - begin + 1);
    if (line.size() > DialupLimits::kMaxDetailLength)
        line = line.substr(0, DialupLimits::kMaxDetailLength) + "...";
    return line;
}

std::vector<std::string> CommandEnvironment(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        std::string entry = *e;
        bool replaced = false;
        for (const auto& x : extra) {
            size_t eq = x.find('=');
            if (entry.compare(0, eq + 1, x, 0, eq + 1) == 0) replaced = true;
        }
        if (!replaced) env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

TShellResult RunShellCommand(const std::string& command, const std::string& input,
                             const std::vector<std::string>& environment, uint32_t timeoutMs,
                             const std::atomic<bool>* cancel) {
    TShellResult result;
    int in[2], out[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0 ||
        ::pipe2(out, O_CLOEXEC) != 0) {
        result.StartError = std::strerror(errno);
        return result;
    }
    TFd inParent(in[0]), inChild(in[1]), outRead(out[0]), outWrite(out[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inChild.Get(), 0);
    posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), 1);
    posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t none, defaults;
    sigemptyset(&none);
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setflags(
        &attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> envp;
    for (const auto& e : environment) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    std::string shell = "/bin/sh", dashC = "-c", cmd = command;
    char* argv[] = {shell.data(), dashC.data(), cmd.data(), nullptr};

    pid_t pid = -1;
    int rc = posix_spawn(&pid, "/bin/sh", &actions, &attr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    inChild.Close();
    outWrite.Close();
    if (rc != 0) {
        result.StartError = std::strerror(rc);
        return result;
    }
    result.Started = true;

    // The input is small (a password line); a command that does not read it simply leaves it.
    if (!input.empty()) {
        ::fcntl(inParent.Get(), F_SETFL, O_NONBLOCK);
        ::send(inParent.Get(), input.data(), input.size(), MSG_NOSIGNAL);
    }
    ::shutdown(inParent.Get(), SHUT_WR);
    ::fcntl(outRead.Get(), F_SETFL, O_NONBLOCK);

    const uint64_t deadline = NowMs() + timeoutMs;
    int status = 0;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            // A program it left running in the background may keep the pipe open: take what is
            // there and stop reading.
            Drain(outRead.Get(), result.Output);
            result.ExitCode = DecodeStatus(status);
            return result;
        }
        if (cancel && cancel->load())
            result.Cancelled = true;
        else if (NowMs() >= deadline)
            result.TimedOut = true;
        if (result.Cancelled || result.TimedOut) {
            KillGroup(pid);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            Drain(outRead.Get(), result.Output);
            result.ExitCode = DecodeStatus(status);
            return result;
        }
        if (outRead.Get() >= 0) {
            pollfd p{outRead.Get(), POLLIN, 0};
            ::poll(&p, 1, kPollSliceMs);
            if (!Drain(outRead.Get(), result.Output)) outRead.Close();
        } else {
            pollfd none{-1, 0, 0};
            ::poll(&none, 0, kPollSliceMs);
        }
    }
}
