#pragma once
// The canvas of a control whose parts the program draws (owner-drawn list items, status-bar
// panels). While the control paints a part, the canvas draws on the context the window lends it;
// otherwise it takes a measuring context with the control's font, since a program measures texts
// on it before anything paints (to choose an item height).
#include "platform/widgets/Control.h"

class TItemCanvas : public TCanvas {
  public:
    explicit TItemCanvas(TControl* Control) : FControl(Control) {}
    ~TItemCanvas() override;
    TItemCanvas(const TItemCanvas&) = delete;
    TItemCanvas& operator=(const TItemCanvas&) = delete;

    // Draws on DC, with the control's font and the brush in Color, until the scope ends.
    class TLent {
      public:
        TLent(TItemCanvas& Canvas, HDC DC, TColor Color);
        ~TLent() { FCanvas.SetHandle(0); }
        TLent(const TLent&) = delete;
        TLent& operator=(const TLent&) = delete;

      private:
        TItemCanvas& FCanvas;
    };

  protected:
    void CreateHandle() override;

  private:
    TControl* FControl;
    HDC FMeasureDC = 0;
};
