// The window class of the menus: a popup that is never activated, paints through the tracker
// and hands its input to it.
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/menus/MenuImpl.h"

namespace MenuImpl {

namespace {

TWindowHooks& Hooks() {
    static TWindowHooks* H = new TWindowHooks;
    return *H;
}

LRESULT MenuProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_PAINT: {
            PAINTSTRUCT Paint;
            const HDC DC = BeginPaint(Wnd, &Paint);
            if (Hooks().Paint) Hooks().Paint(Wnd, DC);
            EndPaint(Wnd, &Paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_CAPTURECHANGED:
        case WM_CANCELMODE:
        case WM_DESTROY:
            if (Hooks().Input) Hooks().Input(Wnd, Msg, WParam, LParam);
            return Msg == WM_DESTROY ? 0 : DefWindowProc(Wnd, Msg, WParam, LParam);
        default:
            return DefWindowProc(Wnd, Msg, WParam, LParam);
    }
}

}  // namespace

void SetWindowHooks(TWindowHooks NewHooks) {
    Hooks() = std::move(NewHooks);
}

const char* WindowClass() {
    static const bool Registered = [] {
        WNDCLASS Class;
        Class.style = CS_DBLCLKS | CS_SAVEBITS;
        Class.lpfnWndProc = MenuProc;
        Class.hCursor = LoadCursor(0, MAKEINTRESOURCE(IDC_ARROW));
        Class.lpszClassName = kMenuClassName;
        return RegisterClass(&Class) != 0;
    }();
    (void)Registered;
    return kMenuClassName;
}

}  // namespace MenuImpl
