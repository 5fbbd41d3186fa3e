#pragma once
// What the common control classes (list views, tree views, tab and page controls) share: the
// sort types and the image lists they show.
//
// A common control keeps what it shows (items, nodes, tabs) in objects of its own and gives them
// to its window, which is made on demand and may be made again (a changed parent, RecreateWnd):
// a new window gets everything from the objects. What the user changes in the window (selection,
// focus, the chosen tab) comes back to the objects through the window's notifications as it
// happens, so the objects always answer what the window shows; what a window changes without a
// word (a tree's expansion, a column's width the user drags) is asked of the window while there
// is one, and kept in the objects when it goes.
#include <functional>

#include "platform/forms/Component.h"
#include "platform/gdi/Graphics.h"

// When a list or tree keeps itself sorted: never, when item data change, when texts change, or
// both. The order is the one OnCompare gives, or by text without a handler.
enum TSortType { stNone, stData, stText, stBoth };

// An image list a control shows, or none. The control hears when the list changes (its pictures,
// its size, a new handle) and when the list goes: a list that is also a component is forgotten
// when it is freed (the control passes its Notification on); any list is forgotten when it is
// destroyed (the change link loses it).
class TControlImages {
  public:
    // Changed runs whenever the list (or its handle) a window must be given is another.
    TControlImages(TComponent* Control, std::function<void()> Changed);
    ~TControlImages();
    TControlImages(const TControlImages&) = delete;
    TControlImages& operator=(const TControlImages&) = delete;

    TCustomImageList* List() const { return FLink.Sender(); }
    void Set(TCustomImageList* Value);
    // The handle a window is given; 0 without a list.
    HIMAGELIST Handle() const;
    // From the control's Notification: a component that goes may be the list.
    void Notification(TComponent* AComponent, TOperation Operation);

  private:
    TComponent* FControl;
    TChangeLink FLink;
    std::function<void()> FChanged;
};
