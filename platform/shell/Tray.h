#pragma once
// Icons in the desktop's notification area, shaped like Shell_NotifyIcon: a window adds an icon
// under an id, changes its picture and tip, and removes it; a click on it posts the window's
// callback message with the id in WParam and the mouse message (WM_LBUTTONDOWN, WM_LBUTTONDBLCLK,
// WM_RBUTTONDOWN, ...) in LParam.
//
// The icons are kept here; the service behind shows them: the desktop's tray (QSystemTrayIcon)
// when there is a QApplication, else none. Many desktops have no tray (Qt's offscreen platform,
// a bare X server): the icons are kept all the same, so that adding and changing them never
// fails for that reason, and IsTrayAvailable tells a caller that hiding a window "to the tray"
// would leave the user no way back to it. Tests install a TFakeTrayService.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/classes/WinTypes.h"
#include "platform/gdi/GdiTypes.h"

inline constexpr DWORD NIM_ADD = 0;
inline constexpr DWORD NIM_MODIFY = 1;
inline constexpr DWORD NIM_DELETE = 2;
inline constexpr UINT NIF_MESSAGE = 0x1;
inline constexpr UINT NIF_ICON = 0x2;
inline constexpr UINT NIF_TIP = 0x4;

struct NOTIFYICONDATA {
    DWORD cbSize = sizeof(NOTIFYICONDATA);
    HWND hWnd = 0;
    UINT uID = 0;
    UINT uFlags = 0;
    UINT uCallbackMessage = 0;
    HICON hIcon = 0;
    // Windows-1252 text, NUL-terminated; at most 63 characters reach the tray.
    char szTip[64] = {};
};

// Adds (NIM_ADD), changes (NIM_MODIFY: the parts uFlags names) or removes (NIM_DELETE) the icon
// of (hWnd, uID). FALSE when the window does not exist, when adding an icon that is there or
// changing or removing one that is not, and for other messages.
BOOL Shell_NotifyIcon(DWORD Message, const NOTIFYICONDATA* Data);

// One icon as the tray shows it.
struct TTrayIconState {
    HWND Wnd = 0;
    UINT ID = 0;
    UINT CallbackMessage = 0;  // 0: clicks post nothing
    HICON Icon = 0;
    std::string Tip;  // Windows-1252, at most 63 bytes
};

class TTrayService {
  public:
    virtual ~TTrayService() = default;
    virtual bool Available() = 0;
    // Shows the icon, or updates it when it is shown.
    virtual void Show(const TTrayIconState& Icon) = 0;
    virtual void Remove(HWND Wnd, UINT ID) = 0;
};

// For tests: keeps what the tray would show.
class TFakeTrayService : public TTrayService {
  public:
    bool Available() override { return IsAvailable; }
    void Show(const TTrayIconState& Icon) override;
    void Remove(HWND Wnd, UINT ID) override;

    bool IsAvailable = true;
    std::map<std::pair<HWND, UINT>, TTrayIconState> Shown;
    // "show <id> <tip>" and "remove <id>", in order.
    std::vector<std::string> Log;
};

// What a click on the icon does: posts its callback message (see the top of this file). An icon
// whose window is gone is removed instead. Services call it; tests call it to click.
void TrayIconClicked(HWND Wnd, UINT ID, UINT MouseMessage);

bool IsTrayAvailable();
// Installs the service (none: back to the default) and shows the icons kept so far through it;
// returns the previous one.
std::unique_ptr<TTrayService> SetTrayService(std::unique_ptr<TTrayService> Service);
