// A program for the crash log's tests, run as a child process in a directory of its own:
//   crash_probe throws    two exceptions reach the application's handler, one is handled inside
//   crash_probe filter    the filter keeps "secret" ones out of the file
//   crash_probe default   no crash-log component: the file is named after the program
//   crash_probe segv      a write goes to address 16
// What the handler before the crash log saw is printed, one message per line.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "components/crashlog/CrashLog.h"
#include "platform/core/Application.h"

namespace {

[[gnu::noinline]] void ThrowFromHere(const std::string& Message) {
    throw EStException(Message);
}

// Not null, so that the undefined-behaviour checks of a sanitizer build let the write happen.
int* volatile GNowhere = reinterpret_cast<int*>(16);

[[gnu::noinline]] void WriteThroughNull() {
    *GNowhere = 42;
}

[[gnu::noinline]] void Raise(const std::string& Message) {
    try {
        ThrowFromHere(Message);
    } catch (...) {
        Application.HandleException();
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string Mode = argc > 1 ? argv[1] : "";
    Application.OnException = [](const Exception& E) {
        std::printf("handled: %s|\n", E.Message().c_str());
    };
    InstallCrashLog();
    std::optional<TStExceptionLog> Log;
    if (Mode != "default") {
        Log.emplace();
        Log->SetFileName("kestro.rip");
        Log->SetRipInfo("Kestro test run");
    }
    if (Mode == "filter") {
        Log->OnExceptionFilter = [](TStExceptionLog&, const Exception& E, bool& PutInLog) {
            PutInLog = E.Message().find("secret") == std::string::npos;
        };
    }
    if (Mode == "segv") WriteThroughNull();
    try {
        ThrowFromHere("Handled inside");
    } catch (const Exception& E) {
        std::printf("inside: %s|%s\n", E.Message().c_str(),
                    CrashReportOf(E).empty() ? "no report" : "report beside");
    }
    Raise(Mode == "filter" ? "A secret" : "Connection lost");
    Raise("");
    Raise("Done.");
    return 0;
}
