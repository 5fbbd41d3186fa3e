#include "bars/dxBarUtils.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

#include "bars/dxBarSystem.h"
#include "platform/core/Application.h"
#include "platform/core/Input.h"
#include "platform/core/Messages.h"
#include "platform/core/Paint.h"
#include "platform/core/Screens.h"
#include "platform/shell/Sound.h"

int MulDiv(int A, int B, int C) {
    if (C == 0) return -1;
    const int64_t Product = int64_t(A) * int64_t(B);
    const int64_t Half = std::llabs(int64_t(C)) / 2;
    // Rounds the absolute value, then puts the sign back: halves go away from zero.
    const bool Negative = (Product < 0) != (C < 0);
    const int64_t Magnitude = (std::llabs(Product) + Half) / std::llabs(int64_t(C));
    const int64_t Result = Negative ? -Magnitude : Magnitude;
    // As the system's: a result an int cannot hold is an error too.
    if (Result > INT_MAX || Result < INT_MIN) return -1;
    return int(Result);
}

TPoint CursorNow() {
    POINT P;
    GetCursorPos(&P);
    return TPoint{P.x, P.y};
}

std::string RemoveAccelChars(const std::string& Text) {
    std::string Result = Text;
    // Walks up to (not including) the current length: an "&" at the very end stays.
    for (size_t I = 0; I + 1 < Result.size(); ++I)
        if (Result[I] == '&') Result.erase(I, 1);
    return Result;
}

size_t AccelCharPos(const std::string& Text) {
    size_t Found = std::string::npos;
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '&') continue;
        if (I + 1 >= Text.size()) break;  // an "&" at the end marks nothing
        if (Text[I + 1] == '&') {
            ++I;  // a literal ampersand
            continue;
        }
        Found = I + 1;
    }
    return Found;
}

SHORT VkKeyScan(char C) {
    // Characters of the number row and the punctuation keys, unshifted and shifted.
    struct TKey {
        char Plain, Shifted;
        WORD Key;
    };
    static constexpr TKey kKeys[] = {
        {'1', '!', VK_1},         {'2', '@', VK_2},          {'3', '#', VK_3},
        {'4', '$', VK_4},         {'5', '%', VK_5},          {'6', '^', VK_6},
        {'7', '&', VK_7},         {'8', '*', VK_8},          {'9', '(', VK_9},
        {'0', ')', VK_0},         {'-', '_', VK_OEM_MINUS},  {'=', '+', VK_OEM_PLUS},
        {',', '<', VK_OEM_COMMA}, {'.', '>', VK_OEM_PERIOD}, {'/', '?', VK_OEM_2},
        {';', ':', VK_OEM_1},     {'\'', '"', VK_OEM_7},     {'[', '{', VK_OEM_4},
        {']', '}', VK_OEM_6},     {'\\', '|', VK_OEM_5},     {'`', '~', VK_OEM_3},
        {' ', '\0', VK_SPACE},
    };
    if (C >= 'a' && C <= 'z') return SHORT(VK_A + (C - 'a'));
    if (C >= 'A' && C <= 'Z') return SHORT(0x100 | (VK_A + (C - 'A')));
    for (const TKey& K : kKeys) {
        if (C == K.Plain) return SHORT(K.Key);
        if (C == K.Shifted && C != '\0') return SHORT(0x100 | K.Key);
    }
    return -1;
}

TRect GetWorkArea(TPoint P) {
    MONITORINFO Info;
    if (GetMonitorInfo(MonitorFromPoint(POINT{P.X, P.Y}, MONITOR_DEFAULTTONEAREST), &Info))
        return ToTRect(Info.rcWork);
    RECT R{};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &R, 0);
    return ToTRect(R);
}

void CheckWidth(int& Width) {
    if (Width < 20) Width = 20;
    if (Width > 600) Width = 600;
}

int GetSmallCaptionHeight() {
    return GetSystemMetrics(SM_CYSMCAPTION);
}

void CreateBarFont(const TFont& Font, HFONT& Handle, bool UseSystemFont) {
    if (Handle) DeleteObject(Handle);
    LOGFONT Log = Font.LogFont();
    if (UseSystemFont) {
        Log.lfHeight = dxBarIconTitleLogFont().lfHeight;
        if (Log.lfHeight > -11) Log.lfHeight = -11;
    }
    Handle = CreateFontIndirect(Log);
}

HFONT CopyFontHandle(HFONT Font) {
    LOGFONT Log;
    if (!GetObject(Font, sizeof(Log), &Log)) return 0;
    return CreateFontIndirect(Log);
}

TSize TextExtentOf(HFONT Font, const std::string& Text) {
    const HDC DC = GetDC(0);
    const HGDIOBJ Old = SelectObject(DC, Font);
    SIZE Size{0, 0};
    GetTextExtentPoint32(DC, Text, &Size);
    SelectObject(DC, Old);
    ReleaseDC(0, DC);
    return TSize{Size.cx, Size.cy};
}

void PlayMenuSound(TdxBarMenuSound Sound) {
    PlaySound(Sound == msMenuPopup ? "MenuPopup" : "MenuCommand", 0,
              SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_NOSTOP | SND_NOWAIT);
}

namespace {

void ProcessRange(UINT First, UINT Last) {
    TModalLoop Loop(TModalLoop::TWait::None);
    MSG Msg;
    while (Loop.Next(Msg, First, Last) == TModalLoop::TNext::Message) TModalLoop::Deliver(Msg);
}

bool IsDown(int VirtualKey) {
    return GetAsyncKeyState(VirtualKey) < 0;
}

}  // namespace

void ProcessPaintMessages() {
    ProcessRange(WM_PAINT, WM_PAINT);
}

TdxBarDragEnd RunDragLoop(const std::function<void(bool Always)>& OnMove,
                          const std::function<bool()>& Ended, HWND Holder) {
    // The loop looks at the button itself after every wake, so the release ends the drag
    // whoever took it.
    bool Released = false;
    POINT Last;
    GetCursorPos(&Last);
    auto Follow = [&](bool Always) {
        POINT Cursor;
        GetCursorPos(&Cursor);
        if (!Always && Cursor.x == Last.x && Cursor.y == Last.y) return;
        Last = Cursor;
        if (!Ended()) OnMove(Always);
    };
    auto Pointer = [&](UINT Kind) {
        if (Kind == WM_MOUSEMOVE && !Released) Follow(false);
        if (Kind == WM_LBUTTONUP) Released = true;
    };
    const HWND Own = Holder ? HWND(0) : AllocateHWnd([&](TMessage& Message) {
        Message.Result = 0;
        Pointer(Message.Msg);
    });
    const HWND Capture = Holder ? Holder : Own;
    SetCapture(Capture);
    TdxBarDragEnd End = TdxBarDragEnd::Ended;
    TModalLoop Loop(kDragWait);
    MSG Msg;
    while (GetCapture() == Capture && !Ended()) {
        if (Released || GetKeyState(VK_LBUTTON) >= 0) {
            End = TdxBarDragEnd::Released;
            break;
        }
        const TModalLoop::TNext Next = Loop.Next(Msg);
        if (Next == TModalLoop::TNext::Quit) break;
        if (Next == TModalLoop::TNext::Idle) continue;
        const UINT Kind = Msg.message;
        if (Kind == WM_KEYDOWN || Kind == WM_KEYUP || Kind == WM_SYSKEYDOWN ||
            Kind == WM_SYSKEYUP) {
            if (Msg.wParam == VK_CONTROL) Follow(true);
            if (Msg.wParam == VK_ESCAPE) {
                End = TdxBarDragEnd::Escaped;
                break;
            }
            continue;
        }
        if (Kind == WM_CHAR || Kind == WM_SYSCHAR) continue;
        // The holder's own handling of the pointer waits until the drag is over.
        if (Holder && Msg.hwnd == Holder && Kind >= WM_MOUSEFIRST && Kind <= WM_MOUSELAST) {
            Pointer(Kind);
            continue;
        }
        TModalLoop::Deliver(Msg);
    }
    if (GetCapture() == Capture) ReleaseCapture();
    if (Own) DeallocateHWnd(Own);
    return End;
}

void ProcessMouseMessages() {
    ProcessRange(WM_MOUSEFIRST, WM_MOUSELAST);
}

bool IsPrimaryButtonDown() {
    return IsDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON);
}

bool IsSecondaryButtonDown() {
    return IsDown(GetSystemMetrics(SM_SWAPBUTTON) ? VK_LBUTTON : VK_RBUTTON);
}

void StartMouseTracking(HWND Wnd) {
    TRACKMOUSEEVENT Event;
    Event.dwFlags = TME_LEAVE;
    Event.hwndTrack = Wnd;
    TrackMouseEvent(&Event);
}

bool IsMouseTracked(HWND Wnd) {
    TRACKMOUSEEVENT Event;
    Event.dwFlags = TME_QUERY;
    TrackMouseEvent(&Event);
    return Event.hwndTrack == Wnd && (Event.dwFlags & TME_LEAVE);
}

void StopMouseTracking(HWND Wnd) {
    if (!IsMouseTracked(Wnd)) return;
    TRACKMOUSEEVENT Event;
    Event.dwFlags = TME_CANCEL | TME_LEAVE;
    Event.hwndTrack = Wnd;
    TrackMouseEvent(&Event);
    SendMessage(Wnd, WM_MOUSELEAVE, 0, 0);
}
