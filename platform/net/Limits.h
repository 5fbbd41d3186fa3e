#pragma once
// Limits of the socket layer for lengths that callers or peers control.
#include <cstddef>

namespace NetLimits {

// Longest host name a lookup accepts (DNS names are at most 253 characters).
inline constexpr std::size_t kMaxHostNameLength = 255;
// Most addresses a lookup keeps of one host.
inline constexpr std::size_t kMaxHostAddresses = 32;

}  // namespace NetLimits
