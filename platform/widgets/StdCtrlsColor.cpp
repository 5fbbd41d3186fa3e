#include "platform/widgets/StdCtrlsColor.h"

bool IsCtlColorMessage(UINT Msg) {
    return Msg == CN_CTLCOLOREDIT || Msg == CN_CTLCOLORSTATIC || Msg == CN_CTLCOLORBTN ||
           Msg == CN_CTLCOLORLISTBOX;
}

LRESULT TCtlColorAnswer::Answer(const TMessage& Message, TFont& Font, TColor Color) {
    const HDC DC = HDC(Message.WParam);
    if (DC) {
        SetTextColor(DC, ColorToRGB(Font.Color()));
        SetBkColor(DC, ColorToRGB(Color));
    }
    FBrush.SetColor(Color);
    return LRESULT(FBrush.Handle());
}
