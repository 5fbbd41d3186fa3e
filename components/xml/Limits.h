#pragma once
// Limits of the XML node library.
#include <cstddef>

namespace XmlLimits {
// A pointer list grows by this many entries at a time.
inline constexpr size_t kPointerListGrowth = 64;
// A hash table grows once it holds more than this many keys per bucket.
inline constexpr int kKeysPerBucket = 4;
// Beyond the prime table a hash table grows no further than this many buckets.
inline constexpr int kMaxBuckets = 1 << 28;
}  // namespace XmlLimits
