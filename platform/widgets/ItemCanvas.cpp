#include "platform/widgets/ItemCanvas.h"

#include "platform/gdi/Gdi.h"

TItemCanvas::~TItemCanvas() {
    SetHandle(0);
    if (FMeasureDC) DeleteDC(FMeasureDC);
}

void TItemCanvas::CreateHandle() {
    if (HandleAllocated()) return;
    if (!FMeasureDC) FMeasureDC = CreateCompatibleDC(0);
    Font().Assign(*FControl->Font());
    SetHandle(FMeasureDC);
}

TItemCanvas::TLent::TLent(TItemCanvas& Canvas, HDC DC, TColor Color) : FCanvas(Canvas) {
    FCanvas.SetHandle(DC);
    FCanvas.Font().Assign(*FCanvas.FControl->Font());
    FCanvas.Brush().SetColor(Color);
    FCanvas.Brush().SetStyle(bsSolid);
}
