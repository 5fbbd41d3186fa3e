#pragma once
// Helpers of the GUI tests: a window class whose windows record what they receive and take
// per-window behaviour, real Qt input through QTest's QWindow overloads (the ones that pass our
// input filter), input scheduled for a modal loop to meet, and pictures in the build tree.
#include <QDropEvent>
#include <QMimeData>
#include <QPoint>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Window.h"
#include "platform/core/WindowPicture.h"
#include "platform/gdi/Gdi.h"
#include "tests/support/TestSupport.h"

namespace GuiTest {

struct TRecorded {
    HWND Wnd = 0;
    UINT Msg = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
    bool operator==(const TRecorded&) const = default;
};

// What a window's own handler answers; nullopt passes the message to DefWindowProc.
using THandler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// Windows of the class "KestroTestWindow" (CS_DBLCLKS, button-face background, arrow cursor):
// every message is recorded in Log, then goes to the window's handler, then to DefWindowProc.
class TTestWindows {
  public:
    static TTestWindows& Instance() {
        static TTestWindows* Windows = new TTestWindows;
        return *Windows;
    }

    static constexpr const char* kClassName = "KestroTestWindow";

    HWND Create(DWORD ExStyle, DWORD Style, RECT R, HWND Parent = 0, const char* Text = "",
                UINT_PTR Id = 0) {
        return CreateWindowEx(ExStyle, kClassName, Text, Style, R.left, R.top, R.right - R.left,
                              R.bottom - R.top, Parent, Id, 0, nullptr);
    }

    // The messages of one window, only those listed (all when the list is empty).
    std::vector<TRecorded> Of(HWND Wnd, std::vector<UINT> Only = {}) const {
        std::vector<TRecorded> Out;
        for (const TRecorded& R : Log)
            if (R.Wnd == Wnd &&
                (Only.empty() || std::find(Only.begin(), Only.end(), R.Msg) != Only.end()))
                Out.push_back(R);
        return Out;
    }
    std::vector<UINT> MessagesOf(HWND Wnd, std::vector<UINT> Only = {}) const {
        std::vector<UINT> Out;
        for (const TRecorded& R : Of(Wnd, std::move(Only))) Out.push_back(R.Msg);
        return Out;
    }

    std::vector<TRecorded> Log;
    std::map<HWND, THandler> Handlers;
    // Messages every window of the class records (empty: all).
    std::vector<UINT> Recorded;

  private:
    TTestWindows() {
        WNDCLASS Class;
        Class.style = CS_DBLCLKS;
        Class.lpfnWndProc = Proc;
        Class.hbrBackground = static_cast<HBRUSH>(COLOR_BTNFACE + 1);
        Class.hCursor = LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
        Class.lpszClassName = kClassName;
        RegisterClass(&Class);
    }

    static LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
        TTestWindows& T = Instance();
        if (T.Recorded.empty() ||
            std::find(T.Recorded.begin(), T.Recorded.end(), Msg) != T.Recorded.end())
            T.Log.push_back({Wnd, Msg, WParam, LParam});
        auto It = T.Handlers.find(Wnd);
        if (It != T.Handlers.end() && It->second) {
            // A copy: the handler may replace itself.
            THandler Handler = It->second;
            if (std::optional<LRESULT> Answer = Handler(Wnd, Msg, WParam, LParam)) return *Answer;
        }
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
};

inline TTestWindows& Windows() {
    return TTestWindows::Instance();
}

// Runs passes until nothing is left to deliver or paint.
inline void Drain() {
    for (int I = 0; I < 1000 && Application.ProcessMessages(); ++I) {
    }
}

// The Qt window of a top-level window's host.
inline QWindow* QtWindowOf(HWND Wnd) {
    THost* Host = HostOfWindow(GetAncestor(Wnd, GA_ROOT));
    return Host ? Host->windowHandle() : nullptr;
}

// A screen point in the local coordinates of the host of Wnd's top-level window.
inline QPoint LocalOf(HWND Wnd, POINT Screen) {
    RECT R;
    GetWindowRect(GetAncestor(Wnd, GA_ROOT), &R);
    return QPoint(Screen.x - R.left, Screen.y - R.top);
}

inline POINT ScreenOf(HWND Wnd, POINT Client) {
    ClientToScreen(Wnd, &Client);
    return Client;
}

// Mouse input at a screen point, given to the Qt window of Via (a top-level window of ours).
inline void MouseMove(HWND Via, POINT Screen) {
    QTest::mouseMove(QtWindowOf(Via), LocalOf(Via, Screen));
}
inline void MousePress(HWND Via, POINT Screen, Qt::MouseButton Button = Qt::LeftButton,
                       Qt::KeyboardModifiers Mods = {}) {
    QTest::mousePress(QtWindowOf(Via), Button, Mods, LocalOf(Via, Screen));
}
inline void MouseRelease(HWND Via, POINT Screen, Qt::MouseButton Button = Qt::LeftButton,
                         Qt::KeyboardModifiers Mods = {}) {
    QTest::mouseRelease(QtWindowOf(Via), Button, Mods, LocalOf(Via, Screen));
}
inline void MouseClick(HWND Via, POINT Screen, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mouseClick(QtWindowOf(Via), Button, {}, LocalOf(Via, Screen));
}
inline void MouseDoubleClick(HWND Via, POINT Screen, Qt::MouseButton Button = Qt::LeftButton) {
    QTest::mouseDClick(QtWindowOf(Via), Button, {}, LocalOf(Via, Screen));
}

// A drop of Names at a client point of Target, as the desktop delivers it to the host's window.
inline void DropFiles(HWND Target, POINT Client, const std::vector<std::string>& Names) {
    QMimeData Data;
    QList<QUrl> Urls;
    for (const std::string& Name : Names)
        Urls.push_back(QUrl::fromLocalFile(QString::fromStdString(Name)));
    Data.setUrls(Urls);
    const QPointF Local(LocalOf(Target, ScreenOf(Target, Client)));
    QDragEnterEvent Enter(Local.toPoint(), Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWindowOf(Target), &Enter);
    QDropEvent Dropped(Local, Qt::CopyAction, &Data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWindowOf(Target), &Dropped);
    Drain();
}

// Steps that run one after the other from Qt's loop, each after the previous one returned: input
// for a modal loop that the first step starts (QTest's calls return only when their events are
// handled, so a loop started by them runs inside the call).
class TScript {
  public:
    TScript& Then(std::function<void()> Step) { return ThenWhen(nullptr, std::move(Step)); }
    // A step that waits until Ready holds: the loop that the step before starts (a menu's) may
    // begin only after the step's timer fired on a busy machine, inside the input that opens it.
    TScript& ThenWhen(std::function<bool()> Ready, std::function<void()> Step) {
        FSteps.push_back({std::move(Ready), std::move(Step)});
        return *this;
    }
    void Start() { Schedule(0); }
    bool Done() const { return FNext >= FSteps.size(); }

  private:
    struct TStep {
        std::function<bool()> Ready;
        std::function<void()> Run;
    };
    // A real timer, not a posted event: posted events that wait while a loop runs inside the
    // delivery of another posted event are not seen by that loop's waits. A script that goes
    // away takes its pending steps with it (the context object).
    void Schedule(size_t Index) {
        if (Index >= FSteps.size()) return;
        QTimer::singleShot(1, &FContext, [this, Index] {
            if (FSteps[Index].Ready && !FSteps[Index].Ready()) return Schedule(Index);
            FNext = Index + 1;
            Schedule(Index + 1);
            FSteps[Index].Run();
        });
    }
    QObject FContext;
    std::vector<TStep> FSteps;
    size_t FNext = 0;
};

// Steps that run one after the other from timers, each armed once the step before has returned,
// so that a modal loop running in the test's own call (a menu's, a dialog's) has taken the input
// a step gave before the next step looks. (TScript arms the next step first, for steps that
// start a loop themselves; a step that handles Qt's events would then run the next one inside
// it.)
class TSteps {
  public:
    explicit TSteps(std::vector<std::function<void()>> Steps) : FSteps(std::move(Steps)) {}
    // FirstReady: the first step waits until it holds (the loop it works in may start only
    // after the step's timer fired on a busy machine, inside the input that opens it).
    void Start(std::function<bool()> FirstReady = {}) {
        FFirstReady = std::move(FirstReady);
        Schedule(0);
    }
    bool Done() const { return FDone >= FSteps.size(); }

  private:
    void Schedule(size_t Index) {
        if (Index >= FSteps.size()) return;
        QTimer::singleShot(1, &FContext, [this, Index] {
            if (Index == 0 && FFirstReady && !FFirstReady()) return Schedule(0);
            FSteps[Index]();
            FDone = Index + 1;
            Schedule(Index + 1);
        });
    }
    QObject FContext;
    std::vector<std::function<void()>> FSteps;
    std::function<bool()> FFirstReady;
    size_t FDone = 0;
};

// Input for a loop that a window of the test runs (the move and size loop, a caption button's),
// each step given once the window has received the message it waits for, after the step before
// it: the loop's own messages pace the input. A timed script can be overtaken by itself on a busy
// machine (a step that comes late runs inside the QTest call of the step before, so the loop
// sees two steps as one); here the next step is not even armed until the loop answered the last.
// A step runs from a Qt timer of the loop's next wait, never inside the window procedure: QTest's
// calls run Qt's loop, and a pass run from a window procedure would take the input from the loop.
class TCuedInput {
  public:
    // Steps for the test window Wnd; its handler (Windows().Handlers) still sees every message.
    explicit TCuedInput(HWND Wnd) : FWnd(Wnd), FInner(Windows().Handlers[Wnd]) {
        Windows().Handlers[Wnd] = [this](HWND W, UINT M, WPARAM Wp,
                                         LPARAM Lp) -> std::optional<LRESULT> {
            Cue(M);
            return FInner ? FInner(W, M, Wp, Lp) : std::nullopt;
        };
    }
    ~TCuedInput() {
        auto It = Windows().Handlers.find(FWnd);
        if (It != Windows().Handlers.end()) It->second = FInner;
    }
    TCuedInput(const TCuedInput&) = delete;
    TCuedInput& operator=(const TCuedInput&) = delete;

    TCuedInput& On(UINT Msg, std::function<void()> Step) {
        FSteps.push_back({Msg, std::move(Step)});
        return *this;
    }
    bool Done() const { return FRun == FSteps.size(); }

  private:
    struct TStep {
        UINT Msg;
        std::function<void()> Run;
    };
    void Cue(UINT Msg) {
        if (FArmed >= FSteps.size() || FArmed != FRun || FSteps[FArmed].Msg != Msg) return;
        const size_t Index = FArmed++;
        QTimer::singleShot(1, &FContext, [this, Index] {
            FSteps[Index].Run();
            FRun = Index + 1;
        });
    }
    HWND FWnd;
    THandler FInner;
    QObject FContext;
    std::vector<TStep> FSteps;
    size_t FArmed = 0;  // steps whose message came
    size_t FRun = 0;    // steps that ran
};

inline std::string PicturePath(const std::string& Name) {
    return std::string(KESTRO_BINARY_DIR) + "/pictures/core/" + Name + ".png";
}

inline QRgb ColorOf(COLORREF C) {
    return qRgb(GetRValue(C), GetGValue(C), GetBValue(C));
}

// The pixel of a window's picture at a point of its window rectangle.
inline QRgb PixelAt(HWND Wnd, int X, int Y) {
    return WindowPicture(Wnd).pixel(X, Y) | 0xFF000000u;
}

// Destroys the windows made by a test, whatever happens in it.
class TWindowGuard {
  public:
    ~TWindowGuard() {
        // The handlers may refer to what the test kept on its stack, which is gone by now.
        Windows().Handlers.clear();
        for (auto It = FWindows.rbegin(); It != FWindows.rend(); ++It)
            if (IsWindow(*It)) DestroyWindow(*It);
        Windows().Log.clear();
        Windows().Recorded.clear();
    }
    HWND operator()(HWND Wnd) {
        FWindows.push_back(Wnd);
        return Wnd;
    }

  private:
    std::vector<HWND> FWindows;
};

}  // namespace GuiTest
