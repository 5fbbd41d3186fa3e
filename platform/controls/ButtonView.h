#pragma once
// What a button looks like on screen: a Qt widget that paints the classic push button, check box,
// radio button or group box with the classic style. It is only a picture: the BUTTON control
// decides its state and handles all input (see ButtonWindow.h).
#include <QString>

#include "platform/controls/LookView.h"
#include "platform/core/Window.h"

enum class TButtonViewKind { Push, Check, Radio, Group };

struct TButtonLook {
    TButtonViewKind Kind = TButtonViewKind::Push;
    QString Caption;   // "&" marks the accelerator
    WPARAM Check = 0;  // BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE
    bool Pushed = false;
    bool Focused = false;
    bool Default = false;
    bool Flat = false;
    bool LeftText = false;
    bool Multiline = false;
    // Where the caption lies: the button's BS_LEFT / BS_RIGHT / BS_CENTER and BS_TOP /
    // BS_BOTTOM / BS_VCENTER bits (0: the kind's own place).
    DWORD Horizontal = 0;
    DWORD Vertical = 0;
    bool operator==(const TButtonLook&) const = default;
};

class TButtonView : public TLookView<TButtonLook> {
  public:
    using TLookView::TLookView;

  protected:
    void paintEvent(QPaintEvent* Event) override;

  private:
    void PaintPush(class QPainter& P);
    void PaintBox(QPainter& P);
    void PaintGroup(QPainter& P);
    // Draws the caption in Area; returns the rectangle it took.
    QRect PaintCaption(QPainter& P, const QRect& Area, int DefaultAlign, QPalette::ColorRole Role);
    void PaintFocus(QPainter& P, const QRect& Area);
};
