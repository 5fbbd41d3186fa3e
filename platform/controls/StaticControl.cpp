#include "platform/controls/StaticControl.h"

#include "platform/classes/CodePages.h"
#include "platform/controls/ControlLook.h"
#include "platform/controls/StaticView.h"
#include "platform/gdi/Gdi.h"

TStaticControl::TStaticControl(HWND Wnd) : TWrappedControl(Wnd) {}

QWidget* TStaticControl::CreateWidget(QWidget* Host, const CREATESTRUCT& Create) {
    FView = new TStaticView(Host);
    ApplyClassicLook(FView, static_cast<DWORD>(Create.style));
    Refresh();
    return FView;
}

void TStaticControl::Refresh() {
    if (!FView) return;
    QString Shown = Cp1252ToUnicode(WindowText());
    Shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FView->SetLook(TStaticLook{Shown, Style()});
}

void TStaticControl::ApplyColours() {
    if (!FView) return;
    const TControlColours C =
        AskControlColours(Handle(), WM_CTLCOLORSTATIC, COLOR_WINDOWTEXT, COLOR_BTNFACE);
    ApplyControlColours(FView, C, QPalette::Window, QPalette::WindowText);
}

LRESULT TStaticControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_SETTEXT: {
            const LRESULT Done = DefWindowProc(Handle(), Msg, WParam, LParam);
            Refresh();
            return Done;
        }
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            return DefWindowProc(Handle(), Msg, WParam, LParam);
        case WM_STYLECHANGED:
            Refresh();
            break;
        case WM_PAINT:
            ApplyColours();
            break;
        case WM_NCHITTEST:
            if (!(Style() & SS_NOTIFY)) return HTTRANSPARENT;
            break;
        case WM_GETDLGCODE:
            return DLGC_STATIC;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // Statics never take the focus; with SS_NOTIFY they tell the parent.
            if (Style() & SS_NOTIFY) Command(Msg == WM_LBUTTONDOWN ? STN_CLICKED : STN_DBLCLK);
            return 0;
        default:
            break;
    }
    const bool IsInput =
        (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST);
    if (IsInput) return DefWindowProc(Handle(), Msg, WParam, LParam);
    return TWrappedControl::WndProc(Msg, WParam, LParam);
}
