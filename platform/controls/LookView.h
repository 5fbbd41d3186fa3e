#pragma once
// The Qt widget of a control that is only a picture (a button, a static): the control decides
// the look (TLook, compared with ==) and handles all input; the widget paints the look and
// repaints when it changes.
#include <QWidget>

template <class TLook>
class TLookView : public QWidget {
  public:
    explicit TLookView(QWidget* Parent) : QWidget(Parent) {
        // Input comes through the control only.
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    // Repaints when the look changed.
    void SetLook(const TLook& Look) {
        if (Look == FLook) return;
        FLook = Look;
        update();
    }
    const TLook& Look() const { return FLook; }

  protected:
    TLook FLook;
};
