#pragma once
// What a static looks like on screen: a Qt widget that paints the text or the etched lines of a
// STATIC window with the classic style. It is only a picture: the control decides what it shows
// (see StaticControl.h).
#include <QString>

#include "platform/controls/LookView.h"
#include "platform/core/Window.h"

struct TStaticLook {
    QString Text;     // lines broken by '\n'
    DWORD Style = 0;  // the window's SS_ bits
    bool operator==(const TStaticLook&) const = default;
};

class TStaticView : public TLookView<TStaticLook> {
  public:
    using TLookView::TLookView;

  protected:
    void paintEvent(QPaintEvent* Event) override;
};
