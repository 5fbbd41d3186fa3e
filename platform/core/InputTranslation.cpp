// Translation of Qt input into queued window messages (see Input.h for the rules), the tracked
// cursor position, mouse-leave tracking and the placement of wrapped controls' widgets.
#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWheelEvent>
#include <QWindow>
#include <cstdlib>

#include "platform/classes/CodePages.h"
#include "platform/core/Application.h"
#include "platform/core/DropImpl.h"
#include "platform/core/HookImpl.h"
#include "platform/core/Host.h"
#include "platform/core/HostImpl.h"
#include "platform/core/Input.h"
#include "platform/core/InputImpl.h"
#include "platform/core/MessageLoop.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

enum class TButton { None, Left, Right, Middle };
enum class TAction { Move, Down, Up };

struct TClick {
    HWND Wnd = 0;
    TButton Button = TButton::None;
    bool NonClient = false;
    std::uint64_t Time = 0;
    POINT Pt{};
    bool Armed = false;
};

struct TInputState {
    int Depth = 0;
    TClick LastClick;
    HWND Tracked = 0;
    DWORD TrackFlags = 0;
    bool Installed = false;
};

TInputState& State() {
    static auto* S = new TInputState;
    return *S;
}

class TInputFilter : public QObject {
  public:
    bool eventFilter(QObject* Receiver, QEvent* Event) override {
        if (!Receiver->isWindowType()) return false;
        return InputImpl::TranslateQtEvent(static_cast<QWindow*>(Receiver), Event);
    }
};

WORD ButtonKey(TButton B) {
    switch (B) {
        case TButton::Left:
            return VK_LBUTTON;
        case TButton::Right:
            return VK_RBUTTON;
        case TButton::Middle:
            return VK_MBUTTON;
        default:
            return 0;
    }
}

TButton ButtonOf(Qt::MouseButton B) {
    switch (B) {
        case Qt::LeftButton:
            return TButton::Left;
        case Qt::RightButton:
            return TButton::Right;
        case Qt::MiddleButton:
            return TButton::Middle;
        default:
            return TButton::None;
    }
}

UINT ClientMessage(TAction A, TButton B, bool Double) {
    if (A == TAction::Move) return WM_MOUSEMOVE;
    const UINT Base = B == TButton::Left    ? WM_LBUTTONDOWN
                      : B == TButton::Right ? WM_RBUTTONDOWN
                                            : WM_MBUTTONDOWN;
    if (A == TAction::Up) return Base + 1;
    return Double ? Base + 2 : Base;
}

UINT NonClientMessage(UINT Client) {
    // The non-client messages lie 0x160 below their client counterparts.
    return Client - (WM_MOUSEMOVE - WM_NCMOUSEMOVE);
}

void SyncModifiers(Qt::KeyboardModifiers Mods) {
    auto Sync = [](WORD Key, WORD Left, bool Down) {
        if (InputImpl::KeyDown(Key) == Down) return;
        InputImpl::SetKeyDown(Key, Down);
        InputImpl::SetKeyDown(Left, Down);
    };
    Sync(VK_SHIFT, VK_LSHIFT, Mods & Qt::ShiftModifier);
    Sync(VK_CONTROL, VK_LCONTROL, Mods & Qt::ControlModifier);
    Sync(VK_MENU, VK_LMENU, Mods & Qt::AltModifier);
}

WPARAM MouseKeyFlags() {
    WPARAM Flags = 0;
    if (InputImpl::KeyDown(VK_LBUTTON)) Flags |= MK_LBUTTON;
    if (InputImpl::KeyDown(VK_RBUTTON)) Flags |= MK_RBUTTON;
    if (InputImpl::KeyDown(VK_MBUTTON)) Flags |= MK_MBUTTON;
    if (InputImpl::KeyDown(VK_SHIFT)) Flags |= MK_SHIFT;
    if (InputImpl::KeyDown(VK_CONTROL)) Flags |= MK_CONTROL;
    return Flags;
}

MSG MakeInput(HWND Wnd, UINT Message, WPARAM WParam, LPARAM LParam) {
    return TMessageLoop::Instance().MakeMsg(Wnd, Message, WParam, LParam);
}

void EndTracking() {
    TInputState& S = State();
    const HWND Wnd = S.Tracked;
    const DWORD Flags = S.TrackFlags;
    S.Tracked = 0;
    S.TrackFlags = 0;
    if (Wnd != 0 && (Flags & TME_LEAVE))
        TMessageLoop::Instance().PostInput(
            MakeInput(Wnd, (Flags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE, 0, 0), {},
            InputImpl::KeySnapshot());
}

// Mouse-leave tracking: the cursor is now over Target (client area or not); 0 for nowhere.
void UpdateTracking(HWND Target, bool Client) {
    TInputState& S = State();
    if (S.Tracked == 0) return;
    const bool WantsClient = !(S.TrackFlags & TME_NONCLIENT);
    if (Target != S.Tracked || Client != WantsClient) EndTracking();
}

bool IsDisabledTree(const TWnd& W) {
    TWndPtr Top = WindowImpl::TopLevelOf(W);
    return !W.Enabled() || (Top && !Top->Enabled());
}

// The window under Pt and its hit-test code, passing windows that answer HTTRANSPARENT.
HWND HitWindow(POINT Pt, LRESULT& Hit) {
    HWND Target = WindowFromPoint(Pt);
    std::vector<HWND> Skipped;
    for (int Round = 0; Target != 0 && Round < 16; ++Round) {
        TWndPtr W = FindWnd(Target);
        if (!W) return 0;
        // A disabled form (a modal window is open) takes the input itself, as an error.
        TWndPtr Top = WindowImpl::TopLevelOf(*W);
        if (Top && !Top->Enabled()) {
            Hit = HTERROR;
            return Top->Handle;
        }
        if (!W->Enabled()) {
            Hit = HTERROR;
            return Target;
        }
        Hit = SendMessage(Target, WM_NCHITTEST, 0, PointLParam(Pt));
        if (Hit != HTTRANSPARENT) return Target;
        // The window below it (its parent, as children lie on their parent) gets the point.
        Skipped.push_back(Target);
        TWndPtr Now = FindWnd(Target);
        if (!Now || Now->Parent == 0) return 0;
        Target = Now->Parent;
    }
    return Target;
}

bool DoubleClick(HWND Target, TButton Button, bool NonClient, std::uint64_t Time, POINT Pt) {
    TClick& Last = State().LastClick;
    const std::uint64_t Limit = GetDoubleClickTime();
    const int Dx = std::abs(Pt.x - Last.Pt.x);
    const int Dy = std::abs(Pt.y - Last.Pt.y);
    bool Double = Last.Armed && Last.Wnd == Target && Last.Button == Button &&
                  Last.NonClient == NonClient && Time >= Last.Time && Time - Last.Time <= Limit &&
                  Dx <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                  Dy <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
    if (Double && !NonClient) {
        TWndPtr W = FindWnd(Target);
        Double = W && (W->Class->Info.style & CS_DBLCLKS);
    }
    // A double click ends the series: the next press starts a new one.
    Last = TClick{Target, Button, NonClient, Time, Pt, !Double};
    return Double;
}

void RouteMouse(TAction Action, TButton Button, POINT Pt, std::uint64_t Time) {
    TMessageLoop& Loop = TMessageLoop::Instance();
    Loop.SetCursorPos(Pt);
    if (Button != TButton::None && Action != TAction::Move)
        InputImpl::SetKeyDown(ButtonKey(Button), Action == TAction::Down);
    // Loops that follow the cursor and the buttons wake, whether a message comes of it or not.
    Loop.NoteActivity();
    const HWND Capture = GetCapture();
    HWND Target = Capture;
    LRESULT Hit = HTCLIENT;
    if (Target == 0) Target = HitWindow(Pt, Hit);
    if (Target == 0) {
        UpdateTracking(0, false);
        return;
    }
    const bool Client = Hit == HTCLIENT;
    bool Double = false;
    if (Action == TAction::Down) Double = DoubleClick(Target, Button, !Client, Time, Pt);
    const UINT ClientMsg = ClientMessage(Action, Button, Double);
    const UINT Msg = Client ? ClientMsg : NonClientMessage(ClientMsg);
    if (Capture == 0) {
        SendMessage(Target, WM_SETCURSOR, static_cast<WPARAM>(Target),
                    MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(Msg)));
        if (!FindWnd(Target)) return;
    }
    MOUSEHOOKSTRUCT Info{Pt, Target, static_cast<UINT>(static_cast<int>(Hit)), 0};
    if (HookImpl::MouseHooks(Msg, Info)) return;
    if (Hit == HTERROR || !FindWnd(Target)) return;
    if (Action == TAction::Down) {
        TWndPtr W = FindWnd(Target);
        TWndPtr Top = W ? WindowImpl::TopLevelOf(*W) : nullptr;
        // Asked also of windows that never become active (WS_EX_NOACTIVATE): they hear of the
        // click this way, to come to the top of their own accord.
        if (Top && Top->Handle != GetActiveWindow() && Top->Enabled()) {
            const LRESULT Answer =
                SendMessage(Target, WM_MOUSEACTIVATE, static_cast<WPARAM>(Top->Handle),
                            MAKELPARAM(static_cast<WORD>(Hit), static_cast<WORD>(Msg)));
            if ((Answer == MA_ACTIVATE || Answer == MA_ACTIVATEANDEAT) && FindWnd(Top->Handle) &&
                WindowImpl::Activatable(*Top))
                WindowImpl::Activate(Top->Handle, WA_CLICKACTIVE);
            if (Answer == MA_ACTIVATEANDEAT || Answer == MA_NOACTIVATEANDEAT) return;
            if (!FindWnd(Target)) return;
        }
    }
    UpdateTracking(Target, Client);
    TWndPtr W = FindWnd(Target);
    if (!W) return;
    MSG Out;
    if (Client) {
        const POINT Origin = WindowImpl::ClientOrigin(*W);
        Out = MakeInput(Target, Msg, MouseKeyFlags(),
                        PointLParam(POINT{Pt.x - Origin.x, Pt.y - Origin.y}));
    } else {
        Out = MakeInput(Target, Msg, static_cast<WPARAM>(Hit), PointLParam(Pt));
    }
    Loop.PostInput(Out, {}, InputImpl::KeySnapshot());
}

bool TranslateMouse(QMouseEvent* E) {
    // Qt's own double clicks are ignored: ours come from the presses.
    if (E->type() == QEvent::MouseButtonDblClick) return true;
    SyncModifiers(E->modifiers());
    const QPoint G = E->globalPosition().toPoint();
    const POINT Pt{G.x(), G.y()};
    const TAction Action = E->type() == QEvent::MouseMove          ? TAction::Move
                           : E->type() == QEvent::MouseButtonPress ? TAction::Down
                                                                   : TAction::Up;
    const TButton Button = ButtonOf(E->button());
    if (Action != TAction::Move && Button == TButton::None) return true;
    RouteMouse(Action, Button, Pt, E->timestamp());
    return true;
}

bool TranslateWheel(QWheelEvent* E) {
    SyncModifiers(E->modifiers());
    const QPoint G = E->globalPosition().toPoint();
    const POINT Pt{G.x(), G.y()};
    TMessageLoop::Instance().SetCursorPos(Pt);
    const int Delta = E->angleDelta().y();
    if (Delta == 0) return true;
    HWND Target = GetFocus();
    if (Target == 0) Target = WindowFromPoint(Pt);
    TWndPtr W = FindWnd(Target);
    if (!W || IsDisabledTree(*W)) return true;
    MOUSEHOOKSTRUCT Info{Pt, Target, static_cast<UINT>(HTCLIENT), 0};
    if (HookImpl::MouseHooks(WM_MOUSEWHEEL, Info)) return true;
    TMessageLoop::Instance().PostInput(
        MakeInput(Target, WM_MOUSEWHEEL,
                  MAKEWPARAM(static_cast<WORD>(MouseKeyFlags()), static_cast<WORD>(Delta)),
                  PointLParam(Pt)),
        {}, InputImpl::KeySnapshot());
    return true;
}

// Characters a key typed, as Windows-1252 bytes.
std::string CharsOf(QKeyEvent* E, WORD Vk) {
    const bool Ctrl = InputImpl::KeyDown(VK_CONTROL);
    const bool Alt = InputImpl::KeyDown(VK_MENU);
    if (Ctrl && !Alt) {
        // Control characters, as a PC keyboard types them.
        if (Vk >= VK_A && Vk <= VK_Z) return std::string(1, static_cast<char>(Vk - VK_A + 1));
        if (Vk == VK_BACK) return std::string(1, '\x7F');
        if (Vk == VK_RETURN) return std::string(1, '\n');
        return {};
    }
    if (Vk == VK_DELETE) return {};
    const QString Text = E->text();
    if (Text.isEmpty()) return {};
    std::string Bytes = UnicodeToCp1252(Text.left(static_cast<int>(CoreLimits::kMaxKeyChars)));
    if (Vk == VK_RETURN) Bytes = "\r";
    return Bytes;
}

bool TranslateKey(QKeyEvent* E) {
    const bool Press = E->type() == QEvent::KeyPress;
    InputImpl::TKeyCode Code = InputImpl::KeyCodeOf(
        E->key(), (E->modifiers() & Qt::KeypadModifier) != 0, E->nativeScanCode());
    // A key Qt cannot name may still type a character (a symbol of another layout).
    if (Code.VirtualKey == 0 && E->key() != Qt::Key_AltGr && !E->text().isEmpty())
        Code = InputImpl::TKeyCode{VK_OEM_102, 0x56, false};
    if (Code.VirtualKey == 0) return true;
    const WORD Vk = Code.VirtualKey;
    const bool WasDown = InputImpl::KeyDown(Vk);
    InputImpl::SetKeyDown(Vk, Press);
    if (Vk == VK_SHIFT) InputImpl::SetKeyDown(Code.ScanCode == 0x36 ? VK_RSHIFT : VK_LSHIFT, Press);
    if (Vk == VK_CONTROL) InputImpl::SetKeyDown(Code.Extended ? VK_RCONTROL : VK_LCONTROL, Press);
    if (Vk == VK_MENU) InputImpl::SetKeyDown(Code.Extended ? VK_RMENU : VK_LMENU, Press);
    const bool Alt = Vk == VK_MENU || InputImpl::KeyDown(VK_MENU);
    const bool Ctrl = InputImpl::KeyDown(VK_CONTROL);
    HWND Target = GetFocus();
    bool System = (Alt && !Ctrl) || Vk == VK_F10;
    if (Target == 0) {
        // Without a focus window the active window gets the keys, as system keys.
        Target = GetActiveWindow();
        System = true;
    }
    LPARAM Data = 1 | (static_cast<LPARAM>(Code.ScanCode) << 16);
    if (Code.Extended) Data |= KF_EXTENDED_BIT;
    if (Alt && System) Data |= KF_ALTDOWN_BIT;
    if (!Press || WasDown || E->isAutoRepeat()) Data |= KF_REPEAT_BIT;
    if (!Press) Data |= KF_UP_BIT;
    const UINT Msg =
        Press ? (System ? WM_SYSKEYDOWN : WM_KEYDOWN) : (System ? WM_SYSKEYUP : WM_KEYUP);
    TMessageLoop::Instance().PostInput(MakeInput(Target, Msg, Vk, Data),
                                       Press ? CharsOf(E, Vk) : std::string(),
                                       InputImpl::KeySnapshot());
    return true;
}

bool TranslateDrop(THost* Host, QEvent* E) {
    auto* Drop = static_cast<QDropEvent*>(E);
    const QPoint G = Host->mapToGlobal(Drop->position().toPoint());
    const POINT Pt{G.x(), G.y()};
    const HWND Target = DropImpl::DropTarget(Pt);
    const bool Files = Drop->mimeData() && Drop->mimeData()->hasUrls();
    if (E->type() == QEvent::DragEnter || E->type() == QEvent::DragMove) {
        if (Files && Target != 0)
            Drop->acceptProposedAction();
        else
            Drop->ignore();
        return true;
    }
    if (E->type() == QEvent::Drop && Files && Target != 0) {
        std::vector<std::string> Names;
        for (const QUrl& Url : Drop->mimeData()->urls())
            if (Url.isLocalFile()) Names.push_back(Url.toLocalFile().toStdString());
        DropImpl::PostDrop(Target, Pt, Names);
        Drop->acceptProposedAction();
    }
    return true;
}

}  // namespace

// ---- the filter ---------------------------------------------------------------------------------

void InputImpl::Install() {
    TInputState& S = State();
    if (S.Installed || !QCoreApplication::instance()) return;
    S.Installed = true;
    // A child of the application object: it goes with it.
    auto* Filter = new TInputFilter;
    Filter->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(Filter);
}

int InputImpl::TranslationDepth() {
    return State().Depth;
}

bool InputImpl::TranslateQtEvent(QWindow* Window, QEvent* Event) {
    switch (Event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Leave:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            break;
        default:
            return false;
    }
    THost* Host = HostOfQtWindow(Window);
    if (!Host) return false;
    if (Host->Window() == 0) return true;  // a host on its way out takes nothing
    TInputState& S = State();
    ++S.Depth;
    struct TLeave {
        ~TLeave() { --State().Depth; }
    } Leave;
    bool Eaten = true;
    // Window procedures run in here: nothing they throw may unwind into Qt.
    Application.Guarded([&] {
        switch (Event->type()) {
            case QEvent::Wheel:
                Eaten = TranslateWheel(static_cast<QWheelEvent*>(Event));
                break;
            case QEvent::KeyPress:
            case QEvent::KeyRelease:
                Eaten = TranslateKey(static_cast<QKeyEvent*>(Event));
                break;
            case QEvent::Leave: {
                // The cursor left this host: a window of it that was tracked is left too.
                const HWND Tracked = State().Tracked;
                TWndPtr T = FindWnd(Tracked);
                TWndPtr Top = T ? WindowImpl::TopLevelOf(*T) : nullptr;
                if (Top && Top->Handle == Host->Window() && GetCapture() == 0) EndTracking();
                Eaten = false;
                break;
            }
            case QEvent::DragEnter:
            case QEvent::DragMove:
            case QEvent::Drop:
                Eaten = TranslateDrop(Host, Event);
                break;
            default:
                Eaten = TranslateMouse(static_cast<QMouseEvent*>(Event));
                break;
        }
    });
    return Eaten;
}

bool InputImpl::KeyReachesItsWindow(const MSG& Key) {
    if (HookImpl::KeyboardHooks(Key.wParam, Key.lParam)) return false;
    TWndPtr W = FindWnd(Key.hwnd);
    return W && !IsDisabledTree(*W);
}

// ---- state that follows windows -----------------------------------------------------------------

void InputImpl::ForgetWindow(HWND Wnd) {
    TInputState& S = State();
    if (S.Tracked == Wnd) {
        S.Tracked = 0;
        S.TrackFlags = 0;
    }
    if (S.LastClick.Wnd == Wnd) S.LastClick = TClick{};
}

void InputImpl::QtActivationChanged(HWND Host, bool Active) {
    TWndPtr W = FindWnd(Host);
    if (!W || HostImpl::KindOf(*W) == HostImpl::THostKind::Popup) return;
    if (Active) {
        if (GetActiveWindow() != Host || !WindowState().AppActive)
            WindowImpl::Activate(Host, WA_ACTIVE);
        return;
    }
    // Deactivation counts only when the platform's focus left the program's windows.
    QWindow* Focus = QGuiApplication::focusWindow();
    if (!Focus || !HostOfQtWindow(Focus)) WindowImpl::ApplicationDeactivated();
}

void InputImpl::PlaceWidget(TWnd& W) {
    if (!W.Widget) return;
    TWndPtr Top = WindowImpl::TopLevelOf(W);
    if (!Top) return;
    const RECT TopRect = WindowImpl::ScreenRect(*Top);
    const RECT R = WindowImpl::ScreenRect(W);
    const QRect Geometry(R.left - TopRect.left, R.top - TopRect.top, R.right - R.left,
                         R.bottom - R.top);
    if (W.Widget->geometry() != Geometry) W.Widget->setGeometry(Geometry);
    // Like every child window the control shows only inside its ancestors' client areas (a memo
    // reaching past the bottom of its tab sheet is cut off there, not drawn over the buttons).
    const QRegion Shown = PaintImpl::InsideAncestors(W).translated(-R.left, -R.top);
    if (Shown == QRegion(QRect(QPoint(0, 0), Geometry.size()))) {
        if (!W.Widget->mask().isEmpty()) W.Widget->clearMask();
    } else if (!Shown.isEmpty()) {
        W.Widget->setMask(Shown);
    }
    W.Widget->setVisible(IsWindowVisible(W.Handle) != FALSE && !Shown.isEmpty());
}

void InputImpl::PlaceWidgets(TWnd& W) {
    PlaceWidget(W);
    for (HWND H : W.Children)
        if (TWndPtr C = FindWnd(H)) PlaceWidgets(*C);
}

// ---- the public functions -----------------------------------------------------------------------

BOOL GetCursorPos(POINT* Point) {
    if (!Point) return FALSE;
    *Point = TMessageLoop::Instance().CursorPos();
    return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
    TMessageLoop::Instance().SetCursorPos(POINT{X, Y});
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() != QLatin1String("offscreen"))
        QCursor::setPos(X, Y);
    return TRUE;
}

UINT GetDoubleClickTime() {
    return 500;
}

BOOL TrackMouseEvent(TRACKMOUSEEVENT* Event) {
    if (!Event) return FALSE;
    TInputState& S = State();
    if (Event->dwFlags & TME_QUERY) {
        Event->hwndTrack = S.Tracked;
        Event->dwFlags = S.Tracked ? (S.TrackFlags & (TME_LEAVE | TME_NONCLIENT | TME_HOVER)) : 0;
        return TRUE;
    }
    if (Event->dwFlags & TME_CANCEL) {
        if (S.Tracked == Event->hwndTrack) {
            S.TrackFlags &= ~(Event->dwFlags & (TME_LEAVE | TME_HOVER));
            if (!(S.TrackFlags & (TME_LEAVE | TME_HOVER))) S.Tracked = 0;
        }
        return TRUE;
    }
    TWndPtr W = FindWnd(Event->hwndTrack);
    if (!W) return FALSE;
    if (S.Tracked != 0 && S.Tracked != Event->hwndTrack) EndTracking();
    S.Tracked = Event->hwndTrack;
    S.TrackFlags = Event->dwFlags & (TME_LEAVE | TME_NONCLIENT | TME_HOVER);
    // A cursor that is not over the window (area) any more gets its leave at once.
    const POINT Pt = TMessageLoop::Instance().CursorPos();
    const bool Over = WindowFromPoint(Pt) == Event->hwndTrack || GetCapture() == Event->hwndTrack;
    bool InClient = false;
    if (Over) {
        const RECT C = WindowImpl::ClientScreenRect(*W);
        InClient = PtInRect(&C, Pt) || GetCapture() == Event->hwndTrack;
    }
    if (!Over || InClient == ((S.TrackFlags & TME_NONCLIENT) != 0)) EndTracking();
    return TRUE;
}
