#pragma once
// Limits of the single-instance guard.
#include <cstddef>

namespace InstanceLimits {
// The caption counts with at most this many characters, as the name of the named lock did.
inline constexpr size_t kMaxCaptionInName = 512;
// A request longer than this (class and caption of a window, encoded) is not served.
inline constexpr long long kMaxRequestLength = 4096;
}  // namespace InstanceLimits
