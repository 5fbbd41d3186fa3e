#include "platform/controls/ButtonView.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include "platform/controls/Button.h"

namespace {

// Room between a bevel and its caption, and between a check box and its caption.
constexpr int kBevelMargin = 4;
constexpr int kBoxGap = 4;
// Where a group box's caption starts.
constexpr int kGroupIndent = 8;

int AlignmentOf(const TButtonLook& L, int Default) {
    int Horizontal = Default & Qt::AlignHorizontal_Mask;
    switch (L.Horizontal) {
        case BS_LEFT:
            Horizontal = Qt::AlignLeft;
            break;
        case BS_RIGHT:
            Horizontal = Qt::AlignRight;
            break;
        case BS_CENTER:
            Horizontal = Qt::AlignHCenter;
            break;
        default:
            break;
    }
    int Vertical = Default & Qt::AlignVertical_Mask;
    switch (L.Vertical) {
        case BS_TOP:
            Vertical = Qt::AlignTop;
            break;
        case BS_BOTTOM:
            Vertical = Qt::AlignBottom;
            break;
        case BS_VCENTER:
            Vertical = Qt::AlignVCenter;
            break;
        default:
            break;
    }
    return Horizontal | Vertical;
}

}  // namespace

void TButtonView::paintEvent(QPaintEvent*) {
    QPainter P(this);
    const bool PushLike = FLook.Kind == TButtonViewKind::Push;
    if (PushLike)
        PaintPush(P);
    else if (FLook.Kind == TButtonViewKind::Group)
        PaintGroup(P);
    else
        PaintBox(P);
}

QRect TButtonView::PaintCaption(QPainter& P, const QRect& Area, int DefaultAlign,
                                QPalette::ColorRole Role) {
    if (FLook.Caption.isEmpty()) return QRect();
    const int Flags = AlignmentOf(FLook, DefaultAlign) | Qt::TextShowMnemonic |
                      (FLook.Multiline ? Qt::TextWordWrap : Qt::TextSingleLine);
    const QRect Taken =
        style()->itemTextRect(fontMetrics(), Area, Flags, isEnabled(), FLook.Caption);
    P.setFont(font());
    style()->drawItemText(&P, Area, Flags, palette(), isEnabled(), FLook.Caption, Role);
    return Taken & Area;
}

void TButtonView::PaintFocus(QPainter& P, const QRect& Area) {
    if (!FLook.Focused || Area.isEmpty()) return;
    QStyleOptionFocusRect Focus;
    Focus.initFrom(this);
    Focus.rect = Area;
    Focus.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, &P, this);
}

void TButtonView::PaintPush(QPainter& P) {
    QStyleOptionButton Option;
    Option.initFrom(this);
    // A check box or radio button that looks like a push button stays in while checked.
    const bool In = FLook.Pushed || FLook.Check != BST_UNCHECKED;
    if (FLook.Pushed)
        Option.state |= QStyle::State_Sunken;
    else if (FLook.Check != BST_UNCHECKED)
        Option.state |= QStyle::State_On;
    else
        Option.state |= QStyle::State_Raised;
    // The default button's black frame goes around a bevel one pixel smaller.
    if (FLook.Default)
        Option.features |=
            QStyleOptionButton::DefaultButton | QStyleOptionButton::AutoDefaultButton;
    if (FLook.Flat) Option.features |= QStyleOptionButton::Flat;
    style()->drawControl(QStyle::CE_PushButtonBevel, &Option, &P, this);
    QRect Area = rect().adjusted(kBevelMargin, kBevelMargin, -kBevelMargin, -kBevelMargin);
    if (In) Area.translate(1, 1);
    PaintCaption(P, Area, Qt::AlignCenter, QPalette::ButtonText);
    PaintFocus(P, rect().adjusted(kBevelMargin, kBevelMargin, -kBevelMargin, -kBevelMargin));
}

void TButtonView::PaintBox(QPainter& P) {
    P.fillRect(rect(), palette().color(QPalette::Window));
    const int Box = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    const int Top = (FLook.Vertical == BS_TOP)      ? 0
                    : (FLook.Vertical == BS_BOTTOM) ? height() - Box
                                                    : (height() - Box) / 2;
    const int Left = FLook.LeftText ? width() - Box : 0;
    QStyleOptionButton Option;
    Option.initFrom(this);
    Option.rect = QRect(Left, Top, Box, Box);
    Option.state |= FLook.Check == BST_CHECKED         ? QStyle::State_On
                    : FLook.Check == BST_INDETERMINATE ? QStyle::State_NoChange
                                                       : QStyle::State_Off;
    if (FLook.Pushed) Option.state |= QStyle::State_Sunken;
    style()->drawPrimitive(FLook.Kind == TButtonViewKind::Radio ? QStyle::PE_IndicatorRadioButton
                                                                : QStyle::PE_IndicatorCheckBox,
                           &Option, &P, this);
    const QRect Area = FLook.LeftText ? rect().adjusted(0, 0, -(Box + kBoxGap), 0)
                                      : rect().adjusted(Box + kBoxGap, 0, 0, 0);
    const QRect Taken =
        PaintCaption(P, Area, Qt::AlignLeft | Qt::AlignVCenter, QPalette::WindowText);
    // The focus goes around the caption.
    PaintFocus(P, Taken.adjusted(-1, 0, 1, 0) & rect());
}

void TButtonView::PaintGroup(QPainter& P) {
    const int TextHeight = fontMetrics().height();
    QStyleOptionFrame Frame;
    Frame.initFrom(this);
    Frame.rect = rect().adjusted(0, TextHeight / 2, 0, 0);
    Frame.lineWidth = 1;
    Frame.midLineWidth = 0;
    Frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_FrameGroupBox, &Frame, &P, this);
    if (FLook.Caption.isEmpty()) return;
    // The caption interrupts the frame: its background is the control's.
    const QRect Area(kGroupIndent, 0, std::max(0, width() - 2 * kGroupIndent), TextHeight);
    const int Flags = AlignmentOf(FLook, Qt::AlignLeft | Qt::AlignTop) | Qt::TextShowMnemonic |
                      Qt::TextSingleLine;
    const QRect Taken =
        style()->itemTextRect(fontMetrics(), Area, Flags, isEnabled(), FLook.Caption);
    P.fillRect((Taken & Area).adjusted(-2, 0, 2, 0), palette().color(QPalette::Window));
    PaintCaption(P, Area, Qt::AlignLeft | Qt::AlignTop, QPalette::WindowText);
}
