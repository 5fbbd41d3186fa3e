#include "components/instance/InstanceGuard.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "components/instance/Limits.h"
#include "platform/core/Application.h"
#include "platform/core/Input.h"
#include "platform/core/Messages.h"
#include "platform/core/Window.h"

namespace {

// How long a second copy waits for the first one to take its request.
constexpr int kActivationWaitMs = 2000;
const QByteArray kActivate = "activate";

struct TGuardState {
    std::string BaseName;  // path without extension: lock is BaseName.lock, socket BaseName.sock
    int LockHandle = -1;
    bool First = false;
    std::unique_ptr<QLocalServer> Server;
    // Requests are served from the message loop, through this hidden window.
    HWND Receiver = 0;
    HWND Window = 0;
};

// Carries a request to the receiver; LParam points at a TRequest.
constexpr UINT WM_INSTANCE_ACTIVATE = WM_USER + 1;

struct TRequest {
    std::string ClassName;
    std::string Caption;
};

TGuardState& Guard() {
    static TGuardState state;
    return state;
}

std::string GuardBaseName(const std::string& caption) {
    std::string name = "PREVINST:" + caption.substr(0, InstanceLimits::kMaxCaptionInName);
    // The name goes into a file name: a digest keeps it short and free of separators.
    QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(name), QCryptographicHash::Sha1)
            .toHex()
            .left(24);
    return InstanceGuardDirectory() + "/kestro-" + std::to_string(getuid()) + "-" +
           digest.toStdString();
}

// The owned window that was active last, as far as the window layer tells: the topmost visible
// and enabled window Wnd owns, else Wnd itself.
HWND LastActivePopup(HWND wnd) {
    const HWND popup = GetWindow(wnd, GW_ENABLEDPOPUP);
    return popup != 0 ? popup : wnd;
}

// A second copy asked for the window of that class (empty: any) and caption.
void BringForward(const std::string& className, const std::string& caption) {
    const HWND wnd = FindWindow(className.empty() ? nullptr : className.c_str(), caption.c_str());
    if (wnd == 0) return;
    if (IsIconic(wnd)) {
        ShowWindow(wnd, SW_RESTORE);
        return;
    }
    SetForegroundWindow(wnd);
    const HWND popup = LastActivePopup(wnd);
    if (popup != wnd && IsWindowVisible(popup) && IsWindowEnabled(popup))
        BringWindowToTop(popup);
    else
        BringWindowToTop(wnd);
}

// The request: "activate", the class and the caption in base64, separated by blanks; one line.
QByteArray RequestFor(HWND wnd) {
    const std::string className = wnd != 0 ? GetClassName(wnd) : std::string();
    const std::string caption = wnd != 0 ? GetWindowText(wnd) : Application.Title;
    return kActivate + ' ' + QByteArray::fromStdString(className).toBase64() + ' ' +
           QByteArray::fromStdString(caption).toBase64() + '\n';
}

void Serve(const QByteArray& line) {
    const QList<QByteArray> parts = line.trimmed().split(' ');
    if (parts.size() != 3 || parts[0] != kActivate) return;
    auto request =
        std::make_shared<TRequest>(TRequest{QByteArray::fromBase64(parts[1]).toStdString(),
                                            QByteArray::fromBase64(parts[2]).toStdString()});
    PostMessage(Guard().Receiver, WM_INSTANCE_ACTIVATE, 0, reinterpret_cast<LPARAM>(request.get()),
                request);
}

void Receive(TMessage& message) {
    if (message.Msg == WM_INSTANCE_ACTIVATE) {
        const auto* request = reinterpret_cast<const TRequest*>(message.LParam);
        BringForward(request->ClassName, request->Caption);
        return;
    }
    message.Result = DefWindowProc(Guard().Receiver, message.Msg, message.WParam, message.LParam);
}

void Accept(QLocalSocket* peer) {
    QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
    auto pending = std::make_shared<QByteArray>();
    QObject::connect(peer, &QLocalSocket::readyRead, peer, [peer, pending] {
        pending->append(peer->readAll());
        const qsizetype end = pending->indexOf('\n');
        if (end >= 0) {
            Serve(pending->left(end));
            pending->clear();
            peer->disconnectFromServer();
        } else if (pending->size() > InstanceLimits::kMaxRequestLength) {
            peer->abort();
        }
    });
}

void Listen() {
    auto& g = Guard();
    std::string socketPath = g.BaseName + ".sock";
    QLocalServer::removeServer(QString::fromStdString(socketPath));  // a stale one of a crash
    g.Receiver = AllocateHWnd(Receive);
    g.Server = std::make_unique<QLocalServer>();
    g.Server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!g.Server->listen(QString::fromStdString(socketPath))) {
        std::fprintf(stderr, "instance guard: cannot listen on %s: %s\n", socketPath.c_str(),
                     g.Server->errorString().toLocal8Bit().constData());
        g.Server.reset();
        return;
    }
    QObject::connect(g.Server.get(), &QLocalServer::newConnection, [] {
        auto& state = Guard();
        while (QLocalSocket* peer = state.Server ? state.Server->nextPendingConnection() : nullptr)
            Accept(peer);
    });
}

void ActivateOwnWindow() {
    const HWND wnd = Guard().Window;
    if (wnd == 0 || !IsWindow(wnd)) return;
    if (IsIconic(wnd)) {
        ShowWindow(wnd, SW_RESTORE);
        return;
    }
    const HWND top = LastActivePopup(wnd);
    if (IsWindowVisible(top) && IsWindowEnabled(top)) SetForegroundWindow(top);
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
    if (g.LockHandle < 0) {
        std::fprintf(stderr, "instance guard: cannot create %s: %s; starting without the guard\n",
                     lockPath.c_str(), std::strerror(errno));
        g.First = true;
        return;
    }
    if (flock(g.LockHandle, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(g.LockHandle);
        g.LockHandle = -1;
        if (error == EWOULDBLOCK) return;  // a live first copy holds it
        std::fprintf(stderr, "instance guard: cannot lock %s: %s; starting without the guard\n",
                     lockPath.c_str(), std::strerror(error));
        g.First = true;
        return;
    }
    g.First = true;
    Listen();
}

void FinalizeInstanceGuard() {
    auto& g = Guard();
    g.Server.reset();
    DeallocateHWnd(g.Receiver);
    g.Receiver = 0;
    if (g.LockHandle >= 0) {
        ::close(g.LockHandle);
        g.LockHandle = -1;
    }
    g.First = false;
}

bool IsFirstInstance() {
    return Guard().First;
}

void SetInstanceWindow(HWND wnd) {
    Guard().Window = wnd;
}

void ActivateFirstInstance() {
    auto& g = Guard();
    if (g.First) {
        ActivateOwnWindow();
        return;
    }
    if (g.BaseName.empty()) return;
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(g.BaseName + ".sock"));
    if (!socket.waitForConnected(kActivationWaitMs)) return;
    socket.write(RequestFor(g.Window));
    socket.waitForBytesWritten(kActivationWaitMs);
    socket.disconnectFromServer();
}
