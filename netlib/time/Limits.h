#pragma once
// Limits of the time client for what a time server controls.
#include <cstddef>
#include <cstdint>

namespace TimeLimits {

// Largest datagram read as an answer. A time answer is 4 bytes and a daytime line a few dozen;
// anything beyond this is cut off.
inline constexpr size_t kDatagramSize = 512;

// How long a UDP request waits for its answer when the client sets no idle time-out, in
// milliseconds. A datagram may be lost; without a limit the request would wait forever.
inline constexpr uint32_t kUdpAnswerTimeout = 10000;

}  // namespace TimeLimits
