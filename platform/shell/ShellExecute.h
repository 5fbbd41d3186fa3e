#pragma once
// Opening a file or a URL with the desktop's handler, shaped like ShellExecute: the "open" verb
// runs "xdg-open" with the target as its single argument (never through a shell).
//
// Targets: URLs of the schemes a mail and news program hands out (http, https, ftp, mailto, news,
// nntp, file), and existing files and folders (resolved as the file layer resolves names,
// relative to Directory when given). Other schemes, verbs other than "open" and "explore", and
// targets holding control characters are refused, so that text from a message cannot start an
// arbitrary handler.
//
// The program runner is replaceable; tests install a TRecordingProcessRunner.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/classes/WinTypes.h"

// Results below 33 are errors.
inline constexpr std::intptr_t ERROR_FILE_NOT_FOUND = 2;
inline constexpr std::intptr_t ERROR_PATH_NOT_FOUND = 3;
inline constexpr std::intptr_t SE_ERR_NOASSOC = 31;

class TProcessRunner {
  public:
    virtual ~TProcessRunner() = default;
    // Starts Program detached with Arguments in Directory (empty: the current one); false when
    // it cannot be started.
    virtual bool Start(const std::string& Program, const std::vector<std::string>& Arguments,
                       const std::string& Directory) = 0;
};

class TRecordingProcessRunner : public TProcessRunner {
  public:
    struct TStarted {
        std::string Program;
        std::vector<std::string> Arguments;
        std::string Directory;
    };
    bool Start(const std::string& Program, const std::vector<std::string>& Arguments,
               const std::string& Directory) override {
        Started.push_back({Program, Arguments, Directory});
        return Succeed;
    }
    std::vector<TStarted> Started;
    bool Succeed = true;
};

// Opens File (see the top of this file). Returns a value above 32 when the handler was started,
// else ERROR_FILE_NOT_FOUND (no such file, or an unusable target) or SE_ERR_NOASSOC (a verb or
// scheme that is not handled, or no handler could be started). Parameters and ShowCmd are
// ignored: documents take none.
std::intptr_t ShellExecute(HWND Wnd, const std::string& Operation, const std::string& File,
                           const std::string& Parameters, const std::string& Directory,
                           int ShowCmd);

// Installs the runner (none: back to starting real programs); returns the previous one.
std::unique_ptr<TProcessRunner> SetProcessRunner(std::unique_ptr<TProcessRunner> Runner);
