#include "platform/controls/CommonControlsInput.h"

#include "platform/core/Input.h"
#include "platform/core/Wrapping.h"

namespace {

bool IsPress(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN ||
           Msg == WM_LBUTTONDBLCLK || Msg == WM_RBUTTONDBLCLK || Msg == WM_MBUTTONDBLCLK;
}

bool IsRelease(UINT Msg) {
    return Msg == WM_LBUTTONUP || Msg == WM_RBUTTONUP || Msg == WM_MBUTTONUP;
}

constexpr WPARAM kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

}  // namespace

bool TForwardedMouse::Forward(HWND Wnd, QWidget* Root, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Root) return false;
    if (Msg == WM_MOUSEWHEEL) return ForwardInputToWidget(Root, Msg, WParam, LParam);
    const QPoint At(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
    if (IsPress(Msg) && !FTarget) {
        QWidget* Part = Root->childAt(At);
        FTarget = Part ? Part : Root;
        SetCapture(Wnd);
    }
    if (!FTarget) return ForwardInputToWidget(Root, Msg, WParam, LParam);
    QPointer<QWidget> Target = FTarget;
    const QPoint Local = Target->mapFrom(Root, At);
    // The part gets the point in its own coordinates and finds no child of its own there.
    const bool Done = ForwardInputToWidget(
        Target, Msg, WParam,
        MAKELPARAM(static_cast<WORD>(Local.x()), static_cast<WORD>(Local.y())));
    if (IsRelease(Msg) && (WParam & kButtons) == 0) {
        FTarget = nullptr;
        if (GetCapture() == Wnd) ReleaseCapture();
    }
    return Done;
}
