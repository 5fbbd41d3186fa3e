#pragma once
// Standard controls as windows of ours around Qt widgets: the mechanism every control class
// (EDIT here; buttons, list boxes, combo boxes... later) is built on.
//
// How a control class is made:
//   1. Derive from TWrappedControl. Its constructor gets the window handle; nothing Qt happens
//      there. Override CreateWidget to make the Qt widget (parented to the host widget given) and
//      connect the widget's signals to Command / Notify.
//   2. Register the window class once with RegisterWrappedClass<TMyControl>("NAME", style):
//      every window of the class gets one control object, made at WM_NCCREATE and freed after
//      WM_NCDESTROY (later, when one of its handlers is still on the stack).
//   3. Override WndProc for the messages of the class (EM_..., LB_...) and pass everything else
//      to TWrappedControl::WndProc, the default procedure of wrapped controls.
//
// What the default procedure does:
//   - WM_CREATE: makes the widget (CreateWidget) on the host of the window's top-level window and
//     attaches it to the window: it lies at the window's rectangle, shows and hides with it, moves
//     with it to another host, and takes Qt's focus when the window gets ours. Without a Qt GUI
//     application there is no widget and the control keeps its text like any window.
//   - WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH: the text is the widget's (SetText, Text;
//     Windows-1252 bytes).
//   - WM_SETFONT / WM_GETFONT: the widget takes the font's Qt font; the handle is kept.
//   - WM_ENABLE: the widget is enabled or greyed (controls grey, forms do not).
//   - WM_NCCALCSIZE: the widget draws its own frame, so the client area is the whole window.
//   - WM_PAINT / WM_ERASEBKGND: the surface under the widget is not painted.
//   - Mouse, wheel, key and character messages: forwarded to the widget as Qt events (see
//     ForwardInputToWidget). This is the only way input reaches the widget: hooks and
//     subclassing see every message first and can eat it. A press also gives the control the
//     focus, as controls take it when clicked. A control that follows a drag (CapturesMouse)
//     takes the capture with a left press; the moves and the release then go to the part of the
//     widget that was pressed (a text area, a scroll bar), wherever the cursor is.
//   - WM_NCDESTROY: the widget is hidden and detached, and deleted with the control object.
//   - everything else: DefWindowProc.
// Notifications go to the parent: Command(code) sends WM_COMMAND with MAKEWPARAM(id, code) and
// the control's handle; Notify(code) sends WM_NOTIFY with an NMHDR (or a record that starts with
// one). Changes made through messages notify as user changes do, except while the window is
// being created.
#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <unordered_map>

#include "platform/core/Window.h"

class TWrappedControl {
  public:
    explicit TWrappedControl(HWND Wnd) : FHandle(Wnd) {}
    virtual ~TWrappedControl();
    TWrappedControl(const TWrappedControl&) = delete;
    TWrappedControl& operator=(const TWrappedControl&) = delete;

    HWND Handle() const { return FHandle; }
    // Null without a Qt GUI application (and after WM_NCDESTROY).
    QWidget* Widget() const { return FWidget; }

    // The control's procedure; what it leaves goes to this one.
    virtual LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam);

    // The control of a window of a wrapped class, or null.
    static TWrappedControl* Of(HWND Wnd);

  protected:
    // Makes the widget (a child of Host) once, at WM_CREATE.
    virtual QWidget* CreateWidget(QWidget* Host, const CREATESTRUCT& Create) = 0;
    // The widget's text as Windows-1252 bytes, and setting it; the base keeps the window's own
    // text, for controls whose widget shows none (list and tree views).
    virtual std::string Text() const;
    virtual void SetText(const std::string& Text);
    // The text the window itself keeps (DefWindowProc's), not what a subclass answers to
    // WM_GETTEXT: the text of controls that leave it in the window (buttons, statics).
    std::string WindowText() const;

    // WM_COMMAND to the parent with the control's id and Code.
    void Command(WORD Code);
    // WM_NOTIFY to the parent; Record (may be null) starts with an NMHDR, filled in here.
    LRESULT Notify(UINT Code, NMHDR* Record = nullptr);
    // True while WM_NCCREATE / WM_CREATE run: no notifications then.
    bool Creating() const { return FCreating; }
    // The window's style bits as they are now.
    DWORD Style() const;
    // Deletes the widget now (a control whose widget uses objects of its own calls it in its
    // destructor, before they go).
    void DeleteWidget();
    // True for controls that follow a drag of the left button.
    virtual bool CapturesMouse() const { return false; }

  private:
    template <class T>
    friend ATOM RegisterWrappedClass(const char* Name, UINT ClassStyle);
    static LRESULT ClassProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam,
                             TWrappedControl* (*Make)(HWND));
    void Destroyed();
    // Forwards a mouse message to the pressed part while the left button drags; false when
    // nothing is pressed.
    bool ForwardDrag(UINT Msg, WPARAM WParam, LPARAM LParam);
    void TakePress(UINT Msg, LPARAM LParam);

    HWND FHandle;
    // Goes with its host when the application object goes first.
    QPointer<QWidget> FWidget;
    // The part of the widget a left press landed on, while the drag lasts.
    QPointer<QWidget> FPressed;
    HFONT FFont = 0;
    bool FCreating = true;
    bool FDead = false;
    // Calls of WndProc on the stack: the object goes only when none is.
    int FDepth = 0;
};

// Registers a window class whose windows are controls of type T (constructed from the HWND).
// 0 when the name is taken.
template <class T>
ATOM RegisterWrappedClass(const char* Name, UINT ClassStyle) {
    struct TProc {
        static TWrappedControl* Make(HWND Wnd) { return new T(Wnd); }
        static LRESULT Proc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
            return TWrappedControl::ClassProc(Wnd, Msg, WParam, LParam, &Make);
        }
    };
    WNDCLASS Class;
    Class.style = ClassStyle;
    Class.lpfnWndProc = &TProc::Proc;
    Class.lpszClassName = Name;
    return RegisterClass(&Class);
}
