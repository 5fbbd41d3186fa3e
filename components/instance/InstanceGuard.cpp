#include "components/instance/InstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <memory>

#include "platform/core/Application.h"

namespace {

// The caption counts with at most this many characters, as the name of the named lock did.
constexpr size_t kMaxCaptionInName = 512;
// How long a second copy waits for the first one to take its request.
constexpr int kActivationWaitMs = 2000;
const QByteArray kActivateRequest = "activate\n";

struct TGuardState {
    std::string BaseName;  // path without extension: lock is BaseName.lock, socket BaseName.sock
    int LockHandle = -1;
    bool First = false;
    std::unique_ptr<QLocalServer> Server;
    std::function<void()> Handler;
};

TGuardState& Guard() {
    static TGuardState state;
    return state;
}

std::string GuardBaseName(const std::string& caption) {
    std::string name = "PREVINST:" + caption.substr(0, kMaxCaptionInName);
    // The name goes into a file name: a digest keeps it short and free of separators.
    QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha1)
            .toHex()
            .left(24);
    return InstanceGuardDirectory() + "/kestro-" + std::to_string(getuid()) + "-" +
           digest.toStdString();
}

void CallHandler() {
    if (Guard().Handler) Application.Guarded([] { Guard().Handler(); });
}

void Listen() {
    auto& g = Guard();
    std::string socketPath = g.BaseName + ".sock";
    QLocalServer::removeServer(QString::fromStdString(socketPath));  // a stale one of a crash
    g.Server = std::make_unique<QLocalServer>();
    g.Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!g.Server->listen(QString::fromStdString(socketPath))) {
        g.Server.reset();
        return;
    }
    QObject::connect(g.Server.get(), &QLocalServer::newConnection, [] {
        auto& state = Guard();
        while (QLocalSocket* peer =
                   state.Server ? state.Server->nextPendingConnection() : nullptr) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer] {
                if (peer->readAll().contains("activate")) CallHandler();
            });
        }
    });
}

}  // namespace

std::string InstanceGuardDirectory() {
    const char* dir = getenv("XDG_RUNTIME_DIR");
    if (dir && *dir && access(dir, W_OK) == 0) return dir;
    return "/tmp";
}

void InitializeInstanceGuard(const std::string& caption) {
    FinalizeInstanceGuard();
    auto& g = Guard();
    g.BaseName = GuardBaseName(caption);
    std::string lockPath = g.BaseName + ".lock";
    g.LockHandle = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (g.LockHandle < 0) return;  // counts as a second instance
    if (flock(g.LockHandle, LOCK_EX | LOCK_NB) != 0) {
        ::close(g.LockHandle);
        g.LockHandle = -1;
        return;
    }
    g.First = true;
    Listen();
}

void FinalizeInstanceGuard() {
    auto& g = Guard();
    g.Server.reset();
    if (g.LockHandle >= 0) {
        ::close(g.LockHandle);
        g.LockHandle = -1;
    }
    g.First = false;
}

bool IsFirstInstance() {
    return Guard().First;
}

void SetInstanceActivationHandler(std::function<void()> handler) {
    Guard().Handler = std::move(handler);
}

void ActivateFirstInstance() {
    auto& g = Guard();
    if (g.First) {
        CallHandler();
        return;
    }
    if (g.BaseName.empty()) return;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(g.BaseName + ".sock"));
    if (!socket.waitForConnected(kActivationWaitMs)) return;
    socket.write(kActivateRequest);
    socket.waitForBytesWritten(kActivationWaitMs);
    socket.disconnectFromServer();
}
