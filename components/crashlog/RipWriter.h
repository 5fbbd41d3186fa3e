#pragma once
// Appending entries to the crash-log file, the same way from an exception handler and from a
// fatal-signal handler: no memory is asked for and only calls a signal handler may make are used.
//
// An entry: CR LF CR LF when the file existed already; at the first entry of the process written
// while a crash-log component exists, its head text and CR LF CR LF (nothing when the text is
// empty); then the report and CR LF.
#include <string_view>

// The file (a relative name counts from the working directory at the time of writing) and the
// head text, kept until the next call. HasComponent: a crash-log component exists.
void SetRipTarget(std::string_view FileName, std::string_view RipInfo, bool HasComponent);
// False when the file could not be opened or written (errno tells why).
bool AppendRipEntry(std::string_view Report);
// Forgets that the head was written (a new process, as far as the head goes; for tests).
void ResetRipHead();
