#pragma once
// Inside of the crash log: what the throw hook and the signal handlers call.
#include <cstdint>
#include <typeinfo>

namespace CrashLogDetail {
// Takes the report of an exception being thrown from ReturnAddress (in the thrower). Never
// throws itself.
void OnThrow(void* Object, const std::type_info* Type, uintptr_t ReturnAddress) noexcept;
// Installs the fatal-signal handlers.
void InstallFaultSignals();
// True when a debugger is attached to the process.
bool DebuggerAttached();
}  // namespace CrashLogDetail
