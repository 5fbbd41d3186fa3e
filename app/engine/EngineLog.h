#pragma once
// The engine's hook into the run log. The exchange run owns the log and installs a procedure
// here; until it does, lines are dropped. Tests install a procedure that captures the lines.
#include <functional>
#include <string>

using TEngineLogProc = std::function<void(const std::string& text)>;

// Installs the procedure that receives the engine's log lines (an empty one drops them); returns
// the one installed before, so a caller can restore it.
TEngineLogProc SetEngineLog(TEngineLogProc proc);

// Writes one line to the run log through the installed procedure.
void EngineLog(const std::string& text);
