// Fatal signals cannot become exceptions here: the handler writes a report of its own with what
// a signal handler may use, then lets the signal end the process as it would have.
#include <execinfo.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "components/crashlog/CrashLogDetail.h"
#include "components/crashlog/Limits.h"
#include "components/crashlog/RipWriter.h"
#include "components/crashlog/StackReport.h"

namespace {

struct TFaultSignal {
    int Number;
    const char* Name;
    const char* What;
};

constexpr TFaultSignal kFaultSignals[] = {
    {SIGSEGV, "SIGSEGV", "invalid memory access"},
    {SIGBUS, "SIGBUS", "bus error"},
    {SIGFPE, "SIGFPE", "arithmetic fault"},
    {SIGILL, "SIGILL", "illegal instruction"},
    {SIGABRT, "SIGABRT", "abort"},
};

// A stack of its own, so that a stack overflow is reported too.
alignas(16) char GSignalStack[64 * 1024];
char GReport[CrashLogLimits::kMaxReportLength];

uintptr_t FaultingInstruction(void* Context) {
    const auto* Machine = static_cast<const ucontext_t*>(Context);
#if defined(__x86_64__)
    return uintptr_t(Machine->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uintptr_t(Machine->uc_mcontext.pc);
#else
    (void)Machine;
    return 0;
#endif
}

// The offsets of the interrupted code and its callers: from the frame of the faulting
// instruction when the unwinder went through the signal frame, else from the first frame
// outside the handler.
size_t FaultOffsets(uintptr_t Pc, uint32_t* Offsets) {
    void* Frames[CrashLogLimits::kMaxFramesScanned];
    const int Got = backtrace(Frames, int(CrashLogLimits::kMaxFramesScanned));
    const size_t Count = Got > 0 ? size_t(Got) : 0;
    size_t Start = 0;
    while (Start < Count && reinterpret_cast<uintptr_t>(Frames[Start]) != Pc) ++Start;
    if (Start == Count) {
        Start = 0;
        while (Start < Count && CodeRange().Contains(reinterpret_cast<uintptr_t>(Frames[Start])))
            ++Start;
    }
    size_t Taken = 0;
    if (CodeRange().Contains(Pc)) Offsets[Taken++] = uint32_t(Pc - CodeRange().Start);
    if (Start < Count)
        Taken +=
            CodeOffsets(Frames + Start, Count - Start, reinterpret_cast<uintptr_t>(Frames[Start]),
                        Offsets + Taken, CrashLogLimits::kMaxStackEntries - Taken);
    // The faulting instruction's own frame repeats the fault address.
    if (Taken > 1 && Offsets[0] == Offsets[1]) {
        for (size_t N = 1; N + 1 < Taken; ++N) Offsets[N] = Offsets[N + 1];
        --Taken;
    }
    return Taken;
}

void OnFault(int Number, siginfo_t* Info, void* Context) {
    const int SavedErrno = errno;
    const TFaultSignal* Signal = &kFaultSignals[0];
    for (const TFaultSignal& S : kFaultSignals)
        if (S.Number == Number) Signal = &S;
    char MessageRoom[160];
    TFixedText Message(MessageRoom, sizeof MessageRoom);
    Message.Add(Signal->Name);
    Message.Add(" (");
    Message.Add(Signal->What);
    Message.Add(") at address ");
    Message.AddHex(reinterpret_cast<uintptr_t>(Info->si_addr), int(2 * sizeof(void*)));
    uint32_t Offsets[CrashLogLimits::kMaxStackEntries];
    const size_t Count = FaultOffsets(FaultingInstruction(Context), Offsets);
    TFixedText Report(GReport, sizeof GReport);
    AddReport(Report, Message.Text(), time(nullptr), Offsets, Count);
    AppendRipEntry(Report.Text());
    errno = SavedErrno;
    // The handler was reset on entry: the signal now does what it would have done.
    raise(Number);
}

}  // namespace

namespace CrashLogDetail {

void InstallFaultSignals() {
    stack_t Stack{};
    Stack.ss_sp = GSignalStack;
    Stack.ss_size = sizeof GSignalStack;
    sigaltstack(&Stack, nullptr);
    for (const TFaultSignal& S : kFaultSignals) {
        struct sigaction Action {};
        Action.sa_sigaction = OnFault;
        Action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND | SA_NODEFER;
        sigemptyset(&Action.sa_mask);
        sigaction(S.Number, &Action, nullptr);
    }
}

}  // namespace CrashLogDetail
