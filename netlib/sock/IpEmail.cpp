#include "netlib/sock/IpEmail.h"

#include "netlib/base/IpUtils.h"

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

uint32_t TIpCustomEmailClass::BytesReceived() const {
    return Socket() ? Socket()->GetStatRec().TotalBytesReceived : 0;
}

void TIpCustomEmailClass::BeginReply() {
    FReplyRunning = true;
    FReplyStart = std::chrono::steady_clock::now();
    FReplyBase = BytesReceived();
    FLinesSinceCheck = 0;
}

bool TIpCustomEmailClass::ReplyOutOfTime() {
    if (!FReplyRunning) return false;
    using namespace std::chrono;
    const auto now = steady_clock::now();
    if (Socket() && Socket()->QueueCount() > 0) {
        FReplyStart = now;
        FReplyBase = BytesReceived();
        return false;
    }
    const uint64_t received = uint32_t(BytesReceived() - FReplyBase);
    if (received == 0) return false;
    const uint64_t elapsed = uint64_t(duration_cast<milliseconds>(now - FReplyStart).count());
    if (elapsed > FReplyLimit.MaxMs) return true;
    if (FIdleTimeout == 0 || FReplyLimit.MinBytesPerSecond == 0) return false;
    const uint64_t earned = received * 1000 / FReplyLimit.MinBytesPerSecond;
    return elapsed > uint64_t(FIdleTimeout) + earned;
}

bool TIpCustomEmailClass::ReplyLineArrived() {
    if (!FReplyRunning || ++FLinesSinceCheck < kLinesPerClockCheck) return true;
    FLinesSinceCheck = 0;
    if (!ReplyOutOfTime()) return true;
    AbortReply(WSAETIMEDOUT, "reply too slow, connection dropped");
    return false;
}

void TIpCustomEmailClass::AbortReply(int32_t errCode, const std::string& text) {
    FReplyRunning = false;
    DoError(SocketHandle(), errCode, ProtocolTag() + text);
    DropConnection();
}

void TIpCustomEmailClass::TimerElapsed(uint32_t ms) {
    TIpCustomClient::TimerElapsed(ms);
    if (ReplyOutOfTime() && Socket())
        AbortReply(WSAETIMEDOUT, "reply too slow, connection dropped");
}
