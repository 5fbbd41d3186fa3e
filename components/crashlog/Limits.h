#pragma once
// Limits of the crash log: its reports are built where memory may not be asked for (a fatal
// signal), so every text has a fixed room.
#include <cstddef>

namespace CrashLogLimits {
// Return addresses recorded per report.
inline constexpr size_t kMaxStackEntries = 48;
// Frames taken from the stack to find them (frames outside the program's code do not count).
inline constexpr size_t kMaxFramesScanned = 256;
// Room for one report's text; a longer message is cut.
inline constexpr size_t kMaxReportLength = 16 * 1024;
// Room for the crash-log file's name and for the text written at the head of the first report.
inline constexpr size_t kMaxFileNameLength = 4096;
inline constexpr size_t kMaxRipInfoLength = 4096;
// Room for the date and time formats of the user's locale.
inline constexpr size_t kMaxDateFormatLength = 64;
// Reports kept beside the exceptions they belong to, newest first.
inline constexpr size_t kReportsKept = 16;
}  // namespace CrashLogLimits
