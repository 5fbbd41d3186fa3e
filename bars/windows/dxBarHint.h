#pragma once
// The hints of bar items: one small window for the whole program, and the timing that shows it.
//
// A hint waits 1000 ms before it first shows; while one shows, or within 400 ms after one hid
// because the pointer left the items, the next shows at once; a hint hides by itself after 10 s.
// UpdateHint is the one entry point through which bar windows and the manager start, switch and
// hide it: Show with an empty Text takes the selected control's hint.
#include <string>

#include "platform/widgets/Control.h"

class TdxBarManager;

class TdxBarHintWindow : public TCustomControl {
  public:
    explicit TdxBarHintWindow(TComponent* AOwner);
    // Shows Text with its top-left corner at Point (screen coordinates), kept on the work area
    // of the screen there: one that would leave the bottom shows 50 pixels above Point.
    virtual void ActivateHint(TPoint Point, const std::string& Text, TdxBarManager* Manager);

  protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;
};

void UpdateHint(TdxBarManager* Manager, bool Show, const std::string& Text = {});
// Shows the hint at once (the delay's end, or a switch while one shows).
void ShowHintNow(TdxBarManager* Manager);
// The explicit text of the hint asked for last (empty: the selected control's hint).
const std::string& HintText();

// The program's hint window: made with the first manager, freed with the last one.
TdxBarHintWindow* dxBarHintWindow();
void CreatedxBarHintWindow();
void FreedxBarHintWindow();
