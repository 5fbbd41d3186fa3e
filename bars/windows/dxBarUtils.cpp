#include "bars/windows/dxBarUtils.h"

#include "platform/core/Input.h"

TdxBarDragEnd RunDragLoop(const std::function<void(bool Always)>& OnMove,
                          const std::function<bool()>& Ended, HWND Holder) {
    // The loop looks at the button itself after every wake, so the release ends the drag
    // whoever took it.
    bool Released = false;
    POINT Last;
    GetCursorPos(&Last);
    auto Follow = [&](bool Always) {
        POINT Cursor;
        GetCursorPos(&Cursor);
        if (!Always && Cursor.x == Last.x && Cursor.y == Last.y) return;
        Last = Cursor;
        if (!Ended()) OnMove(Always);
    };
    auto Pointer = [&](UINT Kind) {
        if (Kind == WM_MOUSEMOVE && !Released) Follow(false);
        if (Kind == WM_LBUTTONUP) Released = true;
    };
    const HWND Own = Holder ? HWND(0) : AllocateHWnd([&](TMessage& Message) {
        Message.Result = 0;
        Pointer(Message.Msg);
    });
    const HWND Capture = Holder ? Holder : Own;
    SetCapture(Capture);
    TdxBarDragEnd End = TdxBarDragEnd::Ended;
    TModalLoop Loop(kDragWait);
    MSG Msg;
    while (GetCapture() == Capture && !Ended()) {
        if (Released || GetKeyState(VK_LBUTTON) >= 0) {
            End = TdxBarDragEnd::Released;
            break;
        }
        const TModalLoop::TNext Next = Loop.Next(Msg);
        if (Next == TModalLoop::TNext::Quit) break;
        if (Next == TModalLoop::TNext::Idle) continue;
        const UINT Kind = Msg.message;
        if (Kind == WM_KEYDOWN || Kind == WM_KEYUP || Kind == WM_SYSKEYDOWN ||
            Kind == WM_SYSKEYUP) {
            if (Msg.wParam == VK_CONTROL) Follow(true);
            if (Msg.wParam == VK_ESCAPE) {
                End = TdxBarDragEnd::Escaped;
                break;
            }
            continue;
        }
        if (Kind == WM_CHAR || Kind == WM_SYSCHAR) continue;
        // The holder's own handling of the pointer waits until the drag is over.
        if (Holder && Msg.hwnd == Holder && Kind >= WM_MOUSEFIRST && Kind <= WM_MOUSELAST) {
            Pointer(Kind);
            continue;
        }
        TModalLoop::Deliver(Msg);
    }
    if (GetCapture() == Capture) ReleaseCapture();
    if (Own) DeallocateHWnd(Own);
    return End;
}
