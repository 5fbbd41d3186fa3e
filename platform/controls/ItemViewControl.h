#pragma once
// What the list view and the tree view controls share. Each keeps its items in data of its own
// (TData: the style bits in Style, the focus in Focused) that its Qt widget (TWidget) only reads,
// and both answer the window messages about the style, the font, redrawing, the focus, dialog
// keys and the capture alike. Their input takes one way too: a key press goes to KeyDown, key
// releases and characters end here; a button press lands on the items (Press, then Release), or,
// outside them or while a part of the widget holds an earlier press, goes to the part of the
// widget under it (a header, a scroll bar), as do the moves and the release that follow it; the
// wheel scrolls WheelTarget; other mouse messages go to the widget.
//
// TWidget offers LookChanged (styles or font changed), Repaint (only the picture changed),
// SetRedraw and OnItems (whether a client point lies among the items).
#include <QPointer>

#include "platform/controls/CommonControls.h"
#include "platform/controls/CommonControlsInput.h"
#include "platform/controls/WrappedControl.h"
#include "platform/core/Input.h"
#include "platform/core/Wrapping.h"
#include "platform/gdi/GdiTypes.h"

template <class TData, class TWidget>
class TItemViewControl : public TWrappedControl {
  public:
    explicit TItemViewControl(HWND Wnd) : TWrappedControl(Wnd) {}
    // The widget reads the items; it goes first.
    ~TItemViewControl() override { DeleteWidget(); }

    // The shared window messages and the input; the rest goes to the wrapped controls'
    // procedure.
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

  protected:
    TWidget* View() const { return FView.data(); }

    // What the view does with the input that is its own.
    virtual void KeyDown(WPARAM Key, LPARAM KeyData) = 0;
    // A press (left or right button, single or double) on the items, with the focus here.
    virtual void Press(UINT Msg, WPARAM Keys, POINT At) = 0;
    // The release of a button (WM_LBUTTONUP, WM_RBUTTONUP) whose press was not the widget's.
    virtual void Release(UINT Msg, WPARAM Keys, LPARAM LParam) = 0;
    // The part of the widget the wheel scrolls (called while the widget exists).
    virtual QWidget* WheelTarget() const = 0;
    // A move while no part of the widget holds a press.
    virtual void Hover(POINT) {}

    // NM_RCLICK (with Note, or a plain NMHDR) for a right click released at LParam.
    void RightClicked(WPARAM Keys, LPARAM LParam, NMHDR* Note = nullptr);

    TData FData;
    QPointer<TWidget> FView;
    // The image lists by their ...SIL_ index.
    HIMAGELIST FLists[3] = {0, 0, 0};

  private:
    LRESULT Input(UINT Msg, WPARAM WParam, LPARAM LParam);
    // A button press: the view takes the focus first. True when the press is the items' to
    // handle; false when it went to a part of the widget or the window is gone.
    bool PressOnItems(UINT Msg, WPARAM WParam, LPARAM LParam);
    // A release while a part of the widget holds the press goes to that part: true then.
    bool ReleaseForwarded(UINT Msg, WPARAM WParam, LPARAM LParam);
    // A move goes to the widget, which shows hover effects and follows drags of its parts.
    void ForwardMove(WPARAM WParam, LPARAM LParam);

    TForwardedMouse FMouse;
};

template <class TData, class TWidget>
LRESULT TItemViewControl<TData, TWidget>::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_STYLECHANGED:
            if (static_cast<int>(static_cast<LONG_PTR>(WParam)) == GWL_STYLE && LParam) {
                FData.Style = reinterpret_cast<const STYLESTRUCT*>(LParam)->styleNew;
                if (View()) View()->LookChanged();
            }
            return 0;
        case WM_SETFONT: {
            const LRESULT Result = TWrappedControl::WndProc(Msg, WParam, LParam);
            if (View()) View()->LookChanged();
            return Result;
        }
        case WM_SETREDRAW:
            if (View()) View()->SetRedraw(WParam != 0);
            return DefWindowProc(Handle(), Msg, WParam, LParam);
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            FData.Focused = Msg == WM_SETFOCUS;
            if (View()) View()->Repaint();
            Notify(Msg == WM_SETFOCUS ? NM_SETFOCUS : NM_KILLFOCUS);
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_CAPTURECHANGED:
            if (static_cast<HWND>(LParam) != Handle()) FMouse.Cancel();
            return 0;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
            return Input(Msg, WParam, LParam);
        default:
            if (Msg >= WM_MOUSEFIRST && Msg <= WM_MOUSELAST) return Input(Msg, WParam, LParam);
            return TWrappedControl::WndProc(Msg, WParam, LParam);
    }
}

template <class TData, class TWidget>
LRESULT TItemViewControl<TData, TWidget>::Input(UINT Msg, WPARAM WParam, LPARAM LParam) {
    switch (Msg) {
        case WM_KEYDOWN:
            KeyDown(WParam, LParam);
            return 0;
        case WM_KEYUP:
            // The menu key opens the context menu when it is let go.
            return DefWindowProc(Handle(), Msg, WParam, LParam);
        case WM_CHAR:
            return 0;
        case WM_MOUSEWHEEL:
            if (View()) ForwardInputToWidget(WheelTarget(), Msg, WParam, LParam);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            if (PressOnItems(Msg, WParam, LParam)) Press(Msg, WParam, MessagePoint(LParam));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (!ReleaseForwarded(Msg, WParam, LParam)) Release(Msg, WParam, LParam);
            return 0;
        case WM_MOUSEMOVE:
            if (!FMouse.Active()) Hover(MessagePoint(LParam));
            ForwardMove(WParam, LParam);
            return 0;
        default:
            if (View()) FMouse.Forward(Handle(), View(), Msg, WParam, LParam);
            return 0;
    }
}

template <class TData, class TWidget>
bool TItemViewControl<TData, TWidget>::PressOnItems(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (GetFocus() != Handle()) SetFocus(Handle());
    if (!IsWindow(Handle())) return false;
    if (View() && (FMouse.Active() || !View()->OnItems(MessagePoint(LParam)))) {
        FMouse.Forward(Handle(), View(), Msg, WParam, LParam);
        return false;
    }
    return true;
}

template <class TData, class TWidget>
bool TItemViewControl<TData, TWidget>::ReleaseForwarded(UINT Msg, WPARAM WParam, LPARAM LParam) {
    if (!FMouse.Active()) return false;
    FMouse.Forward(Handle(), View(), Msg, WParam, LParam);
    return true;
}

template <class TData, class TWidget>
void TItemViewControl<TData, TWidget>::ForwardMove(WPARAM WParam, LPARAM LParam) {
    // Moves with a button held belong to a press the widget never saw.
    if (View() && (FMouse.Active() || !(WParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))))
        FMouse.Forward(Handle(), View(), WM_MOUSEMOVE, WParam, LParam);
}

template <class TData, class TWidget>
void TItemViewControl<TData, TWidget>::RightClicked(WPARAM Keys, LPARAM LParam, NMHDR* Note) {
    // A parent that answers NM_RCLICK has shown its menu itself.
    if (Notify(NM_RCLICK, Note) == 0 && IsWindow(Handle()))
        DefWindowProc(Handle(), WM_RBUTTONUP, Keys, LParam);
}
