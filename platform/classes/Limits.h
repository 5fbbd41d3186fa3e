#pragma once
// Limits on what files read by the class library (which anyone may edit) can make it hold.
#include <cstddef>

namespace ClassesLimits {
// A larger INI file is not read at all and never written over; nothing this program keeps in
// one (bar layouts, phonebooks) comes near it.
inline constexpr size_t kMaxIniFileSize = size_t(16) << 20;
}  // namespace ClassesLimits
