#pragma once
// The colours a standard control paints with. The control's window asks its parent with
// WM_CTLCOLOR...; the parent hands the question back to the control (CN_CTLCOLOR...), which
// answers with its font's colour on its own colour. The brush of the answer must outlive the
// question, so each control keeps one.
#include "platform/gdi/Graphics.h"
#include "platform/widgets/ControlMessages.h"

bool IsCtlColorMessage(UINT Msg);

class TCtlColorAnswer {
  public:
    // Prepares the context the message carries and returns the brush.
    LRESULT Answer(const TMessage& Message, TFont& Font, TColor Color);

  private:
    TBrush FBrush;
};
