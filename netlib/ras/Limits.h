#pragma once
// Bounds of the dialer.
#include <cstddef>
#include <cstdint>

namespace RasLimits {
// Hangup asks for the line every kHangupPauseMs and stops waiting after kHangupTimeoutMs: a line
// that never goes must not hang the program.
inline constexpr uint32_t kHangupTimeoutMs = 30000;
inline constexpr uint32_t kHangupPauseMs = 50;
// While the connections are listed, the loop looks for the end of the listing at least this
// often (the listing's thread wakes it when it is done).
inline constexpr uint32_t kListWaitSliceMs = 100;
// The disconnect timer's period.
inline constexpr uint32_t kDiscTimerIntervalMs = 1000;
// Longest error text handed out (a provider's text may carry a command's output).
inline constexpr std::size_t kMaxErrorText = 1024;
}  // namespace RasLimits
