#pragma once
// Mouse input that a common control leaves to parts of its Qt widget (a header, the scroll
// bars): a press goes to the part under the mouse, and the moves and the release that follow go
// to that same part wherever the mouse goes, as Qt's own grab would do; the control holds our
// capture meanwhile so that it keeps getting them.
#include <QPointer>
#include <QWidget>

#include "platform/core/Window.h"

class TForwardedMouse {
  public:
    // Gives a mouse or wheel message of Wnd (client coordinates of Wnd, which Root covers) to the
    // part of Root it belongs to. True when the message went to a widget.
    bool Forward(HWND Wnd, QWidget* Root, UINT Msg, WPARAM WParam, LPARAM LParam);
    // A press went to a part and its button is still down.
    bool Active() const { return !FTarget.isNull(); }
    // The capture went elsewhere: the part gets nothing more.
    void Cancel() { FTarget = nullptr; }

  private:
    QPointer<QWidget> FTarget;
};
