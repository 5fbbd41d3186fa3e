// Qt widgets of wrapped controls: attached to their windows and fed with their input.
#include "platform/core/Wrapping.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include "platform/classes/CodePages.h"
#include "platform/core/Host.h"
#include "platform/core/Input.h"
#include "platform/core/InputImpl.h"
#include "platform/core/WindowImpl.h"
#include "platform/gdi/Gdi.h"

namespace {

Qt::KeyboardModifiers Modifiers() {
    Qt::KeyboardModifiers Mods;
    // The state of the message being forwarded, not of input arrived since.
    if (GetKeyState(VK_SHIFT) < 0) Mods |= Qt::ShiftModifier;
    if (GetKeyState(VK_CONTROL) < 0) Mods |= Qt::ControlModifier;
    if (GetKeyState(VK_MENU) < 0) Mods |= Qt::AltModifier;
    return Mods;
}

Qt::MouseButtons Buttons(WPARAM Keys) {
    Qt::MouseButtons Held;
    if (Keys & MK_LBUTTON) Held |= Qt::LeftButton;
    if (Keys & MK_RBUTTON) Held |= Qt::RightButton;
    if (Keys & MK_MBUTTON) Held |= Qt::MiddleButton;
    return Held;
}

bool ForwardMouse(QWidget* Widget, UINT Msg, WPARAM WParam, LPARAM LParam) {
    QEvent::Type Type;
    Qt::MouseButton Button = Qt::NoButton;
    switch (Msg) {
        case WM_MOUSEMOVE:
            Type = QEvent::MouseMove;
            break;
        case WM_LBUTTONDOWN:
            Type = QEvent::MouseButtonPress, Button = Qt::LeftButton;
            break;
        case WM_LBUTTONUP:
            Type = QEvent::MouseButtonRelease, Button = Qt::LeftButton;
            break;
        case WM_LBUTTONDBLCLK:
            Type = QEvent::MouseButtonDblClick, Button = Qt::LeftButton;
            break;
        case WM_RBUTTONDOWN:
            Type = QEvent::MouseButtonPress, Button = Qt::RightButton;
            break;
        case WM_RBUTTONUP:
            Type = QEvent::MouseButtonRelease, Button = Qt::RightButton;
            break;
        case WM_RBUTTONDBLCLK:
            Type = QEvent::MouseButtonDblClick, Button = Qt::RightButton;
            break;
        case WM_MBUTTONDOWN:
            Type = QEvent::MouseButtonPress, Button = Qt::MiddleButton;
            break;
        case WM_MBUTTONUP:
            Type = QEvent::MouseButtonRelease, Button = Qt::MiddleButton;
            break;
        case WM_MBUTTONDBLCLK:
            Type = QEvent::MouseButtonDblClick, Button = Qt::MiddleButton;
            break;
        default:
            return false;
    }
    const QPoint At(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
    // The widget's own children (a combo box's parts) get what lies on them.
    QWidget* Target = Widget->childAt(At);
    if (!Target) Target = Widget;
    const QPoint Local = Target->mapFrom(Widget, At);
    QMouseEvent Event(Type, QPointF(Local), QPointF(Local), QPointF(Widget->mapToGlobal(At)),
                      Button, Buttons(WParam), Modifiers());
    QCoreApplication::sendEvent(Target, &Event);
    return true;
}

}  // namespace

void AttachWidget(HWND Wnd, QWidget* Widget) {
    TWndPtr W = FindWnd(Wnd);
    if (!W) return;
    W->Widget = Widget;
    if (!Widget) return;
    QWidget* Host = HostWidgetFor(Wnd);
    if (Host && Widget->parentWidget() != Host) Widget->setParent(Host);
    InputImpl::PlaceWidget(*W);
}

QWidget* AttachedWidget(HWND Wnd) {
    TWndPtr W = FindWnd(Wnd);
    return W ? W->Widget : nullptr;
}

bool ForwardInputToWidget(QWidget* Widget, UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!Widget) return false;
    if (ForwardMouse(Widget, Msg, WParam, LParam)) return true;
    QWidget* Focus = Widget->focusWidget() ? Widget->focusWidget() : Widget;
    switch (Msg) {
        case WM_MOUSEWHEEL: {
            const QPoint Global(GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
            const QPoint Local = Widget->mapFromGlobal(Global);
            QWheelEvent Event(QPointF(Local), QPointF(Global), QPoint(),
                              QPoint(0, static_cast<SHORT>(HIWORD(WParam))),
                              Buttons(LOWORD(WParam)), Modifiers(), Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(Widget, &Event);
            return true;
        }
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP: {
            const bool Press = Msg == WM_KEYDOWN || Msg == WM_SYSKEYDOWN;
            const int Key =
                InputImpl::QtKeyOf(static_cast<WORD>(WParam), (LParam & KF_EXTENDED_BIT) != 0);
            QKeyEvent Event(Press ? QEvent::KeyPress : QEvent::KeyRelease, Key, Modifiers(),
                            QString(), Press && (LParam & KF_REPEAT_BIT));
            QCoreApplication::sendEvent(Focus, &Event);
            return true;
        }
        case WM_CHAR: {
            const std::string Byte(1, static_cast<char>(WParam & 0xFF));
            QKeyEvent Event(QEvent::KeyPress, Qt::Key_unknown, Modifiers(), Cp1252ToUnicode(Byte));
            QCoreApplication::sendEvent(Focus, &Event);
            return true;
        }
        default:
            return false;
    }
}
