#pragma once
// The Qt host of a top-level window: a frameless QWidget that shows the window's retained
// surface (paint events only copy it out) and carries the Qt widgets of wrapped controls as its
// children. Its kind follows the window's styles:
//   popup (WS_POPUP with WS_EX_TOOLWINDOW or WS_EX_TOPMOST, without a caption: menus, hints,
//     drop-down lists): Qt::ToolTip | FramelessWindowHint - exact placement, never activated;
//   tool (WS_EX_TOOLWINDOW with a caption: tool forms; an owned WS_POPUP with WS_EX_NOACTIVATE:
//     floating bars): Qt::Tool | FramelessWindowHint, kept above its owner by the window manager;
//   form (everything else): an ordinary frameless top-level window; caption, borders and sizing
//     are the window's own non-client area.
// Hosts are shown without activation; the layer activates a form's host itself when it
// activates the window. A form the window manager moves, sizes, maximizes or restores follows as
// if the user had done it through the window's own frame: the change goes through SetWindowPos
// with the window's size limits, so the window lays itself out, paints its new area and knows
// where it is. A form without a sizing border tells the window manager its one size. Input never
// reaches the widgets through Qt: it is taken at the host's QWindow (see InputTranslation.cpp). A
// host whose window is destroyed is hidden at once and deleted when no Qt event of it is being
// delivered.
#include <QWidget>
#include <vector>

#include "platform/classes/WinTypes.h"
#include "platform/gdi/GdiTypes.h"

class QPaintEvent;
struct TWnd;
namespace HostImpl {
void Sync(TWnd& W);
void Painted(TWnd& TopLevel);
}  // namespace HostImpl

class THost : public QWidget {
  public:
    explicit THost(HWND Wnd);
    ~THost() override;

    // 0 once the window is gone.
    HWND Window() const { return FWnd; }
    void Detach() { FWnd = 0; }
    // Ends the hold of a host shown before its first paint: Qt paints it whole.
    void Release();

  protected:
    bool event(QEvent* E) override;
    void paintEvent(QPaintEvent* E) override;

  private:
    friend void HostAsked(THost& Host);
    friend void HostImpl::Sync(TWnd& W);
    friend void HostImpl::Painted(TWnd& TopLevel);
    // The geometry changed: unless it is one we asked for, the window follows it.
    void GeometryChanged();
    // The window manager changed the window's state.
    void StateChanged();

    HWND FWnd;
    // Geometries we gave the platform window whose confirmation may still come back, oldest first
    // (the X server confirms each request on its own, after later ones may have been made).
    std::vector<QRect> FAsked;
    // Whether we last told the window manager the form is maximized.
    bool FMaximized = false;
    // Shown before the loop first painted the window: Qt paints nothing of it (nor the widgets on
    // it) until then, rather than the unpainted surface and then everything again.
    bool FHeld = false;
    bool FShownBefore = false;
};

// The host of a top-level window, or null (no GUI application, message-only window).
THost* HostOfWindow(HWND Wnd);
// The host whose Qt window this is, or null.
THost* HostOfQtWindow(const class QWindow* Window);
// The QWidget wrapped controls of the top-level window Wnd (or of Wnd's top-level window) are
// placed in; null without a GUI application.
QWidget* HostWidgetFor(HWND Wnd);

// The program's icon (0: none; the handle stays the caller's): drawn at the left of the caption
// of every window with a system menu that is neither a tool window nor a dialog, and given to the
// desktop for the windows' task-bar buttons and as the tray's last resort.
void SetApplicationIcon(HICON Icon);
HICON ApplicationIcon();
