#pragma once
// The crash log: unhandled exceptions and fatal signals written to a text file (kestro.rip).
//
// Once installed, every throw of one of the program's own exceptions (a throw compiled into the
// program, as it imports the runtime's throw) takes a report: the message, the date and time,
// and up to 48 return addresses as offsets into the program's code (see StackReport.h). The
// report stays beside the exception; the message only gets a full stop when it lacks one. When
// the exception reaches the application's exception handler, the report is appended to the
// file, and the handler that was there before is called. A fatal signal (SIGSEGV, SIGBUS,
// SIGFPE, SIGILL, SIGABRT) appends a report of its own; the process then ends as before.
//
// Offsets map back to source lines with addr2line once the code segment's address in the file
// is added (readelf -l: the executable LOAD segment's VirtAddr).
#include <functional>
#include <string>

#include "components/text/StBase.h"

class TStExceptionLog;

// PutInLog arrives true; setting it false keeps this exception out of the file.
using TStOnExceptionFilter =
    std::function<void(TStExceptionLog& Sender, const Exception& E, bool& PutInLog)>;

// Names the crash-log file and filters what goes into it. The newest one created is the one
// the crash log consults; without one the log still works, with the default file name.
class TStExceptionLog : public TStComponent {
  public:
    explicit TStExceptionLog(TComponent* AOwner = nullptr);
    ~TStExceptionLog() override;

    // Empty: the program file's path with the extension ".RIP".
    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& Value);
    // Written once per process at the head of the first report.
    const std::string& RipInfo() const { return FRipInfo; }
    void SetRipInfo(const std::string& Value);
    // False keeps every exception out of the file (the previous handler still runs).
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value) { FEnabled = Value; }

    TStOnExceptionFilter OnExceptionFilter;
    virtual void DoExceptionFilter(const Exception& E, bool& PutInLog);

  private:
    std::string FFileName;
    std::string FRipInfo;
    bool FEnabled = true;
};

// Sets the crash log up, once, on the user-interface thread: the throw hook and the fatal-signal
// handlers, unless a debugger is attached. The application's exception handler is taken over at
// the first throw after this.
void InstallCrashLog();
bool CrashLogInstalled();

// The report taken when E was thrown; empty when none was taken.
std::string CrashReportOf(const std::exception& E);
// The file the next entry goes to.
std::string CrashLogFileName();

// TStExceptionLog in the class registry, with its published properties, so that a form
// definition can hold it. Calling it again does nothing.
void RegisterCrashLogClasses();
