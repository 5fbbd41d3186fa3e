#pragma once
// The state of an exchange run that the run loop, the transfer tasks and the stop commands
// share. Everything runs on the user-interface thread, so no locks are needed.
#include <cstdint>

class TCustomDupecheck;
class TIpEventLog;

// A run is in progress and tasks may be started. Cleared by the stop commands, a failed dial
// and an exception in a pass of the run loop.
extern bool Running;
// This run made (or took over) a dial-up connection.
extern bool WeDialled;
// Running POP3 tasks of boxes with "SMTP after POP", and running SMTP tasks. Counts rather than
// flags, so that two boxes (or two SMTP tasks) keep "one SMTP at a time" and "SMTP after POP":
// each task adds one when it starts to count and takes its one back when it is freed.
extern int32_t Pop3Busy;
extern int32_t SmtpBusy;
// Mails and articles stored in this run.
extern int64_t MailCount;
extern int64_t NewsCount;
// The run's dupe database, or null when no queued box asks for one.
extern TCustomDupecheck* DupeCheck;
// The run log, or null between runs.
extern TIpEventLog* EventLogObj;

// Sets the process exit code after a failed transfer: 1 after a socket error or an error
// reply, 2 after an idle time-out. The last error of the process decides; it is never reset.
constexpr int ExitCodeError = 1;
constexpr int ExitCodeTimeout = 2;
void SetRunExitCode(int code);
// The exit code the process ends with.
int RunExitCode();
