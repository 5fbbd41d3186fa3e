#include "app/engine/RunState.h"

#include "platform/core/Application.h"

bool Running = false;
bool WeDialled = false;
int32_t Pop3Busy = 0;
int32_t SmtpBusy = 0;
int64_t MailCount = 0;
int64_t NewsCount = 0;
TCustomDupecheck* DupeCheck = nullptr;
TIpEventLog* EventLogObj = nullptr;

void SetRunExitCode(int code) {
    Application.ExitCode = code;
}

int RunExitCode() {
    return Application.ExitCode;
}
