#include "platform/controls/StaticView.h"

#include <QPainter>
#include <QStyle>

#include "platform/controls/Static.h"

namespace {

int TextFlags(DWORD Style) {
    int Flags = (Style & SS_NOPREFIX) ? 0 : int(Qt::TextShowMnemonic);
    switch (Style & SS_TYPEMASK) {
        case SS_CENTER:
            Flags |= Qt::AlignHCenter | Qt::TextWordWrap;
            break;
        case SS_RIGHT:
            Flags |= Qt::AlignRight | Qt::TextWordWrap;
            break;
        case SS_SIMPLE:
            Flags |= Qt::AlignLeft | Qt::TextSingleLine;
            break;
        case SS_LEFTNOWORDWRAP:
            Flags |= Qt::AlignLeft;
            break;
        default:
            Flags |= Qt::AlignLeft | Qt::TextWordWrap;
            break;
    }
    if (Style & SS_CENTERIMAGE)
        return (Flags & ~Qt::TextWordWrap) | Qt::TextSingleLine | Qt::AlignVCenter;
    return Flags | Qt::AlignTop;
}

bool Etched(DWORD Style) {
    const DWORD Type = Style & SS_TYPEMASK;
    return Type == SS_ETCHEDHORZ || Type == SS_ETCHEDVERT || Type == SS_ETCHEDFRAME;
}

}  // namespace

void TStaticView::paintEvent(QPaintEvent*) {
    QPainter P(this);
    const QColor Shadow = palette().color(QPalette::Dark);
    const QColor Light = palette().color(QPalette::Light);
    QRect Area = rect();
    if (Etched(FLook.Style)) {
        // An etched edge: a shadow line with a highlight line inside it (below, right of it).
        const DWORD Type = FLook.Style & SS_TYPEMASK;
        const int R = width() - 1;
        const int B = height() - 1;
        if (Type != SS_ETCHEDVERT) {
            P.fillRect(0, 0, width(), 1, Shadow);
            P.fillRect(0, 1, width(), 1, Light);
            P.fillRect(0, B - 1, width(), 1, Shadow);
            P.fillRect(0, B, width(), 1, Light);
        }
        if (Type != SS_ETCHEDHORZ) {
            P.fillRect(0, 0, 1, height(), Shadow);
            P.fillRect(1, 0, 1, height(), Light);
            P.fillRect(R - 1, 0, 1, height(), Shadow);
            P.fillRect(R, 0, 1, height(), Light);
        }
        return;
    }
    P.fillRect(Area, palette().color(QPalette::Window));
    if (FLook.Style & SS_SUNKEN) {
        // A thin sunken border: shadow top and left, highlight bottom and right.
        P.fillRect(0, 0, width(), 1, Shadow);
        P.fillRect(0, 0, 1, height(), Shadow);
        P.fillRect(0, height() - 1, width(), 1, Light);
        P.fillRect(width() - 1, 0, 1, height(), Light);
        Area.adjust(1, 1, -1, -1);
    }
    if (FLook.Text.isEmpty()) return;
    P.setFont(font());
    style()->drawItemText(&P, Area, TextFlags(FLook.Style), palette(), isEnabled(), FLook.Text,
                          QPalette::WindowText);
}
