// Speed of the window layer on Qt's offscreen platform: a full repaint of a 1000x700 window (goal:
// under 1 ms a frame) and input through translation, hooks and dispatch (goal: 100,000 events a
// second).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>
#include <string>

#include "platform/core/Application.h"
#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Window.h"
#include "platform/gdi/Gdi.h"

namespace {

std::int64_t Delivered = 0;

// A window that paints what a busy form paints: its client area, a grid of cells with text.
LRESULT BenchProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_PAINT: {
            PAINTSTRUCT Ps;
            const HDC DC = BeginPaint(Wnd, &Ps);
            RECT Client;
            GetClientRect(Wnd, &Client);
            FillRect(DC, &Client, GetSysColorBrush(COLOR_WINDOW));
            SetBkMode(DC, TRANSPARENT);
            for (int Row = 0; Row < 30; ++Row) {
                RECT Line{4, 4 + Row * 20, Client.right - 4, 22 + Row * 20};
                DrawEdge(DC, &Line, BDR_SUNKENOUTER, BF_RECT);
                DrawText(DC, "Nachricht " + std::to_string(Row), &Line,
                         DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
            }
            EndPaint(Wnd, &Ps);
            return 0;
        }
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            ++Delivered;
            return 0;
        default:
            return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

// Brush: the class background that WM_ERASEBKGND fills first (0: none, the window paints
// everything itself).
HWND MakeForm(int Width, int Height, HBRUSH Brush = static_cast<HBRUSH>(COLOR_BTNFACE + 1)) {
    const std::string Name = "BenchWindow" + std::to_string(Brush);
    WNDCLASS Class;
    Class.style = CS_DBLCLKS;
    Class.lpfnWndProc = BenchProc;
    Class.hbrBackground = Brush;
    Class.lpszClassName = Name.c_str();
    RegisterClass(&Class);
    const HWND Form = CreateWindowEx(0, Name.c_str(), "Kestro", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                     0, Width, Height, 0, 0, 0, nullptr);
    while (Application.ProcessMessages()) {
    }
    return Form;
}

// Invalidate everything (frame, background, client area), paint it in a pass, and let the host
// copy the surface out as Qt asks it to.
void Repaint(benchmark::State& State, HBRUSH Brush) {
    const HWND Form = MakeForm(1000, 700, Brush);
    THost* Host = HostOfWindow(Form);
    for (auto _ : State) {
        RedrawWindow(Form, nullptr, 0, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Application.ProcessMessages();
        Host->repaint();
    }
    DestroyWindow(Form);
    State.SetItemsProcessed(State.iterations());
}

// The background is erased with the class brush, then the client area is painted over it.
void BM_FullRepaint1000x700(benchmark::State& State) {
    Repaint(State, static_cast<HBRUSH>(COLOR_BTNFACE + 1));
}
BENCHMARK(BM_FullRepaint1000x700)->Unit(benchmark::kMillisecond);

// A window that paints all of its client area itself has no class brush: nothing is erased.
void BM_FullRepaint1000x700WithoutErase(benchmark::State& State) {
    Repaint(State, 0);
}
BENCHMARK(BM_FullRepaint1000x700WithoutErase)->Unit(benchmark::kMillisecond);

HHOOK MouseHook = 0;
HHOOK KeyHook = 0;
LRESULT PassOnMouse(int Code, WPARAM WParam, LPARAM LParam) {
    return CallNextHookEx(MouseHook, Code, WParam, LParam);
}
LRESULT PassOnKeys(int Code, WPARAM WParam, LPARAM LParam) {
    return CallNextHookEx(KeyHook, Code, WParam, LParam);
}

// Qt events at the host's window: a move, a press and a release of the mouse and a key press
// and release per round; the hooks see each, a pass dispatches every 50 rounds.
void BM_InputTranslationHooksDispatch(benchmark::State& State) {
    const HWND Form = MakeForm(400, 300);
    QWindow* Window = HostOfWindow(Form)->windowHandle();
    MouseHook = SetWindowsHookEx(WH_MOUSE, PassOnMouse, 0, 0);
    KeyHook = SetWindowsHookEx(WH_KEYBOARD, PassOnKeys, 0, 0);
    SetFocus(Form);
    ulong Time = 1000;
    int Round = 0;
    Delivered = 0;
    for (auto _ : State) {
        const QPointF Local(100 + (Round & 7), 100);
        const QPointF Global = Local;
        QMouseEvent Move(QEvent::MouseMove, Local, Local, Global, Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QMouseEvent Press(QEvent::MouseButtonPress, Local, Local, Global, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QMouseEvent Release(QEvent::MouseButtonRelease, Local, Local, Global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        // Far apart in time: no double clicks.
        Time += 1000;
        Press.setTimestamp(Time);
        Release.setTimestamp(Time);
        QKeyEvent KeyDown(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QKeyEvent KeyUp(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(Window, &Move);
        QCoreApplication::sendEvent(Window, &Press);
        QCoreApplication::sendEvent(Window, &Release);
        QCoreApplication::sendEvent(Window, &KeyDown);
        QCoreApplication::sendEvent(Window, &KeyUp);
        if (++Round % 50 == 0) Application.ProcessMessages();
    }
    while (Application.ProcessMessages()) {
    }
    UnhookWindowsHookEx(MouseHook);
    UnhookWindowsHookEx(KeyHook);
    DestroyWindow(Form);
    State.SetItemsProcessed(State.iterations() * 5);
    State.counters["delivered"] = static_cast<double>(Delivered);
}
BENCHMARK(BM_InputTranslationHooksDispatch);

}  // namespace
