#pragma once
// What the GUI benchmarks share besides their main (GuiBenchMain.cpp).
#include <string>

#include "platform/core/Window.h"
#include "platform/gdi/GdiConst.h"

namespace GuiBench {

// A shown popup of Width x Height at the screen's corner, of a class that leaves every message
// to DefWindowProc: the form the controls under test sit on. Brush is the class background that
// WM_ERASEBKGND fills (0: none).
inline HWND MakeForm(int Width, int Height, const char* Title = "Kestro",
                     HBRUSH Brush = static_cast<HBRUSH>(COLOR_BTNFACE + 1)) {
    // One class a background; registering it again fails and changes nothing.
    const std::string Name = "BenchForm" + std::to_string(Brush);
    WNDCLASS Class;
    Class.lpfnWndProc = [](HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) -> LRESULT {
        return DefWindowProc(Wnd, Msg, WParam, LParam);
    };
    Class.hbrBackground = Brush;
    Class.lpszClassName = Name.c_str();
    RegisterClass(&Class);
    return CreateWindowEx(0, Name.c_str(), Title, WS_POPUP | WS_VISIBLE, 0, 0, Width, Height, 0, 0,
                          0, nullptr);
}

}  // namespace GuiBench
