#include "netlib/sock/IpEmail.h"

#include <chrono>

#include "netlib/base/IpUtils.h"
#include "platform/classes/FlagScope.h"

namespace {

// A received line is looked at the clock for only every so many lines: reading the clock per
// line would cost more than handling a short line.
constexpr uint32_t kLinesPerClockCheck = 512;
// What an error text shows of an offending line.
constexpr size_t kLogLineLength = 80;

}  // namespace

std::string IpLineForLog(const std::string& line) {
    if (line.size() <= kLogLineLength) return EscapeForLog(line);
    return EscapeForLog(std::string_view(line).substr(0, kLogLineLength)) + "...";
}

uint64_t TIpCustomEmailClass::ClockMs() const {
    using namespace std::chrono;
    return uint64_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

uint32_t TIpCustomEmailClass::BytesReceived() const {
    return Socket() ? Socket()->GetStatRec().TotalBytesReceived : 0;
}

void TIpCustomEmailClass::BeginReply() {
    FReplyRunning = true;
    FReplyTooSlow = false;
    FReplyClock.Begin(ClockMs(), BytesReceived());
    FLinesSinceCheck = 0;
    if (Socket()) Socket()->SetMaxLineLength(SockLimits::kMaxLineBuf);
}

bool TIpCustomEmailClass::ReplyOutOfTime() {
    if (!FReplyRunning) return false;
    TIpDataSocket* S = Socket();
    if (S && S->QueueCount() > 0) {
        FReplyClock.Begin(ClockMs(), BytesReceived());
        return false;
    }
    const bool Waiting = S && S->DataWaiting();
    return FReplyClock.OutOfTime(ClockMs(), BytesReceived(), Waiting, FIdleTimeout, FReplyLimit);
}

bool TIpCustomEmailClass::ReplyLineArrived() {
    if (!FReplyRunning || ++FLinesSinceCheck < kLinesPerClockCheck) return true;
    FLinesSinceCheck = 0;
    if (!ReplyOutOfTime()) return true;
    AbortReply(WSAETIMEDOUT, "reply too slow, connection dropped");
    return false;
}

void TIpCustomEmailClass::AbortReply(int32_t errCode, const std::string& text) {
    // Lines the error handler's pass of the message loop reads meanwhile belong to the connection
    // being dropped: they are no second error, and the first one's reason stays.
    if (FAborting) return;
    const TFlagScope Aborting(FAborting);
    FReplyRunning = false;
    FReplyTooSlow = errCode == WSAETIMEDOUT;
    DoError(SocketHandle(), errCode, ProtocolTag() + text);
    DropConnection();
}

void TIpCustomEmailClass::TimerElapsed(uint32_t ms) {
    TIpCustomClient::TimerElapsed(ms);
    if (ReplyOutOfTime() && Socket())
        AbortReply(WSAETIMEDOUT, "reply too slow, connection dropped");
}
