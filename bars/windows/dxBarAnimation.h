#pragma once
// The opening animation of submenu windows: the menu unfolds (growing along both sides) or slides
// (growing in height at its full width) from the corner next to its opener. The steps run from a
// timer on the user-interface thread, one at a time for the whole program; each step moves and
// sizes the window and shows the part of the fully painted menu that the rules below name.
//
// Which part shows: growing from the bottom edge (the menu opened upwards), the window shows the
// image's top rows, rising from its fixed bottom; growing downwards from a fixed top, the image's
// bottom rows, sliding down from it. Across, the image's left columns show when the menu grows
// from the bottom or when its top and left edges are fixed; growing from the right with a fixed
// top, its right columns, moving with the left edge.
#include "bars/model/dxBarTypes.h"
#include "platform/gdi/Graphics.h"

class TdxBarSubMenuControl;

// The plan of one animation for a client area of Width x Height.
struct TdxBarAnimationPlan {
    TdxBarMenuAnimations Kind = maUnfold;  // maUnfold or maSlide
    bool GrowFromRight = false;
    bool GrowFromBottom = false;
    int Width = 0;
    int Height = 0;
    // Unfolding: client height less width; sliding: 0.
    int HeadStart = 0;
    int Distance = 0;
    int Step = 0;
    int StepCount() const { return Step > 0 ? Distance / Step : 0; }
};
TdxBarAnimationPlan PlanAnimation(TdxBarMenuAnimations Kind, int Width, int Height,
                                  bool GrowFromRight, bool GrowFromBottom);

// Step I (from 1): the client area shown, relative to the final client area's top-left corner,
// and the top-left corner of the image part it shows.
struct TdxBarAnimationFrame {
    TRect Client;
    TPoint Source;
};
TdxBarAnimationFrame AnimationFrame(const TdxBarAnimationPlan& Plan, int I);

// maRandom becomes unfold or slide with equal chance; the other kinds stay.
TdxBarMenuAnimations ResolveAnimation(TdxBarMenuAnimations Kind);

// Starts the animation of a menu placed at its final bounds (and painted into Image, which the
// animation takes over): the window shrinks to the first step and shows.
void StartSubMenuAnimation(TdxBarSubMenuControl* Menu, const TdxBarAnimationPlan& Plan,
                           HBITMAP Image);
// Stops the running animation at once: unless the menu is hiding, it takes its final bounds and
// paints in full.
void StopSubMenuAnimation();
// The menu animating now, or none.
TdxBarSubMenuControl* AnimatedSubMenu();
// While Menu animates, paints the part shown now into its client context; false otherwise.
bool PaintAnimationFrame(const TdxBarSubMenuControl* Menu, HDC DC);
