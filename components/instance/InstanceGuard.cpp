#include "components/instance/InstanceGuard.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QCryptographicHash>
#include <QObject>
#include <QSocketNotifier>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
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

// A second copy connected to the first one's socket; its request is read as it comes.
struct TPeer {
    std::unique_ptr<QSocketNotifier> Readable;
    QByteArray Pending;
};

struct TGuardState {
    std::string BaseName;  // path without extension: lock is BaseName.lock, socket BaseName.sock
    int LockHandle = -1;
    bool First = false;
    // The first copy's listening socket (a plain local stream socket; -1: none) and its peers.
    int ServerHandle = -1;
    std::unique_ptr<QSocketNotifier> ServerReadable;
    std::map<int, TPeer> Peers;
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

// Stops reading from a peer and closes its connection. The notifier may be the one whose signal
// runs: it goes once the loop is back.
void DropPeer(int fd) {
    auto& peers = Guard().Peers;
    const auto it = peers.find(fd);
    if (it == peers.end()) return;
    it->second.Readable->setEnabled(false);
    it->second.Readable.release()->deleteLater();
    peers.erase(it);
    ::close(fd);
}

void ReadPeer(int fd) {
    auto& peers = Guard().Peers;
    const auto it = peers.find(fd);
    if (it == peers.end()) return;
    QByteArray& pending = it->second.Pending;
    char buffer[1024];
    for (;;) {
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;  // more comes later
        if (got <= 0) break;  // the peer went without a whole request, or the connection broke
        pending.append(buffer, got);
        const qsizetype end = pending.indexOf('\n');
        if (end >= 0) {
            Serve(pending.left(end));
            break;
        }
        if (pending.size() > InstanceLimits::kMaxRequestLength) break;
    }
    DropPeer(fd);
}

void AcceptPeers() {
    auto& g = Guard();
    for (;;) {
        const int fd = ::accept4(g.ServerHandle, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED) continue;
            return;  // none left (or a passing shortage of handles: the next one tries again)
        }
        TPeer& peer = g.Peers[fd];
        peer.Readable = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(peer.Readable.get(), &QSocketNotifier::activated,
                         [fd](QSocketDescriptor, QSocketNotifier::Type) { ReadPeer(fd); });
    }
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

void StopListening() {
    auto& g = Guard();
    while (!g.Peers.empty()) {
        const int fd = g.Peers.begin()->first;
        g.Peers.begin()->second.Readable.reset();
        g.Peers.erase(g.Peers.begin());
        ::close(fd);
    }
    g.ServerReadable.reset();
    if (g.ServerHandle >= 0) {
        // Still under the lock: the socket's name is this process's to remove.
        ::unlink((g.BaseName + ".sock").c_str());
        ::close(g.ServerHandle);
        g.ServerHandle = -1;
    }
}

// The socket is made in a directory of its own, readable by this user only, then given its
// mode and moved to its name: no other user can connect in between, and a stale socket of a
// crashed first copy (this process holds the lock, so whatever is there is stale) is replaced.
int ListenOn(const std::string& socketPath, std::string& error) {
    std::string dir = socketPath + ".XXXXXX";
    if (!mkdtemp(dir.data())) {
        error = std::strerror(errno);
        return -1;
    }
    const std::string tempPath = dir + "/s";
    sockaddr_un address;
    int fd = -1;
    if (!FillAddress(tempPath, address)) {  // the longer of the two names
        error = "the name is too long for a local socket";
    } else if ((fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0)) < 0) {
        error = std::strerror(errno);
    } else {
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
            ::chmod(tempPath.c_str(), S_IRUSR | S_IWUSR) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
            ::rename(tempPath.c_str(), socketPath.c_str()) != 0) {
            error = std::strerror(errno);
            ::close(fd);
            fd = -1;
        }
    }
    ::unlink(tempPath.c_str());  // left only when the socket did not take its name
    ::rmdir(dir.c_str());
    return fd;
}

void Listen() {
    auto& g = Guard();
    const std::string socketPath = g.BaseName + ".sock";
    g.Receiver = AllocateHWnd(Receive);
    std::string error;
    g.ServerHandle = ListenOn(socketPath, error);
    if (g.ServerHandle < 0) {
        std::fprintf(stderr, "instance guard: cannot listen on %s: %s\n", socketPath.c_str(),
                     error.c_str());
        return;
    }
    g.ServerReadable = std::make_unique<QSocketNotifier>(g.ServerHandle, QSocketNotifier::Read);
    QObject::connect(g.ServerReadable.get(), &QSocketNotifier::activated,
                     [](QSocketDescriptor, QSocketNotifier::Type) { AcceptPeers(); });
}

// Waits until the socket is ready for Events, at most until Deadline; false when it is not.
bool WaitFor(int fd, short events, std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        pollfd p{fd, events, 0};
        const int ready = ::poll(&p, 1, left > 0 ? static_cast<int>(left) : 0);
        if (ready < 0 && errno == EINTR) continue;
        return ready > 0 && (p.revents & events) != 0 && (p.revents & (POLLERR | POLLHUP)) == 0;
    }
}

// Connects to the first copy and hands it the whole request, waiting at most a moment.
void SendRequest(const std::string& socketPath, const QByteArray& request) {
    sockaddr_un address;
    if (!FillAddress(socketPath, address)) return;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kActivationWaitMs);
    bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    if (!connected && (errno == EAGAIN || errno == EINPROGRESS) && WaitFor(fd, POLLOUT, deadline)) {
        int error = 0;
        socklen_t length = sizeof error;
        connected = ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    qsizetype sent = 0;
    while (connected && sent < request.size()) {
        const ssize_t n = ::send(fd, request.constData() + sent,
                                 static_cast<size_t>(request.size() - sent), MSG_NOSIGNAL);
        if (n > 0) {
            sent += n;
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            connected = WaitFor(fd, POLLOUT, deadline);
        } else {
            break;
        }
    }
    ::close(fd);
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
    StopListening();
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
    SendRequest(g.BaseName + ".sock", RequestFor(g.Window));
}
