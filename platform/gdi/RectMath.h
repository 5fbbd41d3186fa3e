#pragma once
// Arithmetic on the class library's points and rectangles (Right and Bottom exclusive), and the
// point a mouse message carries.
#include "platform/gdi/GdiTypes.h"

inline bool IsRectEmpty(const TRect& R) {
    return R.Right <= R.Left || R.Bottom <= R.Top;
}
inline bool PtInRect(const TRect& R, TPoint P) {
    return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
inline TRect InflatedRect(TRect R, int DX, int DY) {
    return TRect{R.Left - DX, R.Top - DY, R.Right + DX, R.Bottom + DY};
}
inline TRect OffsetRect(TRect R, int DX, int DY) {
    return TRect{R.Left + DX, R.Top + DY, R.Right + DX, R.Bottom + DY};
}
// The point a mouse message carries in LParam (client coordinates, or screen coordinates for
// the non-client messages).
inline TPoint PointOf(LPARAM LParam) {
    return TPoint{GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam)};
}
