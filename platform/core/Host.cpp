// Qt hosts of top-level windows and their surfaces.
#include "platform/core/Host.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <vector>

#include "platform/classes/CodePages.h"
#include "platform/core/Application.h"
#include "platform/core/HostImpl.h"
#include "platform/core/InputImpl.h"
#include "platform/core/LoopImpl.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

struct THosts {
    std::vector<QPointer<THost>> Retired;
    // Qt events of hosts being delivered right now (a host must not go while one is).
    int EventDepth = 0;
    // The top-level windows in the order last given to Qt, bottom first.
    std::vector<HWND> Stack;
    HWND Grabbing = 0;
    // Geometry and state changes made by us right now: the events they give are not the window
    // manager's.
    int Placing = 0;
};

THosts& Hosts() {
    static auto* State = new THosts;
    return *State;
}

bool GuiApplication() {
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

bool Offscreen() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

// Owned: a form shown above a form that owns it.
Qt::WindowFlags FlagsFor(HostImpl::THostKind Kind, bool Owned = false) {
    switch (Kind) {
        case HostImpl::THostKind::Popup:
            return Qt::ToolTip | Qt::FramelessWindowHint;
        case HostImpl::THostKind::Tool:
            return Qt::Tool | Qt::FramelessWindowHint;
        case HostImpl::THostKind::Form:
            return (Owned ? Qt::Dialog : Qt::Window) | Qt::FramelessWindowHint;
    }
    return Qt::Window | Qt::FramelessWindowHint;
}

QSize SurfaceSize(const TWnd& W) {
    return QSize(std::clamp<int>(W.Width(), 1, CoreLimits::kMaxSurfaceSide),
                 std::clamp<int>(W.Height(), 1, CoreLimits::kMaxSurfaceSide));
}

THost* MakeHost(TWnd& W) {
    if (!GuiApplication() || W.MessageOnly || W.Parent != 0) return nullptr;
    auto* Host = new THost(W.Handle);
    const HostImpl::THostKind Kind = HostImpl::KindOf(W);
    Host->setWindowFlags(FlagsFor(Kind));
    Host->setProperty("KestroHostKind", static_cast<int>(Kind));
    Host->setWindowTitle(Cp1252ToUnicode(W.Text));
    Host->setGeometry(W.Window.left, W.Window.top, W.Width(), W.Height());
    // Ours too: a window manager that reports it late (after the size the window was given
    // before it showed) tells of no change from outside.
    HostAsked(*Host);
    return Host;
}

// Qt's stacking follows ours: every visible host raised from the bottom up, when it changed.
void Restack() {
    // Offscreen there is no stacking to keep: input is routed by our own z-order.
    if (Offscreen()) return;
    THosts& H = Hosts();
    std::vector<HWND> Order;
    const std::vector<HWND>& Tops = WindowState().TopLevels;
    for (auto It = Tops.rbegin(); It != Tops.rend(); ++It) {
        TWndPtr W = FindWnd(*It);
        if (W && W->Host && W->Host->isVisible()) Order.push_back(*It);
    }
    if (Order == H.Stack) return;
    H.Stack = Order;
    for (HWND Wnd : Order)
        if (TWndPtr W = FindWnd(Wnd)) W->Host->raise();
}

// A change of the host's geometry or state that we make.
struct TPlacing {
    TPlacing() { ++Hosts().Placing; }
    ~TPlacing() { --Hosts().Placing; }
    TPlacing(const TPlacing&) = delete;
    TPlacing& operator=(const TPlacing&) = delete;
};

constexpr size_t kMaxAsked = 32;
// How long a host shown before its first paint waits for it at most.
constexpr int kHeldHostMs = 200;

// A form without a sizing border has one size, and the window manager is told so (it then offers
// neither sizing nor maximizing); other hosts take any size.
template <typename F>
void KeepSizeHints(const TWnd& W, THost& Host, QSize Size, F&& Asked) {
    const bool Fixed = HostImpl::KindOf(W) == HostImpl::THostKind::Form &&
                       !(W.Style & (WS_THICKFRAME | WS_MAXIMIZE));
    const QSize Min = Fixed ? Size : QSize(0, 0);
    const QSize Max = Fixed ? Size : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (Host.minimumSize() == Min && Host.maximumSize() == Max) return;
    TPlacing Placing;
    if (Fixed) {
        Host.setFixedSize(Size);
    } else {
        Host.setMinimumSize(Min);
        Host.setMaximumSize(Max);
    }
    Asked();
}

// A form or tool window owned by a shown form is its transient: the window manager keeps it above
// its owner whatever is clicked or raised (a modal form above the form it interrupts, a floating
// bar above its form). Forms owned by the application's hidden window have none. Qt's X platform
// tells the window manager of a transient parent only for windows of a dialog's or a tool's kind,
// and only as it maps the window: an owned form is a dialog from the showing on.
void KeepAboveOwner(const TWnd& W, THost& Host) {
    if (HostImpl::KindOf(W) == HostImpl::THostKind::Popup) return;
    QWindow* Want = nullptr;
    if (TWndPtr O = FindWnd(W.Owner); O && O->Host && O->Host->isVisible())
        Want = O->Host->windowHandle();
    const Qt::WindowFlags Flags = FlagsFor(HostImpl::KindOf(W), Want != nullptr);
    if (Host.windowFlags() != Flags && !Host.isVisible()) {
        TPlacing Placing;
        Host.setWindowFlags(Flags);
    }
    if (!Host.windowHandle()) {
        if (!Want) return;
        Host.winId();
    }
    if (Host.windowHandle()->transientParent() != Want)
        Host.windowHandle()->setTransientParent(Want);
}

}  // namespace

void HostAsked(THost& Host) {
    // The same geometry asked again in one placing (for its size hints, then for its state) is
    // one request: the server confirms it once, and a second entry would keep that confirmation
    // from counting as the last word.
    if (!Host.FAsked.empty() && Host.FAsked.back() == Host.geometry()) return;
    Host.FAsked.push_back(Host.geometry());
    if (Host.FAsked.size() > kMaxAsked) Host.FAsked.erase(Host.FAsked.begin());
}

// ---- the host widget ----------------------------------------------------------------------------

THost::THost(HWND Wnd) : QWidget(nullptr), FWnd(Wnd) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
}

THost::~THost() = default;

bool THost::event(QEvent* E) {
    THosts& H = Hosts();
    ++H.EventDepth;
    struct TLeave {
        ~TLeave() { --Hosts().EventDepth; }
    } Leave;
    switch (E->type()) {
        case QEvent::Close:
            // The window manager asks: the window decides through its own close message.
            E->ignore();
            if (FWnd != 0) PostMessage(FWnd, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        case QEvent::WindowStateChange:
            StateChanged();
            return QWidget::event(E);
        case QEvent::Move:
        case QEvent::Resize:
            GeometryChanged();
            return QWidget::event(E);
        case QEvent::WindowActivate:
        case QEvent::WindowDeactivate:
            if (FWnd != 0 && !Offscreen())
                Application.Guarded([&] {
                    InputImpl::QtActivationChanged(FWnd, E->type() == QEvent::WindowActivate);
                });
            return QWidget::event(E);
        default:
            return QWidget::event(E);
    }
}

void THost::StateChanged() {
    if (FWnd == 0 || Hosts().Placing > 0) return;
    const Qt::WindowStates Now = windowState();
    if (Now & Qt::WindowMinimized) return;
    // The window manager restored a minimized form (from its task bar).
    if (IsIconic(FWnd)) {
        PostMessage(FWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        return;
    }
    // It maximized or restored the form (a key, a pager): as if the caption button had been
    // pressed. Our own maximizing is told to it (see Sync), so a state other than the one we told
    // is its doing.
    const bool Maximized = (Now & Qt::WindowMaximized) != 0;
    if (Maximized != FMaximized && Maximized != (IsZoomed(FWnd) != FALSE)) {
        const HWND Wnd = FWnd;
        Application.Guarded(
            [&] { SendMessage(Wnd, WM_SYSCOMMAND, Maximized ? SC_MAXIMIZE : SC_RESTORE, 0); });
    }
}

void THost::GeometryChanged() {
    if (FWnd == 0 || Hosts().Placing > 0 || Offscreen() || !isVisible()) return;
    // A maximizing by the window manager can bring the new geometry before the new state.
    StateChanged();
    if (FWnd == 0) return;
    const QRect Now = geometry();
    // The server confirming one of our own requests. The last one confirmed, the window is where
    // the server has it: a passing word in between (a window manager that maps a window again
    // tells of its new frame's place before it moves the frame) is taken back.
    auto It = std::find(FAsked.begin(), FAsked.end(), Now);
    if (It != FAsked.end()) {
        FAsked.erase(FAsked.begin(), It + 1);
        if (!FAsked.empty()) return;
    }
    const HWND Wnd = FWnd;
    const RECT R{Now.left(), Now.top(), Now.left() + Now.width(), Now.top() + Now.height()};
    Application.Guarded([&] { WindowImpl::PlacedFromOutside(Wnd, R); });
}

void THost::paintEvent(QPaintEvent* E) {
    TWndPtr W = FindWnd(FWnd);
    if (!W) return;
    const std::shared_ptr<TSurface> Surface = HostImpl::SurfaceOf(*W);
    QPainter Painter(this);
    Painter.setCompositionMode(QPainter::CompositionMode_Source);
    // Each rectangle of what is to be painted again, not the box around them: the parts of
    // a form that changed are often far apart.
    for (const QRect& Area : E->region()) Painter.drawImage(Area, Surface->Image, Area);
}

// ---- lookups ------------------------------------------------------------------------------------

THost* HostOfWindow(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    return W ? W->Host : nullptr;
}

THost* HostOfQtWindow(const QWindow* Window) {
    if (!Window) return nullptr;
    static QPointer<THost> Last;
    if (Last && Last->Window() != 0 && Last->windowHandle() == Window) return Last;
    for (const TWndPtr& W : AllWindows()) {
        if (W->Host && W->Host->windowHandle() == Window) {
            Last = W->Host;
            return W->Host;
        }
    }
    return nullptr;
}

QWidget* HostWidgetFor(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return nullptr;
    TWndPtr Top = WindowImpl::TopLevelOf(*W);
    return Top ? Top->Host : nullptr;
}

// ---- keeping hosts in line ----------------------------------------------------------------------

HostImpl::THostKind HostImpl::KindOf(const TWnd& W) {
    const bool Caption = (W.Style & WS_CAPTION) == WS_CAPTION;
    if ((W.Style & WS_POPUP) && (W.ExStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST)) && !Caption)
        return THostKind::Popup;
    if ((W.ExStyle & WS_EX_TOOLWINDOW) && Caption) return THostKind::Tool;
    // An owned popup that is never activated (a floating bar) is its owner's palette: the window
    // manager keeps it above the owner, which is activated and raised at its side.
    if ((W.Style & WS_POPUP) && (W.ExStyle & WS_EX_NOACTIVATE) && W.Owner != 0)
        return THostKind::Tool;
    return THostKind::Form;
}

void HostImpl::WindowCreated(TWnd& W) {
    if (W.MessageOnly || W.Parent != 0) return;
    // The surface is made when the window is first painted or shown (SurfaceOf): a window that
    // never is (a tray icon's, the main window of a run nobody sees) costs no picture.
    W.Host = MakeHost(W);
}

std::shared_ptr<TSurface> HostImpl::SurfaceOf(TWnd& Top) {
    if (Top.MessageOnly || Top.Parent != 0) return nullptr;
    const QSize Size = SurfaceSize(Top);
    if (!Top.Surface) {
        // A new window's picture shows the button face until it paints.
        Top.Surface = std::make_shared<TSurface>();
        Top.Surface->Image = QImage(Size, QImage::Format_RGB32);
        const COLORREF Face = GetSysColor(COLOR_BTNFACE);
        Top.Surface->Image.fill(QColor(GetRValue(Face), GetGValue(Face), GetBValue(Face)));
    } else if (Top.Surface->Image.size() != Size) {
        // Contexts still open on the old picture keep it; the window paints into the new one.
        auto Grown = std::make_shared<TSurface>();
        Grown->Image = QImage(Size, QImage::Format_RGB32);
        Grown->Image.fill(Qt::black);
        QPainter Painter(&Grown->Image);
        Painter.drawImage(0, 0, Top.Surface->Image);
        Painter.end();
        Top.Surface = std::move(Grown);
    }
    return Top.Surface;
}

void HostImpl::Sync(TWnd& W) {
    if (W.Parent != 0 || W.MessageOnly) return;
    // The surface takes the new size when it is next painted or shown, not at every placing:
    // a window dragged larger is placed many times between two paints.
    THost* Host = W.Host;
    if (!Host) return;
    const QRect Geometry(W.Window.left, W.Window.top, W.Width(), W.Height());
    KeepSizeHints(W, *Host, Geometry.size(), [Host] { HostAsked(*Host); });
    if (Host->geometry() != Geometry) {
        TPlacing Placing;
        Host->setGeometry(Geometry);
        HostAsked(*Host);
    }
    const bool Maximized = (W.Style & WS_MAXIMIZE) != 0;
    if (KindOf(W) == THostKind::Form && !Offscreen() && !(W.Style & WS_MINIMIZE) &&
        Maximized != Host->FMaximized) {
        // The window manager knows a form we maximized as such (and lets go of it when we restore
        // it); geometry it gives while it maximizes on its own changes nothing here.
        TPlacing Placing;
        Host->FMaximized = Maximized;
        Host->setWindowState(Maximized ? Host->windowState() | Qt::WindowMaximized
                                       : Host->windowState() & ~Qt::WindowMaximized);
        HostAsked(*Host);
    }
    if (W.HasRegion)
        Host->setMask(W.Region);
    else if (!Host->mask().isEmpty())
        Host->clearMask();
    const bool Show = W.Visible() && !(W.Style & WS_MINIMIZE);
    if (Show) KeepAboveOwner(W, *Host);
    if (Show && !Host->isVisible()) {
        if (!Host->FShownBefore && !W.Update.isEmpty() && !W.RedrawOff) {
            Host->FHeld = true;
            Host->setUpdatesEnabled(false);
            // Should the pending paint be validated away before the loop paints, the host
            // shows what its surface holds a moment later all the same.
            QTimer::singleShot(kHeldHostMs, Host, [Host] { Host->Release(); });
        }
        Host->FShownBefore = true;
        Host->show();
    } else if (!Show && Host->isVisible()) {
        if (Host->FHeld) {
            Host->FHeld = false;
            Host->setUpdatesEnabled(true);
        }
        if ((W.Style & WS_MINIMIZE) && !Offscreen() && KindOf(W) == THostKind::Form)
            Host->showMinimized();
        else
            Host->hide();
    }
    Restack();
}

void HostImpl::StyleChanged(TWnd& W) {
    THost* Host = W.Host;
    if (!Host) return;
    Host->setWindowTitle(Cp1252ToUnicode(W.Text));
    const int Kind = static_cast<int>(KindOf(W));
    if (Host->property("KestroHostKind").toInt() == Kind) return;
    // New flags make a new platform window, hidden: Sync shows it again.
    Host->setWindowFlags(FlagsFor(KindOf(W)));
    Host->setProperty("KestroHostKind", Kind);
    Hosts().Stack.clear();
    Sync(W);
}

void HostImpl::Retire(TWnd& W) {
    THost* Host = W.Host;
    W.Host = nullptr;
    W.Surface.reset();
    if (!Host) return;
    Host->Detach();
    Host->hide();
    if (Hosts().Grabbing == W.Handle) {
        if (QWindow* Qw = Host->windowHandle()) Qw->setMouseGrabEnabled(false);
        Hosts().Grabbing = 0;
    }
    Hosts().Retired.push_back(Host);
    std::erase(Hosts().Stack, W.Handle);
}

void HostImpl::BeforeReparent(TWnd&) {}

void HostImpl::AfterReparent(TWnd& W, bool WasTopLevel) {
    const bool IsTopLevel = W.Parent == 0;
    // The wrapped controls in the moved tree go to the host they now belong to.
    auto Reparent = [](HWND Root) {
        QWidget* NewHost = HostWidgetFor(Root);
        std::function<void(HWND)> Walk = [&](HWND H) {
            TWndPtr C = FindWnd(H);
            if (!C) return;
            if (C->Widget) {
                C->Widget->setParent(NewHost);
                InputImpl::PlaceWidget(*C);
            }
            for (HWND K : C->Children) Walk(K);
        };
        Walk(Root);
    };
    if (WasTopLevel == IsTopLevel) {
        Reparent(W.Handle);
    } else if (IsTopLevel) {
        WindowCreated(W);
        Reparent(W.Handle);
        Sync(W);
    } else {
        Reparent(W.Handle);
        THost* Old = W.Host;
        W.Host = nullptr;
        W.Surface.reset();
        if (Old) {
            Old->Detach();
            Old->hide();
            Hosts().Retired.push_back(Old);
        }
    }
}

// The loop painted a window of Top's: a host held since it was shown is painted whole.
void HostImpl::Painted(TWnd& Top) {
    if (Top.Host) Top.Host->Release();
}

// All of it when Qt next paints: the rest of the paint pass comes first.
void THost::Release() {
    if (!FHeld) return;
    FHeld = false;
    setUpdatesEnabled(true);
    update();
}

void HostImpl::SurfaceChanged(TWnd& Top, const QRegion& Dirty) {
    if (Top.Host && Top.Host->isVisible() && !Dirty.isEmpty()) Top.Host->update(Dirty);
}

void HostImpl::Activated(TWnd& W) {
    if (!W.Host || Offscreen() || KindOf(W) == THostKind::Popup) return;
    if (W.Host->isVisible() && !W.Host->isActiveWindow()) W.Host->activateWindow();
}

void HostImpl::CaptureChanged(HWND Capture) {
    if (Offscreen() || !GuiApplication()) return;
    THosts& H = Hosts();
    const HWND Top = Capture != 0 ? GetAncestor(Capture, GA_ROOT) : 0;
    if (Top == H.Grabbing) return;
    if (THost* Old = HostOfWindow(H.Grabbing))
        if (QWindow* Qw = Old->windowHandle()) Qw->setMouseGrabEnabled(false);
    H.Grabbing = 0;
    if (THost* New = HostOfWindow(Top))
        if (QWindow* Qw = New->windowHandle(); Qw && New->isVisible()) {
            Qw->setMouseGrabEnabled(true);
            H.Grabbing = Top;
        }
}

void HostImpl::FocusChanged(HWND Old, HWND New) {
    TWndPtr N = FindWnd(New);
    if (N && N->Widget) {
        N->Widget->setFocus(Qt::OtherFocusReason);
        return;
    }
    TWndPtr O = FindWnd(Old);
    if (O && O->Widget) O->Widget->clearFocus();
}

// ---- going away ---------------------------------------------------------------------------------

void LoopImpl::DeleteRetiredHosts() {
    THosts& H = Hosts();
    if (H.Retired.empty() || H.EventDepth > 0 || InputImpl::TranslationDepth() > 0) return;
    std::vector<QPointer<THost>> Retired;
    Retired.swap(H.Retired);
    for (QPointer<THost>& Host : Retired) delete Host.data();
}

void LoopImpl::DestroyHosts() {
    for (const TWndPtr& W : AllWindows()) {
        if (!W->Host) continue;
        THost* Host = W->Host;
        W->Host = nullptr;
        Host->Detach();
        delete Host;
    }
    // Wrapped widgets went with their hosts.
    for (const TWndPtr& W : AllWindows()) W->Widget = nullptr;
    THosts& H = Hosts();
    std::vector<QPointer<THost>> Retired;
    Retired.swap(H.Retired);
    for (QPointer<THost>& Host : Retired) delete Host.data();
}

// ---- the program's icon -------------------------------------------------------------------------

namespace {

HICON& HeldApplicationIcon() {
    static HICON Icon = 0;
    return Icon;
}

}  // namespace

void SetApplicationIcon(HICON Icon) {
    HeldApplicationIcon() = Icon;
    if (!GuiApplication()) return;
    const QImage Image = Icon != 0 ? IconImage(Icon) : QImage();
    QGuiApplication::setWindowIcon(Image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(Image)));
}

HICON ApplicationIcon() {
    return HeldApplicationIcon();
}
