#include "app/engine/EngineLog.h"

#include <utility>

namespace {
TEngineLogProc& LogProc() {
    static TEngineLogProc proc;
    return proc;
}
}  // namespace

TEngineLogProc SetEngineLog(TEngineLogProc proc) {
    return std::exchange(LogProc(), std::move(proc));
}

void EngineLog(const std::string& text) {
    if (LogProc()) LogProc()(text);
}
