#pragma once
// Limits of the time client for what a time server controls.
#include <cstddef>
#include <cstdint>

// Largest datagram read as an answer. A time answer is 4 bytes and a daytime line a few dozen;
// anything beyond this is cut off.
constexpr size_t kIpTimeDatagramSize = 512;

// How long a UDP request waits for its answer when the client sets no idle time-out, in
// milliseconds. A datagram may be lost; without a limit the request would wait forever.
constexpr uint32_t kIpTimeUdpAnswerTimeout = 10000;
