#include "platform/controls/WrappedControl.h"

#include <QWidget>

#include "platform/controls/ItemTexts.h"
#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/Paint.h"
#include "platform/core/Wrapping.h"
#include "platform/gdi/Gdi.h"

namespace {

std::unordered_map<HWND, TWrappedControl*>& Controls() {
    static auto* Map = new std::unordered_map<HWND, TWrappedControl*>;
    return *Map;
}

bool IsPress(UINT Msg) {
    return Msg == WM_LBUTTONDOWN || Msg == WM_RBUTTONDOWN || Msg == WM_MBUTTONDOWN ||
           Msg == WM_LBUTTONDBLCLK;
}

bool IsInput(UINT Msg) {
    return (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) || Msg == WM_KEYDOWN || Msg == WM_KEYUP ||
           Msg == WM_SYSKEYDOWN || Msg == WM_SYSKEYUP || Msg == WM_CHAR;
}

// Keys the default handling turns into commands of the window (the context menu from Shift+F10
// and the menu key, Alt+F4): a widget that took them does not keep them from it.
bool DefaultSeesToo(UINT Msg, WPARAM WParam) {
    return Msg == WM_RBUTTONUP || Msg == WM_SYSKEYDOWN || (Msg == WM_KEYUP && WParam == VK_APPS);
}

}  // namespace

TWrappedControl::~TWrappedControl() {
    DeleteWidget();
}

void TWrappedControl::DeleteWidget() {
    if (FWidget && AttachedWidget(FHandle) == FWidget) AttachWidget(FHandle, nullptr);
    delete FWidget.data();
    FWidget = nullptr;
}

TWrappedControl* TWrappedControl::Of(HWND Wnd) {
    auto It = Controls().find(Wnd);
    return It == Controls().end() ? nullptr : It->second;
}

LRESULT TWrappedControl::ClassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam,
                                   TWrappedControl* (*Make)(HWND)) {
    auto& Map = Controls();
    if (Msg == WM_NCCREATE && !Map.count(Wnd)) Map[Wnd] = Make(Wnd);
    auto It = Map.find(Wnd);
    if (It == Map.end()) return DefWindowProc(Wnd, Msg, WParam, LParam);
    TWrappedControl* Control = It->second;
    // The object stays while any of its calls runs, also when its window goes meanwhile.
    struct TCall {
        TWrappedControl* Control;
        UINT Msg;
        ~TCall() {
            --Control->FDepth;
            if (Msg == WM_NCDESTROY && !Control->FDead) {
                Control->Destroyed();
                Controls().erase(Control->FHandle);
            }
            if (Control->FDead && Control->FDepth == 0) delete Control;
        }
    };
    ++Control->FDepth;
    TCall Call{Control, Msg};
    return Control->WndProc(Msg, WParam, LParam);
}

void TWrappedControl::Destroyed() {
    FDead = true;
    if (FWidget) {
        FWidget->hide();
        AttachWidget(FHandle, nullptr);
    }
}

void TWrappedControl::TakePress(UINT Msg, LPARAM LParam) {
    if ((Msg != WM_LBUTTONDOWN && Msg != WM_LBUTTONDBLCLK) || !CapturesMouse() || !FWidget) return;
    // The part under the press, as the forwarded press finds it.
    QWidget* Part = FWidget->childAt(QPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)));
    SetCapture(FHandle);
    FPressed = Part ? Part : FWidget.data();
}

bool TWrappedControl::ForwardDrag(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!FPressed || !FWidget || (Msg != WM_MOUSEMOVE && Msg != WM_LBUTTONUP)) return false;
    const QPoint At =
        FPressed->mapFrom(FWidget, QPoint(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)));
    QPointer<QWidget> Part = FPressed;
    if (Msg == WM_LBUTTONUP) {
        FPressed = nullptr;
        if (GetCapture() == FHandle) ReleaseCapture();
    }
    if (Part)
        ForwardInputToWidget(Part, Msg, WParam,
                             MAKELPARAM(static_cast<WORD>(At.x()), static_cast<WORD>(At.y())));
    return true;
}

DWORD TWrappedControl::Style() const {
    return static_cast<DWORD>(GetWindowLongPtr(FHandle, GWL_STYLE));
}

// A control whose widget shows no text keeps it as any window does (asking the window for it
// here would come back to this control).
std::string TWrappedControl::Text() const {
    const auto Length = static_cast<size_t>(DefWindowProc(FHandle, WM_GETTEXTLENGTH, 0, 0));
    std::string Result(Length + 1, '\0');
    DefWindowProc(FHandle, WM_GETTEXT, static_cast<WPARAM>(Result.size()),
                  reinterpret_cast<LPARAM>(Result.data()));
    Result.resize(Length);
    return Result;
}

void TWrappedControl::SetText(const std::string& Text) {
    DefWindowProc(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str()));
}

std::string TWrappedControl::WindowText() const {
    std::string Text(static_cast<size_t>(DefWindowProc(FHandle, WM_GETTEXTLENGTH, 0, 0)), '\0');
    DefWindowProc(FHandle, WM_GETTEXT, Text.size() + 1, reinterpret_cast<LPARAM>(Text.data()));
    return Text;
}

void TWrappedControl::Command(WORD Code) {
    const HWND Parent = GetParent(FHandle);
    if (!Parent) return;
    SendMessage(Parent, WM_COMMAND,
                MAKEWPARAM(static_cast<WORD>(GetWindowLongPtr(FHandle, GWLP_ID)), Code),
                static_cast<LPARAM>(FHandle));
}

LRESULT TWrappedControl::Notify(UINT Code, NMHDR* Record) {
    const HWND Parent = GetParent(FHandle);
    if (!Parent) return 0;
    NMHDR Own;
    NMHDR* Header = Record ? Record : &Own;
    Header->hwndFrom = FHandle;
    Header->idFrom = static_cast<UINT_PTR>(GetWindowLongPtr(FHandle, GWLP_ID));
    Header->code = Code;
    return SendMessage(Parent, WM_NOTIFY, Header->idFrom, reinterpret_cast<LPARAM>(Header));
}

LRESULT TWrappedControl::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_NCCREATE:
            FCreating = true;
            break;
        case WM_CREATE: {
            const auto* Create = reinterpret_cast<const CREATESTRUCT*>(LParam);
            if (QWidget* Host = HostWidgetFor(FHandle); Host && Create) {
                FWidget = CreateWidget(Host, *Create);
                if (FWidget) {
                    AttachWidget(FHandle, FWidget);
                    if (Create->lpszName) SetText(Create->lpszName);
                }
            }
            FCreating = false;
            return 0;
        }
        case WM_NCCALCSIZE:
            return 0;  // the widget draws its own frame
        case WM_SETTEXT:
            if (!FWidget) break;
            SetText(LParam ? reinterpret_cast<const char*>(LParam) : "");
            return TRUE;
        case WM_GETTEXT: {
            if (!FWidget) break;
            return ItemTextTo(Text(), reinterpret_cast<char*>(LParam),
                              static_cast<std::int64_t>(WParam));
        }
        case WM_GETTEXTLENGTH:
            if (!FWidget) break;
            return static_cast<LRESULT>(Text().size());
        case WM_SETFONT:
            FFont = static_cast<HFONT>(WParam);
            if (FWidget) FWidget->setFont(QtFontOf(FFont));
            return 0;
        case WM_GETFONT:
            return static_cast<LRESULT>(FFont);
        case WM_ENABLE:
            if (FWidget) FWidget->setEnabled(WParam != 0);
            return 0;
        case WM_PAINT:
            ValidateRect(FHandle, nullptr);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCPAINT:
            return 0;
        case WM_CAPTURECHANGED:
            FPressed = nullptr;
            break;
        default:
            if (!IsInput(Msg)) break;
            // Controls take the focus when clicked.
            if (IsPress(Msg) && GetFocus() != FHandle) SetFocus(FHandle);
            if (ForwardDrag(Msg, WParam, LParam)) return 0;
            TakePress(Msg, LParam);
            if (FWidget && ForwardInputToWidget(FWidget, Msg, WParam, LParam) &&
                !DefaultSeesToo(Msg, WParam))
                return 0;
            break;
    }
    return DefWindowProc(FHandle, Msg, WParam, LParam);
}
