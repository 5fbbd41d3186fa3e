#include "netlib/ssl/IpSSLLayer.h"

#include "netlib/sock/IpLog.h"
#include "netlib/sock/IpSock.h"
#include "netlib/sock/IpWinSock.h"
#include "netlib/ssl/Limits.h"

namespace {

std::unique_ptr<TIpSecureLayer> MakeLayer() {
    return std::make_unique<TIpSSLLayer>();
}

}  // namespace

void IpSSLRegister() {
    TIpDataSocket::SetSecureLayerFactory(&MakeLayer);
}

void TIpSSLLayer::Log(TIpDataSocket& socket, const std::string& text) {
    if (TIpSockControl* owner = socket.Owner()) {
        const std::string line = text + "\r\n";
        owner->DebugLog().AddDebugEntry(nullptr, socket.Handle(), deText, line.data(),
                                        static_cast<uint32_t>(line.size()));
    }
}

void TIpSSLLayer::Start(TIpDataSocket& socket) {
    FEngine = std::make_unique<TIpSSLEngine>();
    FReported = false;
    TIpDataSocket* s = &socket;
    FEngine->OnLog = [this, s](const std::string& text) { Log(*s, text); };
    FEngine->SendClientHello();
    Flush(socket);
}

// Handshake records go out as they are; the socket queues them behind anything waiting.
void TIpSSLLayer::Flush(TIpDataSocket& socket) {
    if (!FEngine->HasOutput()) return;
    const std::string out = FEngine->TakeOutput();
    socket.SendRaw(out.data(), static_cast<uint32_t>(out.size()), true);
}

uint32_t TIpSSLLayer::Read(TIpDataSocket& socket, char* out, uint32_t room) {
    if (!FEngine) return 0;
    char buf[SslLimits::kReadChunk];
    for (;;) {
        if (FEngine->PlainAvailable() > 0)
            return static_cast<uint32_t>(FEngine->ReadPlain(out, room));
        const int n = socket.RawRecv(buf, static_cast<int>(sizeof buf));
        if (n == 0) return 0;  // the peer closed; a partial record stays unread
        if (n < 0) {
            const int err = socket.RawLastError();
            if (err == WSAEWOULDBLOCK || err == WSAENOTCONN || socket.IsClosed()) return 0;
            throw EIpWinSockError(err, "SSLRead");
        }
        if ((socket.LogOptions & loLowData) && socket.Owner())
            socket.Owner()->DebugLog().AddDebugEntry(nullptr, socket.Handle(), deLowRecv, buf,
                                                     static_cast<uint32_t>(n));
        // A failed session was reported once, when it failed: what the peer sends after that
        // is no record of it, and is read only to be dropped.
        if (FEngine->State() == TIpSSLEngine::ssFailed) continue;
        try {
            FEngine->Feed(buf, static_cast<size_t>(n));
        } catch (const EIpBaseException& e) {
            // While the socket closes nobody can take an error any more: log it and stop.
            if (!socket.IsClosed()) throw;
            Log(socket, e.Message());
            return 0;
        }
        Flush(socket);
        if (FEngine->HandshakeComplete() && !FReported) {
            FReported = true;
            socket.HandshakeDone();
            // The owner's handler may have closed the socket, which read the rest itself.
            if (socket.IsClosed()) return 0;
        }
    }
}

// The socket seals each item once (it marks the item), also when its send would block.
void TIpSSLLayer::Encrypt(TIpDataSocket&, std::string& data) {
    std::string wire;
    FEngine->EncryptTo(data.data(), data.size(), wire);
    data.swap(wire);
}
