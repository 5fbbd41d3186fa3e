#include "components/crashlog/CrashLog.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <fstream>
#include <memory>
#include <thread>

#include "components/crashlog/CrashLogDetail.h"
#include "components/crashlog/Limits.h"
#include "components/crashlog/RipWriter.h"
#include "components/crashlog/StackReport.h"
#include "platform/classes/FlagScope.h"
#include "platform/core/Application.h"
#include "platform/forms/ClassRegistry.h"
#include "platform/fs/Files.h"
#include "platform/system/ProgramDirectory.h"

namespace {

struct TKeptReport {
    const void* Object;
    const std::type_info* Type;
    std::string Text;
};

// Takes over the application's exception handler and keeps the one it replaced.
class TStExceptionHandler {
  public:
    TStExceptionHandler() : FPrevious(Application.OnException) {}
    void HandleException(const Exception& E);

  private:
    TExceptionEvent FPrevious;
};

struct TCrashLogState {
    bool Installed = false;
    std::thread::id Thread;
    TStExceptionLog* Component = nullptr;
    std::unique_ptr<TStExceptionHandler> Handler;
    std::deque<TKeptReport> Reports;  // newest first
};

TCrashLogState& State() {
    static TCrashLogState S;
    return S;
}

// Captures nothing, so that it may be swapped out while it runs (see HandleException).
void CrashLogExceptionEvent(const Exception& E) {
    if (State().Handler) State().Handler->HandleException(E);
}

void InstallApplicationHandlerOnce() {
    TCrashLogState& S = State();
    if (S.Handler) return;
    S.Handler = std::make_unique<TStExceptionHandler>();
    Application.OnException = CrashLogExceptionEvent;
}

void RefreshRipTarget() {
    const TStExceptionLog* Log = State().Component;
    SetRipTarget(CrashLogFileName(), Log ? Log->RipInfo() : std::string(), Log != nullptr);
}

std::string BuildReport(const std::string& Message, const uint32_t* Offsets, size_t Count) {
    TakeLocalTimeSettings();
    std::string Text(CrashLogLimits::kMaxReportLength, '\0');
    TFixedText Out(Text.data(), Text.size());
    AddReport(Out, Message, std::time(nullptr), Offsets, Count);
    Text.resize(Out.Length());
    return Text;
}

void Keep(const void* Object, const std::type_info* Type, std::string Text) {
    auto& Reports = State().Reports;
    std::erase_if(Reports, [&](const TKeptReport& R) { return R.Object == Object; });
    Reports.push_front({Object, Type, std::move(Text)});
    if (Reports.size() > CrashLogLimits::kReportsKept) Reports.pop_back();
}

// The report of the exception being handled: E's own, or that of the exception in flight when E
// stands in for it (the application passes other exceptions on as a copy of their text).
std::string ReportFor(const Exception& E) {
    std::string Report = CrashReportOf(E);
    if (!Report.empty()) return Report;
    if (std::exception_ptr Current = std::current_exception()) {
        try {
            std::rethrow_exception(Current);
        } catch (const std::exception& Original) {
            Report = CrashReportOf(Original);
        } catch (...) {
        }
    }
    // Raised where the hook does not see it (inside a library): the message and the time at least.
    return Report.empty() ? BuildReport(E.Message(), nullptr, 0) : Report;
}

void WriteEntry(const Exception& E) {
    RefreshRipTarget();
    if (!AppendRipEntry(ReportFor(E)))
        std::fprintf(stderr, "crash log: cannot write %s: %s\n", CrashLogFileName().c_str(),
                     std::strerror(errno));
}

void TStExceptionHandler::HandleException(const Exception& E) {
    bool PutInLog = true;
    if (TStExceptionLog* Log = State().Component) {
        Log->DoExceptionFilter(E, PutInLog);
        PutInLog = PutInLog && Log->Enabled();
    }
    if (PutInLog) WriteEntry(E);
    if (FPrevious) {
        FPrevious(E);
        return;
    }
    // Nobody before us: the application's own way of showing it.
    Application.OnException = nullptr;
    Application.HandleException(E);
    Application.OnException = CrashLogExceptionEvent;
}

}  // namespace

// ---- the component -------------------------------------------------------------------------

TStExceptionLog::TStExceptionLog(TComponent* AOwner) : TStComponent(AOwner) {
    State().Component = this;
    RefreshRipTarget();
}

TStExceptionLog::~TStExceptionLog() {
    if (State().Component != this) return;
    State().Component = nullptr;
    RefreshRipTarget();
}

void TStExceptionLog::SetFileName(const std::string& Value) {
    FFileName = Value;
    if (State().Component == this) RefreshRipTarget();
}

void TStExceptionLog::SetRipInfo(const std::string& Value) {
    FRipInfo = Value;
    if (State().Component == this) RefreshRipTarget();
}

void TStExceptionLog::DoExceptionFilter(const Exception& E, bool& PutInLog) {
    if (OnExceptionFilter) OnExceptionFilter(*this, E, PutInLog);
}

// ---- the service ---------------------------------------------------------------------------

std::string CrashLogFileName() {
    const TStExceptionLog* Log = State().Component;
    if (Log && !Log->FileName().empty()) return Log->FileName();
    return ChangeFileExt(ProgramFileName(), ".RIP");
}

void InstallCrashLog() {
    TCrashLogState& S = State();
    if (S.Installed || CrashLogDetail::DebuggerAttached()) return;
    S.Thread = std::this_thread::get_id();
    TakeCodeRange();
    TakeLocalTimeSettings();
    RefreshRipTarget();
    CrashLogDetail::InstallFaultSignals();
    S.Installed = true;
}

bool CrashLogInstalled() {
    return State().Installed;
}

std::string CrashReportOf(const std::exception& E) {
    const void* Object = dynamic_cast<const void*>(&E);
    for (const TKeptReport& R : State().Reports)
        if (R.Object == Object && *R.Type == typeid(E)) return R.Text;
    return std::string();
}

namespace CrashLogDetail {

bool DebuggerAttached() {
    std::ifstream Status("/proc/self/status");
    std::string Line;
    while (std::getline(Status, Line))
        if (Line.rfind("TracerPid:", 0) == 0) return std::atoi(Line.c_str() + 10) != 0;
    return false;
}

void OnThrow(void* Object, const std::type_info* Type, uintptr_t ReturnAddress) noexcept {
    static thread_local bool Busy = false;
    TCrashLogState& S = State();
    if (!S.Installed || Busy || std::this_thread::get_id() != S.Thread) return;
    const TFlagScope Working(Busy);
    try {
        void* AsOwn = Object;
        void* AsStd = Object;
        Exception* Own = typeid(Exception).__do_catch(Type, &AsOwn, 1)
                             ? static_cast<Exception*>(AsOwn)
                             : nullptr;
        const auto* Std = typeid(std::exception).__do_catch(Type, &AsStd, 1)
                              ? static_cast<const std::exception*>(AsStd)
                              : nullptr;
        if (Std != nullptr) {
            InstallApplicationHandlerOnce();
            uint32_t Offsets[CrashLogLimits::kMaxStackEntries];
            const size_t Count =
                StackOffsets(ReturnAddress, Offsets, CrashLogLimits::kMaxStackEntries);
            if (Count > 0) {
                std::string Message = Own ? Own->Message() : std::string(Std->what());
                if (Own && NeedsFullStop(Message)) {
                    Message.insert(std::min(Message.find('\0'), Message.size()), ".");
                    Own->SetMessage(Message);
                }
                Keep(Object, Type, BuildReport(Message, Offsets, Count));
            }
        }
    } catch (...) {
        // No report then; the throw itself goes on.
    }
}

}  // namespace CrashLogDetail

void RegisterCrashLogClasses() {
    static const bool Done = [] {
        RegisterStComponentClass();
        RegisterClass<TStExceptionLog, TStComponent>("TStExceptionLog")
            .Property("Enabled", &TStExceptionLog::Enabled, &TStExceptionLog::SetEnabled,
                      Default(true))
            .Property("FileName", &TStExceptionLog::FileName, &TStExceptionLog::SetFileName)
            .Property("RipInfo", &TStExceptionLog::RipInfo, &TStExceptionLog::SetRipInfo)
            .Field("OnExceptionFilter", &TStExceptionLog::OnExceptionFilter);
        return true;
    }();
    (void)Done;
}
