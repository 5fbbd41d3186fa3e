#pragma once
// Bounds on what the phonebook file and the commands it names may make the providers read.
#include <cstddef>
#include <cstdint>

namespace DialupLimits {
// The phonebook is a small hand-written file; anything bigger is refused unread.
inline constexpr std::size_t kMaxPhonebookBytes = 1024 * 1024;
// Entries read from one phonebook (no small fixed table: every entry of a sane file is listed).
inline constexpr std::size_t kMaxPhonebookEntries = 10000;
// Longest value of one key (commands included).
inline constexpr std::size_t kMaxValueLength = 8192;
// Output of a command kept for the error text (its tail; the rest is read and dropped).
inline constexpr std::size_t kMaxCommandOutput = 4096;
// Longest text of one output line taken into an error text.
inline constexpr std::size_t kMaxDetailLength = 300;
// Timeout= is given in seconds; a missing or bad value takes the default.
inline constexpr uint32_t kDefaultTimeoutSeconds = 60;
inline constexpr uint32_t kMaxTimeoutSeconds = 3600;
// Status commands of the phonebook run side by side in batches of this size.
inline constexpr std::size_t kParallelStatusCommands = 16;
// A connected line's Status is asked again at most this often (milliseconds).
inline constexpr uint32_t kStatusRefreshMs = 1000;
// Longest password sent to a Connect command.
inline constexpr std::size_t kMaxPasswordLength = 1024;
}  // namespace DialupLimits
