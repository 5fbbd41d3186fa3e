#include "platform/core/ModalScope.h"

#include "platform/core/Input.h"

TModalScope::TModalScope(HWND Modal) : FPrevious(GetActiveWindow()) {
    if (const HWND Capture = GetCapture()) SendMessage(Capture, WM_CANCELMODE, 0, 0);
    ReleaseCapture();
    EnumWindows(
        [&](HWND Wnd, LPARAM) {
            if (Wnd != Modal && IsWindowVisible(Wnd) && IsWindowEnabled(Wnd)) {
                EnableWindow(Wnd, FALSE);
                FDisabled.push_back(Wnd);
            }
            return TRUE;
        },
        0);
}

void TModalScope::End() {
    if (FEnded) return;
    FEnded = true;
    for (HWND Wnd : FDisabled)
        if (IsWindow(Wnd)) EnableWindow(Wnd, TRUE);
    if (FPrevious && IsWindow(FPrevious) && IsWindowVisible(FPrevious)) SetActiveWindow(FPrevious);
}
