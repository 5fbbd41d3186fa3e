#pragma once
// What the tray icon's tests share: icons made from pictures, and the menus on the screen.
#include <QImage>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/menus/Menus.h"
#include "tests/support/GuiTestSupport.h"

namespace TrayTest {

// An icon of the 16 x 16 picture, every pixel shown.
inline HICON IconOf(const QImage& Image) {
    ICONINFO Info;
    Info.hbmColor = CreateBitmapFromImage(Image);
    Info.hbmMask = CreateBitmap(16, 16, 1, 1, nullptr);
    const HICON Icon = CreateIconIndirect(&Info);
    DeleteObject(Info.hbmColor);
    DeleteObject(Info.hbmMask);
    return Icon;
}

// The popup menus that are shown now.
inline std::vector<HWND> MenuWindows() {
    std::vector<HWND> Out;
    EnumWindows(
        [&](HWND Wnd, LPARAM) {
            if (GetClassName(Wnd) == kMenuClassName && IsWindowVisible(Wnd)) Out.push_back(Wnd);
            return TRUE;
        },
        0);
    return Out;
}

}  // namespace TrayTest
