#pragma once
// Runs one command of the phonebook: /bin/sh -c COMMAND in its own process group, with input
// written to its standard input (a socket, so a command that exits without reading it cannot
// hurt us), standard output and error read together. Blocks the calling thread: the providers
// call it from worker threads, or where the operation itself is synchronous.
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct TShellResult {
    bool Started = false;
    bool TimedOut = false;
    bool Cancelled = false;
    int ExitCode = -1;       // 128 + signal number when a signal ended it
    std::string Output;      // the tail of what it wrote (see DialupLimits::kMaxCommandOutput)
    std::string StartError;  // why it could not be started
    bool Succeeded() const { return Started && !TimedOut && !Cancelled && ExitCode == 0; }
    // The last non-empty line of the output, shortened for an error text.
    std::string LastLine() const;
};

// environment: complete "NAME=value" strings for the command (see CommandEnvironment).
// On time-out or cancel the whole process group is killed.
TShellResult RunShellCommand(const std::string& command, const std::string& input,
                             const std::vector<std::string>& environment, uint32_t timeoutMs,
                             const std::atomic<bool>* cancel);

// The process's environment with the given "NAME=value" strings added or replaced. Read it on
// the thread that may change the environment (the user-interface thread), not in a worker.
std::vector<std::string> CommandEnvironment(const std::vector<std::string>& extra);
